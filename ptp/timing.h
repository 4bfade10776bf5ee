#pragma once
// Every timing constant of the library, in one place. Tests shorten them through
// ScopedTiming; production code reads them with timing().
#include <atomic>
#include <chrono>
#include <cstdint>

struct LibraryTiming {
  using ms = std::chrono::milliseconds;
  // Bound of each wait for incoming bytes on the device link.
  std::atomic<ms> receiveTimeout{ms(22000)};
  // Receive time-out while the device formats its SD card.
  std::atomic<ms> formatReceiveTimeout{ms(66000)};
  // Bound of the non-blocking TCP connect.
  std::atomic<ms> connectTimeout{ms(11000)};
  // Period of the share watchdog's heartbeat.
  std::atomic<ms> heartbeatPeriod{ms(5000)};
  // A wait cut short because the reader stopped is tolerated this long after data.
  std::atomic<ms> readerStopTolerance{ms(15000)};
  // Slice of a long wait, so a changed time-out or a stop reaches a wait in progress.
  std::atomic<ms> waitSlice{ms(250)};
  // A new share session waits this long for the previous reader and taker to end.
  std::atomic<ms> sessionEndWait{ms(5000)};
  // Nap before a request answered DeviceBusy (0x2019) is tried again.
  std::atomic<ms> busyRetryDelay{ms(1000)};
  // bytesLockWithin's nap between tries.
  std::atomic<ms> lockRetryDelay{ms(10)};
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
  struct Saved;
  Saved* saved_;
};
