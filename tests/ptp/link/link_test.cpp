#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <netinet/in.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "ptp/base/bytes.h"
#include "tests/ptp/link/link_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {

// True once thread `tid` of this process is seen inside poll(), the link's only wait.
bool seenInPoll(pid_t tid) {
  std::ifstream f("/proc/self/task/" + std::to_string(tid) + "/syscall");
  long number = -1;
  if (!(f >> number)) return false;
#ifdef SYS_poll
  if (number == SYS_poll) return true;
#endif
  return number == SYS_ppoll;
}

}  // namespace

// The framing table: what a message read gives for each announced length.
TEST_F(LinkFixture, ReadMessageFramingTable) {
  connect();
  ByteBuffer m;

  sim->send(devsim::makeHeader(5, 9));  // header only
  ASSERT_EQ(linkReadMessage(m), PTP_RC_OK);
  EXPECT_EQ(m, bytesOf({5, 0, 0, 0, 9}));

  sim->sendFrame(10, Bytes(100, 0xAB));
  ASSERT_EQ(linkReadMessage(m), PTP_RC_OK);
  ASSERT_EQ(m.size(), 105u);
  EXPECT_EQ(bytesGetU32(m.data()), 105u);
  EXPECT_EQ(m[4], 10);
  EXPECT_EQ(m[104], 0xAB);

  sim->send(devsim::makeHeader(4, 9));  // shorter than its own header
  EXPECT_EQ(linkReadMessage(m), ERROR_BAD_REPLY);
  EXPECT_TRUE(m.empty());
  EXPECT_FALSE(linkHasError());
}

// An oversize frame is drained whole; its first bytes are kept and the next frame reads.
TEST_F(LinkFixture, OversizeFrameIsDrainedAndTheNextOneRead) {
  connect();
  uint32_t total = kLinkMaxFrameBytes + 1;
  Bytes prefix = devsim::makeHeader(total, 10);
  Bytes container = bytesOf({0x10, 0, 0, 0, 2, 0, 0x09, 0x10, 0x2A, 0, 0, 0});  // code 0x1009, tid 42
  prefix.insert(prefix.end(), container.begin(), container.end());
  std::thread pusher([&] {
    sim->sendWithZeros(prefix, total - prefix.size());
    sim->sendFrame(9, bytesOf({1, 2, 3}));
  });
  ByteBuffer m;
  EXPECT_EQ(linkReadMessage(m), ERROR_TOO_LARGE);
  ASSERT_EQ(m.size(), kLinkOversizePrefixBytes);
  EXPECT_EQ(bytesGetU32(m.data()), total);
  EXPECT_EQ(m[4], 10);
  EXPECT_EQ(bytesGetU16(m.data() + 11), 0x1009);
  EXPECT_EQ(bytesGetU32(m.data() + 13), 42u);
  EXPECT_FALSE(linkHasError());
  ASSERT_EQ(linkReadMessage(m), PTP_RC_OK);
  EXPECT_EQ(m, bytesOf({8, 0, 0, 0, 9, 1, 2, 3}));
  pusher.join();
}

// A direct reader ends a request whose reply was too big with ERROR_TOO_LARGE.
TEST_F(LinkFixture, DirectReaderReportsOversizeReply) {
  connect();
  std::thread pusher([&] { sim->sendWithZeros(devsim::makeHeader(kLinkMaxFrameBytes + 7, 13), kLinkMaxFrameBytes + 2); });
  ByteBuffer payload;
  EXPECT_EQ(linkReadReplyDirect(payload), ERROR_TOO_LARGE);
  EXPECT_TRUE(payload.empty());
  pusher.join();
}

// Peer closes in the middle of a frame: a connection failure that sticks.
TEST_F(LinkFixture, CloseMidFrameIsAConnectionFailure) {
  connect();
  Bytes half = devsim::makeHeader(100, 10);
  half.resize(40, 0);
  sim->send(half);
  sim->closeClient();
  ByteBuffer m;
  EXPECT_EQ(linkReadMessage(m), ERROR_CONNECTION);
  EXPECT_TRUE(linkHasError());
}

// The sticky flag: after a failed receive, writes and message reads fail at once and
// nothing reaches the device, until the flag is cleared.
TEST_F(LinkFixture, StickyFlagStopsTrafficUntilCleared) {
  connect();
  linkSetReceiveTimeout(50ms);
  ByteBuffer m;
  EXPECT_EQ(linkReadMessage(m), ERROR_CONNECTION);
  ASSERT_TRUE(linkHasError());

  uint8_t byte = 1;
  EXPECT_EQ(linkWriteAll(&byte, 1), ERROR_CONNECTION);
  sim->sendFrame(9, bytesOf({7}));
  EXPECT_EQ(linkReadMessage(m), ERROR_CONNECTION);
  EXPECT_TRUE(m.empty());

  linkResetReceiveTimeout();
  linkClearError();
  ASSERT_EQ(linkReadMessage(m), PTP_RC_OK);
  EXPECT_EQ(m, bytesOf({6, 0, 0, 0, 9, 7}));
  ASSERT_EQ(linkWriteAll(&byte, 1), PTP_RC_OK);
  ASSERT_TRUE(sim->waitForReceived(0, kWait));
  EXPECT_EQ(sim->receivedCount(), 0u);  // one byte is no frame yet: nothing earlier got through
}

// A disconnect from another thread wakes a blocked read at once.
TEST_F(LinkFixture, DisconnectWakesABlockedRead) {
  struct Case {
    bool wholeMessage;
    PtpResponseCode expected;
  };
  for (Case c : {Case{false, ERROR_RECEIVE_CANCELLED}, Case{true, ERROR_CONNECTION}}) {
    SCOPED_TRACE(c.wholeMessage);
    connect();
    std::atomic<pid_t> readerTid{0};
    auto reader = std::async(std::launch::async, [&] {
      readerTid = static_cast<pid_t>(::syscall(SYS_gettid));
      if (c.wholeMessage) {
        ByteBuffer m;
        return linkReadMessage(m);
      }
      uint8_t buf[8];
      return linkReadExact(buf, sizeof buf);
    });
    while (readerTid == 0) std::this_thread::yield();
    // A disconnect before the read has taken the connection would be a different case.
    while (!seenInPoll(readerTid)) std::this_thread::yield();
    EXPECT_EQ(linkDisconnect(), 1);
    ASSERT_EQ(reader.wait_for(kWait), std::future_status::ready);
    EXPECT_EQ(reader.get(), c.expected);
    EXPECT_FALSE(linkIsConnected());
    EXPECT_EQ(linkGetSocket(), -1);
    EXPECT_EQ(linkGetHostName(), "");
    TearDown();
  }
}

// A cancel byte wakes a wait without ending the link; a shortened time-out reaches a
// wait already in progress.
TEST_F(LinkFixture, CancelAndTimeoutChangeReachAWaitInProgress) {
  connect();
  auto reader = std::async(std::launch::async, [] {
    uint8_t b;
    return linkReadExact(&b, 1);
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(linkCancelReceive());
  ASSERT_EQ(reader.wait_for(kWait), std::future_status::ready);
  EXPECT_EQ(reader.get(), ERROR_RECEIVE_CANCELLED);
  EXPECT_FALSE(linkHasError());
  EXPECT_TRUE(linkIsConnected());

  auto waiter = std::async(std::launch::async, [] {
    uint8_t b;
    return linkReadExact(&b, 1);
  });
  std::this_thread::sleep_for(20ms);
  linkSetReceiveTimeout(10ms);  // the format command raises and lowers it like this
  ASSERT_EQ(waiter.wait_for(kWait), std::future_status::ready);
  EXPECT_EQ(waiter.get(), ERROR_CONNECTION);
  EXPECT_TRUE(linkHasError());
}

TEST_F(LinkFixture, RefusedConnectGivesMinusOneAndNotConnected) {
  int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(probe);  // nothing listens on this port now
  EXPECT_EQ(linkConnect("127.0.0.1", ntohs(addr.sin_port)), -1);
  EXPECT_FALSE(linkIsConnected());
  EXPECT_EQ(linkGetSocket(), -1);
  EXPECT_EQ(linkConnect("127.0.0.1", 0), -1);

  // A name that resolves to nothing. Looking it up asks the machine's DNS server, so the
  // lookup runs on a thread in a network namespace of its own, where no packet can leave.
  int unshared = -1;
  int result = 0;
  std::thread([&] {
    unshared = ::unshare(CLONE_NEWNET);
    if (unshared == 0) result = linkConnect("no-such-host.invalid", 8383);
  }).join();
  if (unshared != 0) GTEST_SKIP() << "no network namespace for the unresolvable-name case";
  EXPECT_EQ(result, -1);
  EXPECT_FALSE(linkIsConnected());
}

// A refused connect also closes a link that was open before it.
TEST_F(LinkFixture, ConnectClosesThePreviousSocket) {
  connect();
  int before = sim->connectionCount();
  ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
  // The simulator serves one client at a time: it only accepts the second once the
  // first has gone.
  for (int i = 0; i < 3000 && sim->connectionCount() == before; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(sim->connectionCount(), before + 1);
}

// The exact bytes of each sender.
TEST_F(LinkFixture, SendersWriteTheDocumentedBytes) {
  connect();
  ASSERT_EQ(linkLockRequests(1), 1);
  ASSERT_EQ(linkSendControl(0x5A, nullptr, 0), PTP_RC_OK);
  EXPECT_EQ(linkExpectedKind(), ShareMessageKindControlResponse);
  EXPECT_EQ(linkPendingKey(), 0x5Au);
  ASSERT_EQ(linkLockRequests(0), 1);
  linkClearExpectedReply();

  uint8_t container[12] = {12, 0, 0, 0, 1, 0, 0x01, 0x10, 9, 0, 0, 0};
  ASSERT_EQ(linkSendPtp(container, sizeof container), PTP_RC_OK);
  uint8_t raw[3] = {1, 2, 3};
  ASSERT_EQ(linkSendRaw(raw, sizeof raw), PTP_RC_OK);
  uint8_t relay[2] = {0xAA, 0xBB};
  ASSERT_EQ(linkSendRelayHeader(RelayModeRelayAndKeep, RelayCodeFileName, 2, relay, 12), PTP_RC_OK);
  uint8_t name[2] = {'x', 0};
  ASSERT_EQ(linkLockRequests(1), 1);
  ASSERT_EQ(linkSendControl(242, name, 2), PTP_RC_OK);
  linkLockRequests(0);

  ASSERT_TRUE(sim->waitForReceived(4, kWait));
  auto got = sim->received();
  EXPECT_EQ(got[0].bytes, bytesOf({0x0A, 0, 0, 0, 0x0C, 0x05, 0, 0, 0, 0x5A}));
  Bytes ptp = bytesOf({17, 0, 0, 0, 10});
  ptp.insert(ptp.end(), container, container + 12);
  EXPECT_EQ(got[1].bytes, ptp);
  EXPECT_EQ(got[2].bytes, bytesOf({8, 0, 0, 0, 9, 1, 2, 3}));
  EXPECT_EQ(got[3].bytes, bytesOf({29, 0, 0, 0, 15, 12, 0, 0, 0, 161, 178, 2, 0, 0, 0, 0xAA, 0xBB,
                                   12, 0, 0, 0, 12, 7, 0, 0, 0, 242, 'x', 0}));
}

TEST_F(LinkFixture, ArgumentsAreCheckedBeforeAnythingIsSent) {
  connect();
  uint8_t b = 0;
  EXPECT_EQ(linkWriteAll(nullptr, 1), ERROR_INVALID_INPUT);
  EXPECT_EQ(linkWriteAll(&b, 0), ERROR_INVALID_INPUT);
  EXPECT_EQ(linkReadRawU32(nullptr), ERROR_INVALID_INPUT);
  uint16_t v;
  EXPECT_EQ(linkExchangeDirectU16(nullptr, 1, &v), ERROR_INVALID_INPUT);
  EXPECT_EQ(linkExchangeDirectU16(&b, 1, nullptr), ERROR_INVALID_INPUT);
  EXPECT_EQ(linkLockRequests(0), 0);  // not held: refused rather than undefined
  EXPECT_EQ(sim->receivedCount(), 0u);
}

// A partial write, interrupted by signals, continues from the first unwritten byte:
// the device receives exactly the frame that was sent.
TEST_F(LinkFixture, InterruptedPartialWritesContinue) {
  connect();
  struct sigaction sa {};
  sa.sa_handler = [](int) {};
  sa.sa_flags = 0;  // no SA_RESTART: a blocked send() returns with what it wrote
  struct sigaction old {};
  ASSERT_EQ(sigaction(SIGUSR1, &sa, &old), 0);

  Bytes payload(8 << 20);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 131 + (i >> 13));
  sim->setReading(false);  // the socket buffers fill and the write blocks part-way
  std::atomic<bool> done{false};
  std::promise<pthread_t> self;
  auto writer = std::async(std::launch::async, [&] {
    self.set_value(pthread_self());
    auto rc = linkSendRaw(payload.data(), payload.size());
    done = true;
    return rc;
  });
  pthread_t writerThread = self.get_future().get();
  for (int i = 0; !done; ++i) {
    std::this_thread::sleep_for(2ms);
    pthread_kill(writerThread, SIGUSR1);
    if (i == 20) sim->setReading(true);
  }
  EXPECT_EQ(writer.get(), PTP_RC_OK);
  sigaction(SIGUSR1, &old, nullptr);

  ASSERT_TRUE(sim->waitForReceived(1, kWait));
  Bytes expected = devsim::makeFrame(9, payload);
  auto got = sim->received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].bytes == expected);
}
