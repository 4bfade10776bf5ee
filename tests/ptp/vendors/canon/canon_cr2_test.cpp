#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ptp/vendors/canon/canon_images.h"
#include "tests/ptp/vendors/vendors_frames.h"

using namespace vendorstest;

namespace {

// "II" TIFF header, IFD0 at 16 with an ImageWidth entry and a StripOffsets entry at 30
// pointing at `jpegAt`, the JPEG there, and some bytes after it.
std::vector<uint8_t> cr2(uint32_t jpegAt, const std::vector<uint8_t>& jpegBytes, size_t tail = 20) {
  std::vector<uint8_t> d(std::max<size_t>(jpegAt, 42), 0);
  const uint8_t head[] = {'I', 'I', 0x2A, 0x00, 0x10, 0, 0, 0, 'C', 'R', 2, 0};
  std::memcpy(d.data(), head, sizeof head);
  d[16] = 2;
  const uint8_t width[] = {0x00, 0x01, 0x03, 0x00, 1, 0, 0, 0, 0x40, 0x06, 0, 0};
  std::memcpy(d.data() + 18, width, sizeof width);
  const uint8_t strips[] = {0x11, 0x01, 0x04, 0x00, 1, 0, 0, 0};
  std::memcpy(d.data() + 30, strips, sizeof strips);
  bytesPutU32(d.data() + 38, jpegAt);
  d.insert(d.end(), jpegBytes.begin(), jpegBytes.end());
  d.insert(d.end(), tail, 0x00);
  return d;
}

TEST(CanonFindCr2Jpeg, FollowsTheStripOffsetsEntryToAWholeJpeg) {
  std::vector<uint8_t> d = cr2(100, miniJpeg());
  uint32_t offset = 0, length = 0;
  ASSERT_TRUE(canonFindCr2Jpeg(d.data(), d.size(), offset, length));
  EXPECT_EQ(offset, 100u);
  EXPECT_EQ(length, 17u);
}

TEST(CanonFindCr2Jpeg, TruncatedOrLyingSkeletonsAreNotFound) {
  std::vector<uint8_t> cut = miniJpeg();
  cut.resize(12);  // the scan never ends
  std::vector<uint8_t> bigEndian = cr2(100, miniJpeg());
  bigEndian[0] = bigEndian[1] = 'M';
  std::vector<uint8_t> offsetPastEnd = cr2(100, miniJpeg());
  bytesPutU32(offsetPastEnd.data() + 38, static_cast<uint32_t>(offsetPastEnd.size()));
  std::vector<uint8_t> offsetCut = cr2(100, miniJpeg());
  offsetCut.resize(40);  // the entry's value is cut in half
  std::vector<uint8_t> oddEntry = cr2(100, miniJpeg());
  oddEntry.insert(oddEntry.begin() + 29, 0x00);  // the entry moves to an odd position
  oddEntry.resize(oddEntry.size() - 1);
  std::vector<uint8_t> noEntry = cr2(100, miniJpeg());
  noEntry[30] = 0x12;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  for (const Case& c : {Case{"JPEG without its end", cr2(100, cut, 0)},
                        Case{"not at the offset", cr2(100, {0x00, 0x00, 0x00, 0x00, 0x00})},
                        Case{"big-endian", bigEndian}, Case{"offset past the end", offsetPastEnd},
                        Case{"offset cut", offsetCut}, Case{"entry at an odd position", oddEntry},
                        Case{"no StripOffsets", noEntry}, Case{"one byte", {'I'}}}) {
    SCOPED_TRACE(c.name);
    uint32_t offset = 1, length = 1;
    EXPECT_FALSE(canonFindCr2Jpeg(c.bytes.data(), c.bytes.size(), offset, length));
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(length, 0u);
  }
  uint32_t offset = 1, length = 1;
  EXPECT_FALSE(canonFindCr2Jpeg(nullptr, 100, offset, length));
}

TEST(CanonFindCr2Jpeg, ARealHeaderWhosePreviewLiesPastItsEndIsNotFound) {
  std::filesystem::path path =
      std::filesystem::path(KV_TESTDATA_DIR) / "real" / "canon_powershot_s90_header.cr2";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(d.size(), 51200u);
  uint32_t offset = 1, length = 1;
  EXPECT_FALSE(canonFindCr2Jpeg(d.data(), d.size(), offset, length));
  EXPECT_EQ(offset, 0u);
  EXPECT_EQ(length, 0u);
}

}  // namespace
