#pragma once
// Fujifilm lens read-outs and the focus motor: the aperture list from the lens's F-stop
// text, the focal length, the focus position and the colour-space touch that wakes the
// body before a capture or a focus step.
#include <cstddef>
#include <cstdint>

#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiFocusPosition = 0xD171;
constexpr uint32_t kFujiColorSpace = 0xD00A;
// Busy answers to the colour-space touch are retried at most this often.
constexpr int kFujiTouchBusyRetries = 120;
// Numbers taken from the lens's F-stop text; the text itself holds at most 128 characters.
constexpr size_t kFujiMaxLensStops = 64;

// Replaces the aperture record's list by the lens's F-stops ("%.1f" of n / 100).
PtpResponseCode fujiLoadApertureList();
// The focal length in millimetres from "wide,current" hundredths.
PtpResponseCode fujiGetFocalLength(float& out);
// Writes 0xD00A back with its own value, every 500 ms while the body answers busy.
PtpResponseCode fujiTouchColorSpace();
PtpResponseCode fujiDriveFocus(int step);
PtpResponseCode fujiSetFocusPosition(uint32_t position);
PtpResponseCode fujiGetFocusPosition(uint16_t& out, bool refresh);
