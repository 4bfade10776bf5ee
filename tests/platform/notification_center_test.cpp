// Notifications: delivery threads, a poster that holds a lock, observers that die.
#include <gtest/gtest.h>

#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "support/qt_test_support.h"

using namespace std::chrono_literals;

namespace {

const QString kName = QStringLiteral("KLNotification_Test");

struct Payload {
  std::string text;
};

// An observer owner whose handler writes into its own members. Given a centre, it
// removes itself first thing in its destructor, as such owners must: the removal on
// destroyed() comes after the members are gone.
class Owner : public QObject {
 public:
  explicit Owner(NotificationCenter* center = nullptr) : center_(center) {}
  ~Owner() override {
    if (center_ != nullptr) center_->removeObserver(this);
  }
  std::vector<int> received;

 private:
  NotificationCenter* center_;
};

}  // namespace

TEST(NotificationCenter, PostingThreadObserverRunsInsidePostOnThePostersThread) {
  NotificationCenter center;
  std::thread::id deliveredOn;
  QVariant object;
  QVariantMap info;
  center.addObserver(nullptr, kName, [&](const Notification& n) {
    deliveredOn = std::this_thread::get_id();
    object = n.object;
    info = n.userInfo;
  });
  std::thread::id posterId;
  std::thread poster([&] {
    posterId = std::this_thread::get_id();
    center.post(kName, 5, QVariantMap{{"key", 13}});
    EXPECT_EQ(deliveredOn, posterId) << "not delivered before post() returned";
  });
  poster.join();
  EXPECT_EQ(deliveredOn, posterId);
  EXPECT_EQ(object.toInt(), 5);
  EXPECT_EQ(info.value("key").toInt(), 13);
}

TEST(NotificationCenter, MainThreadObserverIsQueuedToTheGuiThread) {
  NotificationCenter center;
  std::atomic<bool> onGui{false};
  std::atomic<int> calls{0};
  center.addObserver(
      nullptr, kName,
      [&](const Notification&) {
        onGui = Dispatch::isMainThread();
        ++calls;
      },
      NotificationDelivery::mainThread);
  std::atomic<bool> posted{false};
  std::thread poster([&] {
    center.post(kName);
    posted = true;
  });
  poster.join();
  EXPECT_TRUE(posted);
  EXPECT_EQ(calls.load(), 0) << "delivered before the GUI thread ran its events";
  ASSERT_TRUE(kvtest::waitUntil([&] { return calls.load() == 1; }));
  EXPECT_TRUE(onGui);

  // Posted on the GUI thread itself, it is still queued.
  center.post(kName);
  EXPECT_EQ(calls.load(), 1);
  ASSERT_TRUE(kvtest::waitUntil([&] { return calls.load() == 2; }));
}

// The camera library posts while holding its own locks; a main-thread observer that
// takes the same lock must not make the poster wait for the GUI thread.
TEST(NotificationCenter, PosterHoldingALockDoesNotWaitForAMainThreadObserver) {
  NotificationCenter center;
  std::mutex libraryLock;
  std::atomic<bool> handled{false};
  center.addObserver(
      nullptr, kName,
      [&](const Notification&) {
        std::lock_guard<std::mutex> lock(libraryLock);
        handled = true;
      },
      NotificationDelivery::mainThread);
  std::atomic<bool> handledWhilePosting{true};
  std::atomic<bool> posterDone{false};
  std::thread poster([&] {
    std::lock_guard<std::mutex> lock(libraryLock);
    center.post(kName);
    handledWhilePosting = handled.load();
    posterDone = true;
  });
  ASSERT_TRUE(kvtest::waitUntil([&] { return posterDone && handled; }));
  poster.join();
  EXPECT_FALSE(handledWhilePosting);
}

TEST(NotificationCenter, ObserversRunInOrderAndOnlyForTheirName) {
  NotificationCenter center;
  std::vector<std::string> calls;
  center.addObserver(nullptr, kName, [&](const Notification&) { calls.push_back("a"); });
  center.addObserver(nullptr, QStringLiteral("Other"), [&](const Notification&) { calls.push_back("x"); });
  center.addObserver(nullptr, kName, [&](const Notification&) { calls.push_back("b"); });
  center.post(kName);
  EXPECT_EQ(calls, (std::vector<std::string>{"a", "b"}));
}

TEST(NotificationCenter, ObjectsTravelSharedAndIntact) {
  NotificationCenter center;
  const QString kShared = QStringLiteral("Shared"), kDictionary = QStringLiteral("Dictionary");
  auto payload = std::make_shared<Payload>(Payload{"frame"});
  std::shared_ptr<Payload> received;
  QVariantMap dictionary;
  center.addObserver(nullptr, kShared,
                     [&](const Notification& n) { received = n.objectAs<std::shared_ptr<Payload>>(); });
  center.addObserver(nullptr, kDictionary,
                     [&](const Notification& n) { dictionary = n.objectAs<QVariantMap>(); });
  center.post(kShared, QVariant::fromValue(payload));
  center.post(kDictionary,
              QVariantMap{{"bytes", QByteArray("\xff\xd8", 2)}, {"number", 15}});
  ASSERT_TRUE(received);
  EXPECT_EQ(received.get(), payload.get());
  EXPECT_EQ(dictionary.value("bytes").toByteArray(), QByteArray("\xff\xd8", 2));
  EXPECT_EQ(dictionary.value("number").toInt(), 15);
  // A wrong type gives an empty value, not a crash.
  center.post(kShared, 3);
  EXPECT_FALSE(received);
}

TEST(NotificationCenter, RemovedObserverIsNotCalledAndMayRemoveItselfWhileRunning) {
  NotificationCenter center;
  int calls = 0;
  NotificationCenter::ObserverId id = 0;
  id = center.addObserver(nullptr, kName, [&](const Notification&) {
    ++calls;
    center.removeObserver(id);  // must not wait for itself
  });
  center.post(kName);
  center.post(kName);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(center.observerCount(), 0u);
}

TEST(NotificationCenter, OwnerDeathRemovesItsObservers) {
  NotificationCenter center;
  auto* owner = new Owner;
  center.addObserver(owner, kName, [owner](const Notification& n) { owner->received.push_back(n.object.toInt()); });
  center.addObserver(owner, kName, [owner](const Notification& n) { owner->received.push_back(-n.object.toInt()); });
  center.post(kName, 1);
  EXPECT_EQ(owner->received, (std::vector<int>{1, -1}));
  delete owner;
  EXPECT_EQ(center.observerCount(), 0u);
  center.post(kName, 2);  // ASan reports a use after free if the handlers still run
}

// A main-thread delivery already queued when its owner dies is dropped.
TEST(NotificationCenter, QueuedDeliveryToADeadOwnerIsDropped) {
  NotificationCenter center;
  auto* owner = new Owner;
  int calls = 0;
  center.addObserver(
      owner, kName,
      [owner, &calls](const Notification& n) {
        ++calls;
        owner->received.push_back(n.object.toInt());
      },
      NotificationDelivery::mainThread);
  std::thread poster([&] { center.post(kName, 1); });
  poster.join();
  delete owner;
  bool sentinel = false;
  Dispatch::main([&] { sentinel = true; });  // queued after the delivery
  ASSERT_TRUE(kvtest::waitUntil([&] { return sentinel; }));
  EXPECT_EQ(calls, 0);
}

// The owner dies on the GUI thread while a worker is inside its handler: the death waits
// until the handler is done, and the handler is never entered again.
TEST(NotificationCenter, OwnerDeathWaitsForADeliveryInProgress) {
  NotificationCenter center;
  auto* owner = new Owner(&center);
  std::mutex m;
  std::condition_variable cv;
  bool entered = false;
  bool release = false;
  std::atomic<bool> finished{false};
  std::atomic<int> calls{0};
  center.addObserver(owner, kName, [&, owner](const Notification&) {
    ++calls;
    {
      std::unique_lock<std::mutex> lock(m);
      entered = true;
      cv.notify_all();
      cv.wait_for(lock, 30s, [&] { return release; });
    }
    owner->received.push_back(1);  // the owner must still be alive here
    finished = true;
  });
  std::thread poster([&] { center.post(kName); });
  {
    std::unique_lock<std::mutex> lock(m);
    ASSERT_TRUE(cv.wait_for(lock, 30s, [&] { return entered; }));
  }
  // Opens the handler only once the GUI thread is inside the removal.
  std::thread opener([&] {
    while (center.observerCount() != 0) std::this_thread::yield();
    std::lock_guard<std::mutex> lock(m);
    release = true;
    cv.notify_all();
  });
  delete owner;
  EXPECT_TRUE(finished) << "the owner died while its handler was still running";
  opener.join();
  poster.join();
  center.post(kName);
  EXPECT_EQ(calls.load(), 1);
}

// The handler in progress hops to the GUI thread while the GUI thread waits for it.
TEST(NotificationCenter, RemovalOnTheGuiThreadRunsTheHandlersMainSync) {
  NotificationCenter center;
  std::atomic<bool> entered{false};
  std::atomic<bool> hopped{false};
  auto id = center.addObserver(nullptr, kName, [&](const Notification&) {
    entered = true;
    Dispatch::mainSync([&] { hopped = true; });
  });
  std::thread poster([&] { center.post(kName); });
  while (!entered) std::this_thread::yield();
  center.removeObserver(id);
  EXPECT_TRUE(hopped);
  poster.join();
}

// Posts from several threads while observers come and go: no lost, doubled or late calls.
TEST(NotificationCenter, ConcurrentPostsAndRemovals) {
  NotificationCenter center;
  std::atomic<int> stable{0};
  center.addObserver(nullptr, kName, [&](const Notification&) { ++stable; });
  std::atomic<bool> stop{false};
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t) {
    posters.emplace_back([&] {
      for (int i = 0; i < 500; ++i) center.post(kName);
    });
  }
  std::thread churn([&] {
    while (!stop) {
      auto counter = std::make_shared<std::atomic<int>>(0);
      auto id = center.addObserver(nullptr, kName, [counter](const Notification&) { ++*counter; });
      center.removeObserver(id);
      int after = counter->load();
      std::this_thread::yield();
      EXPECT_EQ(counter->load(), after) << "called after its removal returned";
    }
  });
  for (auto& p : posters) p.join();
  stop = true;
  churn.join();
  EXPECT_EQ(stable.load(), 2000);
}
