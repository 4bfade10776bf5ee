// An uncompressed live-view frame converted on its own (frames of 256 to 3,999 bytes
// reach the converter through the live-view JPEG cutter).
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/vendors/canon/canon_yuv.h"
#include "ptp/vendors/common/bmp_canvas.h"

KV_FUZZ_TARGET(canon_yuv_frame) {
  for (uint8_t model : {0, 225, 235, 244}) {
    std::vector<uint8_t> out;
    size_t n = canonDecodeYuvLiveView(data, size, out, model);
    if (n != out.size()) abort();
    if (n && (n < kBmpHeaderBytes || out[0] != 'B' || out[1] != 'M')) abort();
    n = canonYuvToRgbBuffer(data, size, out, model);
    if (n && n + 6 != out.size()) abort();
  }
  return 0;
}
