#pragma once
// Fetched event data into the property table and the event queue.
#include <cstdint>
#include <span>

#include "ptp/base/response_codes.h"

// Fujifilm and Sony event rows are this long.
constexpr size_t kEventRowBytes = 38;

// Routes by vendor: Canon and Nikon to their own parsers, Fujifilm and Sony to the row
// format; 0xFF0F for any other vendor. After a success the after-events callback runs
// once.
PtpResponseCode camParseEvents(std::span<const uint8_t> data);
