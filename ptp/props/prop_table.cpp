#include "ptp/props/prop_table.h"

#include <array>
#include <atomic>
#include <cstring>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_services.h"

namespace {
struct Table {
  std::mutex writers;  // propAdd and propClearTable
  std::atomic<uint16_t> count{0};
  std::array<PropertyStruct, kPropTableCapacity> records;
};

Table& T() {
  static Table* t = new Table;  // never destroyed: pollers may outlive statics
  return *t;
}

uint32_t cutToDatatype(int32_t datatype, uint32_t value) {
  if (datatype == PTP_DTC_INT8 || datatype == PTP_DTC_UINT8) return value & 0xFF;
  if (datatype == PTP_DTC_INT16 || datatype == PTP_DTC_UINT16) return value & 0xFFFF;
  return value;
}
}  // namespace

PropertyStruct* propAdd(uint32_t code, bool lockIt, bool /*recursive*/) {
  Table& t = T();
  std::lock_guard lock(t.writers);
  uint16_t n = t.count.load();
  if (n >= kPropTableCapacity) return nullptr;
  PropertyStruct& r = t.records[n];
  r.mutex.lock();
  static_cast<PropertyData&>(r) = PropertyData{};
  r.code = code;
  if (!lockIt) r.mutex.unlock();
  t.count.store(n + 1, std::memory_order_release);
  return &r;
}

PropertyStruct* propFind(uint32_t code, bool lockIt) {
  Table& t = T();
  uint16_t n = t.count.load(std::memory_order_acquire);
  for (uint16_t i = 0; i < n; ++i) {
    PropertyStruct& r = t.records[i];
    if (r.code != code) continue;
    if (lockIt) r.mutex.lock();
    return &r;
  }
  return nullptr;
}

PropertyStruct* propLookup(uint32_t code, bool lockIt) { return propFind(code, lockIt); }

bool propExists(uint32_t code) { return propFind(code, false) != nullptr; }

bool propLock(PropertyStruct* record) {
  if (record) record->mutex.lock();
  return true;
}

bool propUnlock(PropertyStruct* record) {
  if (record) record->mutex.unlock();
  return true;
}

std::optional<PropertyData> propCopy(uint32_t code) {
  PropertyStruct* r = propFind(code, true);
  if (!r) return std::nullopt;
  std::unique_lock lock(r->mutex, std::adopt_lock);
  try {
    return PropertyData(static_cast<const PropertyData&>(*r));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<uint32_t> propCurrentValue(uint32_t code) {
  if (code == 0) return std::nullopt;
  PropertyStruct* r = propFind(code, true);
  if (!r) return std::nullopt;
  std::lock_guard lock(r->mutex, std::adopt_lock);
  return r->value;
}

void propClearTable() {
  Table& t = T();
  std::lock_guard lock(t.writers);
  uint16_t n = t.count.load();
  for (uint16_t i = 0; i < n; ++i) {
    PropertyStruct& r = t.records[i];
    std::lock_guard recordLock(r.mutex);
    r.values.clear();
    r.values.shrink_to_fit();
    r.count = 0;
    r.code = 0;
  }
  t.count.store(0, std::memory_order_release);
}

uint16_t propCount() { return T().count.load(std::memory_order_acquire); }

PropertyStruct* propAt(uint16_t position) {
  return position < propCount() ? &T().records[position] : nullptr;
}

uint32_t ptpDatatypeSize(int32_t datatype) {
  switch (datatype) {
    case PTP_DTC_UNDEF: return 4;
    case PTP_DTC_INT8:
    case PTP_DTC_UINT8: return 1;
    case PTP_DTC_INT16:
    case PTP_DTC_UINT16: return 2;
    case PTP_DTC_INT32:
    case PTP_DTC_UINT32: return 4;
    case PTP_DTC_INT64:
    case PTP_DTC_UINT64: return 8;
    default: return 0;
  }
}

uint32_t propValueSize(const PropertyStruct* record) {
  if (!record) return 0;
  if (record->datatype == PTP_DTC_STR) return static_cast<uint32_t>(strnlen(record->text, kPropTextBytes));
  return ptpDatatypeSize(record->datatype);
}

std::string propFormatValue(int32_t datatype, uint32_t value) {
  switch (datatype) {
    case PTP_DTC_INT8: return std::to_string(static_cast<int8_t>(value));
    case PTP_DTC_INT16: return std::to_string(static_cast<int16_t>(value));
    case PTP_DTC_UINT8:
    case PTP_DTC_UINT16:
    case PTP_DTC_UINT32:
    case PTP_DTC_UINT64: return std::to_string(value);
    default: return std::to_string(static_cast<int32_t>(value));
  }
}

bool propValueAllowed(uint32_t code, uint32_t value) {
  if (camGetVendor() == CameraVendorCanon && (code == 0xD055 || code == 0xD1B0)) return true;
  PropertyStruct* r = propFind(code, true);
  if (!r) return false;
  bool allowed = r->count == 0 || r->count == kPropCountAnyValue;
  const uint32_t cut = cutToDatatype(r->datatype, value);
  for (size_t i = 0; !allowed && i < r->values.size(); ++i) allowed = r->values[i].value == cut;
  r->mutex.unlock();
  return allowed;
}

std::string propValueName(uint32_t code, uint32_t value) {
  PropertyStruct* r = propFind(code, true);
  if (!r) return propFormatValue(PTP_DTC_UNDEF, value);
  std::string name;
  bool found = false;
  for (const auto& entry : r->values) {
    if (entry.value != value) continue;
    name.assign(entry.text, strnlen(entry.text, kPropValueTextBytes));
    found = true;
    break;
  }
  if (!found) name = propFormatValue(r->datatype, value);
  r->mutex.unlock();
  return name;
}
