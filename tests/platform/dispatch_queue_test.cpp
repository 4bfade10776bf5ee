// Labelled serial queues: order, one block at a time, stop.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatch.h"
#include "platform/dispatch_queue.h"
#include "support/qt_test_support.h"

using namespace std::chrono_literals;

namespace {

// A gate a block waits at until the test opens it; bounded so a fault cannot hang a run.
struct Gate {
  std::mutex mutex;
  std::condition_variable cv;
  bool open = false;
  void release() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      open = true;
    }
    cv.notify_all();
  }
  bool wait() {
    std::unique_lock<std::mutex> lock(mutex);
    return cv.wait_for(lock, 30s, [&] { return open; });
  }
};

}  // namespace

TEST(DispatchQueue, RunsBlocksInQueueOrderOneAtATime) {
  DispatchQueue queue("com.korvalume.test.order");
  std::vector<int> order;  // touched only by blocks: the queue's seriality guards it
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(queue.async([&, i] {
      if (++inside > 1) overlapped = true;
      order.push_back(i);
      std::this_thread::yield();
      --inside;
    }));
  }
  queue.stop();
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
  EXPECT_FALSE(overlapped);
}

TEST(DispatchQueue, BlocksFromManyThreadsKeepEachThreadsOrder) {
  DispatchQueue queue("com.korvalume.test.producers");
  std::vector<std::pair<int, int>> seen;
  std::vector<std::thread> producers;
  for (int t = 0; t < 4; ++t) {
    producers.emplace_back([&, t] {
      for (int i = 0; i < 100; ++i) queue.async([&seen, t, i] { seen.emplace_back(t, i); });
    });
  }
  for (auto& p : producers) p.join();
  queue.stop();
  ASSERT_EQ(seen.size(), 400u);
  int next[4] = {0, 0, 0, 0};
  for (auto [t, i] : seen) EXPECT_EQ(i, next[t]++) << "thread " << t;
}

TEST(DispatchQueue, StopRunsWhatIsQueuedThenRefusesNewBlocks) {
  DispatchQueue queue("com.korvalume.test.stop");
  Gate gate;
  std::atomic<int> ran{0};
  queue.async([&] { gate.wait(); ++ran; });
  for (int i = 0; i < 5; ++i) queue.async([&] { ++ran; });
  std::thread opener([&] {
    while (!queue.isStopping()) std::this_thread::yield();
    gate.release();
  });
  queue.stop();
  opener.join();
  EXPECT_EQ(ran.load(), 6);
  EXPECT_FALSE(queue.async([&] { ++ran; }));
  EXPECT_FALSE(queue.sync([&] { ++ran; }));
  EXPECT_EQ(ran.load(), 6);
}

TEST(DispatchQueue, StopCanDiscardQueuedBlocksAndReleasesTheirCaptures) {
  DispatchQueue queue("com.korvalume.test.discard");
  Gate gate;
  std::atomic<int> ran{0};
  auto captured = std::make_shared<int>(7);
  std::weak_ptr<int> watch = captured;
  std::atomic<bool> started{false};
  queue.async([&] {
    started = true;
    gate.wait();
    ++ran;
  });
  queue.async([&ran, captured] { ++ran; });
  captured.reset();
  while (!started) std::this_thread::yield();
  std::thread opener([&] {
    while (!queue.isStopping()) std::this_thread::yield();
    gate.release();
  });
  queue.stop(DispatchQueue::Pending::discard);
  opener.join();
  EXPECT_EQ(ran.load(), 1) << "only the block already running finishes";
  EXPECT_TRUE(watch.expired());
}

TEST(DispatchQueue, SyncWaitsAndRunsInlineOnItsOwnThread) {
  DispatchQueue queue("com.korvalume.test.sync");
  std::vector<int> order;
  queue.async([&] { order.push_back(1); });
  EXPECT_TRUE(queue.sync([&] { order.push_back(2); }));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  // A block that syncs onto its own queue would wait for itself: it runs inline.
  EXPECT_TRUE(queue.sync([&] {
    EXPECT_TRUE(queue.isCurrent());
    EXPECT_TRUE(queue.sync([&] { order.push_back(3); }));
  }));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(queue.isCurrent());
}

TEST(DispatchQueue, SyncWhoseBlockIsDiscardedReturnsFalse) {
  DispatchQueue queue("com.korvalume.test.syncdrop");
  Gate gate;
  std::atomic<bool> started{false};
  queue.async([&] { started = true; gate.wait(); });
  while (!started) std::this_thread::yield();
  std::atomic<int> result{-1};
  std::thread waiter([&] { result = queue.sync([] {}) ? 1 : 0; });
  std::thread stopper([&] { queue.stop(DispatchQueue::Pending::discard); });
  while (!queue.isStopping()) std::this_thread::yield();
  gate.release();
  stopper.join();
  waiter.join();
  // The sync block was either queued before the stop (then dropped) or refused.
  EXPECT_EQ(result.load(), 0);
}

TEST(DispatchQueue, StopFromInsideABlockDoesNotWaitForItself) {
  auto queue = std::make_unique<DispatchQueue>("com.korvalume.test.self");
  std::atomic<bool> after{false};
  std::atomic<bool> done{false};
  Gate gate;
  queue->async([&] {
    gate.wait();
    queue->stop();
    after = true;
  });
  queue->async([&] { done = true; });  // queued before the stop: still runs
  gate.release();
  ASSERT_TRUE(kvtest::waitUntil([&] { return done.load(); }));
  EXPECT_TRUE(after);
  queue.reset();
}

// The GUI thread stops a queue whose block is hopping to the GUI thread.
TEST(DispatchQueue, StoppingFromTheGuiThreadRunsABlocksMainSync) {
  DispatchQueue queue("com.korvalume.test.gui");
  std::atomic<bool> started{false};
  std::atomic<bool> hopped{false};
  queue.async([&] {
    started = true;
    Dispatch::mainSync([&] { hopped = true; });
  });
  while (!started) std::this_thread::yield();
  queue.stop();
  EXPECT_TRUE(hopped);
}

TEST(DispatchQueue, ThreadNameFitsLinuxLimit) {
  struct Case {
    const char* label;
    const char* name;
  } cases[] = {
      {"com.korvalume.ptp.bgqueue", "ptp.bgqueue"},
      {"short", "short"},
      {"exactly15chars.", "exactly15chars."},
      {"a.verylonglabelwithoutdots", "abelwithoutdots"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DispatchQueue::threadName(c.label), c.name) << c.label;
    EXPECT_LE(DispatchQueue::threadName(c.label).size(), 15u);
  }
  DispatchQueue queue("com.korvalume.ptp.bgqueue");
  char name[32] = {};
  queue.sync([&] { pthread_getname_np(pthread_self(), name, sizeof name); });
  EXPECT_STREQ(name, "ptp.bgqueue");
  EXPECT_EQ(queue.label(), "com.korvalume.ptp.bgqueue");
}
