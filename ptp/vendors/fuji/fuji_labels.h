#pragma once
// The Fujifilm label table (property names, datatypes and the value names the module
// knows), the properties the module tracks, and the image-size names of 0x5003.
#include <cstdint>
#include <span>

#include "ptp/props/prop_types.h"

// The row holding this code ends the table.
constexpr uint32_t kFujiLabelEndCode = 0xEEE3;
// The pseudo-properties from this code up are kept by the library, not read from the body.
constexpr uint32_t kFujiPseudoCodeFirst = 0xEEE0;
constexpr uint32_t kFujiImageSizeCount = 70;

// The 97 rows in table order, the last the end code's.
std::span<const PropertyLabelRow> fujiPropertyLabels();
// The code's row, or null.
const PropertyLabelRow* fujiLabelRowFor(uint32_t code);
// The 38 tracked codes in set-up order.
std::span<const uint32_t> fujiTrackedCodes();
// "6000x4000" for 15; null from kFujiImageSizeCount on.
const char* fujiImageSizeName(uint32_t index);
// "S ", "M " or "L " for an image-size index; "" for none.
const char* fujiImageSizeClass(uint32_t index);
