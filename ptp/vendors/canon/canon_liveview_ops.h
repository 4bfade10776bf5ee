#pragma once
// Canon live view on and off through the EVF output property, and movie mode.
#include <cstdint>

#include "ptp/base/response_codes.h"

// Live view is switched again after 1 s at most this many times while the camera
// reports itself busy.
constexpr int kCanonLiveViewBusyRetries = 10;

PtpResponseCode canonSetLiveView(bool on, bool evfMode);
// Whether movie mode goes through 0x9133/0x9134.
bool canonNeedsMovieOperation();
PtpResponseCode canonEnterMovieMode();
PtpResponseCode canonExitMovieMode();
PtpResponseCode canonStartMovieRecording();
PtpResponseCode canonStopMovieRecording();
