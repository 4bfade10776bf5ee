#include <gtest/gtest.h>

#include "ptp/base/filetypes.h"
#include "ptp/vendors/fuji/fuji_images.h"
#include "tests/ptp/vendors/vendors_frames.h"

using namespace vendorstest;

namespace {

// A RAF-like file: `at` header bytes, the APP1 JPEG, then `tail` bytes.
std::vector<uint8_t> raf(size_t at, const std::vector<uint8_t>& jpeg, size_t tail = 16) {
  std::vector<uint8_t> d(at, 0x20);
  if (at) std::memcpy(d.data(), "FUJIFILMCCD-RAW ", std::min<size_t>(at, 16));
  d.insert(d.end(), jpeg.begin(), jpeg.end());
  d.insert(d.end(), tail, 0x00);
  return d;
}

TEST(FujiFindEmbeddedJpeg, TakesTheFirstApp1JpegInTheFirst500Positions) {
  for (size_t at : {0u, 160u, 499u}) {
    std::vector<uint8_t> d = raf(at, miniJpeg(true));
    uint32_t offset = 0, length = 0;
    ASSERT_TRUE(fujiFindEmbeddedJpeg(d.data(), d.size(), offset, length)) << at;
    EXPECT_EQ(offset, at);
    EXPECT_EQ(length, 17u);
  }
}

TEST(FujiFindEmbeddedJpeg, NotFoundLeavesBothOutputsZero) {
  std::vector<uint8_t> unterminated = miniJpeg(true);
  unterminated.resize(13);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  for (const Case& c : {Case{"at 500", raf(500, miniJpeg(true))},
                        Case{"DQT, not APP1", raf(160, miniJpeg(false))},
                        Case{"measures 0", raf(160, unterminated, 0)},
                        Case{"four bytes", {0xFF, 0xD8, 0xFF, 0xE1}},
                        Case{"start in the last four bytes", raf(20, {0xFF, 0xD8, 0xFF, 0xE1}, 0)}}) {
    SCOPED_TRACE(c.name);
    uint32_t offset = 1, length = 1;
    EXPECT_FALSE(fujiFindEmbeddedJpeg(c.bytes.data(), c.bytes.size(), offset, length));
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(length, 0u);
  }
  uint32_t offset = 1, length = 1;
  EXPECT_FALSE(fujiFindEmbeddedJpeg(nullptr, 1000, offset, length));
}

}  // namespace

// The file-type layer finds a RAF's preview through the Fujifilm finder.
TEST(FujiFindEmbeddedJpeg, ReachedThroughTheFileTypeFinder) {
  std::vector<uint8_t> d = raf(160, miniJpeg(true));
  uint32_t offset = 0, length = 0;
  ASSERT_TRUE(fileFindEmbeddedJpeg(d, offset, length, 0xB111));
  EXPECT_EQ(offset, 160u);
  EXPECT_EQ(length, 17u);
}
