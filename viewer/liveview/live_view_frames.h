#pragma once
// What one live-view frame says before its picture is decoded, read by the camera code
// that came with it: where the picture lies in the frame, the frame's orientation and
// level angle, and the vendor's focus data. Plain C++, every read bounded by the frame:
// the frame comes from the camera.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "ptp/vendors/canon/canon_liveview.h"

inline constexpr uint8_t kLiveViewCameraFujifilm = 12;
inline constexpr uint8_t kLiveViewCameraCanon = 13;
inline constexpr uint8_t kLiveViewCameraSony = 14;
inline constexpr uint8_t kLiveViewCameraNikon = 15;

// A Sony frame's level angle (u16) and focus fields.
inline constexpr size_t kSonyLevelAngleOffset = 1036;
// The property whose presence means the frame carries its focus frame.
inline constexpr uint32_t kSonyFocusFrameProperty = 0xD2DC;

// Where a Sony body puts its four focus fields (4 bytes apart): 581 for model indexes 176,
// 182 and 183, 1093 for every other.
size_t sonyFocusFieldsOffset(uint8_t modelIndex);

struct LiveViewFocusRect {
  uint16_t x = 0, y = 0, width = 0, height = 0;
  bool isEmpty() const { return width == 0 || height == 0; }
};

// The Sony focus frame: origin (x at b, y at b + 4), size (width at b + 12, height at
// b + 8). A field the frame is too short for reads as 0.
LiveViewFocusRect sonyReadLiveViewFocus(const uint8_t* frame, size_t length, uint8_t modelIndex);

// What the library knows that a frame does not.
struct LiveViewCameraState {
  uint8_t modelIndex = 0;
  bool sonyFocusTracked = false;  // property 0xD2DC exists
};

struct LiveViewFrameInfo {
  bool dropped = false;
  // The picture: [pictureOffset, pictureOffset + pictureLength) of the frame.
  size_t pictureOffset = 0;
  size_t pictureLength = 0;
  uint8_t orientation = 1;  // the frame's own (EXIF 1-8)
  float levelAngle = 0;     // degrees
  // Canon frames of kind 1: the header the AF overlay reads, there even when the frame is
  // then dropped for being shorter than its image.
  std::optional<EOS_LiveViewInfoStruct> canonHeader;
  // Sony: the focus frame (empty unless the camera tracks it).
  LiveViewFocusRect sonyFocus;
};

// Camera 13 a Canon frame (kind 3, a header that is not all there, or an image running past
// the frame's end: dropped); 14 a Sony frame (no JPEG start: dropped); any other code the
// whole frame is the picture.
LiveViewFrameInfo readLiveViewFrame(uint8_t camera, const uint8_t* frame, size_t length,
                                    const LiveViewCameraState& state);
