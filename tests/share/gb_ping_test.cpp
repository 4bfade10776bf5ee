// The pinger and the blocking first-reply call. Echoes go to 127.0.0.1 only. Where this
// machine forbids unprivileged ICMP sockets (net.ipv4.ping_group_range), the tests that
// need one skip and the refusal itself is tested instead.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>

#include <atomic>
#include <future>
#include <mutex>

#include "platform/dispatch.h"
#include "ptp/base/timing.h"
#include "share/gb_ping.h"
#include "share/gb_ping_packet.h"
#include "share/ping_manager.h"
#include "support/qt_test_support.h"

using namespace std::chrono_literals;

namespace {

constexpr const char* kLoopback = "127.0.0.1";

// errno of opening an IPv4 ping socket here, 0 when it is allowed.
int pingSocketError() {
  int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

#define SKIP_WITHOUT_PING_SOCKET()                                                                  \
  if (int e = pingSocketError())                                                                    \
  GTEST_SKIP() << "unprivileged ICMP sockets are not permitted here (errno " << e                   \
               << "; see sysctl net.ipv4.ping_group_range), so no echo can be sent to 127.0.0.1"

// Records every delegate message, on the GUI thread.
struct Recorder : GBPingDelegate {
  std::mutex mutex;
  std::vector<std::string> events;
  std::vector<GBPingSummary> replies, timeouts, sent;
  std::optional<GBPingError> failure;

  void add(const std::string& e) {
    EXPECT_TRUE(Dispatch::isMainThread()) << e;
    std::lock_guard lock(mutex);
    events.push_back(e);
  }
  void didSendPingWithSummary(GBPing&, const GBPingSummary& s) override {
    add("sent");
    std::lock_guard lock(mutex);
    sent.push_back(s);
  }
  void didFailToSendPingWithSummary(GBPing&, const GBPingSummary&, const GBPingError&) override { add("send failed"); }
  void didTimeoutWithSummary(GBPing&, const GBPingSummary& s) override {
    add("timeout");
    std::lock_guard lock(mutex);
    timeouts.push_back(s);
  }
  void didReceiveReplyWithSummary(GBPing&, const GBPingSummary& s) override {
    add("reply");
    std::lock_guard lock(mutex);
    replies.push_back(s);
  }
  void didReceiveUnexpectedReplyWithSummary(GBPing&, const GBPingSummary&) override { add("unexpected"); }
  void didFailWithError(GBPing&, const GBPingError& e) override {
    add("failed");
    std::lock_guard lock(mutex);
    failure = e;
  }
  size_t count(const std::string& e) {
    std::lock_guard lock(mutex);
    return size_t(std::count(events.begin(), events.end(), e));
  }
};

struct SetupResult {
  bool done = false, success = false;
  GBPingError error;
};

SetupResult setUp(GBPing& ping) {
  SetupResult r;
  ping.setupWithBlock([&](bool success, const GBPingError& error) {
    EXPECT_TRUE(Dispatch::isMainThread());
    r = {true, success, error};
  });
  EXPECT_TRUE(kvtest::waitUntil([&] { return r.done; }));
  return r;
}

}  // namespace

TEST(GBPing, ConfigurationDefaultsAndStoppedState) {
  auto ping = GBPing::create();
  EXPECT_TRUE(ping->isStopped());
  EXPECT_FALSE(ping->isReady());
  EXPECT_FALSE(ping->isPinging());
  EXPECT_EQ(ping->socket(), 0);
  EXPECT_EQ(ping->hostAddressFamily(), 0);
  // 0 reads as the default.
  EXPECT_EQ(ping->timeout(), 2.0);
  EXPECT_EQ(ping->ttl(), 49u);
  EXPECT_EQ(ping->payloadSize(), 56u);
  EXPECT_EQ(ping->pingPeriod(), 1.0);
  ping->setTimeout(0.5);
  ping->setTtl(7);
  ping->setPayloadSize(1u << 30);  // capped to what one datagram holds
  ping->setPingPeriod(0.25);
  EXPECT_EQ(ping->timeout(), 0.5);
  EXPECT_EQ(ping->ttl(), 7u);
  EXPECT_EQ(ping->payloadSize(), unsigned(gbping::kMaxPayloadBytes));
  EXPECT_EQ(ping->pingPeriod(), 0.25);
  // The echo carries the identifier and the next sequence number.
  ByteBuffer p = ping->pingPacketWithType(gbping::kEchoRequest4, GBPing::generateDataWithLength(4), true);
  EXPECT_EQ((p[4] << 8 | p[5]), ping->identifier());
  EXPECT_EQ((p[6] << 8 | p[7]), 0);
  ping->stop();
  ping->stop();
  EXPECT_TRUE(ping->isStopped());
}

TEST(GBPing, SetupWithoutHostOrTwiceIsRefusedOnTheGuiThread) {
  auto ping = GBPing::create();
  SetupResult r = setUp(*ping);
  EXPECT_FALSE(r.success);
  EXPECT_FALSE(r.error);
  EXPECT_TRUE(ping->isStopped());
}

// Where the machine forbids ping sockets, set-up reports the refusal as a POSIX error and
// leaves the pinger stopped; where it allows them, the pinger is ready on 127.0.0.1.
TEST(GBPing, SetupOnLoopbackOpensASocketOrReportsTheRefusal) {
  auto ping = GBPing::create();
  ping->setHost(kLoopback);
  SetupResult r = setUp(*ping);
  if (int e = pingSocketError()) {
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.error.domain, GBPingError::Posix);
    EXPECT_EQ(r.error.code, e);
    EXPECT_TRUE(ping->isStopped());
    EXPECT_FALSE(ping->isReady());
    EXPECT_EQ(ping->socket(), 0);
    EXPECT_TRUE(ping->hostAddress().empty());
    return;
  }
  EXPECT_TRUE(r.success);
  EXPECT_TRUE(ping->isReady());
  EXPECT_GT(ping->socket(), 0);
  EXPECT_EQ(ping->hostAddressFamily(), AF_INET);
  EXPECT_EQ(ping->hostAddressString(), kLoopback);
  SetupResult again = setUp(*ping);  // already set up
  EXPECT_FALSE(again.success);
  ping->stop();
  EXPECT_EQ(ping->socket(), 0);
}

TEST(GBPing, EchoesToLoopbackAreAnsweredAndStopEndsThem) {
  SKIP_WITHOUT_PING_SOCKET();
  auto ping = GBPing::create();
  auto recorder = std::make_shared<Recorder>();
  ping->setDelegate(recorder);
  ping->setHost(kLoopback);
  ping->setPingPeriod(0.02);
  ASSERT_TRUE(setUp(*ping).success);
  ping->startPinging();
  EXPECT_TRUE(ping->isPinging());
  ping->setTimeout(9.0);  // refused while pinging
  EXPECT_EQ(ping->timeout(), 2.0);
  ASSERT_TRUE(kvtest::waitUntil([&] { return recorder->count("reply") >= 3; }));
  ping->stop();
  ping->stop();
  EXPECT_FALSE(ping->isPinging());
  EXPECT_TRUE(ping->isStopped());
  EXPECT_EQ(ping->nextSequenceNumber(), 0u);
  EXPECT_EQ(ping->pendingPingCount(), 0u);
  std::lock_guard lock(recorder->mutex);
  for (size_t i = 0; i < recorder->replies.size(); ++i) {
    const auto& s = recorder->replies[i];
    EXPECT_EQ(s.status, GBPingSummary::GBPingStatusSuccess);
    EXPECT_EQ(s.host, kLoopback);
    EXPECT_EQ(s.payloadSize, 56u);
    EXPECT_GE(s.rtt(), 0.0);
  }
  EXPECT_EQ(recorder->sent.front().sequenceNumber, 0u);
  EXPECT_EQ(recorder->sent.front().status, GBPingSummary::GBPingStatusPending);
  EXPECT_FALSE(recorder->failure);
}

TEST(PingManager, FirstResponseFromLoopbackOrNothingWhenRefused) {
  ScopedTiming restore;
  timing().pingPeriod = 20ms;
  auto manager = PingManager::initWithHost(kLoopback);
  EXPECT_EQ(manager->ping()->timeout(), 1.0);
  EXPECT_EQ(manager->ping()->pingPeriod(), 0.02);
  auto answer = std::async(std::launch::async, [&] { return manager->blockForFirstResponse(30.0); });
  ASSERT_TRUE(kvtest::waitUntil([&] { return answer.wait_for(0ms) == std::future_status::ready; }));
  QString host = answer.get();
  if (pingSocketError())
    EXPECT_TRUE(host.isNull());  // set-up refused: the wait is released at once
  else
    EXPECT_EQ(host, kLoopback);
  EXPECT_EQ(manager->ping(), nullptr);  // dropped after the wait
}

TEST(PingManager, RefusedOnTheGuiThread) {
  auto manager = PingManager::initWithHost(kLoopback);
  EXPECT_TRUE(manager->blockForFirstResponse(1.0).isNull());
  EXPECT_NE(manager->ping(), nullptr);
}

// The wait is bounded even when the GUI thread never gets round to the set-up's answer.
TEST(PingManager, WaitIsBoundedWhenTheGuiThreadIsBusy) {
  ScopedTiming restore;
  timing().pingSetupWait = 50ms;
  auto manager = PingManager::initWithHost(kLoopback);
  // This (GUI) thread runs no events until the call has returned.
  QString host = std::async(std::launch::async, [&] { return manager->blockForFirstResponse(0.05); }).get();
  EXPECT_TRUE(host.isNull());
  // The stop it asked for lands once the GUI thread runs again.
  EXPECT_TRUE(kvtest::waitUntil([&] { return manager->ping() == nullptr; }));
}
