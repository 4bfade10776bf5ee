#pragma once
// Nikon live-view frames: the 0x9203 and 0x9428 replies into one record (a 388-byte head
// in the camera-neutral layout, then the JPEG), the last frame's head, and what the
// camera interface reads from it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ptp/base/response_codes.h"
#include "ptp/vendors/nikon/nikon_state.h"

// Head fields (offsets into the record).
constexpr size_t kNikonHeadJpegLength = 4;
constexpr size_t kNikonHeadWidth = 12;
constexpr size_t kNikonHeadHeight = 14;
constexpr size_t kNikonHeadRotation = 37;
// The AF area: its size and its centre, in the frame's pixels.
constexpr size_t kNikonHeadAfWidth = 24;
constexpr size_t kNikonHeadAfHeight = 26;
constexpr size_t kNikonHeadAfCentreX = 28;
constexpr size_t kNikonHeadAfCentreY = 30;
// Largest reply a frame is built from; a larger one is refused, not copied.
constexpr size_t kNikonMaxFrameReply = 32u << 20;

// GetLiveViewImage (0x9203) reply of the current model into frame; 0x9428 replies go
// through the Ex parser. The head is kept as the last frame's. 0xFF15 for null or empty
// input, 0xFF0B when the reply is too short for what it claims.
PtpResponseCode nikonParseLiveViewFrame(uint16_t opcode, const uint8_t* reply, size_t length,
                                        std::vector<uint8_t>& frame);
PtpResponseCode nikonParseLiveViewFrameEx(const uint8_t* reply, size_t length, std::vector<uint8_t>& frame);

// 0x9428 when the camera lists it, else 0x9203.
uint16_t nikonLiveViewOpcode();
// A copy of the last frame's head.
std::array<uint8_t, kNikonFrameHeadBytes> nikonGetLiveViewInfo();
// EXIF orientation of the rotation byte: 0, 1, 2, 3 -> 1, 7, 6, 3; other values 1.
uint8_t nikonRotationToOrientation(uint8_t rotation);
uint8_t nikonGetLiveViewOrientation();
// The AF point for a position in the frame (0..1), in the last frame's pixels.
bool nikonAfPointFor(float x, float y, uint32_t& px, uint32_t& py);
