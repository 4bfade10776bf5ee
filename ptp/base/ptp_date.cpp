#include "ptp/base/ptp_date.h"

#include <cstring>

namespace {
// Digits of text[at, at + n) as a number, stopping at the first non-digit (like atoi).
int field(const char* text, size_t at, size_t n) {
  int v = 0;
  for (size_t i = 0; i < n && text[at + i] >= '0' && text[at + i] <= '9'; ++i) v = v * 10 + (text[at + i] - '0');
  return v;
}
}  // namespace

time_t ptpParseDateTime(const char* text) {
  if (!text) return 0;
  size_t length = ::strnlen(text, 40);
  if (length < 15 || length > 39) return 0;
  std::tm tm{};
  tm.tm_year = field(text, 0, 4) - 1900;
  tm.tm_mon = field(text, 4, 2) - 1;
  tm.tm_mday = field(text, 6, 2);
  tm.tm_hour = field(text, 9, 2);
  tm.tm_min = field(text, 11, 2);
  tm.tm_sec = field(text, 13, 2);
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}
