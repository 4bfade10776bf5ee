#pragma once
// Sony property descriptors (the 0x9209 GetAllDevicePropData reply) into the property
// table, and values reported by events.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

// Longest value list kept for one property. The table counts lists in 8 bits and 255
// means "any value", so a longer list is cut here rather than wrapped.
constexpr size_t kSonyMaxListEntries = 254;

// Held while a 0x9209 reply is parsed into the table.
std::mutex& sonyRefreshLock();

// Parses the descriptor at the start of bytes into the table: `length` := its length,
// `changed` := whether the record's value or settable flag changed (or it is new),
// `record` := the record (null when the table is full). 0xFF15, with the table untouched,
// for a descriptor that does not fit in bytes or has an unknown datatype.
PtpResponseCode sonyParseDescriptor(std::span<const uint8_t> bytes, size_t& length, bool& changed,
                                    PropertyStruct** record = nullptr);
// Finds the descriptor of code in a 0x9209 reply (by its code and, for a known record,
// its datatype) and parses it; with queueEvent a change queues DevicePropChanged. 0x2000
// when the reply does not hold the code.
PtpResponseCode sonyParseProperty(uint32_t code, std::span<const uint8_t> reply, bool queueEvent);
// sonyParseProperty with events for every code of the Sony label table, under the
// refresh lock.
PtpResponseCode sonyParseAllProperties(std::span<const uint8_t> reply);
// The reply from its ninth byte on, descriptor by descriptor, under the refresh lock;
// with queueEvents each changed record queues DevicePropChanged. Parsing stops at the
// first descriptor that does not fit (its failure is answered).
PtpResponseCode sonyParseReply(std::span<const uint8_t> reply, bool queueEvents);

// Replaces the record's list with these values and their texts.
bool sonySetValueList(uint32_t code, const std::vector<uint32_t>& values);

// Stores a value reported by an event (see the module's rules for the image format and
// the exposure mode); the record, or null when the code is not in the table.
PropertyStruct* sonyStorePropertyValue(uint32_t code, uint32_t value, uint8_t settable);
