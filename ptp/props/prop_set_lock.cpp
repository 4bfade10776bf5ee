#include "ptp/props/prop_set_lock.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "ptp/base/timing.h"

namespace {
struct SetLock {
  std::mutex mutex;
  std::condition_variable released;
  bool held = false;
  std::atomic<bool> busy{false};
};

SetLock& S() {
  static SetLock* s = new SetLock;
  return *s;
}
}  // namespace

bool propSetLockAcquireFor(std::chrono::milliseconds wait) {
  SetLock& s = S();
  std::unique_lock lock(s.mutex);
  if (!s.released.wait_for(lock, wait, [&] { return !s.held; })) return false;
  s.held = true;
  return true;
}

namespace {
bool release(bool clearBusy) {
  SetLock& s = S();
  {
    std::lock_guard lock(s.mutex);
    // A set's release finds the busy flag up. Without it the lock is a poll pass's (a
    // stale set whose lock was freed for it must not free the poller's hold).
    if (!s.held || (clearBusy && !s.busy)) return false;
    s.held = false;
    if (clearBusy) s.busy = false;
  }
  s.released.notify_one();
  return true;
}
}  // namespace

bool propSetLockRelease() { return release(false); }

bool propLockForSet() {
  SetLock& s = S();
  std::unique_lock lock(s.mutex);
  if (!s.released.wait_for(lock, timing().setLockWait.load(), [&] { return !s.held; })) return false;
  s.held = true;
  s.busy = true;
  return true;
}

bool propUnlockForSet() { return release(true); }

bool propIsSetBusy() { return S().busy.load(); }
