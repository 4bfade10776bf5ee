#pragma once
// Fujifilm property reads and writes over the standard PTP operations, host mode, and the
// table set-up of a Fujifilm body.
#include <cstdint>
#include <span>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

// Longest text fujiSetStringProperty sends: the PTP string's count byte holds length + 1.
constexpr size_t kFujiMaxStringLength = 254;

// GetDevicePropValue 0x1015 / GetDevicePropDesc 0x1014 for code.
PtpResponseCode fujiGetDevicePropValue(uint32_t code, ByteBuffer& data);
PtpResponseCode fujiGetDevicePropDesc(uint32_t code, std::vector<uint8_t>& data);

// The vendor setter behind camSetPropertyValue: SetDevicePropValue 0x1016 with the value in
// the record's size. A code outside the table is written by its label row; 0xFF1B when it
// has none. Live view is stopped first where the body needs it (the caller restarts it).
PtpResponseCode fujiSetPropertyValue(uint32_t code, uint32_t value);
// Whether the last set (or a capture) stopped live view; answering clears it.
bool fujiTakeLiveViewStoppedForSet();
// A text property as a PTP string (0xFF1B outside the table, 0xFF15 for an empty text or
// one longer than kFujiMaxStringLength).
PtpResponseCode fujiSetStringProperty(uint32_t code, const char* text);
PtpResponseCode fujiSetUserComment(const char* text);

PtpResponseCode fujiSetHostMode(bool on);

// Re-reads one property's description, fixes the exposure records' settable flags from
// the exposure program, and queues DevicePropChanged.
bool fujiRefreshProperty(uint32_t code);
// camRefreshProperty for every record read from the body; 0xFF01 at the first failure.
PtpResponseCode fujiRefreshAllProperties();
// GetDevicePropValue into the record.
bool fujiRefreshValue(uint32_t code);
// Up to 10 reads, 100 ms apart, until the record holds value.
bool fujiWaitPropertyValue(uint32_t code, uint32_t value);
// A value an event reported into the record (string records are re-read instead).
PropertyStruct* fujiStorePropertyValue(uint32_t code, uint32_t value, uint8_t getSet);
// The raw values of codes as records {u32 code, u32 n, n bytes}; stops at the first
// failure, whose result is answered with what was read before it.
PtpResponseCode fujiGetPropertyValues(std::span<const uint32_t> codes, std::vector<uint8_t>& data);

// Empties the table and adds the tracked codes, each read from the body; a code the body
// does not describe is left out. The pseudo-codes are INT32 records of value 0.
void propLoadFixedCodes();
// Camera set-up: label table, tracked properties, recording to the card.
PtpResponseCode fujiInitCamera();

// RAW and JPEG parts written back as quality, compression and size (-1: keep none).
PtpResponseCode fujiSetImageFormat(int64_t raw, int64_t jpeg);
PtpResponseCode fujiGetNewObjectHandles(std::vector<uint32_t>& handles);
// The body's last PTP error (0xD21C), which is then cleared.
PtpResponseCode fujiTakePtpErrorStatus(uint16_t& out);
PtpResponseCode fujiSetLiveViewQuality(uint32_t value);
PtpResponseCode fujiSetLiveViewSize(uint32_t value);
