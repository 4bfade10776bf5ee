#include "ptp/vendors/nikon/nikon_values.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/vendors/nikon/nikon_state.h"

namespace {

uint32_t valueOr(uint32_t code, uint32_t fallback) { return propCurrentValue(code).value_or(fallback); }

// The record's allowed values read as signed (INT8/INT16 patterns widened).
std::vector<int32_t> signedList(uint32_t code) {
  std::vector<int32_t> out;
  auto p = propCopy(code);
  if (!p) return out;
  for (const auto& e : p->values) {
    if (p->datatype == PTP_DTC_INT16) out.push_back(static_cast<int16_t>(e.value));
    else if (p->datatype == PTP_DTC_INT8) out.push_back(static_cast<int8_t>(e.value));
    else out.push_back(static_cast<int32_t>(e.value));
  }
  return out;
}

float listEdge(uint32_t code, bool largest) {
  const auto list = signedList(code);
  if (list.empty()) return 0.0f;
  const int32_t v = largest ? *std::max_element(list.begin(), list.end()) : *std::min_element(list.begin(), list.end());
  return v / 1000.0f;
}

uint8_t model() { return camModelIndex(); }

// Bodies numbering their qualities 0-13 (RAW 7-13).
bool newQualityScheme() { return nikonModelBetween(215, 217) || nikonModelBetween(219, 232); }

constexpr uint32_t kKelvin[31] = {2500, 2560, 2630, 2700, 2780, 2860, 2940, 3030, 3130, 3230, 3330,
                                  3450, 3570, 3700, 3850, 4000, 4170, 4350, 4550, 4760, 5000, 5260,
                                  5560, 5880, 6250, 6670, 7140, 7690, 8330, 9090, 10000};

constexpr float kSixSteps[6] = {1.0f / 3, 0.0f, 2.0f / 3, 1.0f, 2.0f, 3.0f};
constexpr float kEightSteps[8] = {1.0f / 3, 0.5f, 2.0f / 3, 1.0f, 4.0f / 3, 1.5f, 5.0f / 3, 2.0f};

bool sixStepModel() {
  return nikonModelIn({197, 200, 205, 224, 225}) || nikonModelBetween(209, 212) || nikonModelBetween(214, 217) ||
         nikonModelBetween(219, 222);
}

bool bracketingOn() { return valueOr(0xD0C0, 0) != 0; }

// The JPEG quality code (0-5) a quality value records, -1 for none.
int32_t jpegCode(uint32_t q) {
  if (nikonHasManyQualityValues()) {
    if (q <= 5) return static_cast<int32_t>(q);
    if (q >= 8 && q <= 13) return static_cast<int32_t>(q - 8);
    return -1;
  }
  static constexpr int8_t kCode[8] = {0, 1, 2, -1, -1, 0, 1, 2};
  return q < 8 ? kCode[q] : -1;
}

}  // namespace

bool nikonModelIn(std::initializer_list<uint8_t> models) {
  return std::find(models.begin(), models.end(), model()) != models.end();
}
bool nikonModelBetween(uint8_t low, uint8_t high) { return model() >= low && model() <= high; }

uint32_t nikonComposeImageQuality(uint32_t quality, uint32_t imageSize, uint32_t rawSize) {
  return (quality & 0xFFFF) | ((imageSize & 0xFF) << 16) | ((rawSize & 0xFF) << 24);
}

void nikonRebuildImageQuality() {
  const uint32_t size = valueOr(0x5003, 0), raw = valueOr(0xD0B6, 0);
  PropertyStruct* r = propFind(0x5004, true);
  if (!r) return;
  r->value = nikonComposeImageQuality(r->value, size, raw);
  propUnlock(r);
}

bool nikonHasManyQualityValues() {
  if (model() == 229) return true;
  auto p = propCopy(0x5004);
  return p && p->values.size() > 10;
}

bool nikonQualityIncludesRaw() {
  const auto v = propCurrentValue(0x5004);
  if (!v) return false;
  // Only the quality part: the composite's size bits would otherwise read as RAW.
  const uint32_t q = *v & 0xFFFF;
  if (newQualityScheme()) return (q & 0xFFF8) != 0;
  return q >= 5;
}

bool nikonQualityHasRaw(uint32_t value) {
  if (newQualityScheme()) return value >= 7 && value <= 13;
  return (value & ~3u) == 4;
}

bool nikonQualityIncludesJpeg(uint32_t value) {
  if (newQualityScheme()) return (value & ~9u) < 6;
  static constexpr bool kJpeg[8] = {true, true, true, false, true, false, true, false};
  return value < 8 && kJpeg[value];
}

PtpResponseCode nikonDecodeImageFormat(uint32_t packed, uint8_t type, uint16_t* sizeCode, uint8_t* quality) {
  if (!sizeCode || !quality) return ERROR_INVALID_INPUT;
  const uint32_t q = packed & 0xFFFF;
  if (type == 6 && nikonQualityHasRaw(q)) {
    *sizeCode = static_cast<uint16_t>(packed >> 24);
  } else if (type == 1 && jpegCode(q) >= 0) {
    *sizeCode = static_cast<uint16_t>((packed >> 16) & 0xFF);
  } else {
    return ERROR_GENERAL;
  }
  *quality = 0;
  return PTP_RC_OK;
}

PtpResponseCode nikonGetRawFormat(int64_t& packed) {
  const auto v = propCurrentValue(0x5004);
  if (!v) return ERROR_GENERAL;
  const uint32_t q = *v & 0xFFFF;
  if (!nikonQualityHasRaw(q)) {
    packed = -1;
    return PTP_RC_OK;
  }
  const uint32_t rawValue = nikonHasManyQualityValues() ? 7 : 4;
  packed = static_cast<int64_t>((*v & 0xFF000000u) | rawValue);
  return PTP_RC_OK;
}

PtpResponseCode nikonGetJpegFormat(int64_t& packed) {
  const auto v = propCurrentValue(0x5004);
  if (!v) return ERROR_GENERAL;
  const uint32_t q = *v & 0xFFFF;
  const int32_t code = jpegCode(q);
  packed = code < 0 ? -1 : static_cast<int64_t>((*v & 0x00FF0000u) | static_cast<uint32_t>(code));
  return PTP_RC_OK;
}

int64_t nikonQualityValueFor(int64_t raw, int64_t jpeg) {
  if (raw == -1 && jpeg == -1) return -1;
  const int64_t code = jpeg == -1 ? 0 : (jpeg & 0xFFFF);
  if (raw == -1) return code;
  return code + (jpeg != -1 ? 1 : 0) + (nikonHasManyQualityValues() ? 3 : 0) + 4;
}

PtpResponseCode nikonGetImageFormatChoices(uint32_t type, std::vector<int64_t>& list) {
  list.assign(1, -1);
  if (type == 1) {
    const bool newer = nikonModelBetween(215, 232);
    const uint32_t codes = newer ? 6 : 3;
    const uint32_t step = model() == 229 ? 2 : 1;
    for (uint32_t q = 0; q < codes; q += step)
      for (uint32_t size = 0; size < 3; ++size) list.push_back(static_cast<int64_t>(q | (size << 16)));
  } else if (type == 6) {
    const uint32_t r = nikonModelBetween(215, 232) && model() != 218 ? 7 : 4;
    list.push_back(r);
    if (propExists(0xD0B6)) {
      list.push_back(static_cast<int64_t>(r | 0x1000000u));
      list.push_back(static_cast<int64_t>(r | 0x2000000u));
    }
  }
  return PTP_RC_OK;
}

std::string nikonImageQualityText(int64_t packed) {
  if (packed == -1) return "--";
  const uint32_t p = static_cast<uint32_t>(packed);
  const uint32_t q = p & 0xFFFF;
  std::string text;
  if (nikonQualityHasRaw(q)) {
    const uint32_t rawSize = p >> 24;
    if (rawSize == 1) text += "M ";
    else if (rawSize == 2) text += "S ";
    text += "RAW";
  }
  const bool newer = newQualityScheme();
  const bool jpeg = newer ? (q & ~9u) <= 5 : (q <= 7 && q != 3 && q != 4);
  if (!jpeg) return text;
  if (!text.empty()) text += " + ";
  static const char* const kSize[3] = {"L ", "M ", "S "};
  const uint32_t size = (p >> 16) & 0xFF;
  if (size < 3) text += kSize[size];
  static const char* const kNewer[6] = {"JPG (BASIC)", "JPG (BASIC)*", "JPG (NORM)",
                                        "JPG (NORM)*", "JPG (FINE)",   "JPG (FINE)*"};
  static const char* const kOlder[3] = {"JPG (BASIC)", "JPG (NORM)", "JPG (FINE)"};
  if (newer) text += kNewer[q >= 8 ? q - 8 : q];
  else text += kOlder[q >= 5 ? q - 5 : q];
  return text;
}

float nikonExposureBiasToEv(uint32_t value) { return static_cast<int16_t>(value & 0xFFFF) / 1000.0f; }

uint32_t nikonEvToExposureBias(float ev) {
  if (std::fabs(ev) < 0.1f) return 0;
  int32_t v = static_cast<int32_t>(std::lround(ev * 1000.0));
  const int32_t sign = v < 0 ? -1 : 1;
  int32_t magnitude = std::abs(v);
  // Thirds of a stop are sent as 333 and 666 steps: the camera's own rounding.
  switch (magnitude % 10) {
    case 1: case 4: case 7: --magnitude; break;
    case 2: case 5: case 9: ++magnitude; break;
    default: break;
  }
  v = sign * magnitude;
  return static_cast<uint32_t>(v) & 0xFFFF;
}

int nikonGetEvStepsPerStop() {
  const uint32_t v = valueOr(0xD056, 0);
  if (nikonModelBetween(223, 232)) {
    uint32_t whole = 6, half = 3;
    if (nikonModelIn({224, 225})) whole = 2, half = 1;
    return v == whole ? 1 : v == half ? 2 : 3;
  }
  return v == 2 ? 1 : v == 1 ? 2 : 3;
}

namespace {
uint32_t exposureBiasCode() { return valueOr(0xD1A6, 0) == 1 && propExists(0xD1AB) ? 0xD1AB : 0x5010; }
}  // namespace

float nikonGetExposureBiasMax() { return listEdge(exposureBiasCode(), true); }
float nikonGetExposureBiasMin() { return listEdge(exposureBiasCode(), false); }
float nikonGetFlashBiasMax() { return listEdge(0xD126, true); }
float nikonGetFlashBiasMin() { return listEdge(0xD126, false); }

bool nikonIsExposureBiasAdjustable() {
  const auto v = propCurrentValue(0x500E);
  return v && *v >= 1 && *v <= 4;
}
bool nikonIsBracketingAvailable() { return nikonIsExposureBiasAdjustable(); }

float nikonBracketingStepToEv(uint32_t step, bool force) {
  if (!force && !bracketingOn()) return 0.0f;
  if (sixStepModel()) return step < 6 ? kSixSteps[step] : 0.0f;
  if (nikonModelIn({223}) || nikonModelBetween(226, 232)) return step / 6.0f;
  return step < 8 ? kEightSteps[step] : 0.0f;
}

uint32_t nikonEvToBracketingStep(float ev) {
  if (nikonModelIn({223, 232}) || nikonModelBetween(226, 230)) {
    if (ev < 0.01f) return 0xFFFF;
    return static_cast<uint32_t>(std::lround(6.0 * ev));
  }
  if (ev < 0.1f) return 0xFFFF;
  static constexpr float kStops[7] = {1.0f / 3, 0.5f, 2.0f / 3, 1.0f, 4.0f / 3, 1.5f, 5.0f / 3};
  for (uint32_t i = 0; i < 7; ++i)
    if (ev < kStops[i] + 0.1f) return i;
  const bool sixStep = nikonModelIn({197, 200, 224, 225, 231}) || nikonModelBetween(210, 212) ||
                       nikonModelBetween(214, 217) || nikonModelBetween(219, 222);
  if (ev < 2.1f) return sixStep ? 4 : 7;
  if (ev < 3.1f) return sixStep ? 5 : 0xFFFF;
  return 0xFFFF;
}

bool nikonGetBracketingShots(uint8_t& below, uint8_t& above) {
  if (nikonModelIn({192, 193, 207, 208, 213})) {
    below = above = 1;
    return true;
  }
  below = above = 0;
  const auto on = propCurrentValue(0xD0C0);
  if (!on) return false;
  if (*on == 0) {
    below = above = 1;
    return true;
  }
  const auto pattern = propCurrentValue(0xD0C2);
  if (!pattern) return false;
  const uint32_t p = *pattern;
  auto set = [&](uint8_t b, uint8_t a) {
    below = b;
    above = a;
    return true;
  };
  if (nikonModelIn({194, 197, 203})) {
    static constexpr uint8_t k[3][2] = {{1, 0}, {0, 1}, {1, 1}};
    return p < 3 ? set(k[p][0], k[p][1]) : set(0, 0);
  }
  if (nikonModelIn({195, 196, 204, 205, 225}) || nikonModelBetween(198, 202) || nikonModelBetween(209, 212) ||
      nikonModelBetween(214, 216) || nikonModelBetween(219, 222)) {
    static constexpr uint8_t k[8][2] = {{1, 0}, {0, 1}, {2, 0}, {0, 2}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    return p < 8 ? set(k[p][0], k[p][1]) : set(1, 1);
  }
  if (nikonModelIn({206, 217, 218, 224})) return set(1, 1);
  if (model() == 223) {
    switch (p) {
      case 258: return set(1, 0);
      case 259: return set(2, 0);
      case 514: return set(0, 1);
      case 515: return set(0, 2);
      case 1029: return set(2, 2);
      case 1031: return set(3, 3);
      case 1033: return set(4, 4);
      default: return set(1, 1);
    }
  }
  if (nikonModelBetween(226, 232)) {
    switch (p) {
      case 0: return set(0, 0);
      case 258: return set(0, 1);
      case 259: return set(2, 0);
      case 514: return set(1, 0);
      case 1027: return set(1, 1);
      case 1029: return set(2, 2);
      case 1031: return set(3, 3);
      case 1033: return set(4, 4);
      default: return set(0, 2);
    }
  }
  return set(1, 1);
}

int nikonGetBracketingSequence(std::vector<float>& offsets, bool force, float ev) {
  offsets.clear();
  if (!force && !bracketingOn()) return 0;
  uint8_t below = 0, above = 0;
  if (!nikonGetBracketingShots(below, above)) {
    offsets = {-ev, ev};
    return 2;
  }
  for (int i = 1; i <= below; ++i) offsets.push_back(-ev * static_cast<float>(i));
  for (int i = 1; i <= above; ++i) offsets.push_back(ev * static_cast<float>(i));
  return static_cast<int>(offsets.size());
}

float nikonGetMaxBracketingEv() {
  auto p = propCopy(0xD0C1);
  if (!p) return 0.0f;
  float best = 0.0f;
  for (const auto& e : p->values) best = std::max(best, nikonBracketingStepToEv(e.value, true));
  return best;
}

uint32_t nikonShutterSpeedToMs(uint32_t value) {
  // Bulb and time have no duration; a zero denominator is no timed value either.
  if (value >= 0xFFFFFFFEu || (value & 0xFFFF) == 0) return 0;
  return (value >> 16) * 1000u / (value & 0xFFFF);
}

bool nikonGetFixedRange(uint32_t code, uint32_t& min, uint32_t& max) {
  switch (code) {
    case 0xD100: min = 0x10001, max = 0x20001; return true;
    case 0x500F: min = 400, max = 800; return true;
    case 0x5007: min = 560, max = 800; return true;
    default: return false;
  }
}

bool nikonIsBulbSelected() {
  const auto v = propCurrentValue(0xD100);
  return v && *v > 0xFFFFFFFDu;
}
bool nikonIsBulbSupported() { return ptpOperationListed(0x920C); }
bool nikonIsLensTypeZero() {
  const auto v = propCurrentValue(0xD0E2);
  return v && *v == 0;
}

uint32_t nikonIsSpeedlightMounted() { return valueOr(0xD120, 0); }
uint32_t nikonGetSpeedlightChargeStatus() { return valueOr(0xD121, 0); }
uint32_t nikonGetFlashMode() { return valueOr(0x500C, 0); }
uint32_t nikonGetSpeedlightFlashMode() { return nikonIsSpeedlightMounted() ? nikonGetFlashMode() : 0; }

uint8_t nikonGetBurstLimit() {
  const auto available = propCurrentValue(0xD1F1), continuous = propCurrentValue(0xD1B4);
  if (!available || !continuous) return 20;
  return static_cast<uint8_t>(std::min<uint32_t>(std::min(*available, *continuous), 255));
}

bool nikonIsMirrorUp() { return valueOr(0x5013, 0) == 0x8012; }
bool nikonHasMirrorUpSetting() { return propExists(0xD1F7); }
bool nikonHasModelCapabilityA() { return !nikonModelIn({204, 192}); }

PropertyStruct* nikonGetAutoIsoRecord() {
  if (propExists(0xD054)) {
    const auto program = propCurrentValue(0x500E);
    bool useAutoIso = !program || (*program >= 1 && *program <= 4);
    if (program && *program >= 0x8050 && *program <= 0x8052) {
      const uint32_t user = valueOr(0xD0FC, 0);
      useAutoIso = user >= 19 && user <= 22;
    }
    if (useAutoIso) return propFind(0xD054, false);
  }
  return propFind(0xD16A, false);
}

uint32_t nikonGetAutoIsoCode() {
  const PropertyStruct* r = nikonGetAutoIsoRecord();
  return r ? r->code : 0;
}

bool nikonIsNotAutoIsoRecord(const PropertyStruct* record) { return !record || record->code != 0xD16A; }

bool nikonHasAutoIsoSetting() { return (propExists(0xD054) || propExists(0xD16A)) && propExists(0xD0B5); }

bool nikonIsContinuousDriveValue(uint32_t code, uint32_t value) {
  if (value == 0x8100 && propExists(0xD0F6)) return false;
  if (code == 0x5013) return value == 2 || value == 0x8010 || value == 0x8018 || value == 0x8019;
  if (code == 0xD1A1) return value == 1 || value == 2 || value == 0x8019;
  return false;
}

uint32_t nikonFocusModeCode() {
  if (nikonIsMirrorlessModel(model())) return 0xD161;
  return propExists(0xD061) ? 0xD061 : 0x500A;
}

bool nikonIsRecentModel() { return nikonModelBetween(214, 232); }
bool nikonModelHasIsoAuto() { return nikonModelBetween(220, 222) || nikonModelBetween(225, 232); }
bool nikonModelHasWbKelvinMap() { return nikonModelBetween(194, 205); }

uint32_t nikonMapWhiteBalanceKelvin(uint32_t value) {
  if (model() != 197) return value;
  return value <= 30 ? kKelvin[value] : 5000;
}

uint32_t nikonKelvinToWhiteBalanceIndex(uint32_t kelvin) {
  if (model() != 197) return kelvin;
  uint32_t index = 0;
  // Past each midpoint between neighbouring entries the upper one is the nearer.
  while (index < 30 && kelvin >= (kKelvin[index] + kKelvin[index + 1]) / 2) ++index;
  return index;
}

uint32_t nikonLiveViewAfModeStep() {
  switch (valueOr(0xD061, 0)) {
    case 2: return 1;
    case 3:
    case 4: return 4;
    default: return 0;
  }
}

uint32_t nikonAutoFocusModeStep() {
  const uint32_t v = valueOr(0xD161, 0);
  return v == 3 || v == 4 ? 4 : 0;
}

PropertyStruct* nikonAfAreaRecordFor(uint32_t focusMode, bool lock) {
  if (focusMode == 0x8010) return propFind(0xD049, lock);
  if (focusMode == 0x8011) return propFind(0xD048, lock);
  return nullptr;
}

bool nikonIsAutoFocusMode() {
  const uint32_t code = nikonFocusModeCode();
  const auto v = propCurrentValue(code);
  if (!v) return false;
  // 0xD161 and 0xD061 count 3 (fixed MF) and 4 (MF) as manual; 0x500A names MF as 1.
  if (code == 0x500A) return *v != 1;
  return *v < 3;
}

bool nikonCanAutoFocus() {
  if (nikonIsMirrorlessModel(model())) {
    auto p = propCopy(0xD061);
    return p && p->getSet == 1;
  }
  if (nikonState().liveViewOn) return valueOr(0xD061, 0) != 3;
  if (const auto af = propCurrentValue(0xD161)) return nikonIsHostMode() && *af != 3;
  const uint32_t focus = valueOr(0x500A, 0);
  if (focus == 1) return false;
  if (model() == 198) return true;
  return focus == 0x8011;
}

bool nikonIsHostMode() { return nikonState().hostMode == 1; }
