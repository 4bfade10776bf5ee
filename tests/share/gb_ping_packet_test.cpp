// Echo packets built and replies judged without a socket: checksum, identifier, sequence,
// replies that are not ours and replies cut short.
#include <gtest/gtest.h>

#include "share/gb_ping_packet.h"
#include "share/gb_ping_summary.h"

using namespace gbping;

namespace {

ByteBuffer bytes(std::initializer_list<int> v) {
  ByteBuffer b;
  for (int x : v) b.push_back(uint8_t(x));
  return b;
}

// A reply as the peer sends it: the echo with type 0 and its checksum redone.
ByteBuffer reply(uint16_t identifier, uint16_t sequence, size_t payload = 56, uint8_t type = kEchoReply4,
                 uint8_t code = 0) {
  ByteBuffer p = echoPacket(type, identifier, sequence, generateData(payload), false);
  p[1] = code;
  uint16_t sum = internetChecksum(p);
  p[2] = uint8_t(sum >> 8);
  p[3] = uint8_t(sum);
  return p;
}

// The same message behind a 20-byte (or longer) IPv4 header from 10.1.2.3 with TTL 61.
ByteBuffer inIpPacket(const ByteBuffer& icmp, size_t headerBytes = 20, uint8_t protocol = 1) {
  ByteBuffer p(headerBytes, 0);
  p[0] = uint8_t(0x40 | (headerBytes / 4));
  p[8] = 61;
  p[9] = protocol;
  p[12] = 10, p[13] = 1, p[14] = 2, p[15] = 3;
  p.insert(p.end(), icmp.begin(), icmp.end());
  return p;
}

}  // namespace

TEST(GBPingPacket, ChecksumIsTheInternetOnesComplementSum) {
  // The worked example of the Internet checksum: words 0001 f203 f4f5 f6f7 sum to ddf2.
  EXPECT_EQ(internetChecksum(bytes({0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7})), 0x220d);
  // An odd last byte is the high half of a final word.
  EXPECT_EQ(internetChecksum(bytes({0x00, 0x01, 0xf2})), uint16_t(~(0x0001 + 0xf200)));
  // Carries fold back in: ffff + 0001 = 1 0000 -> 0001.
  EXPECT_EQ(internetChecksum(bytes({0xff, 0xff, 0x00, 0x01})), uint16_t(~0x0001));
  EXPECT_EQ(internetChecksum({}), 0xFFFF);
}

TEST(GBPingPacket, EchoRequestLayout) {
  ByteBuffer p = echoPacket(kEchoRequest4, 0xBEEF, 0x0102, generateData(56), true);
  ASSERT_EQ(p.size(), 8u + 56u);
  EXPECT_EQ(p[0], 8);
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[4], 0xBE);
  EXPECT_EQ(p[5], 0xEF);
  EXPECT_EQ(p[6], 0x01);
  EXPECT_EQ(p[7], 0x02);
  for (size_t i = 8; i < p.size(); ++i) ASSERT_EQ(p[i], 0x07);
  EXPECT_EQ(internetChecksum(p), 0);  // the stored checksum makes the whole message sum to 0
  ByteBuffer zeroed = p;
  zeroed[2] = zeroed[3] = 0;
  EXPECT_EQ((p[2] << 8 | p[3]), internetChecksum(zeroed));

  // IPv6: the kernel fills the checksum in.
  ByteBuffer v6 = echoPacket(kEchoRequest6, 1, 2, generateData(3), false);
  EXPECT_EQ(v6[0], 128);
  EXPECT_EQ(v6[2], 0);
  EXPECT_EQ(v6[3], 0);
  EXPECT_EQ(v6.size(), 11u);
}

TEST(GBPingPacket, IpHeaderHelpers) {
  ByteBuffer packet = inIpPacket(reply(7, 0));
  EXPECT_EQ(sourceAddressInPacket(packet), "10.1.2.3");
  EXPECT_EQ(sourceAddressInPacket(ByteBuffer(19, 0)), std::nullopt);

  struct Case {
    const char* name;
    ByteBuffer packet;
    std::optional<size_t> offset;
  };
  ByteBuffer v6 = packet;
  v6[0] = 0x65;
  ByteBuffer optionsCutShort = inIpPacket(ByteBuffer(4, 0), 28);  // 28-byte header, 4 bytes after it
  const std::vector<Case> cases = {
      {"plain", packet, 20},
      {"with options", inIpPacket(reply(7, 0), 24), 24},
      {"not ICMP", inIpPacket(reply(7, 0), 20, 6), std::nullopt},
      {"not IPv4", v6, std::nullopt},
      {"27 bytes", ByteBuffer(packet.begin(), packet.begin() + 27), std::nullopt},
      {"ICMP header cut short after options", optionsCutShort, std::nullopt},
      {"header length beyond the packet", [] {
         ByteBuffer p = inIpPacket(reply(7, 0, 0));
         p[0] = 0x4F;  // 60-byte header in a 28-byte packet
         return p;
       }(),
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(icmp4HeaderOffsetInPacket(c.packet), c.offset);
    auto icmp = icmp4InPacket(c.packet);
    ASSERT_EQ(icmp.has_value(), c.offset.has_value());
    if (icmp) {
      EXPECT_EQ(icmp->size(), c.packet.size() - *c.offset);
    }
  }
}

TEST(GBPingPacket, WhichRepliesAreOurs) {
  constexpr uint16_t kId = 0x4242;
  constexpr uint32_t kNext = 5;  // sequence numbers 0 to 4 have been sent
  ByteBuffer badSum = reply(kId, 1);
  badSum[10] ^= 0xFF;
  struct Case {
    const char* name;
    ByteBuffer datagram;
    bool valid;
  };
  const std::vector<Case> cases = {
      {"bare reply (ping socket)", reply(kId, 1), true},
      {"reply inside an IP packet", inIpPacket(reply(kId, 4)), true},
      {"reply without payload", reply(kId, 0, 0), true},
      {"another identifier", reply(kId + 1, 1), false},
      {"sequence never sent", reply(kId, kNext), false},
      {"our own request", reply(kId, 1, 56, kEchoRequest4), false},
      {"code not 0", reply(kId, 1, 56, kEchoReply4, 1), false},
      {"payload damaged", badSum, false},
      {"cut to 7 bytes", [&] {
         ByteBuffer p = reply(kId, 1);
         p.resize(7);
         return p;
       }(),
       false},
      {"IP packet cut inside the ICMP header", [&] {
         ByteBuffer p = inIpPacket(reply(kId, 1, 0));
         p.resize(26);
         return p;
       }(),
       false},
      {"empty", {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(isValidPing4Response(c.datagram, kId, kNext), c.valid);
  }

  ByteBuffer v6 = echoPacket(kEchoReply6, kId, 2, generateData(8), false);
  EXPECT_TRUE(isValidPing6Response(v6, kId, kNext));
  EXPECT_FALSE(isValidPing6Response(v6, kId, 2));
  EXPECT_FALSE(isValidPing6Response(echoPacket(kEchoRequest6, kId, 2, {}, false), kId, kNext));
  EXPECT_FALSE(isValidPing6Response(echoPacket(kEchoReply6, kId + 1, 2, {}, false), kId, kNext));
  EXPECT_FALSE(isValidPing6Response(ByteBuffer(v6.begin(), v6.begin() + 7), kId, kNext));
}

TEST(GBPingPacket, SummaryRoundTripAndDescription) {
  GBPingSummary s;
  EXPECT_EQ(s.status, GBPingSummary::GBPingStatusPending);
  EXPECT_EQ(s.rtt(), 0.0);
  EXPECT_EQ(s.description(),
            "host: (null), seq: 0, status: 0, ttl: 0, payloadSize: 0, sendDate: (null), receiveDate: (null), rtt: "
            "0.000000");
  s.host = "127.0.0.1";
  s.sequenceNumber = 3;
  s.ttl = 64;
  s.payloadSize = 56;
  s.status = GBPingSummary::GBPingStatusSuccess;
  s.sendDate = GBPingSummary::Time(std::chrono::seconds(1800000000));
  EXPECT_EQ(s.rtt(), 0.0);  // no reply yet
  s.receiveDate = *s.sendDate + std::chrono::milliseconds(250);
  EXPECT_DOUBLE_EQ(s.rtt(), 0.25);
  GBPingSummary copy = s;
  EXPECT_EQ(copy.description(), s.description());
  EXPECT_EQ(s.description(),
            "host: 127.0.0.1, seq: 3, status: 1, ttl: 64, payloadSize: 56, sendDate: 2027-01-15 08:00:00 +0000, "
            "receiveDate: 2027-01-15 08:00:00 +0000, rtt: 0.250000");
}
