#pragma once
// The table of the camera's device properties: at most 300 records in one fixed array,
// appended during camera set-up and emptied as a whole, each with its own mutex. A
// record never moves, so pointers handed out (and carried by events) stay valid.
#include <cstdint>
#include <optional>
#include <string>

#include "ptp/props/prop_types.h"

// Appends a record for code (everything else cleared), locked when lockIt; null when the
// table is full. Every record's mutex is recursive, whatever `recursive` asks: a
// non-recursive one taken twice by its holder would only hang.
PropertyStruct* propAdd(uint32_t code, bool lockIt, bool recursive);
// The first record holding code, locked when lockIt; null when absent.
PropertyStruct* propFind(uint32_t code, bool lockIt);
PropertyStruct* propLookup(uint32_t code, bool lockIt);
bool propExists(uint32_t code);
// A null record counts as success.
bool propLock(PropertyStruct* record);
bool propUnlock(PropertyStruct* record);
// A copy of the code's record taken under its lock, with its own value list.
std::optional<PropertyData> propCopy(uint32_t code);
// The code's current value, read under its record's lock (event threads rewrite records at
// any time); nullopt when no record holds the code. Code 0 names no property: an unmapped
// vendor code is 0.
std::optional<uint32_t> propCurrentValue(uint32_t code);
// Empties every record and the table.
void propClearTable();
// Number of records.
uint16_t propCount();
// The record at a table position (null beyond the count).
PropertyStruct* propAt(uint16_t position);

// Byte size of a datatype's value: 4 for 0, 1/1/2/2/4/4/8/8 for 1-8, 0 otherwise.
uint32_t ptpDatatypeSize(int32_t datatype);
// Size of the record's current value; for strings the length of its text.
uint32_t propValueSize(const PropertyStruct* record);

// A value as decimal text for its datatype: INT8 and INT16 patterns read signed, the
// unsigned datatypes unsigned, anything else as a signed 32-bit number.
std::string propFormatValue(int32_t datatype, uint32_t value);

// Whether the property accepts value: its list holds it (after cutting the value to the
// datatype's 8 or 16 bits), or it has no list or the "any value" count.
bool propValueAllowed(uint32_t code, uint32_t value);
// The text of the record's list entry holding value, else the value as a number.
std::string propValueName(uint32_t code, uint32_t value);

// Copies text into a fixed field, cut to fit, the rest zeroed.
template <size_t N>
void propSetText(char (&field)[N], const std::string& text) {
  size_t n = text.size() < N - 1 ? text.size() : N - 1;
  size_t i = 0;
  for (; i < n && text[i] != '\0'; ++i) field[i] = text[i];
  for (; i < N; ++i) field[i] = '\0';
}
