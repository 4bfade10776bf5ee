#include "ptp/vendors/fuji/fuji_images.h"

#include <algorithm>

#include "ptp/base/filetypes.h"

namespace {
constexpr size_t kSearchPositions = 500;
}

bool fujiFindEmbeddedJpeg(const uint8_t* data, size_t length, uint32_t& offset,
                          uint32_t& jpegLength) {
  offset = 0;
  jpegLength = 0;
  if (!data || length < 5) return false;
  size_t last = std::min(kSearchPositions - 1, length - 5);
  for (size_t p = 0; p <= last; ++p) {
    if (data[p] != 0xFF || data[p + 1] != 0xD8 || data[p + 2] != 0xFF || data[p + 3] != 0xE1)
      continue;
    uint32_t n = fileJpegLength(std::span<const uint8_t>(data + p, length - p));
    if (n == 0 || n > length - p) return false;
    offset = static_cast<uint32_t>(p);
    jpegLength = n;
    return true;
  }
  return false;
}
