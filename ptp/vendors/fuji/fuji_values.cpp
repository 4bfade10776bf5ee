#include "ptp/vendors/fuji/fuji_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/decimal_text.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_state.h"

namespace {

bool oneOf(uint32_t v, std::initializer_list<uint32_t> list) {
  return std::find(list.begin(), list.end(), v) != list.end();
}

std::string formatOneDecimal(double v) { return textFixed(v, 1); }

// The JPEG quality code a quality value carries: Fine 2, Normal 3, Super Fine 6.
uint32_t jpegCode(uint32_t quality) {
  switch (quality) {
    case 4: return 2;
    case 5: return 3;
    case 7: return 6;
    default: return quality;
  }
}

// Image-size families by aspect ratio: a current size selects its family, which offers
// its sizes in this order. Marks restrict a size to some bodies.
enum Mark : uint8_t { kAll, kGfx50, kGfxLarge, kGfx100 };
struct Offered {
  uint8_t size;
  Mark mark;
};
struct Family {
  std::initializer_list<uint8_t> selects;
  std::initializer_list<Offered> offers;
};

const Family kFamilies[] = {
    {{0, 3, 6, 9, 12, 15, 18, 21, 32, 35, 38, 41, 49, 59, 64, 69},
     {{0, kAll}, {9, kAll}, {3, kAll}, {12, kAll}, {15, kAll}, {6, kAll}, {18, kAll}, {21, kGfx50}, {32, kAll},
      {35, kAll}, {38, kAll}, {41, kGfxLarge}, {49, kAll}, {59, kAll}, {64, kAll}, {69, kAll}}},
    {{1, 4, 7, 10, 13, 16, 19, 22, 33, 36, 39, 42, 50, 58, 63, 68},
     {{10, kAll}, {1, kAll}, {13, kAll}, {4, kAll}, {7, kAll}, {16, kAll}, {19, kAll}, {22, kGfx50}, {33, kAll},
      {36, kAll}, {39, kAll}, {42, kGfxLarge}, {50, kAll}, {58, kAll}, {63, kAll}, {68, kAll}}},
    {{2, 5, 8, 11, 14, 17, 20, 23, 34, 37, 40, 43, 51, 57, 62, 67},
     {{2, kAll}, {11, kAll}, {5, kAll}, {14, kAll}, {8, kAll}, {17, kAll}, {20, kAll}, {23, kGfx50}, {34, kAll},
      {37, kAll}, {40, kAll}, {43, kGfxLarge}, {51, kAll}, {57, kAll}, {62, kAll}, {67, kAll}}},
    {{24, 28, 44, 48, 56, 61, 66},
     {{24, kAll}, {28, kGfx50}, {44, kGfxLarge}, {48, kAll}, {56, kAll}, {61, kAll}, {66, kAll}}},
    {{25, 29, 45, 52}, {{25, kAll}, {29, kGfx50}, {45, kGfx100}, {52, kAll}}},
    {{26, 30, 46, 53, 55, 60, 65},
     {{26, kAll}, {30, kGfx50}, {46, kGfxLarge}, {53, kAll}, {55, kAll}, {60, kAll}, {65, kAll}}},
    {{27, 31, 47, 54}, {{27, kAll}, {31, kGfx50}, {47, kGfxLarge}, {54, kAll}}},
};

bool markAllows(Mark mark, uint8_t model) {
  switch (mark) {
    case kGfx50: return model == 20 || model == 21;
    case kGfxLarge: return oneOf(model, {23, 33, 34, 37});
    case kGfx100: return oneOf(model, {23, 33, 37});
    default: return true;
  }
}

// The listed compensation values in EV, 0 included.
std::pair<float, float> exposureBiasRange() {
  float max = 0.0f, min = 0.0f;
  const auto p = propCopy(PTP_DPC_ExposureBiasCompensation);
  if (!p) return {max, min};
  for (const auto& e : p->values) {
    const float ev = fujiExposureBiasToEv(e.value);
    max = std::max(max, ev);
    min = std::min(min, ev);
  }
  return {max, min};
}

}  // namespace

std::optional<std::string> fujiValueText(uint32_t code, uint32_t value) {
  switch (code) {
    case PTP_DPC_ImageSize:
      if (const char* name = fujiImageSizeName(value)) return std::string(name);
      return std::nullopt;
    case PTP_DPC_ExposureBiasCompensation: return formatOneDecimal(fujiExposureBiasToEv(value));
    case PTP_DPC_FNumber: return formatOneDecimal(value / 100.0);
    default: return std::nullopt;
  }
}

uint32_t fujiImageSizeIndexFromName(const std::string& name) {
  const uint8_t model = camModelIndex();
  auto matches = [&](uint32_t i) { return name == fujiImageSizeName(i); };
  if (oneOf(model, {23, 33, 34, 37})) {
    for (uint32_t i = 54; i-- > 0;)
      if (matches(i)) return i;
  } else if (model == 36) {
    for (uint32_t i = 55; i <= 69; ++i)
      if (matches(i)) return i;
  } else {
    for (uint32_t i = 0; i <= 53; ++i)
      if (matches(i)) return i;
  }
  return 0xFFFF;
}

bool fujiIsRawQualityValue(uint32_t q) { return oneOf(q, {1, 4, 5, 7}); }
bool fujiIsJpegQualityValue(uint32_t q) { return q >= 2 && q <= 7; }

bool fujiQualityIncludesRaw() { return oneOf(propCurrentValue(kFujiImageQuality).value_or(0), {4, 5, 7}); }

PtpResponseCode fujiGetImageFormat(uint32_t& out) {
  const auto quality = propCurrentValue(kFujiImageQuality);
  const auto size = propCurrentValue(PTP_DPC_ImageSize);
  if (!quality || !size) return ERROR_INVALID_INPUT;
  uint32_t raw = 0, jpeg = 0;
  if (fujiIsRawQualityValue(*quality)) raw = (propCurrentValue(kFujiRawCompression).value_or(0) << 24) + kFujiRawMarker;
  if (fujiIsJpegQualityValue(*quality)) jpeg = ((*size << 8) | jpegCode(*quality)) & 0xFFFF;
  out = jpeg | raw;
  return PTP_RC_OK;
}

PtpResponseCode fujiGetRawFormat(int64_t& out) {
  const auto quality = propCurrentValue(kFujiImageQuality);
  if (!quality) return ERROR_GENERAL;
  out = fujiIsRawQualityValue(*quality)
            ? static_cast<int64_t>((propCurrentValue(kFujiRawCompression).value_or(0) << 24) | kFujiRawMarker)
            : kFujiFormatNone;
  return PTP_RC_OK;
}

PtpResponseCode fujiGetJpegFormat(int64_t& out) {
  const auto quality = propCurrentValue(kFujiImageQuality);
  const auto size = propCurrentValue(PTP_DPC_ImageSize);
  if (!quality || !size) return ERROR_GENERAL;
  out = fujiIsJpegQualityValue(*quality) ? static_cast<int64_t>((*size << 8) | jpegCode(*quality)) : kFujiFormatNone;
  return PTP_RC_OK;
}

PtpResponseCode fujiGetImageFormatChoices(int kind, std::vector<int64_t>& list) {
  list.clear();
  if (kind == kFujiFormatKindRaw) {
    list = {kFujiFormatNone, 0x1010000};
    if (propExists(kFujiRawCompression)) list.push_back(0x2010000);
    return PTP_RC_OK;
  }
  if (kind != kFujiFormatKindJpeg) {
    list = {kFujiFormatNone};
    return PTP_RC_OK;
  }
  const auto size = propCurrentValue(PTP_DPC_ImageSize);
  if (!propExists(kFujiImageQuality) || !size) return PTP_ERROR_UNSUPPORTED_COMMAND;
  list.push_back(kFujiFormatNone);
  const uint8_t model = camModelIndex();
  const bool superFine = propValueAllowed(kFujiImageQuality, 6);
  for (const Family& family : kFamilies) {
    if (std::find(family.selects.begin(), family.selects.end(), *size) == family.selects.end()) continue;
    for (const Offered& o : family.offers) {
      if (!markAllows(o.mark, model) || !propValueAllowed(PTP_DPC_ImageSize, o.size)) continue;
      const int64_t base = static_cast<int64_t>(o.size) << 8;
      list.push_back(base + 3);
      list.push_back(base + 2);
      if (superFine) list.push_back(base + 6);
    }
    break;
  }
  return PTP_RC_OK;
}

std::string fujiImageQualityText(int64_t packed) {
  if (packed == kFujiFormatNone) return "--";
  const uint32_t v = static_cast<uint32_t>(packed);
  std::string text;
  const bool raw = oneOf((v >> 16) & 0xFF, {1, 4, 5, 7});
  if (raw) text = (v >> 24) == 2 ? "C-RAW" : "RAW";
  const uint32_t code = v & 0xFF;
  if (code >= 2 && code <= 7) {
    if (raw) text += " + ";
    text += fujiImageSizeClass((v >> 8) & 0xFF);
    text += "JPG ";
    if (code == 2) text += "(FINE)";
    else if (code == 3) text += "(NORM)";
    else if (code == 6) text += "(S-FINE)";
  }
  return text;
}

float fujiExposureBiasToEv(uint32_t value) { return static_cast<int16_t>(value & 0xFFFF) / 1000.0f; }

uint32_t fujiEvToExposureBias(float ev) {
  return static_cast<uint16_t>(static_cast<int32_t>(std::roundf(ev * 1000.0f)));
}

float fujiGetExposureBiasMax() { return exposureBiasRange().first; }
float fujiGetExposureBiasMin() { return exposureBiasRange().second; }
int fujiGetEvStepsPerStop() { return 3; }

bool fujiIsExposureBiasAdjustable() {
  if (!fujiIsHostMode()) return false;
  const auto program = propCurrentValue(PTP_DPC_ExposureProgramMode);
  return program && camIsExposureBiasSettable(*program);
}

uint32_t fujiGetAvailableShots() {
  const auto p = propCopy(kFujiMediaCapacity);
  if (!p) return 0;
  const std::string_view text(p->text, strnlen(p->text, sizeof p->text));
  if (text.empty()) return 0;
  const size_t wanted = camModelIndex() == 35 ? 4 : 0;
  size_t start = 0;
  for (size_t field = 0; field < wanted; ++field) {
    const size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) return 0;
    start = comma + 1;
  }
  std::string_view field = text.substr(start, text.find(',', start) - start);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  uint32_t shots = 0;
  std::from_chars(field.data(), field.data() + field.size(), shots);
  return shots;
}
