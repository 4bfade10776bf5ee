// The share session's decoding queue and its ends, against the simulator with a decoder
// that falls behind: live-view frames are replaced, other pushes kept in order, the byte
// cap ends the session as lost, and a hook that never returns holds no stop or start.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ptp/base/ptp_codes.h"
#include "ptp/link/share_session.h"
#include "tests/ptp/link/link_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {

Bytes tagged(uint32_t tag, size_t size = 8) {
  Bytes b(size, 0);
  bytesPutU32(b.data(), tag);
  return b;
}

// A decoder hook that holds every message with one tag until released.
class Gate {
 public:
  explicit Gate(uint32_t tag) : tag_(tag) {}
  void pass(uint32_t tag) {
    if (tag != tag_) return;
    std::unique_lock lock(mutex_);
    held_++;
    cv_.notify_all();
    cv_.wait(lock, [&] { return open_; });
  }
  int held() {
    std::lock_guard lock(mutex_);
    return held_;
  }
  void open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    cv_.notify_all();
  }

 private:
  const uint32_t tag_;
  std::mutex mutex_;
  std::condition_variable cv_;
  int held_ = 0;
  bool open_ = false;
};

struct Handed {
  uint32_t tag;
  bool liveView;
  bool operator==(const Handed&) const = default;
};

}  // namespace

class ShareSessionQueueTest : public LinkFixture {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    connect();
  }

  void TearDown() override {
    gate.open();
    session.reset();
    shareStopReader();
    shareSetUnsolicitedCallback(nullptr);
    LinkFixture::TearDown();
  }

  ShareSessionHooks hooks() {
    ShareSessionHooks h;
    h.incomingOob = [this] { oob++; };
    h.message = [this](ByteBuffer& m) {
      uint32_t tag = m.size() >= 21 ? bytesGetU32(m.data() + 17) : 0xFFFFFFFFu;
      gate.pass(tag);
      std::lock_guard lock(mutex);
      handed.push_back({tag, shareIsLiveViewFrame(m)});
    };
    h.status = [this](int s) {
      std::lock_guard lock(mutex);
      statuses.push_back(s);
    };
    h.clientName = [] { return std::string("studio-mac"); };
    return h;
  }

  std::vector<Handed> handedList() {
    std::lock_guard lock(mutex);
    return handed;
  }
  std::vector<int> statusList() {
    std::lock_guard lock(mutex);
    return statuses;
  }

  static constexpr uint32_t kHeld = 0xAAAA;
  Gate gate{kHeld};
  std::atomic<int> oob{0};
  std::mutex mutex;
  std::vector<Handed> handed;
  std::vector<int> statuses;
  std::unique_ptr<ShareSession> session;
};

// Two hundred live-view frames of 256 KiB while the decoder is held: it is handed only
// the newest, after everything pushed before it, and no other push is lost or reordered.
TEST_F(ShareSessionQueueTest, StaleLiveViewFramesAreReplacedWhileOtherPushesKeepTheirOrder) {
  session = std::make_unique<ShareSession>(hooks());
  ASSERT_TRUE(session->start());
  ASSERT_TRUE(sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(kHeld)));
  ASSERT_TRUE(waitFor([&] { return gate.held() == 1; }));

  std::vector<Handed> expected = {{kHeld, false}};
  for (uint32_t i = 0; i < 200; ++i) {
    ASSERT_TRUE(sim->pushPtp(2, PTP_OC_CANON_GetViewFinderData, tagged(i, 256 * 1024)));
    if (i % 20 == 0) {
      ASSERT_TRUE(sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(1000 + i)));
      expected.push_back({1000 + i, false});
    }
  }
  ASSERT_TRUE(sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(0xBBBB)));
  expected.push_back({199, true});
  expected.push_back({0xBBBB, false});
  // The last push has been taken from the mailbox, so everything before it has too.
  ASSERT_TRUE(waitFor([&] { return oob.load() == 12; }));
  gate.open();
  ASSERT_TRUE(waitFor([&] { return handedList().size() >= expected.size(); }));
  EXPECT_EQ(handedList(), expected);
  EXPECT_TRUE(session->running());
  EXPECT_TRUE(statusList().empty());
}

// Past the byte cap the session ends as a lost link; what was queued before is still
// handed on whole and in order.
TEST_F(ShareSessionQueueTest, PastTheByteCapTheSessionEndsAsLost) {
  auto h = hooks();
  h.maxQueuedBytes = 1024 * 1024;
  session = std::make_unique<ShareSession>(h);
  ASSERT_TRUE(session->start());
  ASSERT_TRUE(sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(kHeld)));
  ASSERT_TRUE(waitFor([&] { return gate.held() == 1; }));

  constexpr uint32_t kPushes = 40;  // 40 x 64 KiB: two and a half times the cap
  for (uint32_t i = 0; i < kPushes; ++i) sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(i, 64 * 1024));
  ASSERT_TRUE(waitFor([&] { return !session->running(); }));
  EXPECT_EQ(statusList(), std::vector<int>{kShareStatusLost});
  EXPECT_FALSE(linkIsConnected());

  gate.open();
  session->stop();
  auto all = handedList();
  ASSERT_GE(all.size(), 2u);
  EXPECT_LT(all.size(), size_t(kPushes) + 1);
  EXPECT_EQ(all[0].tag, kHeld);
  for (size_t i = 1; i < all.size(); ++i) EXPECT_EQ(all[i], (Handed{uint32_t(i - 1), false}));
  EXPECT_EQ(statusList(), std::vector<int>{kShareStatusLost});
}

// A decoder hook that does not return holds neither the start of the next session nor a
// stop beyond sessionEndWait; once it returns, the session's threads are collected.
TEST_F(ShareSessionQueueTest, AHookThatNeverReturnsHoldsNoStartAndNoStop) {
  timing().sessionEndWait = 1s;
  // Nothing on the link but the pushes and the first heartbeats: no request of the first
  // session can still be waiting for its reply when the link changes.
  timing().heartbeatPeriod = std::chrono::hours(1);
  // Held by the hooks only: once every run of the session is gone, this is the last one.
  auto token = std::make_shared<int>(0);
  {
    auto h = hooks();
    h.status = [token, status = h.status](int s) { status(s); };
    h.clientName = nullptr;
    session = std::make_unique<ShareSession>(h);
  }

  // Runs a call on another thread; false when it has not returned (the gate is then opened
  // so that it can).
  auto returns = [&](const std::function<void()>& call) {
    std::atomic<bool> done{false};
    std::thread t([&] {
      call();
      done = true;
    });
    bool returned = waitFor([&] { return done.load(); });
    gate.open();
    t.join();
    return returned;
  };

  ASSERT_TRUE(session->start());
  ASSERT_TRUE(sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(kHeld)));
  ASSERT_TRUE(waitFor([&] { return gate.held() == 1; }));
  // A new connection while the first session's decoder is stuck.
  ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
  // The device serves the new connection (its pushes would go to the old one before).
  ASSERT_TRUE(waitFor([&] { return sim->connectionCount() == 2; }));
  bool started = false;
  ASSERT_TRUE(returns([&] {
    started = session->start();
    if (!started) return;
    sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(2));
    waitFor([&] { return handedList().size() == 1; });
    sim->pushPtp(2, PTP_OC_CANON_GetThumbEx, tagged(kHeld));  // the second session's decoder sticks too
    waitFor([&] { return gate.held() == 2; });
    session->stop();
  }));
  ASSERT_TRUE(started);
  EXPECT_FALSE(session->running());

  timing().sessionEndWait = kWait;
  session.reset();  // collects both sessions' threads now that their hooks have returned
  EXPECT_EQ(token.use_count(), 1);
  auto all = handedList();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].tag, 2u);
}
