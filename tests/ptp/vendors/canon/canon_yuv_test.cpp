#include <gtest/gtest.h>

#include <random>

#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_yuv.h"
#include "ptp/vendors/common/bmp_canvas.h"
#include "tests/ptp/vendors/canon/canon_yuv_reference.h"
#include "tests/ptp/vendors/vendors_frames.h"

using namespace vendorstest;

namespace {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << '(' << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ')';
}

// Reads a 32-bit BMP file image by hand; pixel (x, y) with y counted from the top.
struct Bmp32 {
  explicit Bmp32(const std::vector<uint8_t>& f) : file(f) {}
  uint32_t width() const { return getU32(file.data() + 18); }
  uint32_t height() const { return getU32(file.data() + 22); }
  uint32_t raw(uint32_t x, uint32_t y) const {
    uint32_t offset = getU32(file.data() + 10);
    size_t row = height() - 1 - y;  // rows are stored bottom-up
    return getU32(file.data() + offset + row * width() * 4 + x * 4);
  }
  Rgb at(uint32_t x, uint32_t y) const {
    uint32_t v = raw(x, y);
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  }
  const std::vector<uint8_t>& file;
};

// Two rows of two pixel pairs; the expected colours are worked out by hand from
// red = Y + 1.403 Cr, green = Y - 0.344 Cb - 0.714 Cr, blue = Y + 1.77 Cb, truncated
// and clamped to 0..255.
const std::vector<uint8_t> kPairs = {
    0x00, 100, 0x00, 200,  // row 0, x 0-1: Cb 0, Cr 0: greys
    0x00, 100, 50, 0,      // row 0, x 2-3: Cr 50
    30, 50, 0xEC, 255,     // row 1, x 0-1: Cb 30, Cr -20
    0x9C, 10, 99, 250,     // row 1, x 2-3: Cb -100, Cr 99
};
const Rgb kExpected[2][4] = {
    {{100, 100, 100}, {200, 200, 200}, {170, 64, 100}, {70, 0, 0}},
    {{21, 53, 103}, {226, 255, 255}, {148, 0, 0}, {255, 213, 73}},
};

TEST(CanonYuv, Converts4x2FramePixelByPixelTopRowFirst) {
  std::vector<uint8_t> frame = yuvFrame(0, 32, 4, 2, kPairs);
  std::vector<uint8_t> bmp;
  size_t n = canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, 0);
  ASSERT_EQ(n, 54u + 32);
  ASSERT_EQ(bmp.size(), n);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(getU32(bmp.data() + 2), 86u);
  EXPECT_EQ(getU32(bmp.data() + 10), 54u);
  EXPECT_EQ(bmp[28], 32);  // bits per pixel
  Bmp32 image(bmp);
  ASSERT_EQ(image.width(), 4u);
  ASSERT_EQ(image.height(), 2u);
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 4; ++x) {
      EXPECT_EQ(image.at(x, y), kExpected[y][x]) << x << "," << y;
      EXPECT_EQ(image.raw(x, y) >> 24, 0xFFu);
    }
}

TEST(CanonYuv, RawBufferHoldsWidthScaledWidthAndRgbPerPixel) {
  std::vector<uint8_t> frame = yuvFrame(0, 32, 4, 2, kPairs);
  std::vector<uint8_t> out;
  EXPECT_EQ(canonYuvToRgbBuffer(frame.data(), frame.size(), out, 0), 4u * 4 * 2 + 2);
  ASSERT_EQ(out.size(), 8u + 4 * 4 * 2);
  EXPECT_EQ(getU32(out.data()), 4u);
  EXPECT_EQ(getU32(out.data() + 4), 2u);  // 4 x 0.59, truncated
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 4; ++x) {
      const uint8_t* p = out.data() + 8 + (y * 4 + x) * 4;
      EXPECT_EQ((Rgb{p[0], p[1], p[2]}), kExpected[y][x]) << x << "," << y;
      EXPECT_EQ(p[3], 0);
    }
}

TEST(CanonYuv, ChannelFunctionsClampAtBothEnds) {
  EXPECT_EQ(canonClampByte(-5), 0);
  EXPECT_EQ(canonClampByte(0), 0);
  EXPECT_EQ(canonClampByte(1), 1);
  EXPECT_EQ(canonClampByte(254), 254);
  EXPECT_EQ(canonClampByte(1000), 255);
  EXPECT_EQ(canonYuvRed(250, 127), 255);
  EXPECT_EQ(canonYuvBlue(0, -128), 0);
  EXPECT_EQ(canonYuvGreen(128, 0, 0), 128);
}

TEST(CanonYuv, HeaderOffsetComesFromTheFirstByteOnSomeBodies) {
  // Header at 200, header length 100: the pixels start at (200 + 100) % 256 = 44.
  std::vector<uint8_t> pairs = {0x00, 90, 0x00, 91};
  std::vector<uint8_t> frame = yuvFrame(200, 100, 2, 1, pairs, 256);
  frame[0] = 200;
  for (uint8_t model : {235, 237, 239, 244}) {
    std::vector<uint8_t> bmp;
    ASSERT_GT(canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, model), 0u) << int(model);
    Bmp32 image(bmp);
    EXPECT_EQ(image.at(0, 0), (Rgb{90, 90, 90}));
    EXPECT_EQ(image.at(1, 0), (Rgb{91, 91, 91}));
  }
  // Other bodies read the header at 0, where this frame says 200 header bytes and a
  // width of 0: nothing to show.
  std::vector<uint8_t> bmp;
  EXPECT_EQ(canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, 238), 0u);
  EXPECT_EQ(canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, 0), 0u);
}

TEST(CanonYuv, Model225Converts425Rows) {
  std::vector<uint8_t> pairs(2 * 2 * 425, 0x00);
  std::vector<uint8_t> frame = yuvFrame(0, 20, 2, 1, pairs);
  std::vector<uint8_t> bmp;
  ASSERT_GT(canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, 225), 0u);
  EXPECT_EQ(Bmp32(bmp).height(), 425u);
  ASSERT_GT(canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, 0), 0u);
  EXPECT_EQ(Bmp32(bmp).height(), 1u);
  frame.resize(20 + 2 * 2 * 425 - 1);  // one byte short of 425 rows
  EXPECT_EQ(canonDecodeYuvLiveView(frame.data(), frame.size(), bmp, 225), 0u);
  std::vector<uint8_t> out;
  EXPECT_GT(canonYuvToRgbBuffer(frame.data(), frame.size(), out, 225), 0u);  // takes H rows
}

TEST(CanonYuv, RefusesFramesWhoseHeaderOrPixelsDoNotFit) {
  struct Case {
    const char* name;
    uint32_t width, height;
    size_t total;
  };
  for (Case c : {Case{"odd width", 3, 2, 256}, Case{"zero width", 0, 2, 256},
                 Case{"zero height", 4, 0, 256}, Case{"pixels past the end", 100, 2, 256},
                 Case{"2 x W x R overflows", 0x80000000, 0x80000000, 256},
                 Case{"wraps 32 bits", 0x10000, 0x8000, 256},
                 Case{"over the width cap", kBmpMaxWidth + 2, 1, 2 * (kBmpMaxWidth + 2) + 64},
                 Case{"over the pixel cap", 8192, 2049, 256}}) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> frame = yuvFrame(0, 32, c.width, c.height, {}, c.total);
    std::vector<uint8_t> out = {1, 2, 3};
    EXPECT_EQ(canonDecodeYuvLiveView(frame.data(), frame.size(), out, 0), 0u);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(canonYuvToRgbBuffer(frame.data(), frame.size(), out, 0), 0u);
  }
  std::vector<uint8_t> frame = yuvFrame(0, 32, 4, 2, kPairs);
  std::vector<uint8_t> out;
  EXPECT_EQ(canonDecodeYuvLiveView(frame.data(), 255, out, 0), 0u);  // under 256 bytes
  EXPECT_EQ(canonDecodeYuvLiveView(nullptr, 4000, out, 0), 0u);
  // Header start from the first byte, too near the end for its words.
  frame[0] = 250;
  EXPECT_EQ(canonDecodeYuvLiveView(frame.data(), frame.size(), out, 235), 0u);
}

// The tables against the formulas over every (Y, Cb, Cr): a single wrong entry, or a
// (Cb, Cr) pair whose double result lands just under a whole number, shows here.
TEST(CanonYuvTables, EveryTripleMatchesTheFormulas) {
  size_t wrong = 0;
  for (int cbByte = 0; cbByte < 256; ++cbByte)
    for (int crByte = 0; crByte < 256; ++crByte)
      for (int y = 0; y < 256; ++y) {
        auto Y = static_cast<uint8_t>(y);
        auto cb = static_cast<int8_t>(cbByte), cr = static_cast<int8_t>(crByte);
        uint8_t want[3] = {canonyuvref::canonYuvRed(Y, cr), canonyuvref::canonYuvGreen(Y, cb, cr),
                           canonyuvref::canonYuvBlue(Y, cb)};
        uint8_t got[3] = {canonYuvRed(Y, cr), canonYuvGreen(Y, cb, cr), canonYuvBlue(Y, cb)};
        for (int c = 0; c < 3; ++c)
          if (got[c] != want[c] && ++wrong <= 10)
            ADD_FAILURE() << "channel " << c << " of Y " << y << " Cb " << int(cb) << " Cr " << int(cr)
                          << ": " << int(got[c]) << ", want " << int(want[c]);
      }
  EXPECT_EQ(wrong, 0u);
  for (int64_t v : {int64_t{INT64_MIN}, int64_t{-1}, int64_t{0}, int64_t{1}, int64_t{128}, int64_t{254},
                    int64_t{255}, int64_t{256}, int64_t{INT64_MAX}})
    EXPECT_EQ(canonClampByte(v), canonyuvref::canonClampByte(v)) << v;
}

// Whole frames of random bytes, byte for byte against the reference: sizes from one pixel
// pair up, a width of two, odd heights, the 425-row body, a header found through the first
// byte, and frames one byte short of their pixels (both refuse).
TEST(CanonYuvTables, WholeFramesMatchTheReferenceByteForByte) {
  struct Case {
    uint32_t width, height;
    uint8_t model;
    size_t headerAt;
    int shortBy;  // bytes taken off the end of the pixels
  };
  const Case cases[] = {
      {2, 1, 0, 0, 0},      {4, 2, 0, 0, 0},     {2, 7, 0, 0, 0},     {6, 3, 0, 0, 0},
      {34, 17, 0, 0, 0},    {1024, 680, 0, 0, 0}, {120, 5, 225, 0, 0}, {2, 430, 225, 0, 0},
      {4, 3, 237, 200, 0},   {40, 30, 0, 0, 1},   {2, 425, 225, 0, 1}, {8, 8, 242, 100, 1},
  };
  std::mt19937 random(0x59CC);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " model " << int(c.model)
                                    << " short by " << c.shortBy);
    uint8_t headerLength = 64;
    uint32_t rows = c.model == 225 ? 425 : c.height;
    size_t pixelBytes = size_t{2} * c.width * std::max(rows, c.height);
    std::vector<uint8_t> pairs(pixelBytes);
    for (auto& b : pairs) b = static_cast<uint8_t>(random());
    std::vector<uint8_t> frame = yuvFrame(c.headerAt, headerLength, c.width, c.height, pairs);
    if (c.headerAt) frame[0] = static_cast<uint8_t>(c.headerAt);
    size_t data = (c.headerAt + headerLength) % 256;
    size_t rowRuleEnd = data + size_t{2} * c.width * rows;
    if (c.shortBy) frame.resize(std::max<size_t>(256, rowRuleEnd - c.shortBy));

    std::vector<uint8_t> want, got = {9, 9};
    size_t n = canonDecodeYuvLiveView(frame.data(), frame.size(), got, c.model);
    EXPECT_EQ(n, canonyuvref::canonDecodeYuvLiveView(frame.data(), frame.size(), want, c.model));
    EXPECT_EQ(n, got.size());
    EXPECT_TRUE(got == want);
    if (c.shortBy) {
      EXPECT_EQ(n, 0u);
    }

    // Into a frame record: the same bytes after `at` zeros and before `tail` zeros.
    std::vector<uint8_t> record(5, 7);
    size_t m = canonDecodeYuvLiveViewAt(frame.data(), frame.size(), record, 1360, 8, c.model);
    EXPECT_EQ(m, n);
    if (m) {
      ASSERT_EQ(record.size(), 1360 + m + 8);
      EXPECT_TRUE(std::all_of(record.begin(), record.begin() + 1360, [](uint8_t b) { return b == 0; }));
      EXPECT_TRUE(std::equal(want.begin(), want.end(), record.begin() + 1360));
      EXPECT_TRUE(std::all_of(record.end() - 8, record.end(), [](uint8_t b) { return b == 0; }));
    } else {
      EXPECT_TRUE(record.empty());
    }

    std::vector<uint8_t> rgbWant, rgbGot = {9};
    size_t r = canonYuvToRgbBuffer(frame.data(), frame.size(), rgbGot, c.model);
    EXPECT_EQ(r, canonyuvref::canonYuvToRgbBuffer(frame.data(), frame.size(), rgbWant, c.model));
    EXPECT_TRUE(rgbGot == rgbWant);
  }
}

// The frame builder converts into the frame itself: header, the BMP the reference makes,
// and the 8 spare bytes, with nothing left over from the frame vector's last use.
TEST(CanonYuvTables, ParsedFrameHoldsTheReferenceBmp) {
  std::mt19937 random(7);
  std::vector<uint8_t> pairs(2 * 64 * 48);
  for (auto& b : pairs) b = static_cast<uint8_t>(random());
  std::vector<uint8_t> reply = yuvFrame(0, 32, 64, 48, pairs, 4000);
  std::vector<uint8_t> bmp;
  size_t n = canonyuvref::canonDecodeYuvLiveView(reply.data(), reply.size(), bmp, 0);
  ASSERT_GT(n, 0u);
  std::vector<uint8_t> frame(20000, 0xEE);
  ASSERT_TRUE(canonParseLiveViewFrame(reply.data(), reply.size(), frame, 0));
  ASSERT_EQ(frame.size(), kCanonLiveViewHeaderBytes + n);
  EOS_LiveViewInfoStruct h;
  ASSERT_TRUE(canonReadLiveViewHeader(frame.data(), frame.size(), h));
  EXPECT_EQ(h.frameKind, CanonFrameKindBmp);
  EXPECT_EQ(h.imageLength, n);
  EXPECT_EQ(h.infoBlock15[0], -1);
  EXPECT_EQ(h.infoBlock10[0], -1);
  EXPECT_EQ(h.afFrameCount, 0u);
  EXPECT_TRUE(std::equal(bmp.begin(), bmp.end(), frame.begin() + kCanonLiveViewImageOffset));
  EXPECT_TRUE(std::all_of(frame.end() - 8, frame.end(), [](uint8_t b) { return b == 0; }));
}

}  // namespace
