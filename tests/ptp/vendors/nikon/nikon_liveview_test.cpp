// Nikon live-view frames: both reply forms into the record, bounds of what the camera
// claims, and the orientation and AF point read from the last head.
#include <gtest/gtest.h>

#include "ptp/vendors/nikon/nikon_liveview.h"
#include "tests/ptp/vendors/nikon/nikon_fixture.h"

namespace {

void putBe16(std::vector<uint8_t>& b, size_t off, uint16_t v) {
  b[off] = static_cast<uint8_t>(v >> 8);
  b[off + 1] = static_cast<uint8_t>(v);
}
void putBe32(std::vector<uint8_t>& b, size_t off, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
uint16_t le16(const std::vector<uint8_t>& b, size_t off) { return static_cast<uint16_t>(b[off] | b[off + 1] << 8); }
uint32_t le32(const std::vector<uint8_t>& b, size_t off) {
  return static_cast<uint32_t>(b[off] | b[off + 1] << 8 | b[off + 2] << 16 | static_cast<uint32_t>(b[off + 3]) << 24);
}

const std::vector<uint8_t> kJpeg{0xFF, 0xD8, 0x01, 0x02, 0xFF, 0xD9};

// A 0x9428 reply of version v: head size h, the JPEG after it.
std::vector<uint8_t> exReply(uint16_t version, uint32_t headSize, uint32_t jpegClaim) {
  std::vector<uint8_t> b(headSize, 0);
  putBe16(b, 0, version);
  putBe32(b, 8, headSize);
  putBe32(b, 12, jpegClaim);
  putBe16(b, 16, 640);  // width
  putBe16(b, 18, 424);  // height
  b[42] = 0x5A;
  b.insert(b.end(), kJpeg.begin(), kJpeg.end());
  return b;
}

}  // namespace

TEST_F(NikonTest, FixedHeaderFrameTurnsFieldsLittleEndian) {
  kvtest::useNikonModel(196);  // 384-byte camera header
  std::vector<uint8_t> reply(384, 0);
  putBe16(reply, 0, 0x1234);   // first of the twelve u16 -> head 8
  putBe32(reply, 24, 0xA1B2C3D4);  // u32 at head 32
  putBe16(reply, 44, 0x0102);  // u16 at head 52 widened to u32
  reply[30] = 2;               // rotation byte, head 37 (inside the u32 at 36)
  reply.insert(reply.end(), kJpeg.begin(), kJpeg.end());

  std::vector<uint8_t> frame;
  ASSERT_EQ(nikonParseLiveViewFrame(0x9203, reply.data(), reply.size(), frame), PTP_RC_OK);
  ASSERT_EQ(frame.size(), kNikonFrameHeadBytes + kJpeg.size());
  EXPECT_EQ(le32(frame, 0), 384u + 8);
  EXPECT_EQ(le32(frame, 4), kJpeg.size());
  EXPECT_EQ(le16(frame, 8), 0x1234);
  EXPECT_EQ(le32(frame, 32), 0xA1B2C3D4u);
  EXPECT_EQ(le32(frame, 52), 0x0102u);
  EXPECT_NE(le32(frame, 352), 0xFFFFFFFFu) << "model 196 keeps its field";
  EXPECT_TRUE(std::equal(kJpeg.begin(), kJpeg.end(), frame.begin() + kNikonFrameHeadBytes));
  EXPECT_EQ(nikonGetLiveViewOrientation(), 6);

  // Shorter than the model's header: refused, nothing kept.
  EXPECT_EQ(nikonParseLiveViewFrame(0x9203, reply.data(), 100, frame), ERROR_TOO_LARGE);
  EXPECT_TRUE(frame.empty());
  EXPECT_EQ(nikonParseLiveViewFrame(0x9203, nullptr, 10, frame), ERROR_INVALID_INPUT);
  EXPECT_EQ(nikonParseLiveViewFrame(0x9203, reply.data(), 0, frame), ERROR_INVALID_INPUT);
}

TEST_F(NikonTest, SelfDescribingFrameIsBoundedByTheReply) {
  kvtest::useNikonModel(219);
  std::vector<uint8_t> reply(8 + 16, 0);
  putBe32(reply, 0, 16);
  putBe32(reply, 4, static_cast<uint32_t>(kJpeg.size()));
  reply.insert(reply.end(), kJpeg.begin(), kJpeg.end());
  std::vector<uint8_t> frame;
  ASSERT_EQ(nikonParseLiveViewFrame(0x9203, reply.data(), reply.size(), frame), PTP_RC_OK);
  EXPECT_EQ(le32(frame, 0), kNikonFrameHeadBytes);
  EXPECT_EQ(le32(frame, 352), 0xFFFFFFFFu);
  EXPECT_EQ(frame.size(), kNikonFrameHeadBytes + kJpeg.size());

  struct Bad {
    uint32_t header, jpeg;
  } bad[] = {{0xFFFFFFF0, 6}, {16, 7}, {16, 0xFFFFFFFF}, {1000, 6}};
  for (const auto& c : bad) {
    putBe32(reply, 0, c.header);
    putBe32(reply, 4, c.jpeg);
    EXPECT_EQ(nikonParseLiveViewFrame(0x9203, reply.data(), reply.size(), frame), ERROR_TOO_LARGE) << c.header;
    EXPECT_TRUE(frame.empty());
  }
  EXPECT_EQ(nikonParseLiveViewFrame(0x9203, reply.data(), 5, frame), ERROR_TOO_LARGE);
}

TEST_F(NikonTest, ExFrameFieldsAndVersionBlocks) {
  kvtest::useNikonModel(228);
  for (uint16_t version : {1, 2}) {
    auto reply = exReply(version, 1024, 1000);  // the claim is longer than the JPEG
    const size_t block = version == 1 ? 384 : 820;
    reply[block + 19] = 1;                 // rotation
    putBe16(reply, block + 20, 0x0304);    // -> u32 at 52
    reply[block + 8] = 0x77;               // -> byte 68
    std::vector<uint8_t> frame;
    ASSERT_EQ(nikonParseLiveViewFrame(0x9428, reply.data(), reply.size(), frame), PTP_RC_OK) << version;
    EXPECT_EQ(le32(frame, 0), 1024u);
    EXPECT_EQ(le32(frame, 4), kJpeg.size()) << "cut to what the reply holds";
    EXPECT_EQ(le16(frame, 12), 640);
    EXPECT_EQ(le16(frame, 14), 424);
    EXPECT_EQ(frame[48], 0x5A);
    EXPECT_EQ(le32(frame, 52), 0x0304u);
    EXPECT_EQ(frame[68], 0x77);
    EXPECT_EQ(frame.size(), kNikonFrameHeadBytes + kJpeg.size());
    EXPECT_EQ(nikonGetLiveViewOrientation(), 7) << version;
  }

  uint32_t x = 0, y = 0;
  ASSERT_TRUE(nikonAfPointFor(0.5f, 0.25f, x, y));
  EXPECT_EQ(x, 320u);
  EXPECT_EQ(y, 106u);
  EXPECT_FALSE(nikonAfPointFor(1.5f, 0.0f, x, y));

  // Too short for the version block, or a head beyond the reply.
  std::vector<uint8_t> frame;
  auto shortReply = exReply(2, 100, 6);
  EXPECT_EQ(nikonParseLiveViewFrameEx(shortReply.data(), shortReply.size(), frame), ERROR_TOO_LARGE);
  auto beyond = exReply(3, 64, 6);
  putBe32(beyond, 8, 5000);
  EXPECT_EQ(nikonParseLiveViewFrameEx(beyond.data(), beyond.size(), frame), ERROR_TOO_LARGE);
  EXPECT_TRUE(frame.empty());
}

TEST_F(NikonTest, RotationToOrientation) {
  const uint8_t expected[] = {1, 7, 6, 3, 1, 1};
  for (uint8_t r = 0; r < 6; ++r) EXPECT_EQ(nikonRotationToOrientation(r), expected[r]) << int(r);
  EXPECT_EQ(nikonRotationToOrientation(255), 1);
}
