// A Sony live-view frame: the focus fields read and the header cut off.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/vendors/sony/sony_liveview.h"

KV_FUZZ_TARGET(sony_liveview_frame) {
  uint16_t focus[4];
  for (uint8_t model : {171, 176})
    for (bool directSet : {true, false}) sonyGetLiveViewFocusFrame(data, size, focus, model, directSet);
  std::vector<uint8_t> frame(data, data + size);
  bool stripped = sonyStripLiveViewHeader(frame);
  if (stripped && (frame.size() < 4 || frame[3] != 0xDB)) abort();
  if (!stripped && frame.size() != size) abort();
  return 0;
}
