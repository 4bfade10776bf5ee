#pragma once
// Every timing constant of the library, in one place. Production code reads them with
// timing(); tests shorten them and ScopedTiming puts them back.
//
//   receiveTimeout        bound of each wait for incoming bytes on the device link
//   formatReceiveTimeout  receive time-out while the device formats its SD card
//   connectTimeout        bound of the non-blocking TCP connect
//   heartbeatPeriod       period of the share watchdog's heartbeat
//   readerStopTolerance   a wait cut short by the reader's stop is tolerated this long
//                         after data last arrived
//   waitSlice             slice of a long wait, so a changed time-out or a stop reaches
//                         a wait in progress
//   sessionEndWait        a new share session waits this long for the previous reader
//                         and taker to end
//   busyRetryDelay        nap before a request answered DeviceBusy (0x2019) is retried
//   lockRetryDelay        bytesLockWithin's nap between tries
//   pollPeriod            pause between two passes of the event poller
//   setLockWait           bound of the wait for the property-set lock
//   pingTimeout           an echo of the blocking first-reply ping counts as lost after this
//   pingPeriod            pause between two echoes of the blocking first-reply ping
//   pingSummaryKeep       an echo's record is kept this long past its time-out, so a late
//                         reply still finds it
//   pingSetupWait         the blocking first-reply ping waits this long beyond its own
//                         time-out for the pinger's set-up and its end
//   browseWait            bound of the DNS-SD browse for the device's service
//   browseStopWait        extra wait for a browse told to stop after browseWait
//   resolveTimeout        time-out of the resolution of one found service
//   resolveWait           bound of the wait for each found service's resolution
//   v1PingWait            how long the first-generation device is pinged for
//   cacheLoadWait         a connect waits this long for the object cache's load before
//                         the session starts
//   quitWait              the end of the application waits this long for each kind of
//                         worker still running
#include <atomic>
#include <chrono>
#include <vector>

#define KV_LIBRARY_TIMING(X)      \
  X(receiveTimeout, 22000)        \
  X(formatReceiveTimeout, 66000)  \
  X(connectTimeout, 11000)        \
  X(heartbeatPeriod, 5000)        \
  X(readerStopTolerance, 15000)   \
  X(waitSlice, 250)               \
  X(sessionEndWait, 5000)         \
  X(busyRetryDelay, 1000)         \
  X(lockRetryDelay, 10)           \
  X(pollPeriod, 500)              \
  X(setLockWait, 60000)           \
  X(pingTimeout, 1000)            \
  X(pingPeriod, 900)              \
  X(pingSummaryKeep, 1000)        \
  X(pingSetupWait, 5000)          \
  X(browseWait, 6000)             \
  X(browseStopWait, 1000)         \
  X(resolveTimeout, 2000)         \
  X(resolveWait, 2500)            \
  X(v1PingWait, 5000)             \
  X(cacheLoadWait, 60000)         \
  X(quitWait, 3000)

struct LibraryTiming {
  using ms = std::chrono::milliseconds;
#define KV_TIMING_FIELD(name, value) std::atomic<ms> name{ms(value)};
  KV_LIBRARY_TIMING(KV_TIMING_FIELD)
#undef KV_TIMING_FIELD
};

LibraryTiming& timing();

// Restores every constant to its value at construction when it goes out of scope.
class ScopedTiming {
 public:
  ScopedTiming();
  ~ScopedTiming();
  ScopedTiming(const ScopedTiming&) = delete;
  ScopedTiming& operator=(const ScopedTiming&) = delete;

 private:
  std::vector<LibraryTiming::ms> saved_;
};
