#include "ptp/base/decimal_text.h"

#include <charconv>
#include <cmath>

std::string textFixed(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  char buffer[400];  // the widest double in fixed notation fits
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

std::optional<float> textLeadingFloat(std::string_view text) {
  // from_chars takes no leading '+' or spaces; scanf did.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  float value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end == text.data()) return std::nullopt;
  return value;
}
