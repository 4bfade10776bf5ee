// Arbitrary bytes measured as a JPEG: the answer never exceeds the data.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "ptp/base/filetypes.h"

KV_FUZZ_TARGET(jpeg_length) {
  std::span<const uint8_t> bytes(data, size);
  uint32_t n = fileJpegLength(bytes);
  if (n > size) std::abort();
  if (n != 0 && (n < 4 || data[n - 2] != 0xFF || data[n - 1] != 0xD9)) std::abort();
  return 0;
}
