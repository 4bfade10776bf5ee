// The process-wide share session against the simulator, seen through its notifications:
// start, status posts, out-of-band posts and messages in order, kill and stop from
// anywhere (also from inside a notification handler), restart.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <mutex>
#include <thread>

#include "model/connection_status.h"
#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "support/qt_test_support.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;

namespace {

// A PTP code the decoder passes over, so the pushes have no effect beyond being handled.
constexpr uint16_t kIgnoredPtpCode = 0x9999;

ByteBuffer tagged(uint32_t tag) {
  ByteBuffer b(8, 0);
  bytesPutU32(b.data(), tag);
  return b;
}

class ShareCommsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    timing().receiveTimeout = 30s;
    connect();
    // The typed observers: statuses, out-of-band and handled messages reach the GUI thread.
    observers.push_back(observeConnectionStatus(nullptr, [this](const ConnectionStatusEvent& e) {
      EXPECT_TRUE(Dispatch::isMainThread());
      std::lock_guard lock(mutex);
      statuses.push_back(e.status);
    }));
    observers.push_back(observeIncomingOobMessage(nullptr, [this] { oob++; }));
    observers.push_back(observeMessageHandled(nullptr, [this] { handled++; }));
    ShareComms::instance().setMessageTap([this](const ByteBuffer& m) {
      std::lock_guard lock(mutex);
      tags.push_back(m.size() >= 21 ? bytesGetU32(m.data() + 17) : 0);
    });
  }

  void connect() {
    sim = std::make_unique<devsim::Simulator>();
    ASSERT_TRUE(sim->start());
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(30s));
    shareSetMode(ShareModeGeneration2);
  }

  void TearDown() override {
    ShareComms::instance().stop();
    ShareComms::instance().setMessageTap(nullptr);
    for (auto id : observers) NotificationCenter::defaultCenter().removeObserver(id);
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
  }

  // GUI thread: what was posted so far, the deliveries queued here run first.
  std::vector<int> statusList() {
    QCoreApplication::processEvents();
    std::lock_guard lock(mutex);
    return statuses;
  }
  std::vector<uint32_t> tagList() {
    std::lock_guard lock(mutex);
    return tags;
  }

  ScopedTiming restore;
  std::unique_ptr<devsim::Simulator> sim;
  std::vector<NotificationCenter::ObserverId> observers;
  std::mutex mutex;
  std::vector<int> statuses;
  std::vector<uint32_t> tags;
  std::atomic<int> oob{0}, handled{0};
};

}  // namespace

TEST_F(ShareCommsTest, StartedSessionHandsOnPushesInOrderAndPostsOnce) {
  auto& comms = ShareComms::instance();
  ASSERT_TRUE(comms.start());
  EXPECT_TRUE(comms.hasPtpQueue());
  ASSERT_TRUE(kvtest::waitUntil([&] { return sim->clientNames().size() == 1; }));
  EXPECT_EQ(QString::fromStdString(sim->clientNames()[0]), ShareComms::localComputerName());

  for (uint32_t i = 0; i < 100; ++i) sim->pushPtp(2, kIgnoredPtpCode, tagged(i));
  sim->pushControl(129, {1});  // a control message: handled, but no out-of-band post
  ASSERT_TRUE(kvtest::waitUntil([&] { return handled.load() == 101; }));
  EXPECT_EQ(oob.load(), 100);
  auto t = tagList();
  ASSERT_EQ(t.size(), 101u);
  for (uint32_t i = 0; i < 100; ++i) ASSERT_EQ(t[i], i);

  // Killed from another thread: the link closes and the loss is posted once.
  std::thread([&] { comms.killConnection(); }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return !statusList().empty(); }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(statusList(), std::vector<int>{ConnectionStatusDisconnected});
  comms.stop();
  EXPECT_FALSE(comms.hasPtpQueue());
  EXPECT_FALSE(linkIsConnected());
}

TEST_F(ShareCommsTest, DeviceRefusingTheHeartbeatPostsStartFailed) {
  sim->setControlReply(devsim::kOpcodeHeartbeat, {.result = 0x2019});
  EXPECT_FALSE(ShareComms::instance().start());
  EXPECT_EQ(statusList(), std::vector<int>{ConnectionStatusStartFailed});
  EXPECT_FALSE(ShareComms::instance().hasPtpQueue());
}

TEST_F(ShareCommsTest, WatchdogEndsASessionWhoseDeviceFellSilent) {
  ASSERT_TRUE(ShareComms::instance().start());
  // Short only once started: the first heartbeat's answer may come late on a busy machine.
  linkSetReceiveTimeout(200ms);
  sim->setControlReply(devsim::kOpcodeHeartbeat, {.noReply = true});
  ASSERT_TRUE(kvtest::waitUntil([&] { return !statusList().empty(); }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(statusList(), std::vector<int>{ConnectionStatusDisconnected});
  EXPECT_FALSE(linkIsConnected());
}

// Observers that stop the session from inside their handler, on the session's own threads
// and on the GUI thread, never deadlock; the next session starts and sees only its own
// messages. The typed observers of these run on the GUI thread; an observer of the default
// centre may still ask for the posting thread, and the session must survive it there.
TEST_F(ShareCommsTest, StopFromInsideHandlersThenRestart) {
  auto& comms = ShareComms::instance();
  auto& center = NotificationCenter::defaultCenter();
  std::atomic<int> stops{0};
  observers.push_back(center.addObserver(nullptr, IncomingOobMessageEvent::kName, [&](const Notification&) {
    if (stops++ == 0) comms.stop();  // on the unsolicited loop's thread
  }));
  observers.push_back(center.addObserver(nullptr, MessageHandledEvent::kName,
                                         [&](const Notification&) { comms.stop(); }));  // on the queue
  std::atomic<bool> guiStopped{false};
  observers.push_back(observeConnectionStatus(nullptr, [&](const ConnectionStatusEvent&) {
    comms.stop();  // the GUI thread waits for the session's threads
    guiStopped = true;
  }));
  ASSERT_TRUE(comms.start());
  for (uint32_t i = 0; i < 20; ++i) sim->pushPtp(2, kIgnoredPtpCode, tagged(i));
  ASSERT_TRUE(kvtest::waitUntil([&] { return guiStopped.load(); }));
  EXPECT_EQ(statusList(), std::vector<int>{ConnectionStatusDisconnected});
  comms.stop();
  size_t before = tagList().size();
  EXPECT_LE(before, 20u);

  sim->stop();
  connect();
  stops = 1000;  // no more stops from the handlers of the first session's kind
  for (size_t i = 3; i < observers.size(); ++i) center.removeObserver(observers[i]);
  observers.resize(3);
  ASSERT_TRUE(comms.start());
  for (uint32_t i = 0; i < 5; ++i) sim->pushPtp(2, kIgnoredPtpCode, tagged(500 + i));
  ASSERT_TRUE(kvtest::waitUntil([&] { return tagList().size() == before + 5; }));
  auto t = tagList();
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(t[before + i], 500 + i);
  EXPECT_TRUE(comms.hasPtpQueue());
}

// The GUI thread stopping the session while decoding hops to it and waits there: the
// stop keeps serving those hops, so both finish. (The hop is made by an observer of the
// default centre on the queue itself, as an image observer would.)
TEST_F(ShareCommsTest, GuiThreadStopWhileHandlersWaitForTheGuiThread) {
  ASSERT_TRUE(Dispatch::isMainThread());
  auto& comms = ShareComms::instance();
  std::atomic<int> hops{0};
  observers.push_back(NotificationCenter::defaultCenter().addObserver(
      nullptr, MessageHandledEvent::kName, [&](const Notification&) {
        Dispatch::mainSync([&] { hops++; });
      }));
  ASSERT_TRUE(comms.start());
  for (uint32_t i = 0; i < 50; ++i) sim->pushPtp(2, kIgnoredPtpCode, tagged(i));
  ASSERT_TRUE(kvtest::waitUntil([&] { return oob.load() == 50; }));
  comms.stop();  // the queued messages are still handled, each hopping here
  EXPECT_EQ(hops.load(), 50);
  QCoreApplication::processEvents();  // the typed handled posts queued here meanwhile
  EXPECT_EQ(handled.load(), 50);
  EXPECT_FALSE(comms.hasPtpQueue());
  EXPECT_EQ(statusList(), std::vector<int>{ConnectionStatusDisconnected});
}
