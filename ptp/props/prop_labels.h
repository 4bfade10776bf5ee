#pragma once
// The installed vendor label table (property names, datatypes, value names) and the
// display text of a property value.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ptp/props/prop_types.h"

// Installs the current vendor's rows; lookups stop at the row holding endCode (included)
// or at the end of the span. An empty span removes the table.
void propSetLabelTable(std::span<const PropertyLabelRow> rows, uint32_t endCode);

// The code's label, or null without a table or row.
const char* propLabelFor(uint32_t code);
// The code's row, or null.
const PropertyLabelRow* propLabelRowFor(uint32_t code);

// The display text of a value: the vendor's own text first (Nikon 0xD0B5 as "ISO <n>"),
// then the value names of the code's label row (a value not listed, or a row whose list
// begins empty, gives the number); nullopt without a table, row or list.
std::optional<std::string> propValueText(uint32_t code, uint32_t value);
