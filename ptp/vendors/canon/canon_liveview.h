#pragma once
// Canon live view: a GetViewFinderData (0x9153) reply becomes a CanonLiveViewFrame, a
// 1368-byte EOS_LiveViewInfoStruct header whose last 8 bytes are the first 8 image bytes,
// followed by the rest of the image (the JPEG, or a BMP converted from a YCbCr frame).
// The viewer reads the header fields in place, so the layout is pinned.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "ptp/base/ptp_codes.h"

constexpr size_t kCanonMaxAfFrames = 64;
constexpr size_t kCanonLiveViewHeaderBytes = 1368;
constexpr size_t kCanonLiveViewImageOffset = 1360;
constexpr size_t kCanonLiveViewMinReply = 4000;

enum CanonFrameKind : uint8_t {
  CanonFrameKindJpeg = 1,  // information blocks read
  CanonFrameKindBmp = 2,   // converted from YCbCr, no blocks
};

struct EOS_LiveViewInfoStruct {
  uint8_t frameKind;
  uint8_t padding[3];
  uint32_t rotation;
  float levelAngle;
  uint32_t zoomScale;
  uint32_t zoomOriginX;
  uint32_t zoomOriginY;
  uint32_t visibleWidth;
  uint32_t visibleHeight;
  uint32_t zoomWidth;
  uint32_t zoomHeight;
  uint32_t fullWidth;
  uint32_t fullHeight;
  uint32_t afFrameCount;
  uint32_t afState[kCanonMaxAfFrames];
  uint32_t afX[kCanonMaxAfFrames];
  uint32_t afY[kCanonMaxAfFrames];
  uint32_t afWidth[kCanonMaxAfFrames];
  uint32_t afHeight[kCanonMaxAfFrames];
  int32_t infoBlock15[4];
  int32_t infoBlock10[2];
  uint32_t imageLength;
  uint8_t image[8];  // the first image bytes; the image runs on past the header
};

static_assert(std::endian::native == std::endian::little, "the frame is little-endian");
static_assert(std::is_trivially_copyable_v<EOS_LiveViewInfoStruct>);
static_assert(std::is_standard_layout_v<EOS_LiveViewInfoStruct>);
static_assert(sizeof(EOS_LiveViewInfoStruct) == kCanonLiveViewHeaderBytes);
static_assert(offsetof(EOS_LiveViewInfoStruct, frameKind) == 0);
static_assert(offsetof(EOS_LiveViewInfoStruct, rotation) == 4);
static_assert(offsetof(EOS_LiveViewInfoStruct, levelAngle) == 8);
static_assert(offsetof(EOS_LiveViewInfoStruct, zoomScale) == 12);
static_assert(offsetof(EOS_LiveViewInfoStruct, zoomOriginX) == 16);
static_assert(offsetof(EOS_LiveViewInfoStruct, zoomOriginY) == 20);
static_assert(offsetof(EOS_LiveViewInfoStruct, visibleWidth) == 24);
static_assert(offsetof(EOS_LiveViewInfoStruct, visibleHeight) == 28);
static_assert(offsetof(EOS_LiveViewInfoStruct, zoomWidth) == 32);
static_assert(offsetof(EOS_LiveViewInfoStruct, zoomHeight) == 36);
static_assert(offsetof(EOS_LiveViewInfoStruct, fullWidth) == 40);
static_assert(offsetof(EOS_LiveViewInfoStruct, fullHeight) == 44);
static_assert(offsetof(EOS_LiveViewInfoStruct, afFrameCount) == 48);
static_assert(offsetof(EOS_LiveViewInfoStruct, afState) == 52);
static_assert(offsetof(EOS_LiveViewInfoStruct, afX) == 308);
static_assert(offsetof(EOS_LiveViewInfoStruct, afY) == 564);
static_assert(offsetof(EOS_LiveViewInfoStruct, afWidth) == 820);
static_assert(offsetof(EOS_LiveViewInfoStruct, afHeight) == 1076);
static_assert(offsetof(EOS_LiveViewInfoStruct, infoBlock15) == 1332);
static_assert(offsetof(EOS_LiveViewInfoStruct, infoBlock10) == 1348);
static_assert(offsetof(EOS_LiveViewInfoStruct, imageLength) == 1356);
static_assert(offsetof(EOS_LiveViewInfoStruct, image) == kCanonLiveViewImageOffset);

// Builds a frame (header, image, 8 spare bytes) from a GetViewFinderData reply. False for
// a null or short reply, a JPEG without its end, an unconvertible YCbCr frame, or no
// memory; then `frame` is empty. `modelIndex` is the camera's CameraModelIndex (it picks
// the YCbCr header rule). The header also goes to the last-frame copy.
bool canonParseLiveViewFrame(const uint8_t* reply, size_t replyLength, std::vector<uint8_t>& frame,
                             uint8_t modelIndex);

// The header of a frame built above, copied out; false when the bytes are too few.
bool canonReadLiveViewHeader(const uint8_t* frame, size_t length, EOS_LiveViewInfoStruct& header);

uint16_t canonLiveViewOpcode();

// EXIF orientation of a frame: rotation 0..4 -> 1, 6, 8, 1, 3; null or other codes -> 1.
uint8_t canonLiveViewFrameOrientation(const EOS_LiveViewInfoStruct* frame);
uint8_t canonLiveViewFrameOrientation(const uint8_t* frame, size_t length);
// The same over the last frame built.
uint8_t canonGetLiveViewOrientation();
// The identified model's sensor size (truncated) as the frame's full width and height.
void canonFillSensorSize(EOS_LiveViewInfoStruct& record);
// A copy of the last frame's header (all zero before the first frame).
EOS_LiveViewInfoStruct canonGetLiveViewInfo();

// Makes a live-view reply an image in place: the JPEG moved to the front, or a YCbCr frame
// replaced by its BMP. False (data unchanged) when neither works.
bool canonLiveViewToImage(std::vector<uint8_t>& data, uint8_t modelIndex);
