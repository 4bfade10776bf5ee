#pragma once
// Fujifilm change detection: the body sends no events, so every tracked property is
// re-read and compared; changes become 0x4FF1 rows for the event parser. Property records
// the device relays in one buffer are applied directly.
#include <cstdint>
#include <span>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

constexpr size_t kFujiEventRowBytes = 38;

// Re-reads the record and answers whether its value, text (strings) or get/set byte
// changed. For the AF-frame pseudo-properties the get/set byte is the change mark, which
// is answered and cleared.
bool fujiPropertyChanged(PropertyStruct* record);
// One 38-byte row per changed record, in table order.
PtpResponseCode fujiCheckEvents(std::vector<uint8_t>& data);
// Records {u32 size, u32 kind, u32 code, value}; DevicePropChanged ones for tracked codes
// are parsed into the table and queued. False for data shorter than 9 bytes or a record
// that does not fit; a record of size 0 ends the run.
bool fujiApplyPropertyRecords(std::span<const uint8_t> data);
