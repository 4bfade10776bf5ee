// Arbitrary bytes as a NEF, ARW or CR2 (the first byte picks the format): a found preview
// lies inside the data and is one whole JPEG, SOI to its end of image.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "ptp/base/filetypes.h"

KV_FUZZ_TARGET(embedded_jpeg) {
  if (size < 1) return 0;
  static const uint16_t formats[] = {kFormatNef, kFormatArw, kFormatCr2, kFormatRaf, kFormatCr3};
  uint16_t format = formats[data[0] % 5];
  std::span<const uint8_t> bytes(data + 1, size - 1);
  uint32_t offset = 7, length = 7;
  bool found = fileFindEmbeddedJpeg(bytes, offset, length, format);
  if (!found && (offset != 0 || length != 0)) std::abort();
  if (found) {
    if (length < 2 || uint64_t(offset) + length > bytes.size()) std::abort();
    if (bytes[offset] != 0xFF || bytes[offset + 1] != 0xD8) std::abort();
    if (fileJpegLength(bytes.subspan(offset, length)) != length) std::abort();
  }
  return 0;
}
