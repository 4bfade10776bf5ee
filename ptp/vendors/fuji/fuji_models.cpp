#include "ptp/vendors/fuji/fuji_models.h"

#include <algorithm>
#include <cctype>

#include "ptp/base/camera_vendor.h"

namespace {
struct Row {
  std::string_view name;
  uint8_t index;
};

// Order matters: "X-T30" before "X-T3", the II bodies before the names they contain.
constexpr Row kRows[] = {
    {"X-T30", 32},     {"X-T1", 16},    {"X-T2", 17},     {"X-T3", 22},      {"X-T4", 25},    {"X-T5", 36},
    {"GFX50S II", 34}, {"GFX 50S", 20}, {"GFX 50R", 21},  {"GFX100S II", 37}, {"GFX100S", 33}, {"GFX100 II", 37},
    {"GFX 100", 23},   {"X-H1", 18},    {"X-H2", 35},     {"X-Pro2", 19},    {"X-Pro3", 24},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A name is not found inside a longer number, as for the other makers: "X-T1" is not in
// "X-T10". A letter suffix still matches ("X-H2S").
bool containsNoCase(std::string_view text, std::string_view needle) {
  if (needle.empty()) return false;
  auto eq = [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  };
  for (auto it = text.begin();; ++it) {
    it = std::search(it, text.end(), needle.begin(), needle.end(), eq);
    if (it == text.end()) return false;
    const size_t at = static_cast<size_t>(it - text.begin());
    const size_t end = at + needle.size();
    const bool digitBefore = at > 0 && isDigit(text[at - 1]) && isDigit(needle.front());
    const bool digitAfter = end < text.size() && isDigit(text[end]) && isDigit(needle.back());
    if (!digitBefore && !digitAfter) return true;
  }
}
}  // namespace

bool fujiIdentifyModel(std::string_view model, uint8_t& index) {
  for (const Row& row : kRows) {
    if (containsNoCase(model, row.name)) {
      index = row.index;
      return true;
    }
  }
  return false;
}

bool fujiIsGfxModelIndex(uint8_t index) {
  switch (index) {
    case 20: case 21: case 23: case 33: case 34: case 37: return true;
    default: return false;
  }
}

bool fujiIsGfxModel() { return fujiIsGfxModelIndex(camModelIndex()); }
