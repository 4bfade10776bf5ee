#pragma once
// Canon reads that go to the camera: one live-view frame (GetViewFinderData) and a
// thumbnail (GetThumbEx).
#include <cstdint>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

// The size parameter of GetViewFinderData.
constexpr uint32_t kCanonLiveViewRequestSize = 0x00100000;
// The largest thumbnail GetThumbEx is asked for.
constexpr uint32_t kCanonThumbRequestSize = 102400;

// One frame as canonParseLiveViewFrame builds it. PTP_RC_OK with the frame; ERROR_TOO_LARGE
// (0xFF0B) when the reply cannot be parsed; any other camera answer as it came. `frame` is
// empty on every failure.
PtpResponseCode canonGetLiveViewFrame(ByteBuffer& frame);
// The thumbnail JPEG of an object. With `orientation` the JPEG is looked for from the
// reply's Orientation entry on and its value stored. PTP_RC_OK (an empty reply stays
// empty), ERROR_INVALID_INPUT when the reply holds no JPEG, or the camera's answer.
PtpResponseCode canonGetThumb(uint32_t handle, ByteBuffer& data, uint8_t* orientation);
