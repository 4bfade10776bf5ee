#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ptp/base/timing.h"
#include "ptp/props/prop_set_lock.h"

using namespace std::chrono_literals;

// The lock is a semaphore: whoever took it, any thread may release it.
TEST(PropSetLock, ReleasedOnAnotherThread) {
  ScopedTiming guard;
  timing().setLockWait = 20ms;
  ASSERT_TRUE(propLockForSet());
  EXPECT_TRUE(propIsSetBusy());
  EXPECT_FALSE(propLockForSet());  // bounded wait
  std::thread other([] { EXPECT_TRUE(propUnlockForSet()); });
  other.join();
  EXPECT_FALSE(propIsSetBusy());
  EXPECT_FALSE(propUnlockForSet());  // not taken
  EXPECT_FALSE(propSetLockRelease());

  // A waiter is woken by a release from a third thread.
  timing().setLockWait = 10s;
  ASSERT_TRUE(propLockForSet());
  std::atomic<bool> got{false};
  std::thread waiter([&] {
    got = propLockForSet();
    propUnlockForSet();
  });
  std::thread releaser([] { EXPECT_TRUE(propUnlockForSet()); });
  releaser.join();
  waiter.join();
  EXPECT_TRUE(got);
  EXPECT_FALSE(propIsSetBusy());
}
