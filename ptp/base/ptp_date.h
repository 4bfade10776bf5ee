#pragma once
// PTP DateTime strings ("YYYYMMDDThhmmss", optionally followed by tenths or a zone).
#include <ctime>

// Local time (daylight saving left to the system); 0 for a text shorter than 15 or
// longer than 39 characters, or a null text.
time_t ptpParseDateTime(const char* text);
