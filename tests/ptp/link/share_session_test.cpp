// The share session's threads against the simulator: start, heartbeats, client name,
// pushes in order, loss, kill and stop from any thread, restart, and the watchdog.
#include <atomic>
#include <mutex>
#include <thread>

#include "ptp/link/commands.h"
#include "ptp/link/share_session.h"
#include "tests/ptp/link/link_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {

// What the hooks saw, from whichever thread they ran on.
struct Seen {
  mutable std::mutex mutex;
  std::vector<int> statuses;
  std::vector<uint32_t> tags;  // first payload u32 of each PTP message handed on
  std::atomic<int> oob{0};

  void status(int s) {
    std::lock_guard lock(mutex);
    statuses.push_back(s);
  }
  void message(const ByteBuffer& m) {
    std::lock_guard lock(mutex);
    tags.push_back(m.size() >= 21 ? bytesGetU32(m.data() + 17) : 0xFFFFFFFFu);
  }
  std::vector<int> statusList() const {
    std::lock_guard lock(mutex);
    return statuses;
  }
  std::vector<uint32_t> tagList() const {
    std::lock_guard lock(mutex);
    return tags;
  }
};

Bytes tagged(uint32_t tag) {
  Bytes b(8, 0);
  bytesPutU32(b.data(), tag);
  return b;
}

}  // namespace

class ShareSessionTest : public LinkFixture {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    connect();
  }

  ShareSessionHooks hooks() {
    ShareSessionHooks h;
    h.incomingOob = [this] { seen.oob++; };
    h.message = [this](ByteBuffer& m) { seen.message(m); };
    h.status = [this](int s) { seen.status(s); };
    h.clientName = [] { return std::string("studio-mac"); };
    return h;
  }

  size_t heartbeats() const {
    size_t n = 0;
    for (const auto& f : sim->received()) n += f.opcode() == devsim::kOpcodeHeartbeat;
    return n;
  }

  void TearDown() override {
    session.reset();
    shareStopReader();
    shareSetUnsolicitedCallback(nullptr);
    LinkFixture::TearDown();
  }

  Seen seen;
  std::unique_ptr<ShareSession> session;
};

TEST_F(ShareSessionTest, StartsHeartbeatsNamesItselfAndHandsOnPushesInOrder) {
  session = std::make_unique<ShareSession>(hooks());
  ASSERT_TRUE(session->start());
  EXPECT_TRUE(session->running());
  ASSERT_TRUE(waitFor([&] { return sim->clientNames().size() == 1 && heartbeats() >= 4; }));
  EXPECT_EQ(sim->clientNames()[0], "studio-mac");
  // The name goes out after the first heartbeat and before the watchdog's.
  auto frames = sim->received();
  ASSERT_GE(frames.size(), 2u);
  EXPECT_EQ(frames[0].opcode(), devsim::kOpcodeHeartbeat);
  EXPECT_EQ(frames[1].opcode(), devsim::kOpcodeClientName);

  constexpr uint32_t kCount = 300;
  for (uint32_t i = 0; i < kCount; ++i) {
    ASSERT_TRUE(sim->pushPtp(2, 0x910A, tagged(i)));
    if (i % 50 == 0) sim->pushPtp(2, 0x9153, tagged(0xEEEE));  // live view: no out-of-band post
  }
  ASSERT_TRUE(waitFor([&] { return seen.oob.load() == int(kCount); }));
  ASSERT_TRUE(waitFor([&] {
    auto t = seen.tagList();
    return !t.empty() && std::count_if(t.begin(), t.end(), [](uint32_t x) { return x != 0xEEEE; }) == kCount;
  }));
  std::vector<uint32_t> thumbs;
  for (uint32_t t : seen.tagList())
    if (t != 0xEEEE) thumbs.push_back(t);
  for (uint32_t i = 0; i < kCount; ++i) ASSERT_EQ(thumbs[i], i);
  EXPECT_TRUE(seen.statusList().empty());

  session->stop();
  EXPECT_FALSE(session->running());
  EXPECT_EQ(seen.statusList(), std::vector<int>{kShareStatusLost});
  EXPECT_FALSE(linkIsConnected());
}

// A refused first heartbeat reports 3 and leaves nothing running on that link.
TEST_F(ShareSessionTest, RefusedFirstHeartbeatReportsStartFailedAndEndsTheSession) {
  sim->setControlReply(devsim::kOpcodeHeartbeat, {.result = 0x2019});
  session = std::make_unique<ShareSession>(hooks());
  EXPECT_FALSE(session->start());
  EXPECT_FALSE(session->running());
  EXPECT_FALSE(shareReaderRunning());
  EXPECT_FALSE(linkIsConnected());
  std::this_thread::sleep_for(50ms);  // five heartbeat periods: nothing else is reported
  EXPECT_EQ(seen.statusList(), std::vector<int>{kShareStatusStartFailed});
  EXPECT_TRUE(sim->clientNames().empty());
  EXPECT_EQ(heartbeats(), 1u);
}

// However the link goes, the loss is reported once although loop and watchdog both see it.
TEST_F(ShareSessionTest, LostLinkEndsTheSessionAndIsReportedOnce) {
  struct Case {
    const char* name;
    std::function<void(devsim::Simulator&)> lose;
  };
  const std::vector<Case> cases = {
      {"device closes", [](devsim::Simulator& s) { s.closeClient(); }},
      // The socket stays open; the heartbeat's wait for a reply runs out.
      {"device goes silent", [](devsim::Simulator& s) { s.setControlReply(devsim::kOpcodeHeartbeat, {.noReply = true}); }},
      {"device stops reading and answering", [](devsim::Simulator& s) {
         s.setStalled(true);
         s.setReading(false);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!sim) connect();
    seen.statuses.clear();
    session = std::make_unique<ShareSession>(hooks());
    ASSERT_TRUE(session->start());
    // Short only once started: the first heartbeat's answer may come late on a busy machine.
    linkSetReceiveTimeout(200ms);
    c.lose(*sim);
    ASSERT_TRUE(waitFor([&] { return !session->running(); }));
    ASSERT_TRUE(waitFor([&] { return !seen.statusList().empty(); }));
    std::this_thread::sleep_for(50ms);  // a late second report would come within this
    EXPECT_EQ(seen.statusList(), std::vector<int>{kShareStatusLost});
    EXPECT_FALSE(linkIsConnected());
    session->stop();
    EXPECT_EQ(seen.statusList().size(), 1u);
    TearDown();
    sim.reset();
  }
}

// Kill while the watchdog sleeps: it reports nothing, the loop's end reports once.
TEST_F(ShareSessionTest, KillFromAnotherThreadWhileTheWatchdogSleeps) {
  timing().heartbeatPeriod = std::chrono::hours(1);
  session = std::make_unique<ShareSession>(hooks());
  ASSERT_TRUE(session->start());
  std::thread([&] { session->kill(); }).join();
  ASSERT_TRUE(waitFor([&] { return !session->running(); }));
  session->stop();  // returns although the watchdog was asleep for an hour
  EXPECT_EQ(seen.statusList(), std::vector<int>{kShareStatusLost});
  EXPECT_EQ(heartbeats(), 1u);
}

// Stop from inside each hook, on each of the session's threads, never deadlocks; start
// from a session's own thread is refused.
TEST_F(ShareSessionTest, StopFromInsideEveryHookDoesNotDeadlock) {
  enum Where { kOob, kMessage, kStatus };
  for (Where where : {kOob, kMessage, kStatus}) {
    SCOPED_TRACE(where);
    if (!sim) connect();
    std::atomic<int> refusedStarts{0};
    std::atomic<bool> stopped{false};
    auto h = hooks();
    auto stopHere = [&] {
      if (stopped.exchange(true)) return;
      if (!session->start()) refusedStarts++;
      session->stop();
    };
    if (where == kOob) h.incomingOob = stopHere;
    if (where == kMessage) h.message = [&](ByteBuffer&) { stopHere(); };
    if (where == kStatus) h.status = [&](int s) {
      seen.status(s);
      stopHere();
    };
    session = std::make_unique<ShareSession>(h);
    ASSERT_TRUE(session->start());
    if (where == kStatus)
      sim->closeClient();
    else
      sim->pushPtp(2, 0x910A, tagged(1));
    ASSERT_TRUE(waitFor([&] { return stopped.load() && !session->running(); }));
    session->stop();
    EXPECT_EQ(refusedStarts.load(), 1);
    EXPECT_FALSE(linkIsConnected());
    TearDown();
    sim.reset();
  }
}

// A session started after another never hands on the earlier one's messages, even when
// they were still waiting to be decoded; everything of the first is handled before the
// second starts.
TEST_F(ShareSessionTest, RestartAfterStopSeesOnlyItsOwnMessages) {
  std::atomic<bool> release{false};
  auto h = hooks();
  h.message = [&](ByteBuffer& m) {
    while (!release.load()) std::this_thread::sleep_for(1ms);  // decoding falls behind
    seen.message(m);
  };
  session = std::make_unique<ShareSession>(h);
  ASSERT_TRUE(session->start());
  for (uint32_t i = 0; i < 50; ++i) sim->pushPtp(2, 0x910A, tagged(1000 + i));
  ASSERT_TRUE(waitFor([&] { return seen.oob.load() == 50; }));
  session->kill();
  ASSERT_TRUE(waitFor([&] { return !seen.statusList().empty(); }));  // the loop has ended
  EXPECT_LT(seen.tagList().size(), 50u);
  release = true;

  ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
  ASSERT_TRUE(sim->waitForClient(kWait));
  ASSERT_TRUE(session->start());
  auto first = seen.tagList();
  ASSERT_EQ(first.size(), 50u);
  for (uint32_t i = 0; i < 50; ++i) EXPECT_EQ(first[i], 1000 + i);
  EXPECT_EQ(seen.statusList(), std::vector<int>{kShareStatusLost});

  for (uint32_t i = 0; i < 5; ++i) sim->pushPtp(2, 0x910A, tagged(2000 + i));
  ASSERT_TRUE(waitFor([&] { return seen.tagList().size() == 55; }));
  auto all = seen.tagList();
  for (size_t i = 50; i < 55; ++i) EXPECT_EQ(all[i], 2000 + (i - 50));
  EXPECT_TRUE(session->running());
}

// A start while a session still runs replaces it; the replaced one reports nothing.
TEST_F(ShareSessionTest, StartOverARunningSessionReplacesItQuietly) {
  session = std::make_unique<ShareSession>(hooks());
  ASSERT_TRUE(session->start());
  // Once per connection: a second start on the same link keeps the session and its reader.
  ASSERT_TRUE(session->start());
  EXPECT_TRUE(linkIsConnected());
  EXPECT_TRUE(session->running());
  sim->pushPtp(2, 0x910A, tagged(7));
  ASSERT_TRUE(waitFor([&] { return seen.tagList() == std::vector<uint32_t>{7}; }));
  ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);  // closes the first connection
  ASSERT_TRUE(sim->waitForClient(kWait));
  ASSERT_TRUE(session->start());
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(session->running());
  EXPECT_TRUE(linkIsConnected());
  // The first connection's loss may be reported before the new start retires it, never later.
  auto statuses = seen.statusList();
  EXPECT_LE(statuses.size(), 1u);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(seen.statusList(), statuses);
  size_t before = heartbeats();
  ASSERT_TRUE(waitFor([&] { return heartbeats() >= before + 3; }));
}

// Kills and stops racing with pushes and heartbeats, many times over: every session ends,
// reports at most once, and the next one starts.
TEST_F(ShareSessionTest, KillsRacingWithTrafficAlwaysEndTheSession) {
  session = std::make_unique<ShareSession>(hooks());
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    seen.statuses.clear();
    if (round > 0) {
      ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
      ASSERT_TRUE(sim->waitForClient(kWait));
    }
    ASSERT_TRUE(session->start());
    std::thread pusher([&] {
      for (uint32_t i = 0; i < 20; ++i) sim->pushPtp(2, 0x910A, tagged(i));
    });
    std::this_thread::sleep_for(std::chrono::microseconds(round * 300));
    std::thread killer([&] { session->kill(); });
    killer.join();
    pusher.join();
    session->stop();
    EXPECT_FALSE(session->running());
    EXPECT_EQ(seen.statusList(), std::vector<int>{kShareStatusLost});
  }
}

// Two hundred reconnects, each a clean start while the replaced session's watchdog is
// heartbeating as fast as it can: the old session never sends on, marks or closes the new
// connection, and every frame the device receives is a whole heartbeat or client name.
TEST_F(ShareSessionTest, TwoHundredReconnectsEachStartCleanly) {
  timing().heartbeatPeriod = 1ms;
  session = std::make_unique<ShareSession>(hooks());
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    if (round > 0) {
      ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    }
    ASSERT_TRUE(session->start());
    EXPECT_TRUE(session->running());
    // This session's own watchdog has heartbeated on its connection.
    size_t before = sim->receivedCount();
    ASSERT_TRUE(waitFor([&] { return sim->receivedCount() >= before + 2; }));
    EXPECT_TRUE(linkIsConnected());
    EXPECT_FALSE(linkHasError());
    EXPECT_TRUE(session->running());
  }
  session->stop();
  for (const auto& f : sim->received()) {
    ASSERT_TRUE(f.opcode() == devsim::kOpcodeHeartbeat || f.opcode() == devsim::kOpcodeClientName)
        << "kind " << int(f.kind()) << ", " << f.total() << " bytes";
  }
  EXPECT_EQ(sim->connectionCount(), 200);
  EXPECT_EQ(sim->clientNames().size(), 200u);
  // A replaced session may report its loss before the next start retires it, never more.
  auto statuses = seen.statusList();
  EXPECT_LE(statuses.size(), 200u);
  for (int s : statuses) EXPECT_EQ(s, kShareStatusLost);
}
