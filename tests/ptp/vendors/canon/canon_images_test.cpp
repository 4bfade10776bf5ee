#include <gtest/gtest.h>

#include <cstring>

#include "ptp/vendors/canon/canon_images.h"
#include "tests/ptp/vendors/vendors_frames.h"

using namespace vendorstest;

namespace {

TEST(CanonFindJpegStart, FindsC4OrDbInTheFirst256PositionsAndTellsNotFoundFromZero) {
  std::vector<uint8_t> d(400, 0);
  EXPECT_EQ(canonFindJpegStart(d.data(), d.size()), -1);
  EXPECT_EQ(canonFindJpegStart(nullptr, 100), -1);
  const uint8_t atZero[5] = {0xFF, 0xD8, 0xFF, 0xC4, 0x00};
  EXPECT_EQ(canonFindJpegStart(atZero, 5), 0);
  EXPECT_EQ(canonFindJpegStart(atZero, 4), -1);  // the start needs a fifth byte behind it
  d[255] = 0xFF, d[256] = 0xD8, d[257] = 0xFF, d[258] = 0xDB;
  EXPECT_EQ(canonFindJpegStart(d.data(), d.size()), 255);
  d[255] = 0;
  d[256] = 0xFF, d[257] = 0xD8, d[258] = 0xFF, d[259] = 0xDB;
  EXPECT_EQ(canonFindJpegStart(d.data(), d.size()), -1);  // position 256 is too late
  d[100] = 0xFF, d[101] = 0xD8, d[102] = 0xFF, d[103] = 0xE1;
  EXPECT_EQ(canonFindJpegStart(d.data(), d.size()), -1);  // APP1 is not a live-view start
}

// A GetThumbEx reply: a TIFF-style block with an Orientation entry, then the JPEG.
std::vector<uint8_t> thumbReply(uint8_t orientation, bool withEntry) {
  std::vector<uint8_t> d = {'I', 'I', 0x2A, 0x00, 8, 0, 0, 0, 1, 0};
  if (withEntry) {
    const uint8_t entry[12] = {0x12, 0x01, 0x03, 0x00, 1, 0, 0, 0, orientation, 0, 0, 0};
    d.insert(d.end(), entry, entry + 12);
  }
  d.insert(d.end(), 6, 0x00);
  std::vector<uint8_t> j = jpeg(40);
  d.insert(d.end(), j.begin(), j.end());
  return d;
}

TEST(CanonExtractThumbJpeg, CutsTheJpegAndReadsTheOrientationEntry) {
  std::vector<uint8_t> d = thumbReply(6, true);
  uint8_t orientation = 0;
  EXPECT_EQ(canonExtractThumbJpeg(d, &orientation), PTP_RC_OK);
  EXPECT_EQ(orientation, 6);
  EXPECT_EQ(d, jpeg(40));

  d = thumbReply(8, true);
  EXPECT_EQ(canonExtractThumbJpeg(d, nullptr), PTP_RC_OK);
  EXPECT_EQ(d, jpeg(40));
}

TEST(CanonExtractThumbJpeg, WithoutTheOrientationEntryFailsOnlyWhenOrientationIsAsked) {
  std::vector<uint8_t> d = thumbReply(0, false);
  const std::vector<uint8_t> before = d;
  uint8_t orientation = 3;
  EXPECT_EQ(canonExtractThumbJpeg(d, &orientation), ERROR_INVALID_INPUT);
  EXPECT_EQ(d, before);
  EXPECT_EQ(orientation, 3);
  EXPECT_EQ(canonExtractThumbJpeg(d, nullptr), PTP_RC_OK);
  EXPECT_EQ(d, jpeg(40));
}

TEST(CanonExtractThumbJpeg, AnOrientationByteBeyondTheEndLeavesTheOrientationAlone) {
  // 12 01 then a JPEG start ending 2 bytes before the end: the value byte (entry + 8)
  // is not there.
  std::vector<uint8_t> d = {0x00, 0x12, 0x01, 0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x00};
  uint8_t orientation = 7;
  EXPECT_EQ(canonExtractThumbJpeg(d, &orientation), PTP_RC_OK);
  EXPECT_EQ(orientation, 7);
  EXPECT_EQ(d.size(), 6u);
  EXPECT_EQ(d[0], 0xFF);
}

TEST(CanonExtractThumbJpeg, RefusesEmptyDataAndAStartWithoutBytesBehindIt) {
  std::vector<uint8_t> empty;
  uint8_t orientation = 0;
  EXPECT_EQ(canonExtractThumbJpeg(empty, &orientation), ERROR_INVALID_INPUT);
  EXPECT_EQ(canonExtractThumbJpeg(empty, nullptr), ERROR_INVALID_INPUT);
  std::vector<uint8_t> tail = {0x00, 0xFF, 0xD8, 0xFF, 0xDB};
  EXPECT_EQ(canonExtractThumbJpeg(tail, nullptr), ERROR_INVALID_INPUT);
  tail.push_back(0);
  EXPECT_EQ(canonExtractThumbJpeg(tail, nullptr), PTP_RC_OK);
  EXPECT_EQ(tail.size(), 5u);
}

// A CR3 skeleton: "JPEG", "stsz", the preview length in the word before the "free" box
// (or the one before it when that is small), and a "co64" box whose first chunk offset
// (its low half 16 bytes after the tag) points at the preview.
struct Cr3 {
  size_t size = 150000;
  size_t free = 60;
  uint32_t lengthAt8 = 120000;
  uint32_t lengthAt12 = 0;
  size_t co64 = 80;
  uint32_t offset = 200;

  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> d(size, 0);
    auto tag = [&](size_t at, const char* t) { std::memcpy(d.data() + at, t, 4); };
    tag(10, "JPEG");
    tag(30, "stsz");
    tag(free, "free");
    putU32BEAt(d, free - 8, lengthAt8);
    putU32BEAt(d, free - 12, lengthAt12);
    if (co64 + 4 <= size) tag(co64, "co64");
    if (co64 + 20 <= size) putU32BEAt(d, co64 + 16, offset);
    return d;
  }
};

TEST(CanonFindEmbeddedJpeg, ReadsTheCr3PreviewLengthAndOffset) {
  uint32_t offset = 1, length = 1;
  std::vector<uint8_t> d = Cr3{}.bytes();
  ASSERT_TRUE(canonFindEmbeddedJpeg(d.data(), d.size(), offset, length));
  EXPECT_EQ(offset, 200u);
  EXPECT_EQ(length, 120000u);

  Cr3 small;
  small.lengthAt8 = 5000;  // a small word: the length is the word before it
  small.lengthAt12 = 110000;
  d = small.bytes();
  ASSERT_TRUE(canonFindEmbeddedJpeg(d.data(), d.size(), offset, length));
  EXPECT_EQ(length, 110000u);
}

TEST(CanonFindEmbeddedJpeg, TruncatedOrLyingSkeletonsAreNotFound) {
  struct Case {
    const char* name;
    Cr3 cr3;
  };
  Cr3 pastEnd;
  pastEnd.lengthAt8 = 149801;  // offset 200 + length runs one byte past the end
  Cr3 zero;
  zero.lengthAt8 = 0;
  zero.lengthAt12 = 0;
  Cr3 offsetPastEnd;
  offsetPastEnd.offset = 150001;
  Cr3 co64AtEnd;  // the chunk offset would lie past the end
  co64AtEnd.co64 = co64AtEnd.size - 10;
  Cr3 truncated;  // cut inside the preview
  truncated.size = 100000;
  truncated.lengthAt8 = 120000;
  for (const Case& c : {Case{"preview past the end", pastEnd}, Case{"zero length", zero},
                        Case{"offset past the end", offsetPastEnd},
                        Case{"co64 at the end", co64AtEnd}, Case{"truncated file", truncated}}) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> d = c.cr3.bytes();
    uint32_t offset = 1, length = 1;
    EXPECT_FALSE(canonFindEmbeddedJpeg(d.data(), d.size(), offset, length));
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(length, 0u);
  }
}

TEST(CanonFindEmbeddedJpeg, MissingTagsOrBoxesPackedAtTheStartAreNotFound) {
  std::vector<uint8_t> d = Cr3{}.bytes();
  uint32_t offset = 1, length = 1;
  for (const char* tag : {"JPEG", "stsz", "free", "co64"}) {
    std::vector<uint8_t> m = d;
    for (size_t i = 0; i + 4 <= m.size(); ++i)
      if (std::memcmp(m.data() + i, tag, 4) == 0) m[i] = 'x';
    EXPECT_FALSE(canonFindEmbeddedJpeg(m.data(), m.size(), offset, length)) << tag;
  }
  // Boxes packed at the very start: the length word is the "JPEG" tag itself.
  std::vector<uint8_t> packed(64, 0);
  std::memcpy(packed.data(), "JPEGstszfreeco64", 16);
  EXPECT_FALSE(canonFindEmbeddedJpeg(packed.data(), packed.size(), offset, length));
  EXPECT_FALSE(canonFindEmbeddedJpeg(nullptr, 100, offset, length));
  EXPECT_FALSE(canonFindEmbeddedJpeg(d.data(), 0, offset, length));
}

}  // namespace
