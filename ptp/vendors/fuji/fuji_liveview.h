#pragma once
// Fujifilm live view: start through InitiateOpenCapture, stop through the installed
// callback, and the live-view zoom (0xD01B).
#include <cstdint>

#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiLiveViewZoom = 0xD01B;

// On: InitiateOpenCapture 0x101C. Off: the zoom back to x1.0 first, then the stop
// callback (0xFF01 without one). The live-view flag follows a success.
PtpResponseCode fujiSetLiveView(bool on);
// Stops live view for a property set (camSetLiveView(0)) without resetting the zoom: the
// zoom reset is itself a set and would come back here.
PtpResponseCode fujiStopLiveViewForSet();
// 100 or 200 for the zoomed values of 0xD01B, else 0.
uint32_t fujiGetLiveViewZoom();
// 100, 200 or anything else (x1.0); manual focus first when leaving x1.0.
PtpResponseCode fujiSetLiveViewZoom(uint32_t percent);
