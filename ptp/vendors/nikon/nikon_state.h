#pragma once
// The Nikon module's process-wide state: host mode, live view, movie recording, the
// frame fetch, the mirror-lockup mark and what the module remembers between calls.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "ptp/camera/cam_interface.h"

constexpr size_t kNikonFrameHeadBytes = 388;

struct NikonModuleState {
  std::atomic<uint32_t> hostMode{0};  // the last mode set with SetControlMode (1 = host)
  // The camera interface's live-view flag: one truth for camSetLiveView and the module.
  std::atomic<bool>& liveViewOn = camLiveViewFlag();
  std::atomic<uint8_t> liveViewZoom{0};

  std::mutex movieMutex;  // guards movieRecording
  bool movieRecording = false;

  std::mutex frameMutex;  // one live-view frame request at a time
  std::atomic<bool> frameFetchSuspended{false};

  std::atomic<bool> mirrorLockupMark{false};
  std::atomic<int64_t> savedStillCaptureMode{-1};
  std::atomic<bool> hostModeSwitched{false};
  std::atomic<bool> focusStackCancel{false};

  std::atomic<uint32_t> rememberedFlashMode{0x8010};
  std::atomic<int64_t> rememberedAutoFocusMode{-1};  // 0xD161 before manual focus, -1 none

  std::mutex headMutex;  // guards lastFrameHead
  std::array<uint8_t, kNikonFrameHeadBytes> lastFrameHead{};
};

NikonModuleState& nikonState();
// Back to the state of a fresh library (tests, a new camera).
void nikonResetModuleState();

// Models 220-222 and 225-232: the mirrorless bodies whose live view is always on.
bool nikonIsMirrorlessModel(uint8_t model);
