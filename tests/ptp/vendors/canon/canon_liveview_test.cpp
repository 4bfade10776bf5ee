#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_models.h"
#include "tests/ptp/vendors/vendors_frames.h"

using namespace vendorstest;

namespace {

class CanonLiveView : public testing::Test {
 protected:
  void SetUp() override { canonResetModelState(); }
  void TearDown() override { canonResetModelState(); }

  // Builds the frame and returns its header; fails the test when the build fails.
  EOS_LiveViewInfoStruct parse(const std::vector<uint8_t>& reply, uint8_t model = 0) {
    EXPECT_TRUE(canonParseLiveViewFrame(reply.data(), reply.size(), frame, model));
    EOS_LiveViewInfoStruct h{};
    EXPECT_TRUE(canonReadLiveViewHeader(frame.data(), frame.size(), h));
    return h;
  }

  std::vector<uint8_t> frame;
};

TEST_F(CanonLiveView, RefusesShortRepliesAndTakesA4000ByteOneWithoutBlocks) {
  std::vector<uint8_t> image = jpeg(3992);
  std::vector<uint8_t> reply = liveViewReply(8, image, {}, 0);
  ASSERT_EQ(reply.size(), 4000u);
  EXPECT_FALSE(canonParseLiveViewFrame(reply.data(), 3999, frame, 0));
  EXPECT_TRUE(frame.empty());
  EXPECT_FALSE(canonParseLiveViewFrame(nullptr, 4000, frame, 0));

  EOS_LiveViewInfoStruct h = parse(reply);
  EXPECT_EQ(h.frameKind, CanonFrameKindJpeg);
  EXPECT_EQ(h.imageLength, 3992u);
  ASSERT_EQ(frame.size(), kCanonLiveViewHeaderBytes + 3992);
  EXPECT_EQ(std::memcmp(frame.data() + kCanonLiveViewImageOffset, image.data(), image.size()), 0);
  EXPECT_EQ(std::memcmp(h.image, image.data(), 8), 0);  // the header's last slot
  EXPECT_EQ(h.infoBlock15[0], -1);
  EXPECT_EQ(h.infoBlock15[1], -1);
  EXPECT_EQ(h.infoBlock15[2], 0);
  EXPECT_EQ(h.infoBlock10[0], 0);
  EXPECT_EQ(h.afFrameCount, 0u);
  EXPECT_EQ(h.zoomScale, 1u);
  EXPECT_EQ(h.fullWidth, 0u);  // no model identified
}

TEST_F(CanonLiveView, ReadsEveryBlockTypeIntoItsFields) {
  std::vector<uint8_t> reply = liveViewReply(
      16, jpeg(500),
      {block(4, {5}), block(5, {1200, 800}), block(6, {9, 9}), block(10, {7, 0xFFFFFFFE}),
       block(13, {0, 0, 1100, 700}), block(14, {6000, 4000}), block(15, {1, 2, 3, 4}),
       block(16, {0, 2, 4550}), block(18, {0, 0, 5900, 3900}), block(99, {1})});
  EOS_LiveViewInfoStruct h = parse(reply);
  EXPECT_EQ(h.zoomScale, 5u);
  EXPECT_EQ(h.zoomOriginX, 1200u);
  EXPECT_EQ(h.zoomOriginY, 800u);
  EXPECT_EQ(h.infoBlock10[0], 7);
  EXPECT_EQ(h.infoBlock10[1], -2);
  EXPECT_EQ(h.zoomWidth, 1100u);
  EXPECT_EQ(h.zoomHeight, 700u);
  EXPECT_EQ(h.fullWidth, 6000u);
  EXPECT_EQ(h.fullHeight, 4000u);
  EXPECT_EQ(h.infoBlock15[0], 1);
  EXPECT_EQ(h.infoBlock15[3], 4);
  EXPECT_EQ(h.rotation, 2u);
  EXPECT_FLOAT_EQ(h.levelAngle, 45.5f);
  EXPECT_EQ(h.visibleWidth, 5900u);
  EXPECT_EQ(h.visibleHeight, 3900u);
  EXPECT_EQ(h.imageLength, 500u);
}

TEST_F(CanonLiveView, DefaultsComeFromTheZoomAndTheIdentifiedSensor) {
  uint8_t index = 0;
  ASSERT_TRUE(canonIdentifyModel("Canon EOS R5", index));
  EOS_LiveViewInfoStruct h = parse(liveViewReply(0, jpeg(100), {}));
  EXPECT_EQ(h.zoomScale, 1u);
  EXPECT_EQ(h.fullWidth, 8192u);
  EXPECT_EQ(h.fullHeight, 5464u);
  EXPECT_EQ(h.visibleWidth, 8192u);
  EXPECT_EQ(h.zoomWidth, 8192u);
  EXPECT_EQ(h.zoomHeight, 5464u);

  h = parse(liveViewReply(0, jpeg(100), {block(4, {2}), block(14, {6000, 4001})}));
  EXPECT_EQ(h.fullWidth, 6000u);
  EXPECT_EQ(h.visibleWidth, 3000u);
  EXPECT_EQ(h.visibleHeight, 2000u);  // unsigned division
  EXPECT_EQ(h.zoomWidth, 3000u);
}

TEST_F(CanonLiveView, ABlockReachingTheReplysEndIsNotRead) {
  std::vector<uint8_t> image = jpeg(4000);
  std::vector<uint8_t> exact = liveViewReply(0, image, {block(4, {3})}, 0);
  EXPECT_EQ(parse(exact).zoomScale, 1u);
  std::vector<uint8_t> oneMore = exact;
  oneMore.push_back(0);
  EXPECT_EQ(parse(oneMore).zoomScale, 3u);
}

TEST_F(CanonLiveView, TheWalkEndsOnZeroShortOrOversizeLengths) {
  struct Case {
    const char* name;
    uint32_t badLength;
  };
  for (Case c : {Case{"zero", 0}, Case{"below the head", 4}, Case{"seven", 7},
                 Case{"past the end", 0x10000}, Case{"wraps", 0xFFFFFFFF}}) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bad;
    bytesAppendU32(bad, c.badLength);
    bytesAppendU32(bad, 4);
    std::vector<uint8_t> reply = liveViewReply(0, jpeg(100), {block(5, {7, 8}), bad, block(4, {9})});
    EOS_LiveViewInfoStruct h = parse(reply);
    EXPECT_EQ(h.zoomOriginX, 7u);
    EXPECT_EQ(h.zoomScale, 1u);
  }
}

TEST_F(CanonLiveView, BlockFieldsAreReadOnlyInsideTheirBlock) {
  // Short blocks of each type: the fields beyond their length stay at 0 / defaults.
  std::vector<uint8_t> reply = liveViewReply(
      0, jpeg(100),
      {block(16, {0}), block(13, {1, 2, 3}), block(5, {11}), block(15, {5, 6}), block(4, {})});
  EOS_LiveViewInfoStruct h = parse(reply);
  EXPECT_EQ(h.rotation, 0u);
  EXPECT_EQ(h.levelAngle, 0.0f);
  EXPECT_EQ(h.zoomWidth, 3u);  // the word at 16 lies inside the 20-byte block
  EXPECT_EQ(h.zoomHeight, 0u);
  EXPECT_EQ(h.zoomOriginX, 11u);
  EXPECT_EQ(h.zoomOriginY, 0u);
  EXPECT_EQ(h.infoBlock15[0], 5);
  EXPECT_EQ(h.infoBlock15[1], 6);
  EXPECT_EQ(h.infoBlock15[2], 0);
  EXPECT_EQ(h.zoomScale, 1u);
}

TEST_F(CanonLiveView, AfFramesAreCappedAt64AndCutToWholeEntries) {
  struct Case {
    const char* name;
    uint32_t count, entries;
    size_t extra;
    uint32_t expected;
  };
  for (Case c : {Case{"200 declared and sent", 200, 200, 0, 64}, Case{"exact", 3, 3, 0, 3},
                 Case{"fewer sent than declared", 5, 3, 0, 3},
                 Case{"a half entry at the end", 5, 3, 12, 3}, Case{"no entries", 4, 0, 0, 0},
                 Case{"more sent than declared", 2, 4, 0, 2}}) {
    SCOPED_TRACE(c.name);
    EOS_LiveViewInfoStruct h = parse(liveViewReply(0, jpeg(100), {afBlock(c.count, c.entries, c.extra)}, 8000));
    ASSERT_EQ(h.afFrameCount, c.expected);
    for (uint32_t i = 0; i < c.expected; ++i) {
      EXPECT_EQ(h.afState[i], 0x11u + i % 2);
      EXPECT_EQ(h.afX[i], 100 + i);
      EXPECT_EQ(h.afY[i], 200 + i);
      EXPECT_EQ(h.afWidth[i], 30 + i);
      EXPECT_EQ(h.afHeight[i], 40 + i);
    }
    for (uint32_t i = c.expected; i < kCanonMaxAfFrames; ++i) EXPECT_EQ(h.afX[i], 0u);
  }
}

TEST_F(CanonLiveView, TheJpegEndIsTheLastMarkerAfterItsStartSkippingFill) {
  // FF FF FF D9 after the real end is fill; the real end is taken.
  std::vector<uint8_t> reply = liveViewReply(4, jpeg(300), {block(4, {2})});
  size_t fill = reply.size() - 20;
  reply[fill] = 0xFF, reply[fill + 1] = 0xFF, reply[fill + 2] = 0xFF, reply[fill + 3] = 0xD9;
  EOS_LiveViewInfoStruct h = parse(reply);
  EXPECT_EQ(h.imageLength, 300u);
  EXPECT_EQ(h.zoomScale, 2u);

  // An end marker only before the start: no JPEG end, no frame.
  std::vector<uint8_t> image = jpeg(300);
  image[298] = image[299] = 0x11;
  std::vector<uint8_t> early = liveViewReply(40, image, {});
  early[10] = 0xFF, early[11] = 0xD9;
  EXPECT_FALSE(canonParseLiveViewFrame(early.data(), early.size(), frame, 0));
  EXPECT_TRUE(frame.empty());

  // The JPEG start is looked for in the first 256 positions only.
  std::vector<uint8_t> late = liveViewReply(256, jpeg(300), {});
  late.resize(4096);
  EXPECT_FALSE(canonParseLiveViewFrame(late.data(), late.size(), frame, 0));
}

struct RotationCase {
  uint32_t rotation;
  uint8_t orientation;
};

class CanonRotation : public CanonLiveView, public testing::WithParamInterface<RotationCase> {};

TEST_P(CanonRotation, MapsToExifOrientation) {
  EOS_LiveViewInfoStruct h = parse(liveViewReply(0, jpeg(64), {block(16, {0, GetParam().rotation, 0})}));
  EXPECT_EQ(h.rotation, GetParam().rotation);
  EXPECT_EQ(canonLiveViewFrameOrientation(&h), GetParam().orientation);
  EXPECT_EQ(canonLiveViewFrameOrientation(frame.data(), frame.size()), GetParam().orientation);
  EXPECT_EQ(canonGetLiveViewOrientation(), GetParam().orientation);
}

INSTANTIATE_TEST_SUITE_P(Codes, CanonRotation,
                         testing::Values(RotationCase{0, 1}, RotationCase{1, 6}, RotationCase{2, 8},
                                         RotationCase{3, 1}, RotationCase{4, 3}, RotationCase{7, 1},
                                         RotationCase{0xFFFFFFFF, 1}));

TEST(CanonLiveViewOrientation, NullOrShortFramesAreUpright) {
  EXPECT_EQ(canonLiveViewFrameOrientation(nullptr), 1);
  EXPECT_EQ(canonLiveViewFrameOrientation(nullptr, 0), 1);
  const uint8_t shortFrame[6] = {1, 0, 0, 0, 1, 0};
  EXPECT_EQ(canonLiveViewFrameOrientation(shortFrame, sizeof shortFrame), 1);
  EOS_LiveViewInfoStruct h{};
  EXPECT_FALSE(canonReadLiveViewHeader(shortFrame, sizeof shortFrame, h));
  EXPECT_EQ(canonLiveViewOpcode(), 0x9153);
}

TEST_F(CanonLiveView, LastFrameCopyHoldsTheLatestHeaderAsACopy) {
  parse(liveViewReply(0, jpeg(64), {block(16, {0, 1, 100}), afBlock(2, 2)}));
  EOS_LiveViewInfoStruct info = canonGetLiveViewInfo();
  EXPECT_EQ(std::memcmp(&info, frame.data(), kCanonLiveViewHeaderBytes), 0);
  EXPECT_EQ(info.afFrameCount, 2u);
  info.rotation = 2;  // a copy: the module's state does not change
  EXPECT_EQ(canonGetLiveViewOrientation(), 6);

  // A refused reply leaves the copy alone.
  std::vector<uint8_t> none(3000, 0);
  EXPECT_FALSE(canonParseLiveViewFrame(none.data(), none.size(), frame, 0));
  EXPECT_EQ(canonGetLiveViewInfo().afFrameCount, 2u);
}

TEST_F(CanonLiveView, LastFrameCopyIsWrittenAndReadUnderItsLock) {
  std::vector<uint8_t> right = liveViewReply(0, jpeg(64), {block(16, {0, 1, 0}), afBlock(64, 64)}, 8000);
  std::vector<uint8_t> left = liveViewReply(0, jpeg(64), {block(16, {0, 2, 0}), afBlock(1, 1)}, 8000);
  parse(left);  // the copy starts from one of the two
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    std::vector<uint8_t> f;
    for (int i = 0; i < 300; ++i) {
      const auto& r = i % 2 ? right : left;
      canonParseLiveViewFrame(r.data(), r.size(), f, 0);
    }
    stop = true;
  });
  int reads = 0;
  while (!stop || reads == 0) {
    EOS_LiveViewInfoStruct info = canonGetLiveViewInfo();
    uint8_t o = canonGetLiveViewOrientation();
    EXPECT_TRUE(o == 1 || o == 6 || o == 8) << int(o);
    // Never half of one frame and half of the other.
    if (info.rotation == 1) {
      EXPECT_EQ(info.afFrameCount, 64u);
    }
    if (info.rotation == 2) {
      EXPECT_EQ(info.afFrameCount, 1u);
    }
    ++reads;
  }
  writer.join();
}

TEST_F(CanonLiveView, YcbcrRepliesBecomeBmpFramesWithoutBlocksOrDefaults) {
  std::vector<uint8_t> pairs(2 * 40 * 30, 0x80);
  std::vector<uint8_t> reply = yuvFrame(0, 64, 40, 30, pairs, 4000);
  EOS_LiveViewInfoStruct h = parse(reply);
  EXPECT_EQ(h.frameKind, CanonFrameKindBmp);
  EXPECT_EQ(h.imageLength, 54u + 40 * 30 * 4);
  EXPECT_EQ(frame.size(), kCanonLiveViewHeaderBytes + h.imageLength);
  EXPECT_EQ(frame[kCanonLiveViewImageOffset], 'B');
  EXPECT_EQ(frame[kCanonLiveViewImageOffset + 1], 'M');
  EXPECT_EQ(h.infoBlock15[0], -1);
  EXPECT_EQ(h.infoBlock10[0], -1);
  EXPECT_EQ(h.infoBlock15[1], 0);
  EXPECT_EQ(h.zoomScale, 0u);  // no defaults for kind 2

  // Pixels that would run past the reply: no frame.
  std::vector<uint8_t> lying = yuvFrame(0, 64, 400, 300, pairs, 4000);
  EXPECT_FALSE(canonParseLiveViewFrame(lying.data(), lying.size(), frame, 0));
  EXPECT_TRUE(frame.empty());
}

TEST(CanonLiveViewToImage, MovesTheJpegToTheFront) {
  std::vector<uint8_t> data(12, 0x00);
  std::vector<uint8_t> image = jpeg(50);
  data.insert(data.end(), image.begin(), image.end());
  EXPECT_TRUE(canonLiveViewToImage(data, 0));
  EXPECT_EQ(data, image);

  std::vector<uint8_t> tiny = {0xFF, 0xD8, 0xFF};
  EXPECT_FALSE(canonLiveViewToImage(tiny, 0));
  std::vector<uint8_t> none(200, 0x00);  // 4 .. 259 bytes without a JPEG: not an image
  EXPECT_FALSE(canonLiveViewToImage(none, 0));
  EXPECT_EQ(none.size(), 200u);
}

TEST(CanonLiveViewToImage, ConvertsYcbcrAndReportsAFailedConversionWithTheDataKept) {
  std::vector<uint8_t> pairs(2 * 4 * 2, 0x40);
  std::vector<uint8_t> data = yuvFrame(0, 32, 4, 2, pairs, 300);
  EXPECT_TRUE(canonLiveViewToImage(data, 0));
  EXPECT_EQ(data.size(), 54u + 4 * 2 * 4);
  EXPECT_EQ(data[0], 'B');

  std::vector<uint8_t> odd = yuvFrame(0, 32, 3, 2, pairs, 300);
  std::vector<uint8_t> before = odd;
  EXPECT_FALSE(canonLiveViewToImage(odd, 0));
  EXPECT_EQ(odd, before);
}

}  // namespace
