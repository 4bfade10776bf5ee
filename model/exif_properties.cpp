#include "model/exif_properties.h"

#include <cmath>

const ExifValue* ExifDictionary::find(const std::string& key) const {
  auto it = values_.find(key);
  return it == values_.end() ? nullptr : &it->second;
}

double ExifDictionary::number(const std::string& key) const {
  const ExifValue* v = find(key);
  if (!v) return 0;
  if (auto* i = std::get_if<int64_t>(v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(v)) return *d;
  if (auto* list = std::get_if<std::vector<double>>(v)) return list->empty() ? 0 : list->front();
  return 0;
}

std::string ExifDictionary::text(const std::string& key) const {
  const ExifValue* v = find(key);
  if (auto* s = v ? std::get_if<std::string>(v) : nullptr) return *s;
  return {};
}

int64_t exifTruncate(double value) {
  if (!std::isfinite(value)) return 0;
  // 2^63 as a double; anything at or beyond it is out of range.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return INT64_MAX;
  if (value <= -kLimit) return INT64_MIN;
  return static_cast<int64_t>(value);
}

uint16_t exifToU16(double value) { return static_cast<uint16_t>(exifTruncate(value)); }

uint8_t exifToU8(double value) { return static_cast<uint8_t>(exifTruncate(value)); }
