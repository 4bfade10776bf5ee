#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "ptp/vendors/common/bmp_canvas.h"
#include "tests/ptp/vendors/vendors_frames.h"

using vendorstest::getU32;

namespace {

uint16_t getU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct HeaderCase {
  uint32_t width, height, bits;
  uint32_t dataOffset, imageSize, fileSize, coloursUsed, compression;
};

class BmpHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(BmpHeader, FieldsFollowSizeAndDepth) {
  const HeaderCase& c = GetParam();
  BmpCanvasPtr canvas = bmpCreate(c.width, c.height, c.bits);
  ASSERT_TRUE(canvas);
  uint8_t file[kBmpFileHeaderBytes], info[kBmpInfoHeaderBytes];
  bmpCopyFileHeader(file, *canvas);
  bmpCopyInfoHeader(info, *canvas);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(getU32(file + 2), c.fileSize);
  EXPECT_EQ(getU32(file + 6), 0u);
  EXPECT_EQ(getU32(file + 10), c.dataOffset);
  EXPECT_EQ(getU32(info + 0), 40u);
  EXPECT_EQ(getU32(info + 4), c.width);
  EXPECT_EQ(getU32(info + 8), c.height);
  EXPECT_EQ(getU16(info + 12), 1u);
  EXPECT_EQ(getU16(info + 14), c.bits);
  EXPECT_EQ(getU32(info + 16), c.compression);
  EXPECT_EQ(getU32(info + 20), c.imageSize);
  EXPECT_EQ(getU32(info + 24), 3780u);
  EXPECT_EQ(getU32(info + 28), 3780u);
  EXPECT_EQ(getU32(info + 32), c.coloursUsed);
  EXPECT_EQ(getU32(info + 36), 0u);
  EXPECT_EQ(bmpWidth(*canvas), c.width);
  EXPECT_EQ(bmpHeight(*canvas), c.height);
  EXPECT_EQ(bmpBitsPerPixel(*canvas), c.bits);

  std::vector<uint8_t> image;
  EXPECT_EQ(bmpEncode(*canvas, image), c.fileSize);
  EXPECT_EQ(image.size(), c.fileSize);

  // Writers that fill the rows themselves get the same header, whatever was in the buffer.
  uint8_t header[kBmpHeaderBytes];
  std::memset(header, 0xA5, sizeof header);
  ASSERT_TRUE(bmpInitHeader(header, c.width, c.height, c.bits));
  EXPECT_EQ(0, std::memcmp(header, canvas->header, kBmpHeaderBytes));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpHeader,
    testing::Values(HeaderCase{3, 2, 24, 54, 24, 78, 16777216, 0},
                    HeaderCase{1, 1, 8, 1078, 4, 1082, 256, 0},
                    HeaderCase{5, 1, 16, 66, 12, 78, 65536, 3},
                    HeaderCase{4, 1, 16, 66, 8, 74, 65536, 3},  // a 16-bit row of 4: no padding
                    HeaderCase{9, 2, 1, 62, 8, 70, 2, 0},
                    HeaderCase{3, 3, 4, 118, 12, 130, 16, 0},
                    HeaderCase{2, 2, 32, 54, 16, 70, 0, 0},
                    // no pixels at all: header and palette alone
                    HeaderCase{0, 0, 8, 1078, 0, 1078, 256, 0},
                    HeaderCase{0, 5, 24, 54, 0, 54, 16777216, 0}));

TEST(BmpCanvas, RefusesBadDepthsSizesOverTheCapsAndAWidthWithoutHeight) {
  for (uint32_t bits : {0u, 2u, 12u, 33u}) EXPECT_FALSE(bmpCreate(2, 2, bits)) << bits;
  EXPECT_FALSE(bmpCreate(kBmpMaxWidth + 1, 1, 32));
  EXPECT_FALSE(bmpCreate(1, kBmpMaxHeight + 1, 32));
  EXPECT_FALSE(bmpCreate(kBmpMaxWidth, kBmpMaxHeight, 32));  // over the pixel cap
  EXPECT_FALSE(bmpCreate(0xFFFFFFFF, 0xFFFFFFFF, 32));
  EXPECT_FALSE(bmpCreate(4, 0, 32));
  EXPECT_TRUE(bmpCreate(kBmpMaxWidth, 16, 32));
}

TEST(BmpCanvas, PixelsStartWhiteAndSetPixelCountsFromTheBottom) {
  BmpCanvasPtr c = bmpCreate(3, 4, 32);
  ASSERT_TRUE(c);
  EXPECT_EQ(*bmpPixelPtr(*c, 2, 3), kBmpWhite);
  EXPECT_TRUE(bmpSetPixel(*c, 0, 0, 0x123456));
  EXPECT_EQ(*bmpPixelPtr(*c, 0, 3), 0x123456u);  // bottom row is row index height - 1
  EXPECT_TRUE(bmpSetPixel(*c, 1, 3, 0xABCDEF));
  EXPECT_EQ(*bmpPixelPtr(*c, 1, 0), 0xABCDEFu);
  EXPECT_FALSE(bmpSetPixel(*c, 3, 0, 0));
  EXPECT_FALSE(bmpSetPixel(*c, 0, 4, 0));
  EXPECT_EQ(bmpPixelPtr(*c, 3, 0), nullptr);
  EXPECT_EQ(bmpPixelPtr(*c, 0, 4), nullptr);
  bmpFree(c);
  EXPECT_FALSE(c);
}

TEST(BmpCanvas, DpiRoundTripsThroughPixelsPerMetre) {
  BmpCanvasPtr c = bmpCreate(1, 1, 24);
  ASSERT_TRUE(c);
  EXPECT_EQ(bmpDpiX(*c), 96u);  // 3780 / 39.37 = 96.01
  bmpSetDpi(*c, 300, 72);
  uint8_t info[kBmpInfoHeaderBytes];
  bmpCopyInfoHeader(info, *c);
  EXPECT_EQ(getU32(info + 24), 11811u);
  EXPECT_EQ(getU32(info + 28), 2834u);
  EXPECT_EQ(bmpDpiX(*c), 299u);  // truncation both ways loses a little
  EXPECT_EQ(bmpDpiY(*c), 71u);
}

TEST(BmpCanvas, NearestColourPrefersExactThenTheLowerOfEqualEntries) {
  BmpCanvasPtr c8 = bmpCreate(1, 1, 8);
  ASSERT_TRUE(c8);
  EXPECT_EQ(bmpNearestColour(*c8, 0xFF0000), 249u);
  EXPECT_EQ(bmpNearestColour(*c8, 0x0000FF), 252u);
  EXPECT_EQ(bmpNearestColour(*c8, 0xFFFFFF), 255u);
  EXPECT_EQ(bmpNearestColour(*c8, 0x000000), 0u);
  BmpCanvasPtr c1 = bmpCreate(1, 1, 1);
  ASSERT_TRUE(c1);
  // 0x7F7F7F lies nearer black, 0x808080 nearer white.
  EXPECT_EQ(bmpNearestColour(*c1, 0x7F7F7F), 0u);
  EXPECT_EQ(bmpNearestColour(*c1, 0x808080), 1u);
  BmpCanvasPtr c4 = bmpCreate(1, 1, 4);
  ASSERT_TRUE(c4);
  // 0x400000 is 64 from both 000000 (entry 0) and 800000 (entry 1): the first wins.
  EXPECT_EQ(bmpNearestColour(*c4, 0x400000), 0u);
  BmpCanvasPtr c24 = bmpCreate(1, 1, 24);
  EXPECT_EQ(bmpNearestColour(*c24, 0x123456), 0u);  // no palette
}

TEST(BmpCanvas, LinesSetBothEndsAndSkipPointsOutside) {
  BmpCanvasPtr c = bmpCreate(8, 8, 32);
  ASSERT_TRUE(c);
  auto count = [&] {
    int n = 0;
    for (uint32_t x = 0; x < 8; ++x)
      for (uint32_t y = 0; y < 8; ++y) n += *bmpPixelPtr(*c, x, y) == 0;
    return n;
  };
  EXPECT_EQ(bmpDrawLine(*c, 0, 0, 4, 2, 0), 1);
  EXPECT_EQ(count(), 5);
  EXPECT_EQ(*bmpPixelPtr(*c, 0, 7), 0u);
  EXPECT_EQ(*bmpPixelPtr(*c, 4, 5), 0u);

  c = bmpCreate(8, 8, 32);
  EXPECT_EQ(bmpDrawLine(*c, 2, 2, 2, 2, 0), 0);
  EXPECT_EQ(count(), 1);

  c = bmpCreate(8, 8, 32);
  EXPECT_EQ(bmpDrawLine(*c, 1, 6, 2, 0, 0), -1);  // steep: one point per row
  EXPECT_EQ(count(), 7);

  c = bmpCreate(8, 8, 32);
  EXPECT_EQ(bmpDrawLine(*c, -3, 2, 10, 2, 0), 0);  // clipped to the 8 pixels inside
  EXPECT_EQ(count(), 8);
}

// Decodes the file image by hand: header, palette or masks, bottom-up padded rows.
TEST(BmpEncode, PacksEveryDepthBottomUpWithPadding) {
  const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, black = 0;
  for (uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
    SCOPED_TRACE(bits);
    BmpCanvasPtr c = bmpCreate(3, 2, bits);
    ASSERT_TRUE(c);
    // top row: red, green, blue; bottom row: black, white, 0xAA123456
    bmpSetPixel(*c, 0, 1, red);
    bmpSetPixel(*c, 1, 1, green);
    bmpSetPixel(*c, 2, 1, blue);
    bmpSetPixel(*c, 0, 0, black);
    bmpSetPixel(*c, 2, 0, 0xAA123456);
    std::vector<uint8_t> f;
    size_t n = bmpEncode(*c, f);
    ASSERT_EQ(n, f.size());
    uint32_t offset = getU32(f.data() + 10);
    size_t rowBytes = ((3 * bits + 31) / 32) * 4;
    ASSERT_EQ(n, offset + 2 * rowBytes);
    const uint8_t* bottom = f.data() + offset;
    const uint8_t* top = bottom + rowBytes;
    switch (bits) {
      case 1:  // black 0, white 1; red/green/blue are nearer black
        EXPECT_EQ(bottom[0], 0b01000000);
        EXPECT_EQ(top[0], 0b00000000);
        break;
      case 4:  // palette: 000000=0, FFFFFF=15, FF0000=9, 00FF00=10, 0000FF=12
        EXPECT_EQ(bottom[0], 0x0F);
        EXPECT_EQ(top[0], 0x9A);
        EXPECT_EQ(top[1], 0xC0);
        break;
      case 8:
        EXPECT_EQ(bottom[0], 0);
        EXPECT_EQ(bottom[1], 255);
        EXPECT_EQ(top[0], 249);
        EXPECT_EQ(top[1], 250);
        EXPECT_EQ(top[2], 252);
        break;
      case 16:
        EXPECT_EQ(getU32(f.data() + 54), 0xF800u);
        EXPECT_EQ(getU32(f.data() + 58), 0x07E0u);
        EXPECT_EQ(getU32(f.data() + 62), 0x001Fu);
        EXPECT_EQ(getU16(top), 0xF800u);
        EXPECT_EQ(getU16(top + 2), 0x07E0u);
        EXPECT_EQ(getU16(top + 4), 0x001Fu);
        EXPECT_EQ(getU16(bottom + 2), 0xFFFFu);
        EXPECT_EQ(getU16(bottom + 4), (0x12 & 0xF8) << 8 | (0x34 & 0xFC) << 3 | 0x56 >> 3);
        EXPECT_EQ(top[6], 0);  // padding
        break;
      case 24:
        EXPECT_EQ(top[0], 0x00);
        EXPECT_EQ(top[2], 0xFF);  // blue, green, red
        EXPECT_EQ(bottom[6], 0x56);
        EXPECT_EQ(bottom[7], 0x34);
        EXPECT_EQ(bottom[8], 0x12);
        EXPECT_EQ(bottom[9], 0);  // padding
        break;
      case 32:
        EXPECT_EQ(getU32(top), red);
        EXPECT_EQ(getU32(bottom + 4), kBmpWhite);
        EXPECT_EQ(getU32(bottom + 8), 0xAA123456u);  // the high byte is carried
        break;
    }
    if (bits <= 8) {
      // palette follows the header: entry 1 of the 1-bit palette is white
      if (bits == 1) {
        EXPECT_EQ(getU32(f.data() + 58), 0x00FFFFFFu);
      }
      if (bits == 8) {
        EXPECT_EQ(getU32(f.data() + 54 + 4 * 8), 0x00C0DCC0u);
      }
    }
  }
}

TEST(BmpPackRow, LeavesABufferTooSmallForTheWidthUntouched) {
  BmpCanvasPtr c = bmpCreate(9, 1, 32);
  ASSERT_TRUE(c);
  std::vector<uint8_t> row(64, 0xEE);
  bmpPackRow1(*c, row.data(), 1, 0);   // 8 pixels fit, 9 do not
  bmpPackRow4(*c, row.data(), 4, 0);   // 8 fit
  bmpPackRow8(*c, row.data(), 8, 0);
  bmpPackRow24(*c, row.data(), 26, 0);  // 8 fit
  bmpPackRow32(*c, row.data(), 35, 0);
  for (uint8_t b : row) EXPECT_EQ(b, 0xEE);
  bmpPackRow32(*c, row.data(), 36, 0);
  EXPECT_EQ(getU32(row.data()), kBmpWhite);
}

TEST(BmpWrite, WritesTheEncodedBytesToAStreamAndAFile) {
  BmpCanvasPtr c = bmpCreate(2, 2, 24);
  ASSERT_TRUE(c);
  bmpSetPixel(*c, 1, 1, 0x010203);
  std::vector<uint8_t> expected;
  bmpEncode(*c, expected);
  EXPECT_EQ(bmpWrite(*c, nullptr), 0);

  auto dir = std::filesystem::temp_directory_path() / ("kv_bmp_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string path = (dir / "frame.bmp").string();
  EXPECT_EQ(bmpWriteFile(*c, path), 1);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> written((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(written, expected);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_EQ(bmpWriteFile(*c, (dir / "missing" / "x.bmp").string()), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
