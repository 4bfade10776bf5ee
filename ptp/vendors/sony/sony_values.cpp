#include "ptp/vendors/sony/sony_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/decimal_text.h"
#include "ptp/base/filetypes.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_models.h"

namespace {

// The text of the label row's list entry holding value.
std::optional<std::string> rowName(uint32_t code, uint32_t value) {
  const PropertyLabelRow* row = propLabelRowFor(code);
  if (!row || !row->valueNames) return std::nullopt;
  for (const PropertyValueNamesStruct* e = row->valueNames; e->text[0] != '\0'; ++e)
    if (e->value == value) return std::string(e->text, strnlen(e->text, sizeof e->text));
  return std::nullopt;
}

std::string compensationText(uint32_t value) {
  const double ev = static_cast<int16_t>(value & 0xFFFF) / 1000.0;
  if (std::fabs(ev) < 0.001) return "+/-0";
  return (ev > 0 ? "+" : "") + textFixed(ev, 1);
}

}  // namespace

std::optional<std::string> sonyValueText(uint32_t code, uint32_t value) {
  switch (code) {
    case 0x5007: return textFixed(value / 100.0, 1);
    case 0x5010:
    case 0xD200: return compensationText(value);
    // Each name comes from its own property's list: a value missing there is shown as a
    // number, never as another property's name.
    case 0x500A:
    case 0x500E:
    case 0x500B: return rowName(code, value);
    default: return std::nullopt;
  }
}

std::string sonyDisplayText(uint32_t code, uint32_t value, int32_t datatype) {
  if (auto text = sonyValueText(code, value)) return *text;
  if (auto text = rowName(code, value)) return *text;
  return propFormatValue(datatype, value);
}

uint32_t sonyShutterSpeedToMs(uint32_t value) {
  const uint32_t numerator = value >> 16, denominator = value & 0xFFFF;
  // A zero denominator would divide by zero: such a value is no timed exposure.
  if (value < 0x10000 || numerator == 0xFFFF || denominator == 0) return 0;
  return numerator * 1000 / denominator;
}

double sonyExposureSeconds() {
  const auto v = propCurrentValue(0xD20D);
  if (!v || *v < 0x10000 || (*v & 0xFFFF) == 0) return 0.0;
  return static_cast<double>(*v >> 16) / static_cast<double>(*v & 0xFFFF);
}

float sonyExposureBiasToEv(uint32_t value) { return static_cast<int16_t>(value & 0xFFFF) / 1000.0f; }

uint32_t sonyEvToExposureBias(float ev) {
  return static_cast<uint32_t>(static_cast<int32_t>(std::lround(ev * 1000.0f)));
}

int sonyBracketingShots(uint32_t drive) {
  switch (drive) {
    case 0x8311: case 0x8321: case 0x8331: case 0x8337: case 0x8357: case 0x8377: return 3;
    case 0x8511: case 0x8521: case 0x8531: case 0x8537: case 0x8557: case 0x8577: return 5;
    case 0x8911: case 0x8937: case 0x8957: case 0x8977: return 9;
    default: return 0;
  }
}

bool sonyIsContinuousDriveValue(uint32_t value) {
  const uint32_t v = value & 0xFFFF;
  switch (v) {
    case 2: case 0x8008: case 0x8009: case 0x800C: case 0x800D: case 0x800E: case 0x800F: case 0x8012: return true;
    default: return sonyBracketingShots(v) > 0;
  }
}

bool sonyIsContinuousDrive() {
  const auto v = propCurrentValue(0x5013);
  return v && *v != 1 && *v != 0x8012;
}

bool sonyIsDriveCodeSpecial() {
  const auto v = propCurrentValue(0x5013);
  return v && *v >= 0x8001;
}

namespace {
// The extreme of the "Exposure Compensation" list on one side of 0, in EV.
float biasLimit(bool largest) {
  const auto p = propCopy(0x5010);
  if (!p || p->values.empty()) return 0.0f;
  int limit = 0;
  for (const auto& e : p->values) {
    const int v = static_cast<int16_t>(e.value & 0xFFFF);
    limit = largest ? std::max(limit, v) : std::min(limit, v);
  }
  return limit / 1000.0f;
}
}  // namespace

float sonyGetExposureBiasMax() { return biasLimit(true); }
float sonyGetExposureBiasMin() { return biasLimit(false); }

bool sonyIsExposureBiasAdjustable() {
  const auto v = propCurrentValue(0x5010);
  return v && *v != 0;
}

bool sonyIsBulbSelected() {
  PropertyStruct* r = propFind(0xD20D, true);
  if (!r) return false;
  const bool bulb = r->getSet == 1 && r->value == 0;
  propUnlock(r);
  return bulb;
}

bool sonyIsBulbSupported() {
  const auto mode = propCurrentValue(0x500E);
  if (!mode) return true;
  if (*mode == 4 || *mode == 0x8050 || *mode == 0x30004 || *mode == 0x78050) return false;
  const auto drive = propCurrentValue(0x5013);
  return !drive || !sonyIsContinuousDriveValue(*drive);
}

bool sonyIsManualFocus() {
  const auto v = propCurrentValue(0x500A);
  return v && *v == 1;
}

bool sonyIsAutoFocusMode() {
  const auto v = propCurrentValue(0x500A);
  return v && *v != 1;
}

bool sonyIsInFocus() {
  const auto v = propCurrentValue(0xD213);
  return v && (*v == 2 || *v == 6);
}

bool sonyIsWideFocusArea() {
  if (sonyIsDirectSetModel()) return true;
  const auto v = propCurrentValue(0xD22C);
  return v && *v >= 257 && *v <= 260;
}

bool sonyIsFlashModeSettable() {
  PropertyStruct* r = propFind(0x500C, true);
  if (!r) return false;
  const bool settable = r->getSet == 1;
  propUnlock(r);
  return settable;
}

bool sonyIsLiveViewZoomEnabled() {
  const auto v = propCurrentValue(0xD25B);
  return v && *v != 0;
}

bool sonyGetZoomBarInfo(uint8_t& a, uint8_t& b, uint8_t& c) {
  const auto v = propCurrentValue(0xD25D);
  if (!v) return false;
  a = static_cast<uint8_t>(*v >> 24);
  b = static_cast<uint8_t>(*v >> 16);
  c = static_cast<uint8_t>(*v);
  return true;
}

uint32_t sonyGetFixedRange() { return 3; }

bool sonyFindTiffPreview(const uint8_t* buffer, size_t length, uint32_t& offset, uint32_t& previewLength) {
  const uint8_t ii[] = {'I', 'I'};
  const ByteReader head(buffer, std::min<size_t>(length, 100));
  const auto base = head.find(ii);
  if (!base) return false;
  const ByteReader tiff(buffer + *base, length - *base);
  const auto ifd = tiff.u32(4);
  if (!ifd) return false;
  const auto entries = tiff.u16(*ifd);
  if (!entries) return false;
  std::optional<uint32_t> start, size;
  for (uint32_t i = 0; i < *entries; ++i) {
    const uint64_t at = uint64_t(*ifd) + 2 + uint64_t(i) * 12;
    const auto tag = tiff.u16(at), type = tiff.u16(at + 2);
    const auto count = tiff.u32(at + 4), value = tiff.u32(at + 8);
    if (!tag || !type || !count || !value) return false;
    if (*type != 4 || *count != 1) continue;
    if (*tag == 0x0201) start = *value;
    if (*tag == 0x0202) size = *value;
  }
  // A preview that runs past the buffer, or holds no whole JPEG, is refused rather than
  // handed out; a whole one is cut at its end of image.
  if (!start || !size) return false;
  const uint32_t whole = fileWholeJpegInRange(std::span<const uint8_t>(buffer + *base, length - *base), *start, *size);
  if (whole == 0) return false;
  offset = *start;
  previewLength = whole;
  return true;
}
