// Requests belong to the connection and the reader they went out with; the reply wait is
// bounded per request; a frame is held only up to what its taker accepts.
#include <atomic>
#include <future>
#include <thread>

#include "ptp/link/commands.h"
#include "tests/ptp/link/mailbox_fixture.h"
#include "tools/devsim/keepalive.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {

uint16_t ptpCode(const ByteBuffer& m) { return m.size() >= 13 ? bytesGetU16(m.data() + 11) : 0; }

// The unsolicited taker, as the share session runs it.
struct Taker {
  std::vector<ByteBuffer> got;
  std::thread thread;
  void start() {
    thread = std::thread([this] {
      ByteBuffer m;
      while (shareTakeUnsolicited(m)) got.push_back(std::move(m));
    });
  }
  ~Taker() {
    if (thread.joinable()) thread.join();
  }
};

class MailboxBound : public MailboxFixture {
 protected:
  void TearDown() override {
    linkSetAwaitHook(nullptr);
    MailboxFixture::TearDown();
  }
};

}  // namespace

// The reader ends after the request went out and before its wait begins: the request
// still waits on that reader and learns of its end (0xFF16). It never reads the stream
// itself, neither the closed one nor one opened since.
TEST_F(MailboxBound, AReaderThatEndsBetweenSendAndWaitStillAnswersTheRequest) {
  enum After { kNothing, kReconnect, kReconnectWithReader };
  for (After after : {kNothing, kReconnect, kReconnectWithReader}) {
    SCOPED_TRACE(after);
    startSession();
    linkSetReceiveTimeout(2s);  // a wrong route would wait this long on a silent stream
    sim->setControlReply(devsim::kOpcodeHeartbeat, {.noReply = true});
    std::thread starter;
    std::atomic<PtpResponseCode> started{0};
    linkSetAwaitHook([&] {
      linkSetAwaitHook(nullptr);
      sim->closeClient();
      waitFor([] { return !shareReaderRunning(); });
      if (after == kNothing) return;
      sim->setControlReply(devsim::kOpcodeHeartbeat, {});
      ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
      // The new reader takes the stream over once the request in flight is done.
      if (after == kReconnectWithReader) starter = std::thread([&] { started = shareStartReader(); });
    });
    EXPECT_EQ(devHeartbeat(), ERROR_CANCELLED);
    if (starter.joinable()) {
      starter.join();
      EXPECT_EQ(started.load(), PTP_RC_OK);
    }
    if (after != kNothing) {
      // The new connection was neither read, nor marked, nor closed by the old request.
      EXPECT_TRUE(linkIsConnected());
      EXPECT_FALSE(linkHasError());
      EXPECT_EQ(devHeartbeat(), PTP_RC_OK);
    }
    TearDown();
  }
}

// The connection-bound forms of the watchdog's commands send nothing once their
// connection has been replaced, and leave the new one as it was.
TEST_F(MailboxBound, CommandsBoundToAReplacedConnectionNeverReachTheNewOne) {
  startSession();
  const uint64_t old = linkConnectionId();
  EXPECT_EQ(devHeartbeatOn(old), PTP_RC_OK);
  EXPECT_EQ(shareSendClientNameOn(old, "first"), PTP_RC_OK);
  devsim::Simulator second;
  ASSERT_TRUE(second.start());
  ASSERT_GE(linkConnect("127.0.0.1", second.port()), 0);
  ASSERT_TRUE(second.waitForClient(kWait));
  ASSERT_EQ(shareStartReader(), PTP_RC_OK);

  EXPECT_EQ(devHeartbeatOn(old), ERROR_CONNECTION);
  EXPECT_EQ(shareSendClientNameOn(old, "late"), ERROR_CONNECTION);
  EXPECT_EQ(second.receivedCount(), 0u);
  EXPECT_TRUE(linkIsConnected());
  EXPECT_FALSE(linkHasError());
  EXPECT_EQ(devHeartbeatOn(linkConnectionId()), PTP_RC_OK);
  EXPECT_EQ(second.receivedCount(), 1u);
  shareStopReader();
  second.stop();
}

// A device that keeps sending unasked frames but never answers: the request ends after
// the receive time-out of its own silence, and the link with it.
TEST_F(MailboxBound, AnUnansweredRequestEndsAlthoughTheDeviceKeepsTalking) {
  startSession();
  Taker taker;
  taker.start();
  linkSetReceiveTimeout(300ms);
  sim->setControlReply(devsim::kOpcodeHeartbeat, {.noReply = true});
  devsim::KeepAlive keepAlive(*sim, 40ms);  // far more often than the time-out
  auto waiting = std::async(std::launch::async, [] { return devHeartbeat(); });
  if (waiting.wait_for(kWait) != std::future_status::ready) {
    ADD_FAILURE() << "the wait did not end while the device kept talking";
    sim->closeClient();
  }
  EXPECT_EQ(waiting.get(), ERROR_CONNECTION);
  EXPECT_FALSE(linkIsConnected());
  EXPECT_GE(keepAlive.sent(), 1);
}

// A pushed GetObject frame larger than any whole object the decoder keeps is drained
// without being allocated; the largest one it keeps still arrives, the session goes on,
// and an awaited reply may be as large as its request allows.
TEST_F(MailboxBound, AFrameNobodyTakesIsDrainedUnallocatedAndTheSessionGoesOn) {
  startSession();
  Taker taker;
  taker.start();
  linkResetLargestFrameTaken();

  constexpr uint32_t kHuge = 200u * 1000u * 1000u;  // under the link's frame cap
  ASSERT_LT(kHuge, kLinkMaxFrameBytes);
  Bytes prefix = devsim::makeHeader(kHuge, 10);
  devsim::putU32(prefix, kHuge - 5);
  devsim::putU16(prefix, 2);
  devsim::putU16(prefix, 0x1009);
  devsim::putU32(prefix, 0xF0001234u);
  ASSERT_TRUE(sim->sendWithZeros(prefix, kHuge - prefix.size()));
  ASSERT_TRUE(sim->pushPtp(2, 0x1009, Bytes(kDevGetObjectLimit, 5)));  // the largest kept
  ASSERT_TRUE(sim->pushPtp(2, 0x910A, bytesOf({42, 0, 0, 0})));
  EXPECT_EQ(devHeartbeat(), PTP_RC_OK);  // answered after everything pushed before it
  EXPECT_LT(linkLargestFrameTaken(), uint64_t(kDevGetObjectLimit) + 1024);

  // Awaited, the same kind of frame is taken whole past the unasked limit.
  constexpr uint32_t kBig = kDevGetObjectLimit + 1000000;
  sim->addObject(9, Bytes(kBig, 3));
  PtpObjectInfoStruct record{};
  record.objectId = 9;
  record.objectCompressedSize = 100;
  ByteBuffer object;
  ASSERT_EQ(devDownloadObject(&record, object, 0), PTP_RC_OK);
  EXPECT_EQ(object.size(), kBig);

  shareStopReader();
  taker.thread.join();
  ASSERT_EQ(taker.got.size(), 2u);
  EXPECT_EQ(ptpCode(taker.got[0]), 0x1009);
  EXPECT_EQ(taker.got[0].size(), kShareHeaderBytes + 12 + kDevGetObjectLimit);
  EXPECT_EQ(ptpCode(taker.got[1]), 0x910A);
}

TEST(MailboxLimits, WhatTheUnsolicitedTakerAccepts) {
  auto frame = [](uint8_t kind, uint16_t code) {
    Bytes b = devsim::makeHeader(1000, kind);
    devsim::putU32(b, 995);
    devsim::putU16(b, 2);
    devsim::putU16(b, code);
    return b;
  };
  EXPECT_EQ(shareUnsolicitedFrameLimit(frame(10, 0x1009)), 17u + kDevGetObjectLimit);
  EXPECT_EQ(shareUnsolicitedFrameLimit(frame(10 | 0x30, 0x1009)), 17u + kDevGetObjectLimit);
  EXPECT_EQ(shareUnsolicitedFrameLimit(frame(10, 0x910A)), kLinkMaxFrameBytes);
  EXPECT_EQ(shareUnsolicitedFrameLimit(frame(15, 0x1009)), kLinkMaxFrameBytes);
  EXPECT_EQ(shareUnsolicitedFrameLimit(devsim::makeHeader(5, 10)), kLinkMaxFrameBytes);
}
