#include "ptp/camera/cam_predicates.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/decimal_text.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_container.h"

namespace {
using namespace std::chrono_literals;
constexpr std::chrono::milliseconds kCaptureRetryPause = 250ms;

bool oneOf(uint32_t v, std::initializer_list<uint32_t> set) {
  return std::find(set.begin(), set.end(), v) != set.end();
}

struct Prop {
  uint32_t value;
  std::string text;
  uint8_t getSet;
};

std::optional<Prop> prop(uint32_t code) {
  if (code == 0) return std::nullopt;
  PropertyStruct* r = propFind(code, true);
  if (!r) return std::nullopt;
  Prop p{r->value, std::string(r->text, strnlen(r->text, sizeof r->text)), r->getSet};
  propUnlock(r);
  return p;
}

bool valueIs(uint32_t code, uint32_t v) { return propCurrentValue(code) == v; }

uint32_t nikonRawOnlyValue(uint8_t model) {
  return model >= 215 && model <= 232 && model != 218 ? 7 : 4;
}
}  // namespace

bool camIsBracketingOn() {
  switch (camGetVendor()) {
    case CameraVendorNikon: return propCurrentValue(0xD0C0).value_or(0) != 0;
    case CameraVendorCanon: return propCurrentValue(0xD1D9).value_or(0) != 0;
    default: return false;
  }
}

bool camIsWbPairSpecial(uint32_t code, uint32_t v) {
  switch (camGetVendor()) {
    case CameraVendorFujifilm: return code == 0x5005 && v == 0x8007;
    case CameraVendorCanon: return code == 0xD109 && v == 9;
    case CameraVendorSony:
    case CameraVendorNikon: return code == 0x5005 && v == 0x8012;
    default: return false;
  }
}

bool camHasCanonOp9140() { return camIsCanon() && ptpOperationListed(PTP_OC_CANON_ListObjects9140); }

bool camCheckObjectFormatFlag(uint64_t packed) {
  if (camHasCanonOp9140()) return true;
  const uint32_t low = static_cast<uint32_t>(packed);
  const uint16_t format = static_cast<uint16_t>(packed >> 32);
  return low == 0xFFFFFFFF && format != 0xB111 && format != 0xB101;
}

bool camCanReleaseRemotely() {
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorCanon) return ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn);
  return vendor == CameraVendorFujifilm || vendor == CameraVendorSony;
}

bool camIsNotFujifilmOrSony() { return !camIsFujifilm() && !camIsSony(); }

bool camIsRawOnlyQualityValue(uint32_t v) {
  const uint8_t model = camModelIndex();
  switch (camGetVendor()) {
    case CameraVendorNikon:
      return ((model >= 215 && model <= 217) || (model >= 219 && model <= 232)) ? v == 7 : v == 4;
    case CameraVendorSony: return v == 16;
    case CameraVendorCanon: return oneOf(v, {0x16010000, 0x16050000, 0x16090000});
    default: return false;
  }
}

bool camIsRawOnlyQuality() {
  switch (camGetVendor()) {
    case CameraVendorFujifilm: return valueIs(0xD018, 1);
    case CameraVendorCanon: {
      auto v = propCurrentValue(0xD120);
      return v && (*v >> 24) == 0x16;
    }
    case CameraVendorSony: {
      // The record holds the packed quality: size and compression sit above the low byte,
      // whose RAW-only value is 1 with "Image Format" 0xD253 and 16 with 0x5004.
      const uint32_t slot = propVendorCodeMap().imageQuality;
      auto v = propCurrentValue(slot);
      return v && (*v & 0xFF) == (slot == 0xD253 ? 1u : 16u);
    }
    case CameraVendorNikon: return valueIs(0x5004, nikonRawOnlyValue(camModelIndex()));
    default: return false;
  }
}

bool camIsCanonJpegOnly() {
  if (!camIsCanon()) return false;
  auto v = propCurrentValue(0xD120);
  return v && (*v >> 24) == 0x11;
}

float camGetApertureValue() {
  auto p = prop(propVendorCodeMap().aperture);
  if (!p || p->value == 0 || p->value == 0xFFFF) return 0.0f;
  switch (camGetVendor()) {
    case CameraVendorCanon: {
      // The text is "f5.6".
      if (p->text.empty() || p->text[0] != 'f') return 0.0f;
      return textLeadingFloat(std::string_view(p->text).substr(1)).value_or(0.0f);
    }
    case CameraVendorFujifilm:
    case CameraVendorSony:
    case CameraVendorNikon: return static_cast<float>(p->value) / 100.0f;
    default: return 0.0f;
  }
}

bool camIsCanonCode20(uint32_t v) { return v == 20 && camIsCanon(); }

PtpResponseCode camSetSingleShotDrive() {
  switch (camGetVendor()) {
    case CameraVendorNikon: return camSetPropertyValue(0x5018, 1, true);
    case CameraVendorSony: return camSetPropertyValue(0x5013, 1, true);
    case CameraVendorCanon: return camSetPropertyValue(0xD106, 0, true);
    default: return ERROR_CAMERA_NOT_SUPPORTED;
  }
}

std::optional<std::string> camGetLensName() {
  if (camIsCanon()) {
    auto p = prop(0xD1D8);
    return p ? p->text : std::string();
  }
  if (camIsNikon()) return std::string();
  return std::nullopt;
}

bool camIsCanonModel225() { return camIsCanon() && camModelIndex() == 225; }

bool camIsVendorFlagSet() {
  if (camIsNikon()) return valueIs(0xD1A6, 1);
  if (camIsCanon()) return valueIs(0xD1B1, 2);
  return false;
}

bool camCanSetAperture() {
  auto program = propCurrentValue(propVendorCodeMap().exposureProgram);
  if (!program) return true;
  const uint32_t p = *program;
  switch (camGetVendor()) {
    case CameraVendorFujifilm: return p == 1 || p == 3;
    case CameraVendorCanon: {
      auto aperture = prop(propVendorCodeMap().aperture);
      return !aperture || aperture->getSet != 0;
    }
    case CameraVendorSony: return oneOf(p, {1, 3, 0x20003});
    case CameraVendorNikon:
      return p == 1 || p == 3 || (p >= 0x8050 && p <= 0x8052 && oneOf(propCurrentValue(0xD0FC).value_or(0), {21, 22}));
    default: return false;
  }
}

bool camIsNikonModel196() { return camIsNikon() && camModelIndex() == 196; }

bool camHasModelCapabilityC() {
  if (camIsSony()) return true;
  return camIsFujifilm() && oneOf(camModelIndex(), {24, 25, 35, 36});
}

bool camIsCaptureBusy() {
  if (camIsCanon()) return valueIs(0xD1BF, 2);
  if (camIsNikon()) return camCaptureInProgress();
  return false;
}

uint8_t camGetModelParamA() { return camIsCanon() ? 10 : 20; }

PtpResponseCode camStubFF01() { return ERROR_GENERAL; }
int camStubZeroD() { return 0; }

PtpResponseCode camGetLiveViewFrameInto(uint8_t* buffer, uint32_t capacity, uint32_t& length) {
  length = 0;
  ByteBuffer frame;
  PtpResponseCode rc = camGetLiveViewFrame(frame);
  if (rc != PTP_RC_OK) return rc;
  if (frame.size() > capacity || (!buffer && !frame.empty())) return ERROR_NO_MEMORY;
  std::copy(frame.begin(), frame.end(), buffer);
  length = static_cast<uint32_t>(frame.size());
  return PTP_RC_OK;
}

PtpResponseCode camCaptureAndWaitRetry() {
  PtpResponseCode rc = camCaptureAndWait();
  for (int pass = 1; rc == PTP_RC_DeviceBusy && pass < kCamCaptureRetryMax; ++pass) {
    libSleep(kCaptureRetryPause);
    rc = camCaptureAndWait();
  }
  return rc;
}

PtpResponseCode camBuildFocusDriveRequest(int32_t step, uint16_t flag, std::vector<uint8_t>& out) {
  out.clear();
  const uint16_t vendor = camGetVendor();
  if (vendor != CameraVendorCanon && vendor != CameraVendorSony) return ERROR_CAMERA_NOT_SUPPORTED;
  const uint32_t sent = step < 0 ? static_cast<uint32_t>(0x8000 - int64_t(step)) : static_cast<uint32_t>(step);
  std::vector<uint8_t> buffer(kCamFocusDriveBytes);
  uint8_t* container = buffer.data() + 15;
  size_t n;
  if (vendor == CameraVendorCanon) {
    n = ptpBuildContainer(PTP_OC_CANON_DriveLens, &sent, 1, nullptr, 0, container, kCamFocusDriveContainerMax);
  } else {
    uint8_t data[4];
    bytesPutU32(data, sent);
    const uint32_t code = PTP_DPC_SONY_FocusDrive;
    n = ptpBuildContainer(PTP_OC_SONY_SetControlDeviceB, &code, 1, data, sizeof data, container,
                          kCamFocusDriveContainerMax);
  }
  if (n == 0) return ERROR_GENERAL;
  bytesPutU32(buffer.data(), static_cast<uint32_t>(n + 15));
  buffer[4] = 5;
  bytesPutU32(buffer.data() + 5, static_cast<uint32_t>(n + 10));
  bytesPutU16(buffer.data() + 9, flag);
  bytesPutU32(buffer.data() + 11, 0x004B0000);
  buffer.resize(n + 15);
  out.swap(buffer);
  return PTP_RC_OK;
}
