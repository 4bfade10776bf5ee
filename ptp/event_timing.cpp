#include "ptp/event_timing.h"

EventTiming& eventTiming() {
  static EventTiming* t = new EventTiming;
  return *t;
}

ScopedEventTiming::ScopedEventTiming()
    : pollPeriod_(eventTiming().pollPeriod.load()), setLockWait_(eventTiming().setLockWait.load()) {}

ScopedEventTiming::~ScopedEventTiming() {
  eventTiming().pollPeriod = pollPeriod_;
  eventTiming().setLockWait = setLockWait_;
}
