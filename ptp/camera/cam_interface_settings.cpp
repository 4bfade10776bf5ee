// Camera-interface operations for settings, formats and flash: routed like the rest.
#include <optional>

#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"

namespace {
enum : unsigned { F = 1u << 0, C = 1u << 1, S = 1u << 2, N = 1u << 3, FCSN = F | C | S | N };

std::shared_ptr<VendorModule> routed(unsigned reaches) {
  const uint16_t vendor = camGetVendor();
  const unsigned bit = vendor >= CameraVendorFujifilm && vendor <= CameraVendorNikon
                           ? 1u << (vendor - CameraVendorFujifilm)
                           : 0u;
  return bit & reaches ? camVendorModule(vendor) : nullptr;
}
}  // namespace

bool camWaitPropertyValue(uint32_t code, uint32_t value) {
  auto m = routed(FCSN);
  return m ? m->waitPropertyValue(code, value) : true;
}

PtpResponseCode camSetControlDevice(uint32_t code, uint16_t value) {
  auto m = routed(S);
  return m ? m->setControlDevice(code, value) : ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camSetRating(uint32_t handle, uint32_t rating) {
  auto m = routed(C);
  return m ? m->setRating(handle, rating) : ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camGetObjectExtraInfo(uint32_t handle, uint32_t& value) {
  auto m = routed(C);
  return m ? m->getObjectExtraInfo(handle, value) : ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camMoveAfPoint(int direction) {
  auto m = routed(FCSN);
  return m ? m->moveAfPoint(direction) : ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camSetAfPoint(float x, float y) {
  auto m = routed(FCSN);
  return m ? m->setAfPoint(x, y) : ERROR_CAMERA_NOT_SUPPORTED;
}

void camSetLvAfSystem() {
  if (auto m = routed(C)) m->setLvAfSystem();
}

bool camIsExposureBiasAdjustable() {
  auto m = routed(FCSN);
  return m && m->isExposureBiasAdjustable();
}

bool camIsBracketingAvailable() {
  auto m = routed(C | N);
  return m && m->isBracketingAvailable();
}

float camExposureBiasToEv(uint32_t value) {
  auto m = routed(FCSN);
  return m ? m->exposureBiasToEv(value) : 0.0f;
}

uint32_t camEvToExposureBias(float ev) {
  auto m = routed(FCSN);
  return m ? m->evToExposureBias(ev) : ERROR_CAMERA_NOT_SUPPORTED;
}

float camGetExposureBiasMax() {
  auto m = routed(FCSN);
  return m ? m->getExposureBiasMax() : 0.0f;
}

float camGetExposureBiasMin() {
  auto m = routed(FCSN);
  return m ? m->getExposureBiasMin() : 0.0f;
}

PtpResponseCode camGetImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) {
  choices.clear();
  auto m = routed(FCSN);
  return m ? m->getImageFormatChoices(kind, choices) : ERROR_CAMERA_NOT_SUPPORTED;
}

int64_t camGetRawFormat() {
  auto m = routed(FCSN);
  return m ? m->getRawFormat() : ERROR_CAMERA_NOT_SUPPORTED;
}

int64_t camGetJpegFormat() {
  auto m = routed(FCSN);
  return m ? m->getJpegFormat() : ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camSetImageFormat(int64_t raw, int64_t jpeg) {
  auto m = routed(FCSN);
  return m ? m->setImageFormat(raw, jpeg) : PTP_ERROR_UNSUPPORTED_COMMAND;
}

bool camIsContinuousDriveValue(uint32_t value) {
  auto m = routed(C | S | N);
  return m && m->isContinuousDriveValue(value);
}

bool camHasModelCapabilityA() {
  if (auto m = routed(S | N)) return m->hasModelCapabilityA();
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorFujifilm) return camModelIndex() != 16;
  return vendor == CameraVendorCanon;
}

bool camHasModelCapabilityB() {
  if (auto m = routed(S)) return m->hasModelCapabilityB();
  switch (camGetVendor()) {
    case CameraVendorFujifilm: return camModelIndex() != 16;
    case CameraVendorCanon: return camModelIndex() != 232;
    case CameraVendorNikon: return true;
    default: return false;
  }
}

float camIsoLimitEv(uint32_t a, uint32_t b, int direction) {
  if (direction == 0) return 0.0f;
  const uint32_t code = propVendorCodeMap().iso;
  PropertyStruct* r = code ? propFind(code, true) : nullptr;
  if (!r) return 0.0f;
  std::optional<uint32_t> limit;
  for (const auto& entry : r->values) {
    if (entry.value == 0 || entry.value == 0xFFFF) continue;
    if (!limit || direction > 0) limit = entry.value;
    if (direction < 0) break;
  }
  const uint32_t current = r->value;
  propUnlock(r);
  if (!limit) return 0.0f;
  return camExposureDifferenceEv(a, b, current, *limit);
}

uint32_t camIsSpeedlightMounted() {
  auto m = routed(N);
  return m ? m->isSpeedlightMounted() : 0;
}

uint32_t camGetFlashMode() {
  auto m = routed(N);
  return m ? m->getFlashMode() : 0;
}

uint32_t camGetSpeedlightFlashMode() {
  auto m = routed(N);
  return m ? m->getSpeedlightFlashMode() : 0;
}

uint32_t camGetSpeedlightChargeStatus() {
  auto m = routed(N);
  return m ? m->getSpeedlightChargeStatus() : 0;
}

PtpResponseCode camSetFlashMode(uint32_t mode) {
  auto m = routed(N);
  return m ? m->setFlashMode(mode) : PTP_ERROR_UNSUPPORTED_COMMAND;
}
