#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/filetypes.h"
#include "ptp/vendors/canon/canon_images.h"

namespace {
// StripOffsets (0x0111), type LONG, as a little-endian IFD entry begins.
const uint8_t kStripOffsetsLong[] = {0x11, 0x01, 0x04, 0x00};
}  // namespace

bool canonFindCr2Jpeg(const uint8_t* data, size_t length, uint32_t& offset, uint32_t& jpegLength) {
  offset = 0;
  jpegLength = 0;
  if (!data || length < 2 || data[0] != 'I' || data[1] != 'I') return false;
  ByteReader r(data, length);
  for (size_t p = 0; r.has(p, sizeof kStripOffsetsLong); p += 2) {
    if (std::memcmp(data + p, kStripOffsetsLong, sizeof kStripOffsetsLong) != 0) continue;
    auto at = r.u32(p + 8);
    if (!at || *at >= length) return false;
    uint32_t n = fileJpegLength(std::span<const uint8_t>(data + *at, length - *at));
    if (n == 0 || n > length - *at) return false;
    offset = *at;
    jpegLength = n;
    return true;
  }
  return false;
}
