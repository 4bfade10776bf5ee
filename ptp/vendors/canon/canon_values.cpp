#include "ptp/vendors/canon/canon_values.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/canon/canon_labels.h"
#include "ptp/vendors/canon/canon_models.h"

namespace {

bool in(uint32_t code, uint32_t lo, uint32_t hi) { return code >= lo && code <= hi; }

// Fields of the packed image format.
uint32_t entryCount(uint32_t v) { return v >> 28; }
uint32_t firstType(uint32_t v) { return (v >> 24) & 0xF; }
uint32_t secondType(uint32_t v) { return (v >> 10) & 0xF; }

constexpr int64_t kNone = -1;

bool listHolds(const PropertyData& p, uint32_t value) {
  return std::any_of(p.values.begin(), p.values.end(), [&](const auto& e) { return e.value == value; });
}

// The range of exposure compensation, whole stops only, read from 0xD104's value texts.
std::pair<float, float> exposureBiasRange() {
  float max = 0, min = 0;
  const auto p = propCopy(0xD104);
  if (!p) return {max, min};
  char highestPlus = 0, highestMinus = 0;
  for (const auto& e : p->values) {
    const size_t n = strnlen(e.text, sizeof e.text);
    if (n < 1 || n > 3 || e.value == 0 || n < 2) continue;
    const char sign = e.text[0], digit = e.text[1];
    if (digit < '0' || digit > '9') continue;
    if (sign == '+' && digit > highestPlus) {
      highestPlus = digit;
      max = canonExposureBiasToEv(e.value);
    } else if (sign == '-' && digit > highestMinus) {
      highestMinus = digit;
      min = canonExposureBiasToEv(e.value);
    }
  }
  return {max, min};
}

}  // namespace

int32_t canonPropertyDatatype(uint32_t c) {
  static constexpr uint32_t kU16[] = {0xD101, 0xD102, 0xD103, 0xD105, 0xD106, 0xD108, 0xD10F, 0xD111, 0xD112,
                                      0xD119, 0xD11A, 0xD11D, 0xD138, 0xD1A9, 0xD1B0, 0xD1B1, 0xD1D2, 0xD1D3,
                                      0xD1D9};
  static constexpr uint32_t kU8[] = {0xD107, 0xD109, 0xD110, 0xD179, 0xD199, 0xD1A1, 0xD1A2,
                                     0xD1AD, 0xD1DA, 0xD1DB};
  static constexpr uint32_t kStr[] = {0xD115, 0xD1AF, 0xD1D0, 0xD1D1, 0xD1D8};
  auto listed = [c](const auto& list) { return std::find(std::begin(list), std::end(list), c) != std::end(list); };
  if (listed(kU16)) return 4;
  if (c == 0xD104) return 1;
  if (listed(kU8) || in(c, 0xD130, 0xD133) || in(c, 0xD140, 0xD145) || in(c, 0xD150, 0xD155) ||
      in(c, 0xD160, 0xD162) || in(c, 0xD170, 0xD172) || in(c, 0xD17F, 0xD192) || in(c, 0xD1A4, 0xD1A7) ||
      in(c, 0xD1D5, 0xD1D7))
    return 2;
  if (c == 0xD10B || c == 0xD10C) return 3;
  if (listed(kStr)) return 0xFFFF;
  return 6;
}

PtpResponseCode canonPackImageFormat(std::span<const uint8_t> data, uint32_t& packed, size_t& consumed) {
  ByteReader r(data);
  const auto count = r.u32(0);
  if (!count) return ERROR_INVALID_INPUT;
  if (*count != 1 && *count != 2) return ERROR_BAD_REPLY;
  // Each entry: size (16), type, size code, quality; the entry's size + 4 must lie inside.
  uint32_t fields[2][3] = {};
  for (uint32_t e = 0; e < *count; ++e) {
    const size_t at = 4 + 16 * e;
    const auto size = r.u32(at);
    if (!size || static_cast<uint64_t>(at) + *size > data.size() || *size < 16) return ERROR_INVALID_INPUT;
    for (int f = 0; f < 3; ++f) fields[e][f] = *r.u32(at + 4 + 4 * f);
  }
  packed = (*count << 28) | ((fields[0][0] & 0xF) << 24) | ((fields[0][1] & 0x3F) << 18) | ((fields[0][2] & 0xF) << 14);
  if (*count == 2)
    packed |= ((fields[1][0] & 0xF) << 10) | ((fields[1][1] & 0x3F) << 4) | (fields[1][2] & 0xF);
  consumed = *count == 2 ? 36 : 20;
  return PTP_RC_OK;
}

PtpResponseCode canonUnpackImageFormat(uint32_t packed, std::vector<uint8_t>& out) {
  const uint32_t count = entryCount(packed);
  if (count != 1 && count != 2) return ERROR_INVALID_INPUT;
  out.clear();
  bytesAppendU32(out, count);
  bytesAppendU32(out, 16);
  bytesAppendU32(out, firstType(packed));
  bytesAppendU32(out, (packed >> 18) & 0x3F);
  bytesAppendU32(out, (packed >> 14) & 0xF);
  if (count == 2) {
    bytesAppendU32(out, 16);
    bytesAppendU32(out, secondType(packed));
    bytesAppendU32(out, (packed >> 4) & 0x3F);
    bytesAppendU32(out, packed & 0xF);
  }
  return PTP_RC_OK;
}

PtpResponseCode canonGetRawFormat(int64_t& packed) {
  const auto v = propCurrentValue(0xD120);
  if (!v) return ERROR_GENERAL;
  packed = firstType(*v) == 6 ? static_cast<int64_t>((*v & 0x0FFFC000) | 0x10000000) : kNone;
  return PTP_RC_OK;
}

PtpResponseCode canonGetJpegFormat(int64_t& packed) {
  const auto v = propCurrentValue(0xD120);
  if (!v) return ERROR_GENERAL;
  if (firstType(*v) == 1) packed = (*v & 0x0FFFC000) | 0x10000000;
  else if (entryCount(*v) == 2 && secondType(*v) == 1) packed = ((*v << 14) & 0x0FFFC000) | 0x10000000;
  else packed = kNone;
  return PTP_RC_OK;
}

PtpResponseCode canonGetImageFormatChoices(uint32_t type, std::vector<int64_t>& choices) {
  const auto p = propCopy(0xD120);
  if (!p) return ERROR_GENERAL;
  constexpr size_t kMaxChoices = 33;
  choices.assign(1, kNone);
  for (const auto& e : p->values) {
    if (choices.size() > kMaxChoices) break;
    if (entryCount(e.value) == 1 && firstType(e.value) == type) choices.push_back(e.value);
  }
  return PTP_RC_OK;
}

PtpResponseCode canonComposeImageFormat(int64_t raw, int64_t jpeg, uint32_t& value) {
  if (raw == kNone && jpeg == kNone) return ERROR_INVALID_INPUT;
  if (raw == kNone) value = static_cast<uint32_t>(jpeg);
  else if (jpeg == kNone) value = static_cast<uint32_t>(raw);
  else value = (static_cast<uint32_t>(raw) & 0x0FFFFFFF) | ((static_cast<uint32_t>(jpeg) >> 14) & 0x3FFF) | 0x20000000;
  return PTP_RC_OK;
}

PtpResponseCode canonSetImageFormat(int64_t raw, int64_t jpeg) {
  uint32_t value = 0;
  const PtpResponseCode rc = canonComposeImageFormat(raw, jpeg, value);
  if (rc != PTP_RC_OK) return rc;
  return camSetPropertyValue(kCanonImageFormatCode, value, true);
}

PtpResponseCode canonDecodeImageFormat(uint32_t packed, uint8_t type, uint16_t& sizeCode, uint8_t& quality) {
  if (packed < 0x10000000) return ERROR_GENERAL;
  if (firstType(packed) == type) {
    sizeCode = (packed >> 18) & 0x3F;
    quality = (packed >> 14) & 0xF;
    return PTP_RC_OK;
  }
  if (entryCount(packed) == 2 && secondType(packed) == type) {
    sizeCode = (packed >> 4) & 0x3F;
    quality = packed & 0xF;
    return PTP_RC_OK;
  }
  return ERROR_GENERAL;
}

bool canonQualityIncludesJpeg(uint32_t v) { return (v & 0x3C00) == 0x400 || (v & 0x0F000000) == 0x01000000; }

uint16_t canonRawObjectFormat() {
  const uint8_t model = camModelIndex();
  return canonIsRecentModel() || model == 227 || model == 229 ? 0xB108 : 0xB103;
}

float canonExposureBiasToEv(uint32_t code) {
  code &= 0xFF;
  const bool negative = code >= 161;
  const uint32_t m = negative ? (256 - code) & 255 : code;
  const uint32_t w = m >> 3, f = m & 7;
  float ev;
  if (f == 4) {
    ev = static_cast<float>(w) + 0.5f;
  } else {
    const uint32_t g = f == 3 ? 1 : f == 5 ? 2 : f;
    ev = static_cast<float>(3 * w + g) / 3.0f;
  }
  return negative ? -ev : ev;
}

uint32_t canonEvToExposureBias(float ev) {
  const double x = std::fabs(static_cast<double>(ev));
  if (!(x >= 0.1)) return 0;  // NaN too
  const double w = std::trunc(x + 0.15);
  if (w > 31) return 0;  // beyond the code's range
  uint32_t code = 8 * static_cast<uint32_t>(w);
  const double r = std::fmod(x, 1.0);
  if (r > 0.1) {
    if (r - 1.0 / 3 < 0.1) code += 3;
    else if (r - 0.5 < 0.1) code += 4;
    else if (r - 2.0 / 3 < 0.1) code += 5;
  }
  return ev < 0 ? (256 - code) & 0xFF : code;
}

int canonGetEvStepsPerStop() {
  const auto bias = propCopy(0xD104);
  if (!bias) return 3;
  if (!bias->values.empty()) return listHolds(*bias, 4) ? 2 : 3;
  const auto bracket = propCopy(0xD1D9);
  if (bracket && !bracket->values.empty()) return listHolds(*bracket, 4) ? 2 : 3;
  const auto shutter = propCopy(0xD102);
  if (shutter && listHolds(*shutter, 100)) return 2;
  return 3;
}

float canonGetExposureBiasMax() { return exposureBiasRange().first; }
float canonGetExposureBiasMin() { return exposureBiasRange().second; }

std::optional<uint32_t> canonExposureMode() {
  uint32_t code = propVendorCodeMap().exposureProgram;
  if (code == 0) code = propExists(0xD138) ? 0xD138 : 0xD105;
  return propCurrentValue(code);
}

bool canonIsExposureBiasAdjustable() {
  const auto mode = canonExposureMode();
  if (!mode) return false;
  if (*mode < 3) return true;
  if (*mode == 20) return propCurrentValue(0xD1C5) == 0u;
  return false;
}

bool canonIsBracketingAvailable(bool checkProperty) {
  const auto mode = canonExposureMode();
  if (!mode) return false;
  static constexpr uint32_t kModes[] = {0, 1, 2, 3, 7, 16, 17};
  if (std::find(std::begin(kModes), std::end(kModes), *mode) == std::end(kModes)) return false;
  return !checkProperty || propExists(0xD1D9);
}

int canonGetBracketingShots() { return 3; }

std::vector<float> canonGetBracketingSequence(float ev) { return {ev, -ev}; }

std::optional<float> canonMaxBracketingEvFromTable() {
  const auto p = propCopy(0xD1D9);
  if (!p) return std::nullopt;
  uint32_t largest = 0;
  for (const auto& e : p->values) largest = std::max(largest, e.value);
  return p->values.empty() ? 0.0f : static_cast<float>(largest) * 0.125f;
}

float canonGetMaxBracketingEv() { return canonMaxBracketingEvFromTable().value_or(0.0f); }

PtpResponseCode canonClearBracketing() {
  const auto value = propCurrentValue(kCanonBracketingCode);
  if (!value) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (*value == 0) return PTP_RC_OK;
  return camSetPropertyValue(kCanonBracketingCode, 0, false);
}

void canonFillBracketingChoices(PropertyStruct& record) {
  static constexpr uint32_t kHalf[] = {0, 4, 8, 12, 16, 20, 24};
  static constexpr uint32_t kThird[] = {0, 3, 5, 8, 11, 13, 16, 19, 21, 24};
  const bool half = canonGetEvStepsPerStop() == 2;
  const std::span<const uint32_t> chosen = half ? std::span<const uint32_t>(kHalf) : std::span<const uint32_t>(kThird);
  std::vector<PropertyValueNamesStruct> list;
  for (uint32_t v : chosen) {
    for (const PropertyValueNamesStruct& c : canonAebChoices()) {
      if (c.text[0] != '\0' && c.value == v) {
        list.push_back(c);
        break;
      }
    }
  }
  std::lock_guard<std::recursive_mutex> lock(record.mutex);
  record.getSet = 1;
  record.values = std::move(list);
  record.count = static_cast<uint16_t>(record.values.size());
}

bool canonIsBulbSelected() {
  const auto mode = canonExposureMode();
  if (!mode) return false;
  if (*mode == 4) return true;
  if (*mode != 3) return false;
  const auto shutter = propCurrentValue(0xD102);
  return shutter && (*shutter == 4 || *shutter == 12);
}

bool canonIsContinuousDriveValue(uint32_t v) { return v == 1 || v == 4 || v == 5 || v == 20 || v == 21 || v == 22; }

float canonIsoCodeToValue(uint32_t code) {
  struct Iso {
    uint32_t code;
    float iso;
  };
  static constexpr Iso kIso[] = {
      {40, 6.25f},   {48, 12.5f},   {56, 25},      {64, 50},      {67, 64},      {69, 80},      {72, 100},
      {75, 125},     {77, 160},     {80, 200},     {83, 250},     {85, 320},     {88, 400},     {91, 500},
      {93, 640},     {96, 800},     {99, 1000},    {101, 1250},   {104, 1600},   {107, 2000},   {109, 2500},
      {112, 3200},   {115, 4000},   {117, 5000},   {120, 6400},   {123, 8000},   {125, 10000},  {128, 12800},
      {131, 16000},  {133, 20000},  {136, 25600},  {139, 32000},  {141, 40000},  {144, 51200},  {152, 102400}};
  for (const Iso& i : kIso)
    if (i.code == code) return i.iso;
  return 0;
}

uint32_t canonShutterSpeedToMs(uint32_t code) {
  struct Speed {
    uint32_t code, ms;
  };
  static constexpr Speed kSpeeds[] = {
      {16, 30000}, {19, 25000}, {20, 20000}, {21, 20000}, {24, 15000}, {27, 13000}, {28, 10000}, {29, 10000},
      {32, 8000},  {35, 6000},  {36, 6000},  {37, 5000},  {40, 4000},  {43, 3200},  {44, 3000},  {45, 2500},
      {48, 2000},  {51, 1600},  {52, 1500},  {53, 1300},  {56, 1000},  {59, 800},   {60, 700},   {61, 600},
      {64, 500},   {67, 400},   {68, 300},   {69, 300},   {72, 250},   {75, 200},   {76, 166},   {77, 166},
      {80, 125},   {83, 100},   {84, 100},   {85, 76},    {88, 66},    {91, 50},    {92, 50},    {93, 40},
      {96, 33},    {99, 25},    {100, 22},   {101, 20},   {104, 16},   {107, 12},   {108, 11},   {109, 10},
      {112, 8},    {115, 6},    {116, 5},    {117, 5},    {120, 4},    {123, 3},    {124, 2},    {125, 2},
      {128, 2},    {131, 1},    {132, 1},    {133, 1},    {136, 1},    {139, 1},    {140, 1},    {141, 1},
      {144, 1}};
  for (const Speed& s : kSpeeds)
    if (s.code == code) return s.ms;
  return 0;
}

bool canonGetFixedRange(uint32_t code, uint32_t& min, uint32_t& max) {
  switch (code) {
    case 0xD101: min = 0x30, max = 0x38; return true;
    case 0xD102: min = 0x5D, max = 0x65; return true;
    case 0xD103: min = 0x58, max = 0x60; return true;
    default: return false;
  }
}
