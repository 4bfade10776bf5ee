#pragma once
// Decimal numbers as text and back, always with a decimal point: the viewer runs under the
// user's locale, where printf and scanf would write and expect "5,6".
#include <optional>
#include <string>
#include <string_view>

// `value` with `decimals` digits after the point ("5.6" for 5.6 and 1).
std::string textFixed(double value, int decimals);

// The number at the start of `text` ("5.6" of "5.6 EV"); nullopt when it starts with none.
std::optional<float> textLeadingFloat(std::string_view text);
