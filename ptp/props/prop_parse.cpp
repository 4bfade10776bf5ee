#include "ptp/props/prop_parse.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"

namespace {
constexpr uint8_t kFormRange = 1;
constexpr uint8_t kFormEnumeration = 2;

bool isSigned(int32_t datatype) {
  return datatype == PTP_DTC_INT8 || datatype == PTP_DTC_INT16 || datatype == PTP_DTC_INT32 ||
         datatype == PTP_DTC_INT64;
}

bool isInteger(int32_t datatype) { return datatype >= PTP_DTC_INT8 && datatype <= PTP_DTC_UINT64; }

// The integer of datatype at off, zero-extended to 64 bits.
std::optional<uint64_t> readInteger(const ByteReader& r, uint64_t off, int32_t datatype) {
  switch (ptpDatatypeSize(datatype)) {
    case 1: return r.u8(off);
    case 2: return r.u16(off);
    case 4: return r.u32(off);
    case 8: return r.u64(off);
    default: return std::nullopt;
  }
}

// Stored as the datatype's bit pattern: 8 or 16 bits for the small types, the low 32
// bits otherwise.
uint32_t pattern(int32_t datatype, uint64_t bits) {
  switch (ptpDatatypeSize(datatype)) {
    case 1: return static_cast<uint32_t>(bits & 0xFF);
    case 2: return static_cast<uint32_t>(bits & 0xFFFF);
    default: return static_cast<uint32_t>(bits);
  }
}

// The value as a number for counting through a range: signed datatypes sign-extended.
__int128 widen(int32_t datatype, uint64_t bits) {
  if (!isSigned(datatype)) return static_cast<__int128>(bits);
  switch (ptpDatatypeSize(datatype)) {
    case 1: return static_cast<int8_t>(bits);
    case 2: return static_cast<int16_t>(bits);
    case 4: return static_cast<int32_t>(bits);
    default: return static_cast<int64_t>(bits);
  }
}

struct PtpString {
  std::string text;
  uint64_t size;
};

// A PTP string at off (count byte n, then n UTF-16 units of which the low bytes are
// kept), cut at its first NUL and at maxChars.
std::optional<PtpString> readString(const ByteReader& r, uint64_t off, size_t maxChars) {
  auto n = r.u8(off);
  if (!n) return std::nullopt;
  const uint64_t size = 1 + 2ull * *n;
  auto units = r.bytes(off + 1, 2ull * *n);
  if (!units) return std::nullopt;
  std::string text;
  for (size_t i = 0; i < *n && text.size() < maxChars; ++i) {
    const auto c = static_cast<char>((*units)[2 * i]);
    if (c == '\0') break;
    text.push_back(c);
  }
  return PtpString{std::move(text), size};
}

std::string textOf(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

std::string integerText(uint32_t code, int32_t datatype, uint32_t value) {
  if (auto text = propValueText(code, value)) return *text;
  return propFormatValue(datatype, value);
}

// An integer current value: only its first 4 bytes count.
bool parseIntegerCurrent(PropertyData& st, const ByteReader& r, uint64_t off, uint16_t vendor) {
  std::optional<uint32_t> v;
  const uint32_t size = ptpDatatypeSize(st.datatype);
  if (size == 1) v = r.u8(off);
  else if (size == 2) v = r.u16(off);
  else v = r.u32(off);
  if (!v) return false;
  st.value = *v;
  if (vendor == CameraVendorNikon && st.code == 0xD16A) st.value = st.value == 0 ? 1 : 0;
  propSetText(st.text, integerText(st.code, st.datatype, st.value));
  return true;
}

// A string current value into text; value follows from the list (or the Fujifilm image
// size table). nullopt when the string runs past the data.
std::optional<uint64_t> parseStringCurrent(PropertyData& st, const ByteReader& r, uint64_t off, uint16_t vendor,
                                           CameraServices& services) {
  auto s = readString(r, off, kPropTextBytes - 1);
  if (!s) return std::nullopt;
  propSetText(st.text, s->text);
  if (vendor == CameraVendorFujifilm && st.code == PTP_DPC_ImageSize) {
    st.value = services.fujiImageSizeIndexFromName(s->text);
  } else {
    for (size_t i = 0; i < st.values.size(); ++i) {
      if (textOf(st.values[i].text, kPropValueTextBytes) == s->text) {
        st.value = static_cast<uint32_t>(i);
        break;
      }
    }
  }
  return s->size;
}

bool parseEnumeration(PropertyData& st, const ByteReader& r, uint64_t off, uint16_t vendor,
                      CameraServices& services) {
  auto n = r.u16(off);
  if (!n) return false;
  const uint16_t count = *n & 0xFF;
  off += 2;
  std::vector<PropertyValueNamesStruct> values;
  values.reserve(count);
  const std::string current = textOf(st.text, kPropTextBytes);
  for (uint16_t i = 0; i < count; ++i) {
    PropertyValueNamesStruct entry{};
    if (st.datatype == PTP_DTC_STR) {
      auto s = readString(r, off, kPropValueTextBytes - 1);
      if (!s) return false;
      propSetText(entry.text, s->text);
      entry.value = vendor == CameraVendorFujifilm && st.code == PTP_DPC_ImageSize
                        ? services.fujiImageSizeIndexFromName(s->text)
                        : i;
      if (s->text == current) st.value = entry.value;
      off += s->size;
    } else {
      auto bits = readInteger(r, off, st.datatype);
      if (!bits) return false;
      entry.value = pattern(st.datatype, *bits);
      propSetText(entry.text, integerText(st.code, st.datatype, entry.value));
      off += ptpDatatypeSize(st.datatype);
    }
    values.push_back(entry);
  }
  st.values = std::move(values);
  return true;
}

bool parseRange(PropertyData& st, const ByteReader& r, uint64_t off, uint16_t vendor) {
  const uint32_t size = ptpDatatypeSize(st.datatype);
  auto minBits = readInteger(r, off, st.datatype);
  auto maxBits = readInteger(r, off + size, st.datatype);
  auto stepBits = readInteger(r, off + 2ull * size, st.datatype);
  if (!minBits || !maxBits || !stepBits) return false;
  if (vendor == CameraVendorNikon && st.code == 0xD1B1) return true;
  // Counting is done on the sign-extended numbers; the entries keep the bit pattern.
  const __int128 min = widen(st.datatype, *minBits);
  const __int128 max = widen(st.datatype, *maxBits);
  const __int128 step = widen(st.datatype, *stepBits);
  if (step <= 0 || max <= min) return true;
  const __int128 count = (max - min) / step + 1;
  if (count > kPropRangeListCap) return true;
  const bool vendorTexts = vendor == CameraVendorNikon && st.code != 0x5018 && st.code != 0xD01E && st.code != 0xD1B4;
  std::vector<PropertyValueNamesStruct> values(static_cast<size_t>(count));
  for (size_t i = 0; i < values.size(); ++i) {
    const __int128 v = min + static_cast<__int128>(i) * step;
    auto& entry = values[i];
    entry.value = pattern(st.datatype, static_cast<uint64_t>(v));
    std::optional<std::string> text;
    if (vendorTexts) text = propValueText(st.code, entry.value);
    propSetText(entry.text, text ? *text : propFormatValue(st.datatype, entry.value));
  }
  st.values = std::move(values);
  return true;
}

bool oneOf(uint8_t model, std::initializer_list<uint8_t> models) {
  return std::find(models.begin(), models.end(), model) != models.end();
}

void nikonAdjust(PropertyData& st, CameraServices& services) {
  const uint8_t model = camModelIndex();
  if (st.code == 0xD01E && services.nikonModelHasWbKelvinMap()) {
    st.value = services.nikonMapWhiteBalanceKelvin(st.value);
    propSetText(st.text, propFormatValue(PTP_DTC_UNDEF, st.value));
    for (auto& entry : st.values) {
      entry.value = services.nikonMapWhiteBalanceKelvin(entry.value);
      propSetText(entry.text, propFormatValue(PTP_DTC_UNDEF, entry.value));
    }
  } else if (st.code == 0xD0B4 && model == 229) {
    st.getSet = services.nikonIsHostMode() ? 1 : 0;
  } else if (st.code == 0xD161 || st.code == 0xD061) {
    std::vector<uint32_t> drop{3};
    if (!services.nikonIsHostMode() && !services.nikonModelHasIsoAuto()) drop.push_back(4);
    if (st.code == 0xD161 && oneOf(model, {196, 200, 209, 210, 211, 215, 216, 219, 224})) drop.push_back(2);
    if (st.value == 3) st.getSet = 0;
    std::erase_if(st.values, [&](const PropertyValueNamesStruct& e) {
      return std::find(drop.begin(), drop.end(), e.value) != drop.end();
    });
  }
}
}  // namespace

uint32_t ptpReadValue(int32_t datatype, std::span<const uint8_t> src, uint32_t& out) {
  ByteReader r(src);
  if (datatype == PTP_DTC_STR) {
    auto s = readString(r, 0, 0);
    return s ? static_cast<uint32_t>(s->size) : 0;
  }
  if (!isInteger(datatype)) return 0;
  auto bits = readInteger(r, 0, datatype);
  if (!bits) return 0;
  out = pattern(datatype, *bits);
  return ptpDatatypeSize(datatype);
}

int propParseCurrentValue(uint32_t code, std::span<const uint8_t> data) {
  auto services = cameraServices();
  const uint16_t vendor = camGetVendor();
  PropertyStruct* record = propFind(code, true);
  if (!record) return -1;
  int position = -1;
  for (uint16_t i = 0; i < propCount(); ++i) {
    if (propAt(i) == record) position = i;
  }
  ByteReader r(data);
  bool ok = false;
  try {
    PropertyData st = *record;
    if (record->datatype == PTP_DTC_STR) {
      // A string longer than the data leaves the record as it was.
      ok = !data.empty();
      if (ok && parseStringCurrent(st, r, 0, vendor, *services)) static_cast<PropertyData&>(*record) = std::move(st);
    } else {
      ok = parseIntegerCurrent(st, r, 0, vendor);
      if (ok) static_cast<PropertyData&>(*record) = std::move(st);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  record->mutex.unlock();
  return ok ? position : -1;
}

namespace {
bool parseDescLocked(PropertyStruct* record, std::span<const uint8_t> data) {
  auto services = cameraServices();
  const uint16_t vendor = camGetVendor();
  ByteReader r(data);

  auto datatype = r.u16(2);
  auto getSet = r.u8(4);
  if (!datatype || !getSet) return false;
  uint64_t size;
  if (isInteger(*datatype)) {
    size = ptpDatatypeSize(*datatype);
  } else if (*datatype == PTP_DTC_STR) {
    auto n = r.u8(5);
    if (!n) return false;
    size = 1 + 2ull * *n;
  } else {
    return false;
  }
  if (!r.has(5, size)) return false;  // factory default

  PropertyData st = *record;
  st.datatype = *datatype;
  st.getSet = *getSet;
  st.label = propLabelFor(st.code);

  const uint64_t current = 5 + size;
  uint64_t currentSize = size;
  if (st.datatype == PTP_DTC_STR) {
    auto n = parseStringCurrent(st, r, current, vendor, *services);
    if (!n) return false;
    currentSize = *n;
  } else if (!r.has(current, size) || !parseIntegerCurrent(st, r, current, vendor)) {
    return false;
  }

  const uint64_t formAt = current + currentSize;
  auto form = r.u8(formAt);
  if (!form) return false;
  st.values.clear();
  if (*form == kFormEnumeration) {
    if (!parseEnumeration(st, r, formAt + 1, vendor, *services)) return false;
  } else if (*form == kFormRange && st.datatype != PTP_DTC_STR) {
    if (!parseRange(st, r, formAt + 1, vendor)) return false;
  }
  if (vendor == CameraVendorNikon) nikonAdjust(st, *services);
  st.count = static_cast<uint16_t>(st.values.size());
  static_cast<PropertyData&>(*record) = std::move(st);
  return true;
}
}  // namespace

bool propParseDesc(PropertyStruct* record, std::span<const uint8_t> data) {
  if (!record) return false;
  std::lock_guard lock(record->mutex);
  try {
    return parseDescLocked(record, data);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

PtpResponseCode ptpGetDevicePropDesc(uint32_t code, std::vector<uint8_t>& data) {
  data.clear();
  return cameraServices()->getDevicePropDesc(code, data);
}

bool propRefresh(PropertyStruct* record) {
  if (!record) return false;
  std::vector<uint8_t> data;
  if (ptpGetDevicePropDesc(record->code, data) != PTP_RC_OK) return false;
  return propParseDesc(record, data);
}
