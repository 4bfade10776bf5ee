// The share reader against the simulator: requests through the mailbox, unsolicited
// traffic, the end of a session and the start of the next.
#include <atomic>
#include <future>
#include <thread>

#include "ptp/link/commands.h"
#include "tests/ptp/link/mailbox_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {
// The unsolicited taker, run on its own thread as the share session does.
struct Taker {
  std::vector<ByteBuffer> got;
  std::atomic<bool> ended{false};
  std::chrono::microseconds pace{0};
  std::thread thread;

  void start() {
    thread = std::thread([this] {
      ByteBuffer m;
      while (shareTakeUnsolicited(m)) {
        got.push_back(std::move(m));
        if (pace.count()) std::this_thread::sleep_for(pace);
      }
      ended = true;
    });
  }
  void join() {
    if (thread.joinable()) thread.join();
  }
  ~Taker() { join(); }
};

// Silence ends the reply wait (0xFF0E) or, when the reader's own read gives up first,
// the session (0xFF16): the link is lost either way.
bool lostLink(PtpResponseCode rc) { return rc == ERROR_CONNECTION || rc == ERROR_CANCELLED; }

uint16_t ptpCode(const ByteBuffer& m) { return m.size() >= 13 ? bytesGetU16(m.data() + 11) : 0; }
uint32_t firstPayloadU32(const ByteBuffer& m) { return m.size() >= 21 ? bytesGetU32(m.data() + 17) : 0; }
}  // namespace

TEST_F(MailboxFixture, HeartbeatClientNameAndRelayedRequestsThroughTheReader) {
  for (int generation : {1, 2}) {
    SCOPED_TRACE(generation);
    startSession(generation);
    EXPECT_TRUE(shareReaderRunning());
    EXPECT_EQ(devHeartbeat(), PTP_RC_OK);
    EXPECT_EQ(shareSendClientName(std::string(199, 'n').c_str()), PTP_RC_OK);
    EXPECT_EQ(shareSendClientName(std::string(200, 'n').c_str()), ERROR_INVALID_INPUT);
    EXPECT_EQ(shareSendClientName(nullptr), ERROR_INVALID_INPUT);
    ASSERT_EQ(sim->clientNames().size(), 1u);
    EXPECT_EQ(sim->clientNames()[0], std::string(199, 'n'));

    // Relayed: the reply comes through the mailbox, never read off the socket twice.
    sim->addFile("A.JPG", Bytes(10, 1), bytesOf({6, 9, 9}));
    ByteBuffer thumb;
    uint8_t orientation = 0;
    ASSERT_EQ(devGetThumbnailByName("A.JPG", thumb, &orientation, RelayModeRelayAndKeep), PTP_RC_OK);
    EXPECT_EQ(orientation, 6);
    EXPECT_EQ(thumb, bytesOf({9, 9}));
    if (generation == 2) {  // a prepared message is answered with a kind-13 reply
      Bytes request = devsim::makeControlRequest(134, {});
      uint16_t value = 0;
      ASSERT_EQ(linkExchangeDirectU16(request.data(), request.size(), &value), PTP_RC_OK);
      EXPECT_EQ(value, 0x1234);
    }
    EXPECT_EQ(linkExpectedKind(), 0);
    TearDown();
  }
}

// After a transaction has ended, a pushed frame that happens to carry its transaction id
// is unsolicited, not a reply.
TEST_F(MailboxFixture, OldTransactionIdAfterTheEndIsUnsolicited) {
  startSession();
  sim->addObject(5, Bytes(100, 7));
  ByteBuffer object;
  PtpObjectInfoStruct record{};
  record.objectId = 5;
  record.objectCompressedSize = 100;
  ASSERT_EQ(devDownloadObject(&record, object, 0), PTP_RC_OK);
  EXPECT_EQ(object, Bytes(100, 7));
  EXPECT_EQ(linkExpectedKind(), 0);
  ASSERT_TRUE(sim->pushPtp(2, 0x910A, bytesOf({1, 0, 0, 0}), 0u));  // the id GetObject used
  ByteBuffer m;
  ASSERT_TRUE(shareTakeUnsolicited(m));
  EXPECT_EQ(ptpCode(m), 0x910A);
}

// A long reply still arriving is not silence; true silence ends the wait and the link.
TEST_F(MailboxFixture, SilenceEndsTheWaitButASlowReplyDoesNot) {
  startSession();
  linkSetReceiveTimeout(300ms);
  sim->setControlReply(240, {.noReply = true});
  Bytes reply = devsim::makeControlReply(2, 240, 0x2001, Bytes(40, 4));
  std::thread slow([&] {
    for (size_t i = 0; i < reply.size(); i += 4) {
      std::this_thread::sleep_for(100ms);
      sim->send(Bytes(reply.begin() + i, reply.begin() + std::min(i + 4, reply.size())));
    }
  });
  ByteBuffer out;
  EXPECT_EQ(devQuery240(out), PTP_RC_OK);  // ~1 s in all, never 300 ms without data
  slow.join();
  EXPECT_EQ(out, Bytes(40, 4));

  EXPECT_TRUE(lostLink(devQuery240(out)));
  EXPECT_FALSE(linkIsConnected());
}

TEST_F(MailboxFixture, HostileRepliesGiveErrorsNotHangs) {
  struct Case {
    const char* name;
    Bytes raw;
    PtpResponseCode rc;
  };
  const std::vector<Case> cases = {
      {"inner length lies", bytesOf({13, 0, 0, 0, 13, 0xFF, 0, 0, 0, 240, 1, 0x20, 1}), ERROR_BAD_REPLY},
      {"inner below 7", bytesOf({12, 0, 0, 0, 13, 2, 0, 0, 0, 240, 1, 0x20}), ERROR_BAD_REPLY},
      {"empty frame: never the reply", devsim::makeHeader(5, 13), ERROR_CONNECTION},
      {"wrong kind: never the reply", devsim::makeFrame(9, bytesOf({7, 0, 0, 0, 240})), ERROR_CONNECTION},
      {"reply cut short", bytesOf({9, 0, 0, 0, 13, 7, 0, 0, 0}), ERROR_CONNECTION},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    startSession();
    linkSetReceiveTimeout(300ms);
    sim->setControlReply(240, {.raw = c.raw});
    ByteBuffer out;
    PtpResponseCode rc = devQuery240(out);
    if (c.rc == ERROR_CONNECTION) {
      EXPECT_TRUE(lostLink(rc)) << rc;
    } else {
      EXPECT_EQ(rc, c.rc);
    }
    EXPECT_TRUE(out.empty());
    TearDown();
  }
}

// An oversize reply ends its request at once; the session goes on.
TEST_F(MailboxFixture, OversizeReplyEndsItsRequestAndTheReaderGoesOn) {
  startSession();
  sim->setControlHandler(240, [&](const devsim::ControlRequest&) {
    uint32_t total = kLinkMaxFrameBytes + 1;
    Bytes prefix = devsim::makeHeader(total, 13);
    devsim::putU32(prefix, total - 5);
    prefix.push_back(240);
    devsim::putU16(prefix, 0x2001);
    std::thread([this, prefix, total] { sim->sendWithZeros(prefix, total - prefix.size()); }).detach();
    return devsim::ControlReply{.noReply = true};
  });
  ByteBuffer out;
  EXPECT_EQ(devQuery240(out), ERROR_TOO_LARGE);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(devHeartbeat(), PTP_RC_OK);  // queued behind the big frame, read after it
}

// When the reader ends, the waiter gets 0xFF16 once and the taker null once; the next
// session's first heartbeat succeeds.
TEST_F(MailboxFixture, EndOfTheReaderAndTheNextSession) {
  startSession();
  Taker taker;
  taker.start();
  sim->setControlReply(176, {.noReply = true});
  auto waiting = std::async(std::launch::async, [] { return devHeartbeat(); });
  ASSERT_TRUE(sim->waitForReceived(1, kWait));
  sim->closeClient();
  EXPECT_EQ(waiting.get(), ERROR_CANCELLED);
  taker.join();
  EXPECT_TRUE(taker.ended);
  // The reader wakes both sides before it marks itself stopped: give it a moment.
  for (int i = 0; i < 30000 && shareReaderRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_FALSE(shareReaderRunning());
  EXPECT_EQ(devHeartbeat(), ERROR_CONNECTION);  // the link is closed

  sim->setControlReply(176, {});
  ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
  ASSERT_EQ(shareStartReader(), PTP_RC_OK);
  EXPECT_EQ(devHeartbeat(), PTP_RC_OK);
}

// A reconnect while the old reader is still blocked in its read: the old reader ends
// without touching the new link, and the new session works.
TEST_F(MailboxFixture, ReconnectWhileTheOldReaderIsBlocked) {
  startSession();
  EXPECT_EQ(devHeartbeat(), PTP_RC_OK);
  uint64_t old = linkConnectionId();
  devsim::Simulator second;
  ASSERT_TRUE(second.start());
  ASSERT_GE(linkConnect("127.0.0.1", second.port()), 0);  // closes the old connection
  ASSERT_TRUE(second.waitForClient(kWait));
  ASSERT_EQ(shareStartReader(), PTP_RC_OK);
  EXPECT_NE(linkConnectionId(), old);
  EXPECT_TRUE(linkIsConnected());
  EXPECT_FALSE(linkHasError());
  EXPECT_EQ(devHeartbeat(), PTP_RC_OK);
  EXPECT_EQ(second.receivedCount(), 1u);
  // The old connection reads nothing of the new stream and marks nothing.
  ByteBuffer m;
  EXPECT_EQ(linkReadMessageFrom(old, m), ERROR_CONNECTION);
  EXPECT_FALSE(linkHasError());
  linkDisconnectConnection(old);
  EXPECT_TRUE(linkIsConnected());
  shareStopReader();
  second.stop();
}

TEST_F(MailboxFixture, ThousandThumbnailsArriveInOrderWhileLiveViewCoalesces) {
  startSession();
  std::atomic<int> callbacks{0};
  shareSetUnsolicitedCallback([&] { callbacks++; });
  constexpr uint32_t kCount = 1000;
  for (uint32_t i = 0; i < kCount; ++i) {
    Bytes payload(2000, uint8_t(i));
    bytesPutU32(payload.data(), i);
    ASSERT_TRUE(sim->pushPtp(2, 0x910A, payload));
    if (i % 100 == 0) {
      for (int k = 0; k < 20; ++k) ASSERT_TRUE(sim->pushPtp(2, 0x9153, Bytes(8, uint8_t(k))));
    }
  }
  sim->pushControl(176, {});  // a marker: everything before it has been routed
  Taker taker;
  taker.pace = 200us;  // slower than the device
  taker.start();
  ASSERT_TRUE(sim->waitForClient(kWait));
  // Stop when the marker arrives.
  for (int i = 0; i < 3000; ++i) {
    std::this_thread::sleep_for(10ms);
    if (callbacks.load() >= int(kCount)) break;
  }
  shareStopReader();
  taker.join();
  std::vector<uint32_t> thumbs;
  int liveView = 0;
  for (const auto& m : taker.got) {
    if (ptpCode(m) == 0x910A) thumbs.push_back(firstPayloadU32(m));
    if (ptpCode(m) == 0x9153) liveView++;
  }
  ASSERT_EQ(thumbs.size(), kCount);
  for (uint32_t i = 0; i < kCount; ++i) ASSERT_EQ(thumbs[i], i);
  EXPECT_LT(liveView, 10 * 20);  // older frames were replaced by newer ones
  EXPECT_GE(liveView, 1);
  EXPECT_EQ(callbacks.load(), int(kCount));  // live-view frames run no callback
}

// A taker that has stopped taking: past the cap the session ends as a lost link.
TEST_F(MailboxFixture, QueueOverItsCapEndsTheSession) {
  startSession();
  shareSetMaxQueuedBytes(64 * 1024);
  for (int i = 0; i < 100 && sim->pushPtp(2, 0x910A, Bytes(4096, 1)); ++i) {
  }
  for (int i = 0; i < 1000 && shareReaderRunning(); ++i) std::this_thread::sleep_for(5ms);
  EXPECT_FALSE(shareReaderRunning());
  EXPECT_FALSE(linkIsConnected());
  // What was queued is gone with the session; the taker learns of the end.
  ByteBuffer m;
  EXPECT_FALSE(shareTakeUnsolicited(m));
}

// Live-view frames of both forms: only the newest one still queued is kept, in arrival
// order behind everything else.
TEST_F(MailboxFixture, QueuedLiveViewFramesAreReplacedByNewerOnes) {
  startSession();
  sim->pushControl(136, bytesOf({1}));
  sim->pushPtp(2, 0x910A, bytesOf({1, 0, 0, 0}));
  sim->pushPtp(2, 0x9203, bytesOf({2}));
  sim->pushControl(136, bytesOf({3}));
  sim->pushPtp(2, 0x910A, bytesOf({2, 0, 0, 0}));
  sim->pushPtp(2, 0x9428, bytesOf({4}));
  // A last ordinary push: the queue can hold four only once it has come, and it comes
  // after every frame before it, so no guess of how long the frames take is needed.
  sim->pushPtp(2, 0x910A, bytesOf({3, 0, 0, 0}));
  for (int i = 0; i < 30000 && shareUnsolicitedQueued() < 4; ++i) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(shareUnsolicitedQueued(), 4u);
  ByteBuffer m;
  ASSERT_TRUE(shareTakeUnsolicited(m));
  EXPECT_EQ(firstPayloadU32(m), 1u);
  ASSERT_TRUE(shareTakeUnsolicited(m));
  EXPECT_EQ(firstPayloadU32(m), 2u);
  ASSERT_TRUE(shareTakeUnsolicited(m));
  EXPECT_EQ(ptpCode(m), 0x9428);
  ASSERT_TRUE(shareTakeUnsolicited(m));
  EXPECT_EQ(firstPayloadU32(m), 3u);
  EXPECT_EQ(shareUnsolicitedQueued(), 0u);
}
