// The mailbox's pure decisions: which slot a message goes to, what a control reply
// unwraps to in each generation, and the widening of generation-1 records.
#include <gtest/gtest.h>

#include <cstring>

#include "ptp/base/bytes.h"
#include "ptp/base/object_info.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "tools/devsim/frames.h"
#include "tools/devsim/simulator.h"

namespace {

ByteBuffer seq(std::initializer_list<int> v) {
  ByteBuffer b;
  for (int x : v) b.push_back(static_cast<uint8_t>(x));
  return b;
}

// A kind-10 message holding a container with this code and transaction id.
ByteBuffer ptpFrame(uint16_t code, uint32_t tid) {
  return devsim::makeFrame(10, devsim::makeContainer(2, code, tid, seq({1, 2, 3})));
}

struct ModeGuard {
  ~ModeGuard() { shareSetMode(ShareModeNone); }
};

}  // namespace

TEST(MailboxRouter, RoutingTable) {
  struct Case {
    const char* name;
    ByteBuffer frame;
    uint8_t expectedKind;
    uint32_t key;
    ShareSlot slot;
  };
  const ByteBuffer reply13 = devsim::makeControlReply(2, 176, 0x2001, {});
  const ByteBuffer reply12 = devsim::makeControlReply(1, 176, 0x2001, {});
  const std::vector<Case> cases = {
      {"kind 13, opcode matches", reply13, 13, 176, ShareSlot::Response},
      {"kind 13, other opcode", reply13, 13, 160, ShareSlot::Unsolicited},
      {"kind 13 while kind 12 is awaited", reply13, 12, 176, ShareSlot::Unsolicited},
      {"kind 12, opcode matches", reply12, 12, 176, ShareSlot::Response},
      {"kind 12 while nothing is awaited", reply12, 0, 176, ShareSlot::Unsolicited},
      {"kind 10, transaction id matches", ptpFrame(0x1009, 7), 10, 7, ShareSlot::Response},
      {"kind 10, transaction id 0 matches", ptpFrame(0x1009, 0), 10, 0, ShareSlot::Response},
      {"kind 10, other transaction id", ptpFrame(0x1009, 8), 10, 7, ShareSlot::Unsolicited},
      {"kind 10 while a control reply is awaited", ptpFrame(0x1009, 176), 13, 176, ShareSlot::Unsolicited},
      {"kind 10 while nothing is awaited", ptpFrame(0x1009, 7), 0, 7, ShareSlot::Unsolicited},
      {"high kind bits are ignored", seq({12, 0, 0, 0, 0xFD, 7, 0, 0, 0, 176, 1, 0x20}), 13, 176, ShareSlot::Response},
      {"kind 9 is never a reply", devsim::makeFrame(9, seq({176, 176, 176, 176, 176})), 9, 176, ShareSlot::Unsolicited},
      {"kind 13 too short for its opcode", seq({9, 0, 0, 0, 13, 7, 0, 0, 0}), 13, 0, ShareSlot::Unsolicited},
      {"kind 10 too short for its transaction id", seq({16, 0, 0, 0, 10, 12, 0, 0, 0, 2, 0, 9, 0x10, 7, 0, 0}), 10, 7,
       ShareSlot::Unsolicited},
      {"header only", seq({5, 0, 0, 0, 10}), 10, 0, ShareSlot::Unsolicited},
      {"less than a header", seq({5, 0, 0}), 10, 0, ShareSlot::Unsolicited},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(shareRouteTarget(c.frame, c.expectedKind, c.key), c.slot);
  }
}

TEST(MailboxRouter, LiveViewFrames) {
  EXPECT_TRUE(shareIsLiveViewFrame(ptpFrame(0x9153, 1)));
  EXPECT_TRUE(shareIsLiveViewFrame(ptpFrame(0x9203, 1)));
  EXPECT_TRUE(shareIsLiveViewFrame(ptpFrame(0x9428, 1)));
  EXPECT_FALSE(shareIsLiveViewFrame(ptpFrame(0x910A, 1)));
  EXPECT_TRUE(shareIsLiveViewFrame(devsim::makeControlReply(2, 136, 0x2001, seq({1}))));
  EXPECT_TRUE(shareIsLiveViewFrame(devsim::makeControlRequest(136, seq({1}))));
  EXPECT_FALSE(shareIsLiveViewFrame(devsim::makeControlRequest(135, seq({1}))));
  EXPECT_FALSE(shareIsLiveViewFrame(seq({12, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0x53})));  // code cut short
  EXPECT_FALSE(shareIsLiveViewFrame(ByteBuffer()));
}

TEST(MailboxUnwrap, BothGenerationsIncludingLyingLengths) {
  ModeGuard guard;
  struct Case {
    const char* name;
    uint8_t mode;
    ByteBuffer frame;
    PtpResponseCode rc;
    ByteBuffer payload;
  };
  const std::vector<Case> cases = {
      {"gen2 payload", 2, devsim::makeControlReply(2, 9, 0x2001, seq({4, 5})), 0x2001, seq({4, 5})},
      {"gen2 empty reply keeps its result", 2, devsim::makeControlReply(2, 9, 0x2019, {}), 0x2019, {}},
      {"gen2 failure keeps its payload", 2, devsim::makeControlReply(2, 9, 0x5505, seq({7})), 0x5505, seq({7})},
      {"gen2 inner longer than the message", 2, seq({13, 0, 0, 0, 13, 9, 0, 0, 0, 9, 1, 0x20, 1}), 0xFF0A, {}},
      {"gen2 inner 0xFFFFFFFF", 2, seq({13, 0, 0, 0, 13, 0xFF, 0xFF, 0xFF, 0xFF, 9, 1, 0x20, 1}), 0xFF0A, {}},
      {"gen2 inner below 7", 2, seq({12, 0, 0, 0, 13, 6, 0, 0, 0, 9, 1, 0x20}), 0xFF0A, {}},
      {"gen2 shorter than 12", 2, seq({11, 0, 0, 0, 13, 6, 0, 0, 0, 9, 1}), 0xFF0A, {}},
      {"gen2 wrong kind", 2, devsim::makeControlReply(1, 9, 0, seq({1})), 0xFF0A, {}},
      {"gen2 inner shorter than the message", 2, seq({14, 0, 0, 0, 13, 8, 0, 0, 0, 9, 1, 0x20, 3, 4}), 0x2001,
       seq({3})},
      {"gen1 payload after the spare bytes", 1, devsim::makeControlReply(1, 9, 0, seq({4, 5})), 0x2001, seq({4, 5})},
      {"gen1 spare bytes are not a result", 1, seq({13, 0, 0, 0, 12, 6, 0, 0, 0, 9, 0x19, 0x20, 8}), 0x2001, seq({8})},
      {"gen1 empty", 1, devsim::makeControlReply(1, 9, 0, {}), 0x2001, {}},
      {"gen1 inner runs past the message", 1, seq({13, 0, 0, 0, 12, 7, 0, 0, 0, 9, 0, 0, 8}), 0xFF0A, {}},
      {"gen1 inner 0xFFFFFFFF", 1, seq({13, 0, 0, 0, 12, 0xFF, 0xFF, 0xFF, 0xFF, 9, 0, 0, 8}), 0xFF0A, {}},
      {"gen1 inner below 5", 1, seq({12, 0, 0, 0, 12, 4, 0, 0, 0, 9, 0, 0}), 0xFF0A, {}},
      {"gen1 wrong kind", 1, devsim::makeControlReply(2, 9, 0x2001, seq({1})), 0xFF0A, {}},
      {"gen1 header only", 1, seq({5, 0, 0, 0, 12}), 0xFF0A, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    shareSetMode(c.mode);
    ByteBuffer message = c.frame, payload;
    EXPECT_EQ(shareUnwrapControlReply(message, payload), c.rc);
    EXPECT_EQ(payload, c.payload);
  }
}

// Every field gets a distinct value in the generation-1 layout and must land on its
// own offset of the 608-byte record.
TEST(MailboxWiden, EveryFieldLandsInPlace) {
  uint8_t g1[kObjectInfoBytes];
  std::memset(g1, 0xEE, sizeof g1);  // what lies past the packed record
  auto put64 = [&](size_t at, uint64_t v) { std::memcpy(g1 + at, &v, 8); };
  bytesPutU32(g1 + 0, 0x01010101);
  bytesPutU16(g1 + 4, 0x0202);
  bytesPutU16(g1 + 6, 0x0303);
  bytesPutU32(g1 + 8, 0x04040404);
  bytesPutU16(g1 + 12, 0x0505);
  bytesPutU32(g1 + 14, 0x06060606);
  bytesPutU32(g1 + 18, 0x07070707);
  bytesPutU32(g1 + 22, 0x08080808);
  bytesPutU32(g1 + 26, 0x09090909);
  bytesPutU32(g1 + 30, 0x0A0A0A0A);
  bytesPutU32(g1 + 34, 0x0B0B0B0B);
  bytesPutU32(g1 + 38, 0x0C0C0C0C);
  bytesPutU16(g1 + 42, 0x0D0D);
  bytesPutU32(g1 + 44, 0x0E0E0E0E);
  bytesPutU32(g1 + 48, 0x0F0F0F0F);
  std::memset(g1 + 52, 0, 256);
  std::memcpy(g1 + 52, "IMG_0001.JPG", 12);
  bytesPutU16(g1 + 308, 13);
  put64(312, 0x1111111111111111ull);
  put64(320, 0x1212121212121212ull);
  std::memset(g1 + 328, 0, 256);
  std::memcpy(g1 + 328, "holiday", 7);

  shareWidenObjectInfo(g1);
  auto r = objectInfoFromBytes(std::span<const uint8_t>(g1, sizeof g1));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->objectId, 0x01010101u);
  EXPECT_EQ(r->objectFormat, 0x0202);
  EXPECT_EQ(r->protectionStatus, 0x0303);
  EXPECT_EQ(r->objectCompressedSize, 0x04040404u);
  EXPECT_EQ(r->thumbFormat, 0x0505);
  EXPECT_EQ(r->thumbCompressedSize, 0x06060606u);
  EXPECT_EQ(r->thumbPixWidth, 0x07070707u);
  EXPECT_EQ(r->thumbPixHeight, 0x08080808u);
  EXPECT_EQ(r->imagePixWidth, 0x09090909u);
  EXPECT_EQ(r->imagePixHeight, 0x0A0A0A0Au);
  EXPECT_EQ(r->imageBitDepth, 0x0B0B0B0Bu);
  EXPECT_EQ(r->parentObject, 0x0C0C0C0Cu);
  EXPECT_EQ(r->associationType, 0x0D0D);
  EXPECT_EQ(r->associationDesc, 0x0E0E0E0Eu);
  EXPECT_EQ(r->sequenceNumber, 0x0F0F0F0Fu);
  EXPECT_STREQ(r->fileName, "IMG_0001.JPG");
  EXPECT_EQ(r->fileNameLength, 13);
  EXPECT_EQ(r->captureDate, 0x1111111111111111ull);
  EXPECT_EQ(r->modificationDate, 0x1212121212121212ull);
  EXPECT_STREQ(r->keywords, "holiday");
  EXPECT_EQ(r->orientation, 0);
  EXPECT_EQ(r->rating, 0u);

  shareWidenObjectInfo(nullptr);  // does nothing
}
