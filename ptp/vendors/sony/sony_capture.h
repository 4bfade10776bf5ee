#pragma once
// Sony capture: take a picture and wait for it, focus stacking, and the camera's own
// event containers.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "ptp/base/response_codes.h"

// Shutter down, wait for focus, hold through a bracketing burst, shutter up.
PtpResponseCode sonyTakePicture();
// Bracketing off: a bracketing "Drive Mode" goes back to single shot through
// camSetPropertyValue (waited where the body reports values back); any other drive mode
// is left. 0xFF1B without the drive-mode property.
PtpResponseCode sonyClearBracketing();
// Takes a picture, then waits for the exposure and until no image is pending.
PtpResponseCode sonyCaptureAndWait();
// `count` pictures with one "Drive Lens" step of `step` between them; progress(i, count)
// before each step (false stops the run with 0xFF16).
PtpResponseCode sonyFocusStack(int count, int step, uint32_t delayMs, std::function<bool(int, int)> progress);
// An event container (type 4) of code 0xC201 and at least 20 bytes queues an
// ObjectAdded event for the handle it names; answers the container's length, 0 for
// anything else.
size_t sonyFilterEventContainer(const uint8_t* container, size_t length);
