#pragma once
// The Nikon label table (property names and value names) and the two Nikon vendor code
// lists that property loading walks.
#include <cstdint>
#include <span>

#include "ptp/props/prop_types.h"

// The row holding this code ends the table.
constexpr uint32_t kNikonLabelEndCode = 0xD407;

// The rows in table order, the first {0, "Unknown"}, the last the end code's.
std::span<const PropertyLabelRow> nikonPropertyLabels();

// The 64 codes read at connect time.
std::span<const uint32_t> nikonVendorPropertyCodes();
// The same with the image size (0x5003) after the live-view zoom ratio: 65 codes.
std::span<const uint32_t> nikonFixedPropertyCodes();
// Whether the code is one of the fixed list's.
bool nikonIsKnownCode(uint32_t code);
