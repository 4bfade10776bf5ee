#pragma once
// DevicePropDesc datasets and current values from the camera into the property table.
// Every read is bounded by the bytes given; a parse that fails changes nothing.
#include <cstdint>
#include <span>
#include <vector>

#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

// Reads one value of datatype from src into out; answers the bytes it takes, 0 when
// they are not there or the datatype is unknown. 64-bit values keep their low 32 bits.
// A string (count byte n, n UTF-16 units) takes 1 + 2n bytes and stores nothing.
uint32_t ptpReadValue(int32_t datatype, std::span<const uint8_t> src, uint32_t& out);

// Parses a current value (a GetDevicePropValue reply) into the record of code; answers
// the record's table position, or -1 when the code is absent or the data too short.
int propParseCurrentValue(uint32_t code, std::span<const uint8_t> data);

// Parses a DevicePropDesc dataset into the record (held locked throughout): datatype,
// get/set byte, label, current value and the enumeration or range of allowed values.
// False, with the record untouched, for an unknown datatype or a truncated dataset.
bool propParseDesc(PropertyStruct* record, std::span<const uint8_t> data);

// GetDevicePropDesc 0x1014 for code.
PtpResponseCode ptpGetDevicePropDesc(uint32_t code, std::vector<uint8_t>& data);
// Fetches the record's DevicePropDesc and parses it; false on any failure.
bool propRefresh(PropertyStruct* record);
