#include "model/exif_mapping.h"

#include <algorithm>
#include <cctype>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"

namespace {

bool containsIgnoringCase(const std::string& text, const std::string& word) {
  auto it = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
  return it != text.end();
}

uint16_t sonyMetering(int64_t m) {
  switch (m) {
    case 1: return 0x8003;
    case 2: return 0x8002;
    case 3:
    case 4: return 4;
    case 5: return 0x8001;
    case 255: return 0x8006;
    default: return uint16_t(m);
  }
}

uint16_t nikonMetering(int64_t m) {
  switch (m) {
    case 3: return 4;
    case 5: return 3;
    case 255: return 0x8010;
    default: return uint16_t(m);
  }
}

uint16_t canonMetering(int64_t m) {
  switch (m) {
    case 2: return 5;
    case 3: return 1;
    case 5: return 3;
    case 6: return 4;
    default: return uint16_t(m);
  }
}

uint16_t sonyWhiteBalance(int64_t light, int64_t wb) {
  switch (light) {
    case 0: return wb == 0 ? 2 : wb == 1 ? 0x8012 : uint16_t(wb);
    case 1: return 4;
    case 3: return 6;
    case 4: return 7;
    case 10: return 0x8010;
    case 11: return 0x8011;
    case 12: return 0x8004;
    case 13: return 0x8003;
    case 14: return 0x8002;
    case 15: return 0x8001;
    case 255: return 0x8020;
    default: return uint16_t(wb);
  }
}

uint16_t nikonWhiteBalance(int64_t light, int64_t wb) {
  switch (light) {
    case 0: return wb == 0 ? 2 : 0x8012;
    case 3: return 6;
    case 4: return 7;
    case 9: return 4;
    case 10: return 0x8010;
    case 11: return 0x8011;
    case 14: return 5;
    default: return 2;
  }
}

}  // namespace

uint8_t exifCameraMakeFromText(const std::string& make) {
  if (containsIgnoringCase(make, "Canon")) return CameraVendorCanon;
  if (containsIgnoringCase(make, "Nikon")) return CameraVendorNikon;
  if (containsIgnoringCase(make, "Sony")) return CameraVendorSony;
  return 0;
}

uint16_t exifMapMeteringMode(uint8_t make, int64_t metering) {
  switch (make) {
    case CameraVendorSony: return sonyMetering(metering);
    case CameraVendorNikon: return nikonMetering(metering);
    case CameraVendorCanon: return canonMetering(metering);
    default: return uint16_t(metering);
  }
}

uint16_t exifMapWhiteBalance(uint8_t make, int64_t lightSource, int64_t whiteBalance) {
  switch (make) {
    case CameraVendorSony: return sonyWhiteBalance(lightSource, whiteBalance);
    case CameraVendorNikon: return nikonWhiteBalance(lightSource, whiteBalance);
    default: return uint16_t(whiteBalance);
  }
}

std::optional<uint8_t> exifCanonWhiteBalanceFromFile(std::span<const uint8_t> data) {
  static constexpr uint8_t kMark[5] = {0x00, 0x44, 0x00, 0x00, 0x00};
  const ByteReader r(data);
  for (uint64_t k = 512; k <= 2047 && k < r.size(); ++k) {
    auto five = r.bytes(k, 5);
    if (!five || !std::equal(five->begin(), five->end(), kMark)) continue;
    return r.u8(k + 15);  // nullopt when the byte lies past the end
  }
  return std::nullopt;
}
