#include "ptp/timing.h"

LibraryTiming& timing() {
  static LibraryTiming t;
  return t;
}

struct ScopedTiming::Saved {
  LibraryTiming::ms receive, format, connect, heartbeat, tolerance, slice, lockDelay, sessionEnd, busyDelay;
};

ScopedTiming::ScopedTiming() : saved_(new Saved) {
  auto& t = timing();
  *saved_ = {t.receiveTimeout, t.formatReceiveTimeout, t.connectTimeout, t.heartbeatPeriod,
             t.readerStopTolerance, t.waitSlice, t.lockRetryDelay, t.sessionEndWait, t.busyRetryDelay};
}

ScopedTiming::~ScopedTiming() {
  auto& t = timing();
  t.receiveTimeout = saved_->receive;
  t.formatReceiveTimeout = saved_->format;
  t.connectTimeout = saved_->connect;
  t.heartbeatPeriod = saved_->heartbeat;
  t.readerStopTolerance = saved_->tolerance;
  t.waitSlice = saved_->slice;
  t.lockRetryDelay = saved_->lockDelay;
  t.sessionEndWait = saved_->sessionEnd;
  t.busyRetryDelay = saved_->busyDelay;
  delete saved_;
}
