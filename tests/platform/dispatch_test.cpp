// Hops to the GUI thread and the pool.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

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

// Hops keep their order among themselves and among the other events queued to the GUI
// thread, also when a hop runs a nested event loop.
TEST(Dispatch, MainRunsInTheOrderQueuedAlsoAcrossNestedLoops) {
  std::vector<int> order;
  Dispatch::main([&] {
    order.push_back(0);
    // A modal session's loop runs the next ones while this one is still running. Something
    // newly queued wakes it: the dispatcher does not look again at what was queued before
    // the nested loop began until then.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (order.size() >= 4) loop.quit();
      QMetaObject::invokeMethod(qApp, [] {}, Qt::QueuedConnection);
    });
    poll.start(1);
    loop.exec();
  });
  Dispatch::main([&] { order.push_back(1); });
  QMetaObject::invokeMethod(qApp, [&] { order.push_back(2); }, Qt::QueuedConnection);
  std::thread worker([&] { Dispatch::main([&] { order.push_back(3); }); });
  worker.join();
  Dispatch::main([&] { order.push_back(4); });
  ASSERT_TRUE(kvtest::waitUntil([&] { return order.size() == 5; }));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

// The program ends with a hop still queued that holds the last reference to a window
// which has events of its own pending: the hop is dropped without running, and the
// window goes without holding up the end of the program.
KV_EXIT_SCENARIO(QueuedHopHoldsTheLastReferenceToAWindow) {
  auto window = std::make_shared<QWidget>();
  window->show();
  Dispatch::main([window] { std::_Exit(3); });
  QCoreApplication::postEvent(window.get(), new QEvent(QEvent::User));
  return 0;
}

TEST(Dispatch, AHopStillQueuedAtTheEndOfTheProgramIsDroppedAndLetsItEnd) {
  EXPECT_EQ(kvtest::runExitScenario("QueuedHopHoldsTheLastReferenceToAWindow"), 0);
}

// A worker hops to the GUI thread just as the program ends, and is slow between queueing
// its block and waking the GUI thread (Qt itself wakes it only after letting go of its
// queue). The application must not go while that wake-up is on its way.
KV_EXIT_SCENARIO(AHopOnItsWayWhenTheApplicationGoes) {
  static std::atomic<bool> queued{false};
  Dispatch::setAfterQueueHookForTesting([] {
    queued = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  });
  // Joined among the static objects, after the application: the program is still there
  // when the worker goes on.
  static struct Worker {
    std::thread thread{[] { Dispatch::main([] {}); }};
    ~Worker() { thread.join(); }
  } worker;
  while (!queued) std::this_thread::yield();
  return 0;  // the application goes now
}

TEST(Dispatch, AHopOnItsWayWhenTheApplicationGoesDoesNotOutliveIt) {
  // Under AddressSanitizer, freed memory is zeroed in the child, so a wake-up that reaches
  // the destroyed application crashes instead of reading stale pointers that still work.
  const QByteArray before = qgetenv("ASAN_OPTIONS");
  qputenv("ASAN_OPTIONS", before + (before.isEmpty() ? "" : ":") + "max_free_fill_size=1048576:free_fill_byte=0");
  EXPECT_EQ(kvtest::runExitScenario("AHopOnItsWayWhenTheApplicationGoes"), 0);
  if (before.isEmpty())
    qunsetenv("ASAN_OPTIONS");
  else
    qputenv("ASAN_OPTIONS", before);
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
