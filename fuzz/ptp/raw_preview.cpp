// Arbitrary bytes as a TIFF-based raw: whatever preview comes back is a whole JPEG lying
// inside the data.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/base/filetypes.h"

KV_FUZZ_TARGET(raw_preview) {
  std::span<const uint8_t> bytes(data, size);
  std::vector<uint8_t> jpeg;
  uint8_t orientation = 0;
  uint32_t n = fileExtractRawPreview(bytes, &orientation, jpeg);
  if (n != jpeg.size()) std::abort();
  if (n != 0) {
    if (n < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || n > size) std::abort();
    if (fileJpegLength(jpeg) != n) std::abort();
    if (std::search(bytes.begin(), bytes.end(), jpeg.begin(), jpeg.end()) == bytes.end()) std::abort();
  }
  std::vector<uint8_t> live;
  for (uint16_t code : {uint16_t(0x9153), uint16_t(0x9203)}) {
    if (camExtractLiveViewJpeg(bytes, live, code) && (live.size() > size || live.size() < 4)) std::abort();
  }
  return 0;
}
