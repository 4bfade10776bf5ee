#include "ptp/vendors/sony/sony_liveview.h"

#include "ptp/base/byte_reader.h"

namespace {
const uint8_t kJpegStart[] = {0xFF, 0xD8, 0xFF, 0xDB};
}

int64_t sonyFindJpegStart(const uint8_t* buffer, size_t length) {
  auto at = ByteReader(buffer, length).find(kJpegStart);
  return at ? static_cast<int64_t>(*at) : -1;
}

bool sonyStripLiveViewHeader(std::vector<uint8_t>& buffer) {
  int64_t at = sonyFindJpegStart(buffer.data(), buffer.size());
  if (at < 0) return false;
  buffer.erase(buffer.begin(), buffer.begin() + at);
  return true;
}

uint8_t sonyLiveViewFrameOrientation(const uint8_t*, size_t) { return 1; }

uint8_t sonyGetLiveViewOrientation() { return 1; }

bool sonyGetLiveViewFocusFrame(const uint8_t* frame, size_t length, uint16_t out[4],
                               uint8_t modelIndex, bool directSet) {
  if (!directSet || !out || length < kSonyFocusFrameMinBytes) return false;
  bool early = modelIndex == 176 || modelIndex == 182 || modelIndex == 183 || modelIndex == 189;
  size_t base = early ? 581 : 1093;
  ByteReader r(frame, length);
  auto first = r.u16(base), second = r.u16(base + 2), third = r.u16(base + 4),
       fourth = r.u16(base + 6);
  if (!first || !second || !third || !fourth) return false;
  out[0] = *first;
  out[1] = *second;
  out[2] = *fourth;
  out[3] = *third;
  return true;
}
