// Camera-interface operations over ISO, bracketing and drive lists: the vendor names the
// values, the walk over the property table is done here.
#include <atomic>
#include <initializer_list>
#include <optional>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/cam_route.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"

using namespace camroute;

namespace {
constexpr uint32_t kFixedRangeFallback = 3;
constexpr uint32_t kSonyAutoIso = 0xFFFFFF;
constexpr uint8_t kNikonNoAutoIsoInPasmModels[] = {192, 193, 203, 207, 208, 213, 218};
// The mark for "not yet computed".
constexpr float kBracketingUnset = 4294967296.0f;

std::atomic<float> maxBracketingEv{kBracketingUnset};
std::atomic<bool> captureInProgress{false};

struct Value {
  uint32_t value;
  int32_t datatype;
};

std::optional<Value> read(PropertyStruct* record) {
  if (!record) return std::nullopt;
  propLock(record);
  Value v{record->value, record->datatype};
  propUnlock(record);
  return v;
}

std::optional<Value> read(uint32_t code) { return code ? read(propFind(code, false)) : std::nullopt; }

std::vector<uint32_t> listOf(uint32_t code) {
  std::vector<uint32_t> values;
  PropertyStruct* r = code ? propFind(code, true) : nullptr;
  if (!r) return values;
  for (const auto& entry : r->values) values.push_back(entry.value);
  propUnlock(r);
  return values;
}

// The sign bit of the datatype's width (32 bits for the wider and unknown ones).
bool negative(const Value& v) {
  const uint32_t size = ptpDatatypeSize(v.datatype);
  const uint32_t sign = size == 1 ? 0x80u : size == 2 ? 0x8000u : 0x80000000u;
  return (v.value & sign) != 0;
}
}  // namespace

void camResetBracketingCache() { maxBracketingEv = kBracketingUnset; }

void camSetCaptureInProgress(bool busy) { captureInProgress = busy; }
bool camCaptureInProgress() { return captureInProgress.load(); }

bool camIsAutoIso() {
  Route r{N};
  switch (r.vendor) {
    case CameraVendorFujifilm: {
      auto v = read(PTP_DPC_ExposureIndex);
      return v && negative(*v);
    }
    case CameraVendorCanon: {
      auto v = read(PTP_DPC_CANON_ISOSpeed);
      return v && v->value == 0;
    }
    case CameraVendorSony: {
      auto v = read(PTP_DPC_SONY_ISO);
      return v && v->value == kSonyAutoIso;
    }
    case CameraVendorNikon: {
      const uint8_t model = camModelIndex();
      for (uint8_t m : kNikonNoAutoIsoInPasmModels) {
        if (m != model) continue;
        auto program = read(PTP_DPC_ExposureProgramMode);
        if (!program || program->value < 5) return false;
      }
      auto v = read(r->getAutoIsoRecord());
      return v && v->value != 0;
    }
    default: return false;
  }
}

uint32_t camCountFixedRangeSteps(uint32_t code) {
  Route r{C | S | N};
  if (!r) return kFixedRangeFallback;
  if (r.vendor == CameraVendorSony) {
    const uint32_t n = r->fixedRangeSteps(code);
    return n ? n : kFixedRangeFallback;
  }
  uint32_t first = 0, second = 0;
  if (!r->getFixedRange(code, first, second)) return kFixedRangeFallback;
  const std::vector<uint32_t> values = listOf(code);
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i] != first) continue;
    for (size_t j = i + 1; j < values.size(); ++j)
      if (values[j] == second) return static_cast<uint32_t>(j - i);
    break;
  }
  return kFixedRangeFallback;
}

float camGetIsoStepRatio(uint32_t iso, int direction, uint32_t& neighbour) {
  const std::vector<uint32_t> values = listOf(propVendorCodeMap().iso);
  if (values.size() < 2) return 0.0f;
  size_t at = values.size();
  for (size_t i = 0; i + 1 < values.size(); ++i) {
    if (values[i] == iso) {
      at = i;
      break;
    }
  }
  if (at == values.size()) return 0.0f;
  if (direction <= 0 && at == 0) return 0.0f;
  const uint32_t next = values[direction > 0 ? at + 1 : at - 1];
  double from = iso, to = next;
  if (camGetVendor() == CameraVendorCanon) {
    auto canon = camVendorModule(CameraVendorCanon);
    from = canon->isoCodeToValue(iso);
    to = canon->isoCodeToValue(next);
  }
  if (!(from > 0) || !(to > 0)) return 0.0f;
  neighbour = next;
  return static_cast<float>(to / from);
}

float camBracketingStepToEv(uint32_t step, bool force) {
  Route r{C | N};
  if (!r) return 0.0f;
  return r.vendor == CameraVendorCanon ? r->exposureBiasToEv(step) : r->bracketingStepToEv(step, force);
}

uint32_t camEvToBracketingStep(float ev) {
  Route r{C | N};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  return r.vendor == CameraVendorCanon ? r->evToExposureBias(ev) : r->evToBracketingStep(ev);
}

int camGetBracketingSequence(std::vector<float>& offsets, float ev, bool force) {
  offsets.clear();
  if (Route r{C | N}) return r->getBracketingSequence(offsets, force, ev);
  return 0;
}

float camGetMaxBracketingEv() {
  Route r{C | N};
  if (!r) return 0.0f;
  float ev = maxBracketingEv.load();
  if (ev != kBracketingUnset) return ev;
  ev = r->getMaxBracketingEv();
  if (ev == kBracketingUnset) return 0.0f;
  // No list yet gives 0: asked again next time rather than kept until the next set-up.
  if (ev != 0.0f) maxBracketingEv = ev;
  return ev;
}

PtpResponseCode camDecodeImageFormat(uint32_t packed, uint8_t kind, uint16_t& sizeCode, uint8_t& quality) {
  if (Route r{C | N}) return r->decodeImageFormat(packed, kind, sizeCode, quality);
  return ERROR_CAMERA_NOT_SUPPORTED;
}

bool camIsContinuousDriveSetting(uint32_t code, uint32_t value) {
  Route r{N};
  return r && r->isContinuousDriveSetting(code, value);
}

bool camIsContinuousDrive() {
  Route r{S | N};
  if (!r) return false;
  if (r.vendor == CameraVendorSony) return r->isContinuousDrive();
  // Nikon: the drive mode, or the live-view drive mode, is a continuous one.
  for (uint32_t code : {propVendorCodeMap().driveMode, uint32_t{PTP_DPC_NIKON_LiveViewDriveMode}}) {
    auto v = read(code);
    if (v && r->isContinuousDriveSetting(code, v->value)) return true;
  }
  return false;
}
