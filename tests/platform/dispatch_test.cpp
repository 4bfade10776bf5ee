// Hops to the GUI thread and the pool.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/dispatch.h"
#include "platform/dispatch_queue.h"
#include "support/qt_test_support.h"

using namespace std::chrono_literals;

TEST(Dispatch, MainIsQueuedEvenFromTheGuiThread) {
  ASSERT_TRUE(Dispatch::isMainThread());
  std::atomic<bool> ran{false};
  Dispatch::main([&] { ran = true; });
  EXPECT_FALSE(ran) << "main() ran the block before returning";
  EXPECT_TRUE(kvtest::waitUntil([&] { return ran.load(); }));
}

TEST(Dispatch, MainFromAWorkerRunsOnTheGuiThread) {
  std::atomic<bool> onGui{false};
  std::atomic<bool> ran{false};
  std::thread worker([&] {
    EXPECT_FALSE(Dispatch::isMainThread());
    Dispatch::main([&] {
      onGui = Dispatch::isMainThread();
      ran = true;
    });
  });
  worker.join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return ran.load(); }));
  EXPECT_TRUE(onGui);
}

TEST(Dispatch, MainSyncIsDirectOnTheGuiThread) {
  bool ran = false;
  EXPECT_TRUE(Dispatch::mainSync([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

TEST(Dispatch, MainSyncFromAWorkerWaitsForTheGuiThread) {
  std::atomic<bool> onGui{false};
  std::atomic<bool> returned{false};
  int value = 0;  // written on the GUI thread, read by the worker after the wait
  int seen = -1;
  std::thread worker([&] {
    EXPECT_TRUE(Dispatch::mainSync([&] {
      onGui = Dispatch::isMainThread();
      value = 42;
    }));
    seen = value;
    returned = true;
  });
  ASSERT_TRUE(kvtest::waitUntil([&] { return returned.load(); }));
  worker.join();
  EXPECT_TRUE(onGui);
  EXPECT_EQ(seen, 42);
}

TEST(Dispatch, GlobalRunsOffTheGuiThread) {
  std::atomic<int> offGui{0};
  for (int i = 0; i < 8; ++i) {
    Dispatch::global([&] {
      if (!Dispatch::isMainThread()) ++offGui;
    });
  }
  ASSERT_TRUE(Dispatch::waitForGlobal(30s));
  EXPECT_EQ(offGui.load(), 8);
}

// The GUI thread waits for pool work that hops back to it: the wait runs the hop.
TEST(Dispatch, WaitingForThePoolRunsItsMainSyncCalls) {
  std::atomic<bool> hopped{false};
  Dispatch::global([&] { Dispatch::mainSync([&] { hopped = true; }); });
  ASSERT_TRUE(Dispatch::waitForGlobal(30s));
  EXPECT_TRUE(hopped);
}
