#pragma once
// Sony focus switching, the AF point and the live-view zoom.
#include <cstdint>

#include "ptp/base/response_codes.h"

bool sonyCanAutoFocus();
// Switches manual (true) or automatic (false) focus by the focus toggle.
PtpResponseCode sonySetManualFocus(bool manual);
// Moves the AF point one step (direction 0-3).
PtpResponseCode sonyMoveAfPoint(int direction);
// Sets the AF point from x, y fractions of the frame (0..1).
PtpResponseCode sonySetAfPoint(float x, float y);

// Live-view zoom in percent (100 or 200; 0 when not zoomed or unknown).
uint32_t sonyGetLiveViewZoom(bool refresh);
PtpResponseCode sonySetLiveViewZoom(uint32_t percent);
