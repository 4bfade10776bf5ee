#include <thread>

#include "ptp/base/bytes.h"
#include "tests/ptp/link/link_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;


// Heartbeat and client name, answered in each generation's form.
TEST_F(LinkFixture, RequestsAreAnsweredInBothGenerations) {
  for (int generation : {1, 2}) {
    SCOPED_TRACE(generation);
    connect(generation);
    const char name[] = "viewer";
    EXPECT_EQ(linkCommand(160, reinterpret_cast<const uint8_t*>(name), sizeof name), PTP_RC_OK);
    EXPECT_EQ(linkCommand(176, nullptr, 0), PTP_RC_OK);
    EXPECT_EQ(linkExpectedKind(), 0);
    EXPECT_EQ(linkPendingKey(), 0u);
    EXPECT_EQ(sim->clientNames(), std::vector<std::string>{"viewer"});

    sim->setControlReply(0x42, {.result = 0x2001, .payload = bytesOf({1, 2, 3})});
    ByteBuffer reply;
    EXPECT_EQ(linkRequest(0x42, nullptr, 0, reply), PTP_RC_OK);
    EXPECT_EQ(reply, bytesOf({1, 2, 3}));
    TearDown();
  }
}

// A device failure code comes back with its payload; the request mutex is free after.
TEST_F(LinkFixture, DeviceFailureIsReturnedAndTheMutexReleased) {
  connect(2);
  sim->setControlReply(0x42, {.result = 0x5505, .payload = bytesOf({9})});
  ByteBuffer reply;
  EXPECT_EQ(linkRequest(0x42, nullptr, 0, reply), 0x5505);
  EXPECT_EQ(reply, bytesOf({9}));
  std::thread other([] { EXPECT_EQ(linkCommand(176, nullptr, 0), PTP_RC_OK); });
  other.join();
}

// A failed send ends the link and releases the request mutex.
TEST_F(LinkFixture, FailedSendReleasesTheMutex) {
  connect(2);
  linkSetReceiveTimeout(20ms);
  ByteBuffer m;
  EXPECT_EQ(linkReadMessage(m), ERROR_CONNECTION);  // sticky now
  EXPECT_EQ(linkCommand(176, nullptr, 0), ERROR_CONNECTION);
  EXPECT_FALSE(linkIsConnected());
  std::thread other([] { EXPECT_EQ(linkCommand(176, nullptr, 0), ERROR_CONNECTION); });
  other.join();
}

// The direct readers refuse short and lying frames.
TEST_F(LinkFixture, DirectReadersRefuseShortOrLyingFrames) {
  connect(2);
  struct Case {
    const char* name;
    Bytes frame;
    int reader;  // 0 reply, 1 ptp, 2 raw, 3 raw u32
    PtpResponseCode expected;
    Bytes out;
  };
  const std::vector<Case> cases = {
      {"reply ok empty", bytesOf({12, 0, 0, 0, 13, 7, 0, 0, 0, 176, 0x01, 0x20}), 0, PTP_RC_OK, {}},
      {"reply ok payload", bytesOf({14, 0, 0, 0, 13, 9, 0, 0, 0, 176, 0x01, 0x20, 5, 6}), 0, PTP_RC_OK, bytesOf({5, 6})},
      {"reply failure drops payload", bytesOf({14, 0, 0, 0, 13, 9, 0, 0, 0, 176, 0x19, 0x20, 5, 6}), 0, 0x2019, {}},
      {"reply inner too long", bytesOf({12, 0, 0, 0, 13, 9, 0, 0, 0, 176, 0x01, 0x20}), 0, ERROR_BAD_REPLY, {}},
      {"reply inner huge", bytesOf({12, 0, 0, 0, 13, 0xFF, 0xFF, 0xFF, 0xFF, 176, 0x01, 0x20}), 0, ERROR_BAD_REPLY, {}},
      {"reply inner below 7", bytesOf({12, 0, 0, 0, 13, 3, 0, 0, 0, 176, 0x01, 0x20}), 0, ERROR_BAD_REPLY, {}},
      {"reply too short for result", bytesOf({10, 0, 0, 0, 13, 7, 0, 0, 0, 176}), 0, ERROR_BAD_REPLY, {}},
      {"reply wrong kind", bytesOf({12, 0, 0, 0, 12, 7, 0, 0, 0, 176, 0x01, 0x20}), 0, ERROR_BAD_REPLY, {}},
      {"ptp empty ack", bytesOf({12, 0, 0, 0, 13, 7, 0, 0, 0, 0, 0, 0}), 1, RESPONSE_EMPTY_ACK, {}},
      {"ptp refused ack", bytesOf({12, 0, 0, 0, 13, 7, 0, 0, 0, 0, 1, 0}), 1, ERROR_BAD_REPLY, {}},
      {"ptp short ack", bytesOf({6, 0, 0, 0, 13, 7}), 1, ERROR_BAD_REPLY, {}},
      {"ptp 16 bytes", devsim::makeFrame(10, Bytes(11, 1)), 1, ERROR_INVALID_INPUT, {}},
      {"ptp wrong kind", devsim::makeFrame(9, Bytes(12, 1)), 1, ERROR_BAD_REPLY, {}},
      {"ptp container", devsim::makeFrame(10, Bytes(12, 3)), 1, PTP_RC_OK, Bytes(12, 3)},
      {"raw", devsim::makeFrame(9, bytesOf({4, 5})), 2, PTP_RC_OK, bytesOf({4, 5})},
      {"raw header only", devsim::makeHeader(5, 9), 2, PTP_RC_OK, {}},
      {"raw wrong kind", devsim::makeFrame(10, bytesOf({4, 5})), 2, ERROR_BAD_REPLY, {}},
      {"raw u32", devsim::makeFrame(9, bytesOf({0x78, 0x56, 0x34, 0x12})), 3, PTP_RC_OK, bytesOf({0x78, 0x56, 0x34, 0x12})},
      {"raw u32 short", devsim::makeFrame(9, bytesOf({0x78})), 3, ERROR_BAD_REPLY, {}},
      {"raw u32 wrong kind", devsim::makeFrame(13, bytesOf({1, 2, 3, 4})), 3, ERROR_BAD_REPLY, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim->send(c.frame));
    ByteBuffer out;
    PtpResponseCode rc = 0;
    switch (c.reader) {
      case 0: rc = linkReadReplyDirect(out); break;
      case 1: rc = linkReadPtpDirect(out); break;
      case 2: rc = linkReadRaw(out); break;
      case 3: {
        uint32_t v = 0;
        rc = linkReadRawU32(&v);
        if (rc == PTP_RC_OK) out = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        break;
      }
    }
    EXPECT_EQ(rc, c.expected);
    EXPECT_EQ(out, c.out);
    EXPECT_FALSE(linkHasError());
  }
}

// Relayed requests and the direct u16 exchange read their replies from the stream.
TEST_F(LinkFixture, RelayedRequestsAndDirectExchange) {
  connect(2);
  devsim::ControlRequest seen;
  sim->setControlHandler(242, [&](const devsim::ControlRequest& r) {
    seen = r;
    return devsim::ControlReply{.payload = bytesOf({0x34, 0x12, 7})};
  });
  uint8_t relay[3] = {'a', 'b', 0};
  ByteBuffer reply;
  ASSERT_EQ(linkRelayRequest(relay, 3, 242, RelayModeRelayOnly, RelayCodeFileName, 3, relay, reply), PTP_RC_OK);
  EXPECT_EQ(reply, bytesOf({0x34, 0x12, 7}));
  EXPECT_TRUE(seen.relayed);
  EXPECT_EQ(seen.relayMode, RelayModeRelayOnly);
  EXPECT_EQ(seen.relayBytes, bytesOf({'a', 'b', 0}));
  EXPECT_EQ(seen.payload, bytesOf({'a', 'b', 0}));

  Bytes request = devsim::makeControlRequest(242, bytesOf({'z', 0}));
  uint16_t value = 0;
  ASSERT_EQ(linkExchangeDirectU16(request.data(), request.size(), &value), PTP_RC_OK);
  EXPECT_EQ(value, 0x1234);
  sim->setControlReply(242, {.payload = bytesOf({1})});
  EXPECT_EQ(linkExchangeDirectU16(request.data(), request.size(), &value), ERROR_BAD_REPLY);
}

TEST_F(LinkFixture, RelayedPtpReadsTheContainer) {
  connect(2);
  sim->setFrameHandler(15, [&](const devsim::Frame&) {
    sim->sendFrame(10, Bytes(12, 0x44));
    return true;
  });
  uint8_t container[12] = {12, 0, 0, 0, 1, 0, 0x09, 0x10, 1, 0, 0, 0};
  ByteBuffer out;
  ASSERT_EQ(linkRelayPtp(container, 12, RelayModeRelayOnly, RelayCodeObjectInfo, 0, nullptr, out), PTP_RC_OK);
  EXPECT_EQ(out, Bytes(12, 0x44));
  auto got = sim->received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].total(), 15u + 17u);
}

// A host name of 63 characters is kept whole (an inet_aton form of 127.0.0.1).
TEST_F(LinkFixture, LongHostNameIsKeptWhole) {
  devsim::Simulator s;
  ASSERT_TRUE(s.start());
  std::string host = std::string(63 - 10, '0') + "177.0.0.01";
  ASSERT_EQ(host.size(), 63u);
  ASSERT_GE(linkConnect(host, s.port()), 0);
  EXPECT_EQ(linkGetHostName(), host);
  linkDisconnect();
  EXPECT_EQ(linkConnect(std::string(300, 'a'), s.port()), -1);
}
