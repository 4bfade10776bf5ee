// Arbitrary bytes taken as a live-view frame: byte 0 picks the camera code (12-15, or
// another), byte 1 the camera's model index, byte 2 bit 0 whether the Sony focus property
// is there; the rest is the frame. A frame kept must name a picture inside it.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "viewer/liveview/live_view_frames.h"

KV_FUZZ_TARGET(live_view_frame) {
  if (size < 3) return 0;
  static constexpr uint8_t kCameras[] = {kLiveViewCameraFujifilm, kLiveViewCameraCanon, kLiveViewCameraSony,
                                         kLiveViewCameraNikon, 0, 255};
  const uint8_t camera = kCameras[data[0] % 6];
  const LiveViewCameraState state{data[1], (data[2] & 1) != 0};
  const uint8_t* frame = data + 3;
  const size_t length = size - 3;
  const LiveViewFrameInfo info = readLiveViewFrame(camera, frame, length, state);
  if (!info.dropped) {
    if (info.pictureOffset > length || info.pictureLength > length - info.pictureOffset) std::abort();
    volatile uint8_t sink = 0;
    if (info.pictureLength) sink = frame[info.pictureOffset + info.pictureLength - 1];
    (void)sink;
  }
  if (info.orientation < 1 || info.orientation > 8) std::abort();
  const LiveViewFocusRect r = sonyReadLiveViewFocus(frame, length, data[1]);
  (void)r;
  return 0;
}
