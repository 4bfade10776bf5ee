#include "ptp/vendors/canon/canon_state.h"

CanonModuleState& canonState() {
  static CanonModuleState state;
  return state;
}

void canonResetModuleState() {
  CanonModuleState& s = canonState();
  s.exposureModeCode = 0xD105;
  s.releaseOnPath = false;
  s.pressed = false;
  s.pressHoldsSetLock = false;
  s.depthOfFieldPreview = false;
  s.busyRetry = false;
  s.liveViewExposureMode = -1;
  s.savedMovieExposureMode = 0;
  s.liveViewZoom = 0;
  std::lock_guard lock(s.focusStackMutex);
  s.focusStackCancel = false;
}

bool canonModelInGroupA(uint8_t model) { return model == 234 || (model >= 245 && model <= 251); }

bool canonModelInGroupB(uint8_t model) { return canonModelInGroupA(model) || (model >= 228 && model <= 230); }
