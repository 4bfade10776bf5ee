#include "ptp/vendors/fuji/fuji_state.h"

#include <mutex>

namespace {
std::mutex& callbackMutex() {
  static std::mutex m;
  return m;
}
FujiLiveViewStopFn& callback() {
  static FujiLiveViewStopFn fn;
  return fn;
}
}  // namespace

FujiModuleState& fujiState() {
  static FujiModuleState* s = new FujiModuleState;  // read by threads that may outlive statics
  return *s;
}

void fujiResetState() {
  FujiModuleState& s = fujiState();
  s.hostMode = false;
  s.liveViewOn = false;
  s.liveViewStopped = false;
  s.pressed = false;
  s.halfPressState = 0;
  s.savedFocusMode = 0;
}

void fujiSetLiveViewStopCallback(FujiLiveViewStopFn fn) {
  std::lock_guard lock(callbackMutex());
  callback() = std::move(fn);
}

FujiLiveViewStopFn fujiLiveViewStopCallback() {
  std::lock_guard lock(callbackMutex());
  return callback();
}

bool fujiIsHostMode() { return fujiState().hostMode; }
