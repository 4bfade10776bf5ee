// The pane's decode comes first: a waiter returns once no display decode runs, or at its
// bound; while one waits, another goes on at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "viewer/still/display_first.h"

using namespace std::chrono_literals;

TEST(DisplayFirst, AWaiterGoesOnOnceTheLastDisplayDecodeEndsOrAtItsBound) {
  EXPECT_TRUE(DisplayFirst::waitForDisplay(0ms));  // nothing running

  std::atomic<bool> released{false};
  std::atomic<bool> sawReleased{false};
  auto outer = std::make_unique<DisplayFirst::Scope>();
  auto inner = std::make_unique<DisplayFirst::Scope>();
  EXPECT_FALSE(DisplayFirst::waitForDisplay(1ms));  // held: the bound ends the wait
  std::thread waiter([&] {
    const bool quiet = DisplayFirst::waitForDisplay(60s);
    sawReleased = quiet && released.load();
  });
  while (DisplayFirst::waiters() == 0) std::this_thread::yield();
  // A second caller does not wait (a bound past the test's own time-out would show it).
  EXPECT_FALSE(DisplayFirst::waitForDisplay(std::chrono::hours(1)));
  inner.reset();  // one of two ended: still held
  released = true;
  outer.reset();
  waiter.join();
  EXPECT_TRUE(sawReleased.load());
  EXPECT_TRUE(DisplayFirst::waitForDisplay(0ms));
}
