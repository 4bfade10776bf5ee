#pragma once
// The Fujifilm module's process-wide state: host mode, live view, the shutter's press
// flags and the focus mode saved across an AF or zoom step. Read from any thread.
#include <atomic>
#include <cstdint>
#include <functional>

#include "ptp/base/response_codes.h"

// Stops live view on the body (nothing in the library installs one by default).
using FujiLiveViewStopFn = std::function<PtpResponseCode()>;

struct FujiModuleState {
  std::atomic<bool> hostMode{false};
  std::atomic<bool> liveViewOn{false};
  // Live view was stopped for a set or a capture and must be started again.
  std::atomic<bool> liveViewStopped{false};
  // A full press waits for its release.
  std::atomic<bool> pressed{false};
  // 1 after a press or half press, 0 after a release.
  std::atomic<uint8_t> halfPressState{0};
  std::atomic<uint32_t> savedFocusMode{0};
};

FujiModuleState& fujiState();
// Back to a camera never seen (tests, a new session); the stop callback stays.
void fujiResetState();

void fujiSetLiveViewStopCallback(FujiLiveViewStopFn fn);
FujiLiveViewStopFn fujiLiveViewStopCallback();

bool fujiIsHostMode();
