// How the process-wide share session ends: at the end of the application, and when a
// notification handler on its queue never returns. Also the link opened on descriptor 0.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "model/connection_status.h"
#include "platform/notification_center.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/connect_run.h"
#include "share/discovery.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "support/qt_test_support.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;

namespace {

// Exit codes of the scenarios below.
enum : int { kFine = 0, kNoDevice = 2, kNotStarted = 3, kStillRunning = 4, kNotOnZero = 5, kNotUsable = 6 };

devsim::Simulator& scenarioDevice() {
  static devsim::Simulator sim;
  return sim;
}

// Runs after the application object is gone (registered after it was made).
void checkSessionEnded() {
  if (ShareComms::instance().hasPtpQueue() || shareReaderRunning() || linkIsConnected()) _exit(kStillRunning);
}

}  // namespace

// A session still running when the application ends: its threads end with it.
KV_EXIT_SCENARIO(ShareSessionRunningAtTheEnd) {
  timing().heartbeatPeriod = 10ms;
  auto& sim = scenarioDevice();
  if (!sim.start() || linkConnect("127.0.0.1", sim.port()) < 0 || !sim.waitForClient(30s)) return kNoDevice;
  shareSetMode(ShareModeGeneration2);
  if (!ShareComms::instance().start()) return kNotStarted;
  std::atexit(checkSessionEnded);
  return kFine;
}

TEST(ShareCommsEndTest, TheEndOfTheApplicationEndsARunningSession) {
  EXPECT_EQ(kvtest::runExitScenario("ShareSessionRunningAtTheEnd"), kFine);
}

// With standard input closed the link's socket is descriptor 0: the connect run takes it
// as the open link it is, and the session runs on it.
KV_EXIT_SCENARIO(LinkOnDescriptorZero) {
  auto& sim = scenarioDevice();
  if (!sim.start()) return kNoDevice;
  ::close(0);
  DiscoveryHooks h;
  h.localAddress = [] { return std::optional<std::string>("10.20.30.40"); };
  // The device advertises the port below the one it listens on.
  h.lookup = [port = sim.port()](bool) { return std::vector<KorvalumeAddress>{{"127.0.0.1", uint16_t(port - 1)}}; };
  CommsManager::setHooks(h);
  int result = connectRunStep();
  if (linkGetSocket() != 0) return kNotOnZero;
  if (result != ConnectionStatusConnected || !linkIsConnected()) return kNotStarted;
  bool named = kvtest::waitUntil([&] { return sim.clientNames().size() == 1; });
  ShareComms::instance().stop();
  return named ? kFine : kNotUsable;
}

TEST(ShareCommsEndTest, ALinkOnDescriptorZeroIsConnectedAndUsable) {
  EXPECT_EQ(kvtest::runExitScenario("LinkOnDescriptorZero"), kFine);
}

// A handler on the session's queue that never returns holds a stop on the GUI thread no
// longer than sessionEndWait; the queue is collected once the handler returns.
TEST(ShareCommsEndTest, AHandlerThatNeverReturnsHoldsNoStop) {
  ScopedTiming restore;
  timing().heartbeatPeriod = std::chrono::hours(1);
  timing().sessionEndWait = 100ms;
  devsim::Simulator sim;
  ASSERT_TRUE(sim.start());
  ASSERT_GE(linkConnect("127.0.0.1", sim.port()), 0);
  ASSERT_TRUE(sim.waitForClient(30s));
  shareSetMode(ShareModeGeneration2);

  std::mutex mutex;
  std::condition_variable cv;
  bool entered = false, released = false;
  std::atomic<bool> gaveUp{false};
  // The save permission is observed on the poster's thread: the session's queue.
  auto observer = observeClientCanSaveUpdated(nullptr, [&](const ClientCanSaveUpdatedEvent&) {
    std::unique_lock lock(mutex);
    entered = true;
    cv.notify_all();
    // Gives up only so that a stop that waits for it cannot hang the test run.
    if (!cv.wait_for(lock, 120s, [&] { return released; })) gaveUp = true;
  });
  auto release = [&] {
    std::lock_guard lock(mutex);
    released = true;
    cv.notify_all();
  };

  auto& comms = ShareComms::instance();
  ASSERT_TRUE(comms.start());
  ASSERT_TRUE(sim.sendControlReply(129, 0x2001, {1}));
  ASSERT_TRUE(kvtest::waitUntil([&] {
    std::lock_guard lock(mutex);
    return entered;
  }));
  comms.stop();  // on the GUI thread, the handler still inside
  EXPECT_FALSE(gaveUp.load());
  release();
  EXPECT_FALSE(comms.hasPtpQueue());
  EXPECT_FALSE(linkIsConnected());

  timing().sessionEndWait = 30s;
  comms.stop();  // collects the queue now that its handler has returned
  NotificationCenter::defaultCenter().removeObserver(observer);
  sim.stop();
  shareSetMode(ShareModeNone);
}
