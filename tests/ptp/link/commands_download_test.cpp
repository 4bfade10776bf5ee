// Whole-object and by-name downloads against the simulator, in both generations.
#include "ptp/link/commands.h"
#include "tests/ptp/link/mailbox_fixture.h"

using devsim::Bytes;
using namespace std::chrono_literals;

namespace {

Bytes pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + i / 251);
  return b;
}

PtpObjectInfoStruct recordFor(uint32_t handle, uint32_t size) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectCompressedSize = size;
  return r;
}

// The (offset, length) of every range request the simulator got, relayed or not.
std::vector<std::pair<uint32_t, uint32_t>> ranges(const devsim::Simulator& sim, uint8_t opcode) {
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (const auto& f : sim.received()) {
    const Bytes& b = f.bytes;
    size_t at = 0;
    if (f.kind() == 15) at = 15 + bytesGetU32(b.data() + 11);
    if (b.size() < at + 10 || b[at + 4] != 12 || b[at + 9] != opcode) continue;
    const uint8_t* p = b.data() + at + 10;
    if (opcode == 65) out.emplace_back(bytesGetU32(p + 4), bytesGetU32(p + 8));
    else out.emplace_back(bytesGetU32(p), bytesGetU32(p + 4));
  }
  return out;
}

class DownloadTest : public MailboxFixture, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(DownloadTest, GetObjectBelowTheLimitRangesFromIt) {
  startSession(GetParam());
  timing().busyRetryDelay = 1ms;
  const Bytes small = pattern(5119999), big = pattern(5120000);
  sim->addObject(1, small);
  sim->addObject(2, big);
  sim->setBusyAnswers(0, 2);  // GetObject answered DeviceBusy twice
  PtpObjectInfoStruct r1 = recordFor(1, 5119999), r2 = recordFor(2, 5120000);
  ByteBuffer out;
  ASSERT_EQ(devDownloadObject(&r1, out, 0), PTP_RC_OK);
  EXPECT_TRUE(out == small);
  EXPECT_TRUE(ranges(*sim, 65).empty());
  EXPECT_EQ(msgTableCount(), 0u);

  ASSERT_EQ(devDownloadObject(&r2, out, 0), PTP_RC_OK);
  EXPECT_TRUE(out == big);
  EXPECT_EQ(ranges(*sim, 65),
            (std::vector<std::pair<uint32_t, uint32_t>>{{0, 0x200000}, {0x200000, 0x200000}, {0x400000, 5120000 - 0x400000}}));
}

TEST_P(DownloadTest, BusyBeyondFiveTriesIsReturned) {
  startSession(GetParam());
  timing().busyRetryDelay = 1ms;
  sim->addObject(1, pattern(10));
  sim->setBusyAnswers(0, 5);
  PtpObjectInfoStruct r = recordFor(1, 10);
  ByteBuffer out;
  EXPECT_EQ(devDownloadObject(&r, out, 0), PTP_RC_DeviceBusy);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(devDownloadObject(&r, out, 0), PTP_RC_OK);
}

TEST_P(DownloadTest, RangesInEveryRelayModeAndOnRecentCanons) {
  startSession(GetParam());
  const Bytes object = pattern(5 * 1024 * 1024);
  sim->addObject(3, object);
  PtpObjectInfoStruct r = recordFor(3, uint32_t(object.size()));
  for (uint8_t mode : {uint8_t(0), uint8_t(RelayModeRelayOnly), uint8_t(RelayModeRelayAndKeep), uint8_t(RelayMode162)}) {
    SCOPED_TRACE(int(mode));
    size_t before = ranges(*sim, 65).size();
    ByteBuffer out;
    ASSERT_EQ(devDownloadObject(&r, out, mode), PTP_RC_OK);
    // Relay-only forwards the data instead of keeping it.
    EXPECT_TRUE(mode == RelayModeRelayOnly ? out.empty() : out == object);
    auto got = ranges(*sim, 65);
    EXPECT_EQ(std::vector(got.begin() + before, got.end()),
              (std::vector<std::pair<uint32_t, uint32_t>>{{0, 0x200000}, {0x200000, 0x200000}, {0x400000, 0x100000}}));
  }
  // Relayed ranges carry the record with the range's offset as sequence number.
  auto frames = sim->received();
  ASSERT_EQ(frames.back().kind(), 15);
  EXPECT_EQ(frames.back().bytes[10], RelayCodePartialObjectInfo);
  EXPECT_EQ(bytesGetU32(frames.back().bytes.data() + 15 + 52), 0x400000u);

  auto hooks = devVendorHooks();
  camSetVendor(CameraVendorCanon);
  hooks.canonIsRecentModel = [] { return true; };
  devSetVendorHooks(hooks);
  size_t before = ranges(*sim, 65).size();
  ByteBuffer out;
  ASSERT_EQ(devDownloadObject(&r, out, 0), PTP_RC_OK);
  EXPECT_EQ(ranges(*sim, 65).size() - before, 5u);  // 1 MiB ranges
}

// Short replies move the offset on by what arrived; a lying device gets an error.
TEST_P(DownloadTest, ShortEmptyAndOverlongRanges) {
  startSession(GetParam());
  const Bytes object = pattern(6 * 1024 * 1024);
  sim->addObject(4, object);
  PtpObjectInfoStruct r = recordFor(4, uint32_t(object.size()));
  sim->setRangeReplyLimit(1000000);
  ByteBuffer out;
  for (uint8_t mode : {uint8_t(0), uint8_t(RelayModeRelayOnly)}) {
    ASSERT_EQ(devDownloadObject(&r, out, mode), PTP_RC_OK);
    EXPECT_TRUE(mode != 0 || out == object);
  }
  EXPECT_EQ(ranges(*sim, 65)[1].first, 1000000u);

  sim->setControlReply(65, {.payload = {}});
  EXPECT_EQ(devDownloadObject(&r, out, 0), ERROR_BAD_REPLY);
  EXPECT_TRUE(out.empty());
  sim->setControlReply(65, {.payload = Bytes(0x200001, 1)});
  EXPECT_EQ(devDownloadObject(&r, out, RelayModeRelayOnly), ERROR_BAD_REPLY);
  sim->setControlReply(65, {.result = 0x2009});
  // Generation 1 carries no result: its failure is an empty reply.
  EXPECT_EQ(devDownloadObject(&r, out, 0), GetParam() == 1 ? ERROR_BAD_REPLY : 0x2009);
  EXPECT_TRUE(out.empty());
}

TEST_P(DownloadTest, AnnouncedSizesAreCappedBeforeAllocation) {
  startSession(GetParam());
  PtpObjectInfoStruct r = recordFor(5, uint32_t(kDevMaxObjectBytes + 1));
  ByteBuffer out;
  EXPECT_EQ(devDownloadObject(&r, out, 0), ERROR_TOO_LARGE);
  Bytes huge;
  devsim::putU32(huge, 0);
  devsim::putU32(huge, 1);  // 4 GiB
  sim->setControlReply(243, {.payload = huge});
  EXPECT_EQ(devDownloadFileByName("BIG.MOV", out, 0, nullptr), ERROR_TOO_LARGE);
  EXPECT_EQ(sim->receivedCount(), 1u);  // nothing asked beyond the size
}

TEST_P(DownloadTest, ByNameReadsAtTheTwoMegabyteEdge) {
  startSession(GetParam());
  const Bytes exact = pattern(0x200000), below = pattern(0x200000 - 1);
  sim->addFile("EXACT.JPG", exact);
  sim->addFile("BELOW.JPG", below);
  ByteBuffer out;
  ASSERT_EQ(devDownloadFileByName("EXACT.JPG", out, 0, nullptr), PTP_RC_OK);
  EXPECT_TRUE(out == exact);
  ASSERT_EQ(devDownloadFileByName("BELOW.JPG", out, 0, nullptr), PTP_RC_OK);
  EXPECT_TRUE(out == below);
  EXPECT_EQ(ranges(*sim, 248),
            (std::vector<std::pair<uint32_t, uint32_t>>{{0, 0x200000}, {0, 0x200000 - 1}}));

  // Relay-only: forwarded, nothing kept, length 0; ranges carry their offsets.
  const Bytes big = pattern(0x500000);
  sim->addFile("BIG.JPG", big);
  ASSERT_EQ(devDownloadFileByName("BIG.JPG", out, RelayModeRelayOnly, nullptr), PTP_RC_OK);
  EXPECT_TRUE(out.empty());
  auto got = ranges(*sim, 248);
  EXPECT_EQ(std::vector(got.end() - 3, got.end()),
            (std::vector<std::pair<uint32_t, uint32_t>>{{0, 0x200000}, {0x200000, 0x200000}, {0x400000, 0x100000}}));
  auto last = sim->received().back();
  ASSERT_EQ(last.kind(), 15);
  auto relay = objectInfoFromBytes(std::span<const uint8_t>(last.bytes.data() + 15, 608));
  ASSERT_TRUE(relay);
  EXPECT_EQ(relay->objectId, kObjectIdNone);
  EXPECT_EQ(relay->objectCompressedSize, 0x500000u);
  EXPECT_EQ(relay->sequenceNumber, 0x400000u);
  EXPECT_STREQ(relay->fileName, "BIG.JPG");
  EXPECT_EQ(relay->fileNameLength, 8);

  EXPECT_EQ(devDownloadFileByName("MISSING.JPG", out, 0, nullptr), GetParam() == 1 ? ERROR_BAD_REPLY : 0x2009);
  EXPECT_EQ(devDownloadFileByName(std::string(256, 'x').c_str(), out, 0, nullptr), ERROR_INVALID_INPUT);
  EXPECT_EQ(devDownloadFileByName(nullptr, out, 0, nullptr), ERROR_INVALID_INPUT);

  // A by-handle-less record reads by name with the offset it was asked for.
  PtpObjectInfoStruct named = recordFor(kObjectIdNone, 0);
  objectInfoSetFileName(named, "EXACT.JPG");
  ASSERT_EQ(devGetPartialObject(&named, 1000, 10, out, 0), PTP_RC_OK);
  EXPECT_TRUE(out == Bytes(exact.begin() + 1000, exact.begin() + 1010));
}

TEST_P(DownloadTest, ThumbnailAndExtractedJpegByName) {
  startSession(GetParam());
  sim->addFile("A.NEF", pattern(100), bytesOf({8, 1, 2}));
  ByteBuffer out;
  uint8_t orientation = 0;
  ASSERT_EQ(devGetThumbnailByName("A.NEF", out, &orientation, 0), PTP_RC_OK);
  EXPECT_EQ(orientation, 8);
  EXPECT_EQ(out, bytesOf({1, 2}));
  sim->addFile("EMPTY.NEF", pattern(1), {});
  EXPECT_EQ(devGetThumbnailByName("EMPTY.NEF", out, &orientation, 0), ERROR_BAD_REPLY);
  EXPECT_EQ(devGetThumbnailByName(std::string(255, 'y').c_str(), out, &orientation, 0),
            GetParam() == 1 ? ERROR_BAD_REPLY : 0x2009);
  EXPECT_EQ(devGetThumbnailByName(std::string(256, 'y').c_str(), out, &orientation, 0), ERROR_INVALID_INPUT);
  ASSERT_EQ(devGetExtractedJpegByName("A.NEF", out, RelayModeRelayAndKeep), PTP_RC_OK);
  EXPECT_TRUE(out == pattern(100));
  EXPECT_EQ(devGetExtractedJpegByName(std::string(200, 'y').c_str(), out, 0), ERROR_INVALID_INPUT);
}

// A relayed GetObject is registered with its record and relay mode while it runs.
TEST_P(DownloadTest, RelayedGetObjectIsRegisteredWhileItRuns) {
  startSession(GetParam());
  sim->addObject(9, pattern(64));
  std::optional<PendingRequestSlot> seen;
  auto hooks = devVendorHooks();
  auto plain = hooks.getObject;
  hooks.getObject = [&](uint32_t handle, ByteBuffer* out) {
    seen = msgTableCopy(0x1009);
    return plain(handle, out);
  };
  devSetVendorHooks(hooks);
  PtpObjectInfoStruct r = recordFor(9, 64);
  ByteBuffer out;
  ASSERT_EQ(devDownloadObject(&r, out, RelayModeRelayOnly), PTP_RC_OK);
  EXPECT_TRUE(out.empty());  // relay-only keeps nothing
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->header.mode, RelayModeRelayOnly);
  EXPECT_EQ(seen->header.code, RelayCodeObjectInfo);
  ASSERT_TRUE(seen->relayBytes);
  EXPECT_EQ(bytesGetU32(seen->relayBytes->data()), 9u);
  EXPECT_FALSE(msgTableCopy(0x1009));
  ASSERT_EQ(devDownloadObject(&r, out, 0), PTP_RC_OK);
  EXPECT_TRUE(out == pattern(64));
}

INSTANTIATE_TEST_SUITE_P(Generations, DownloadTest, ::testing::Values(1, 2));
