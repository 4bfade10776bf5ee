#pragma once
// Nikon events (CheckEvent 0x90C7 and GetEventEx 0x941C lists) into the property table
// and the event queue.
#include <cstddef>
#include <cstdint>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

constexpr uint32_t kNikonCaptureComplete = 0x4007;
// Longest event list walked from one reply; the rest is dropped, not allocated for.
constexpr uint32_t kNikonMaxEvents = 4096;

// The CheckEvent form: u16 count, then (u16 code, u32 parameter) entries; the walk stops
// at the data's end. 0xFF15 for null or empty data; 0x2001 for a count of 0 or fewer
// than 3 bytes.
PtpResponseCode nikonParseEvents(const uint8_t* data, size_t length);
// The GetEventEx form when the camera lists 0x941C (u32 count, then u16 code, u16 n, n u32
// parameters each), else the CheckEvent form.
PtpResponseCode nikonParseEventsEx(const uint8_t* data, size_t length);
// GetEventEx 0x941C when listed, else CheckEvent 0x90C7: the raw reply.
PtpResponseCode nikonGetEvents(ByteBuffer& data, bool blocking);

// A known code's DevicePropDesc re-read into the table, then DevicePropChanged.
bool nikonRefreshProperty(uint32_t code);
