// Arbitrary bytes as a Nikon live-view reply of both forms, for bodies with a fixed
// header of each size and for the bodies whose replies carry their own lengths.
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/vendors/nikon/nikon_liveview.h"

KV_FUZZ_TARGET(nikon_liveview_frame) {
  std::vector<uint8_t> frame;
  for (uint8_t model : {192, 195, 196, 219}) {
    camSetModelIndex(model);
    nikonParseLiveViewFrame(0x9203, data, size, frame);
  }
  nikonParseLiveViewFrame(0x9428, data, size, frame);
  nikonGetLiveViewOrientation();
  camSetModelIndex(0);
  return 0;
}
