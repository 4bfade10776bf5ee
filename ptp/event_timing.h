#pragma once
// Timing constants of the property-set lock and the event poller. Tests shorten them
// through ScopedEventTiming.
#include <atomic>
#include <chrono>

struct EventTiming {
  using ms = std::chrono::milliseconds;
  // Pause between two poll passes.
  std::atomic<ms> pollPeriod{ms(500)};
  // Bound of propLockForSet's wait: a set or a poll pass holds the lock at most for one
  // transaction and a wait for the value, each bounded by the link's time-outs.
  std::atomic<ms> setLockWait{ms(60000)};
};

EventTiming& eventTiming();

class ScopedEventTiming {
 public:
  ScopedEventTiming();
  ~ScopedEventTiming();
  ScopedEventTiming(const ScopedEventTiming&) = delete;
  ScopedEventTiming& operator=(const ScopedEventTiming&) = delete;

 private:
  EventTiming::ms pollPeriod_, setLockWait_;
};
