#pragma once
// The library's one sleep. The vendor modules pause between retries and polls through it,
// so a test replaces it and never waits in real time.
#include <chrono>
#include <functional>

using LibSleepFn = std::function<void(std::chrono::milliseconds)>;

void libSleep(std::chrono::milliseconds duration);

// Replaces the sleep (null: the real one) and answers the one it replaced.
LibSleepFn libSleepSetHook(LibSleepFn hook);

// Replaces the sleep for its lifetime.
class ScopedSleepHook {
 public:
  explicit ScopedSleepHook(LibSleepFn hook) : previous_(libSleepSetHook(std::move(hook))) {}
  ~ScopedSleepHook() { libSleepSetHook(std::move(previous_)); }
  ScopedSleepHook(const ScopedSleepHook&) = delete;
  ScopedSleepHook& operator=(const ScopedSleepHook&) = delete;

 private:
  LibSleepFn previous_;
};
