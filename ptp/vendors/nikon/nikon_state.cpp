#include "ptp/vendors/nikon/nikon_state.h"

NikonModuleState& nikonState() {
  static NikonModuleState state;
  return state;
}

void nikonResetModuleState() {
  NikonModuleState& s = nikonState();
  s.hostMode = 0;
  s.liveViewOn = false;
  s.liveViewZoom = 0;
  {
    std::lock_guard lock(s.movieMutex);
    s.movieRecording = false;
  }
  s.frameFetchSuspended = false;
  s.mirrorLockupMark = false;
  s.savedStillCaptureMode = -1;
  s.hostModeSwitched = false;
  s.focusStackCancel = false;
  s.rememberedFlashMode = 0x8010;
  s.rememberedAutoFocusMode = -1;
  std::lock_guard lock(s.headMutex);
  s.lastFrameHead.fill(0);
}

bool nikonIsMirrorlessModel(uint8_t model) { return (model >= 220 && model <= 222) || (model >= 225 && model <= 232); }
