#pragma once
// The Canon label table: property names, datatypes and value names, installed into the
// property table while a Canon body is connected.
#include <cstdint>
#include <span>

#include "ptp/props/prop_types.h"

// The row holding this code ends the table.
constexpr uint32_t kCanonLabelEndCode = 0xD1DD;

// The rows in table order, the first {0, "Unknown"}, the last the end code's.
std::span<const PropertyLabelRow> canonPropertyLabels();
// The bracketing choices, ending with an entry whose text is empty.
std::span<const PropertyValueNamesStruct> canonAebChoices();
