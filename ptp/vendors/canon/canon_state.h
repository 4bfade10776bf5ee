#pragma once
// The Canon module's process-wide state: one camera at a time, reset with each set-up.
#include <atomic>
#include <cstdint>
#include <mutex>

struct CanonModuleState {
  std::atomic<uint32_t> exposureModeCode{0xD105};  // 0xD138 when the body has it
  std::atomic<bool> releaseOnPath{false};           // the last press went through 0x9128
  std::atomic<bool> pressed{false};                 // full press held through 0x9128
  std::atomic<bool> pressHoldsSetLock{false};       // that press holds the property-set lock
  std::atomic<bool> depthOfFieldPreview{false};
  std::atomic<bool> busyRetry{false};                 // last value of event 0xC18B
  std::atomic<int64_t> liveViewExposureMode{-1};     // remembered when live view went on
  std::atomic<int64_t> savedMovieExposureMode{0};    // 0xD105 before movie mode
  std::atomic<uint32_t> liveViewZoom{0};             // what the module last asked for

  std::mutex focusStackMutex;  // guards focusStackCancel
  bool focusStackCancel = false;
};

CanonModuleState& canonState();
// Back to the state of a fresh library (tests, a new camera).
void canonResetModuleState();

// The model groups whose event layouts differ.
bool canonModelInGroupA(uint8_t model);
bool canonModelInGroupB(uint8_t model);
