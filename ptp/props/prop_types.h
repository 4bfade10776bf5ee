#pragma once
// One camera property with its allowed values, and a row of a vendor label table.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// PTP datatype codes of a DevicePropDesc.
constexpr int32_t PTP_DTC_UNDEF = 0;
constexpr int32_t PTP_DTC_INT8 = 1;
constexpr int32_t PTP_DTC_UINT8 = 2;
constexpr int32_t PTP_DTC_INT16 = 3;
constexpr int32_t PTP_DTC_UINT16 = 4;
constexpr int32_t PTP_DTC_INT32 = 5;
constexpr int32_t PTP_DTC_UINT32 = 6;
constexpr int32_t PTP_DTC_INT64 = 7;
constexpr int32_t PTP_DTC_UINT64 = 8;
constexpr int32_t PTP_DTC_STR = 0xFFFF;

constexpr size_t kPropTableCapacity = 300;
constexpr size_t kPropTextBytes = 64;
constexpr size_t kPropValueTextBytes = 32;
// A list of this many entries also means that any value is accepted.
constexpr uint16_t kPropCountAnyValue = 255;
// Longest list a range is expanded into. A wider range keeps no list, so any value is
// accepted and the camera itself judges it.
constexpr uint16_t kPropRangeListCap = 2048;

struct PropertyValueNamesStruct {
  char text[kPropValueTextBytes];
  uint32_t value;
};
static_assert(sizeof(PropertyValueNamesStruct) == 36);

// The copyable part of a property: what propCopy hands out.
struct PropertyData {
  uint32_t code = 0;
  const char* label = nullptr;  // static label-table text, or null
  int32_t datatype = PTP_DTC_UNDEF;
  uint32_t value = 0;  // integers keep the datatype's bit pattern (8 bits for INT8)
  char text[kPropTextBytes] = {};
  uint16_t count = 0;  // == values.size()
  std::vector<PropertyValueNamesStruct> values;
  uint8_t getSet = 0;  // 1: settable
};

// A record of the table. Records never move, so a pointer stays valid for the process;
// events carry such pointers.
struct PropertyStruct : PropertyData {
  std::recursive_mutex mutex;
};

// A row of a vendor label table (read-only data); valueNames ends with an empty text.
struct PropertyLabelRow {
  uint32_t code;
  const char* label;
  uint32_t datatype;  // 0: unknown
  const PropertyValueNamesStruct* valueNames;
};
