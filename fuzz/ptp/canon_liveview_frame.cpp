// A GetViewFinderData reply as the device sends it, built into a live-view frame and
// made an image in place, for bodies with and without the YCbCr header rules.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/vendors/canon/canon_liveview.h"

KV_FUZZ_TARGET(canon_liveview_frame) {
  std::vector<uint8_t> reply(data, data + size);
  // Short inputs are also tried padded to the smallest reply the builder reads.
  std::vector<uint8_t> padded = reply;
  if (padded.size() < kCanonLiveViewMinReply) padded.resize(kCanonLiveViewMinReply, 0);
  for (uint8_t model : {0, 225, 235}) {
    for (const auto* r : {&reply, &padded}) {
      std::vector<uint8_t> frame;
      if (canonParseLiveViewFrame(r->data(), r->size(), frame, model)) {
        EOS_LiveViewInfoStruct h{};
        if (!canonReadLiveViewHeader(frame.data(), frame.size(), h)) abort();
        if (h.afFrameCount > kCanonMaxAfFrames) abort();
        if (frame.size() != kCanonLiveViewHeaderBytes + h.imageLength) abort();
        canonLiveViewFrameOrientation(&h);
      } else if (!frame.empty()) {
        abort();
      }
    }
    std::vector<uint8_t> image = reply;
    if (!canonLiveViewToImage(image, model) && image != reply) abort();
  }
  canonGetLiveViewOrientation();
  canonGetLiveViewInfo();
  return 0;
}
