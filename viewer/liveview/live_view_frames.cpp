#include "viewer/liveview/live_view_frames.h"

#include "ptp/base/byte_reader.h"
#include "ptp/vendors/sony/sony_liveview.h"

namespace {

constexpr uint8_t kCanonFrameKindSkipped = 3;

LiveViewFrameInfo dropped() {
  LiveViewFrameInfo info;
  info.dropped = true;
  return info;
}

LiveViewFrameInfo readCanon(const uint8_t* frame, size_t length) {
  EOS_LiveViewInfoStruct header;
  if (!canonReadLiveViewHeader(frame, length, header)) return dropped();
  if (header.frameKind == kCanonFrameKindSkipped) return dropped();
  LiveViewFrameInfo info;
  if (header.frameKind == CanonFrameKindJpeg) {
    info.levelAngle = header.levelAngle;
    info.orientation = canonLiveViewFrameOrientation(&header);
    info.canonHeader = header;
  }
  // 64 bits: an imageLength near 2^32 must not wrap past the check.
  if (uint64_t(kCanonLiveViewImageOffset) + uint64_t(header.imageLength) > uint64_t(length)) {
    info.dropped = true;
    return info;
  }
  info.pictureOffset = kCanonLiveViewImageOffset;
  info.pictureLength = header.imageLength;
  return info;
}

LiveViewFrameInfo readSony(const uint8_t* frame, size_t length, const LiveViewCameraState& state) {
  LiveViewFrameInfo info;
  info.orientation = sonyLiveViewFrameOrientation(frame, length);
  info.levelAngle = ByteReader(frame, length).u16(kSonyLevelAngleOffset).value_or(0);
  if (state.sonyFocusTracked) info.sonyFocus = sonyReadLiveViewFocus(frame, length, state.modelIndex);
  const int64_t jpeg = sonyFindJpegStart(frame, length);
  if (jpeg < 0) {
    info.dropped = true;
    return info;
  }
  info.pictureOffset = size_t(jpeg);
  info.pictureLength = length - size_t(jpeg);
  return info;
}

}  // namespace

size_t sonyFocusFieldsOffset(uint8_t modelIndex) {
  return modelIndex == 176 || modelIndex == 182 || modelIndex == 183 ? 581 : 1093;
}

LiveViewFocusRect sonyReadLiveViewFocus(const uint8_t* frame, size_t length, uint8_t modelIndex) {
  const ByteReader in(frame, length);
  const size_t b = sonyFocusFieldsOffset(modelIndex);
  LiveViewFocusRect r;
  r.x = in.u16(b).value_or(0);
  r.y = in.u16(b + 4).value_or(0);
  r.height = in.u16(b + 8).value_or(0);
  r.width = in.u16(b + 12).value_or(0);
  return r;
}

LiveViewFrameInfo readLiveViewFrame(uint8_t camera, const uint8_t* frame, size_t length,
                                    const LiveViewCameraState& state) {
  if (!frame) length = 0;
  switch (camera) {
    case kLiveViewCameraCanon: return readCanon(frame, length);
    case kLiveViewCameraSony: return readSony(frame, length, state);
    default: {
      LiveViewFrameInfo info;
      info.pictureLength = length;
      return info;
    }
  }
}
