#pragma once
// The Canon event stream (GetEvent 0x9116) into the property table and the event queue.
#include <cstddef>
#include <cstdint>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

constexpr uint16_t kCanonOpGetEvent = 0x9116;
constexpr uint32_t kCanonEventFocusInfo = 0xC1A5;
// Values for properties the table lacks, kept until the walk ends. Beyond this many
// codes further values are dropped rather than allocated for.
constexpr size_t kCanonMaxPendingValues = 768;

// GetEvent: the raw reply into data.
PtpResponseCode canonGetEvent(ByteBuffer& data, bool blocking);
// Walks the records (u32 length, u32 type, payload) and applies each. 0xFF15 for null or
// empty data; 0 when a record the walk needs cannot be created; else 0x2001.
PtpResponseCode canonParseEvents(const uint8_t* data, size_t length);
// One 0xC1A5 record (its head included): the focus-information events. 0xFF15 when
// its size field is out of range.
PtpResponseCode canonParseFocusInfo(const uint8_t* record, size_t length);
// The kind-64 value of the bit-9 focus word.
int32_t canonFocusWordValue(uint32_t word);
