// The demo's synthetic shots: the same for the same seed, different from one shot to the
// next, well-formed JPEGs with their EXIF block first, and raws whose preview our own
// raw-preview code finds.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "ptp/base/filetypes.h"
#include "tools/devsim/demo_images.h"

namespace demoimagestest {

using devsim::DemoShot;
using devsim::makeDemoShot;

constexpr int64_t kTime = 1797000000;  // 2026-12-11 14:40:00 UTC

std::vector<uint8_t> plain(const devsim::Bytes& b) { return {b.begin(), b.end()}; }

// Width and height from the JPEG's baseline frame header, walking its segments.
std::optional<std::pair<int, int>> frameSize(const devsim::Bytes& j) {
  for (size_t p = 2; p + 9 < j.size();) {
    if (j[p] != 0xFF) return std::nullopt;
    const uint8_t marker = j[p + 1];
    if (marker == 0xC0) return std::make_pair(j[p + 7] << 8 | j[p + 8], j[p + 5] << 8 | j[p + 6]);
    p += 2 + size_t(j[p + 2] << 8 | j[p + 3]);
  }
  return std::nullopt;
}

TEST(DemoImages, TheSameSeedGivesTheSameShotsAndEachShotDiffersFromTheLast) {
  const DemoShot a = makeDemoShot(7, 3, kTime), again = makeDemoShot(7, 3, kTime);
  EXPECT_EQ(a.file, again.file);
  EXPECT_EQ(a.thumbnail, again.thumbnail);
  const PtpObjectInfoStruct ra = a.record(), rb = again.record();
  EXPECT_EQ(std::memcmp(&ra, &rb, sizeof ra), 0);

  EXPECT_NE(makeDemoShot(8, 3, kTime).jpeg, a.jpeg);
  const DemoShot next = makeDemoShot(7, 4, kTime);
  EXPECT_NE(next.jpeg, a.jpeg);
  EXPECT_NE(next.thumbnail, a.thumbnail);
  EXPECT_NE(next.fileName, a.fileName);
  EXPECT_EQ(next.handle, a.handle + 1);
}

// The stream of seed 1, which the session tests and a user see first.
TEST(DemoImages, SeedOneStartsWithTheseShots) {
  struct Expected {
    uint32_t index;
    const char* name;
    uint16_t format;
    const char* model;
    uint8_t orientation;
    uint32_t timeDenominator;
    uint16_t fNumberTenths, iso;
  };
  const Expected table[] = {
      {0, "IMG_0001.JPG", kFormatJpeg, "Canon EOS 5D Mark IV", 1, 500, 40, 1600},
      {2, "DSC00003.JPG", kFormatJpeg, "ILCE-7RM4", 6, 2000, 18, 800},
      {4, "IMG_0005.CR2", kFormatCr2, "Canon EOS 5D Mark IV", 1, 1, 110, 3200},
      {9, "DSC_0010.NEF", kFormatNef, "NIKON D850", 6, 250, 80, 3200},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.index);
    const DemoShot s = makeDemoShot(1, e.index, kTime + e.index);
    EXPECT_EQ(s.fileName, e.name);
    EXPECT_EQ(s.format, e.format);
    EXPECT_EQ(s.model, e.model);
    EXPECT_EQ(s.orientation, e.orientation);
    EXPECT_EQ(s.exposure.timeDenominator, e.timeDenominator);
    EXPECT_EQ(s.exposure.fNumberTenths, e.fNumberTenths);
    EXPECT_EQ(s.exposure.iso, e.iso);
    EXPECT_EQ(s.captureTime, kTime + e.index);
  }
  EXPECT_EQ(devsim::demoExifDate(kTime), "2026:12:11 14:40:00");
}

TEST(DemoImages, MakersTakeTurnsSomeShotsArePortraitAndEveryFifthIsARaw) {
  std::set<std::string> makes;
  std::set<uint8_t> orientations;
  for (uint32_t i = 0; i < 10; ++i) {
    const DemoShot s = makeDemoShot(1, i, kTime);
    SCOPED_TRACE(s.fileName);
    makes.insert(s.make);
    orientations.insert(s.orientation);
    EXPECT_EQ(s.isRaw(), i % 5 == 4);
    EXPECT_EQ(fileFormatFromName(s.fileName.c_str()), s.format);
    if (i % 4 == 0 && !s.isRaw()) {
      EXPECT_EQ(s.make, "Canon");
    }
    // Stored as the sensor saw it; a portrait shot says so in its orientation.
    EXPECT_EQ(s.width, devsim::kDemoWidth);
    EXPECT_EQ(s.height, devsim::kDemoHeight);
  }
  EXPECT_EQ(makes, (std::set<std::string>{"Canon", "NIKON CORPORATION", "SONY", "FUJIFILM"}));
  EXPECT_TRUE(orientations.count(1));
  EXPECT_TRUE(orientations.count(6) || orientations.count(8));
}

TEST(DemoImages, PhotosAreWholeJpegsWithTheirExifFirstAndTheRecordDescribesThem) {
  for (uint32_t i : {0u, 2u, 4u}) {
    const DemoShot s = makeDemoShot(1, i, kTime);
    SCOPED_TRACE(s.fileName);
    // SOI, then APP1 "Exif" with a little-endian TIFF header, as cameras write it.
    ASSERT_GT(s.jpeg.size(), 20u);
    EXPECT_EQ(plain(devsim::Bytes(s.jpeg.begin(), s.jpeg.begin() + 4)), (std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE1}));
    EXPECT_EQ(std::memcmp(s.jpeg.data() + 6, "Exif\0\0II*\0", 10), 0);
    EXPECT_EQ(fileJpegLength(s.jpeg), s.jpeg.size());
    EXPECT_EQ(frameSize(s.jpeg), std::make_pair(int(devsim::kDemoWidth), int(devsim::kDemoHeight)));
    EXPECT_EQ(fileJpegLength(s.thumbnail), s.thumbnail.size());
    EXPECT_EQ(frameSize(s.thumbnail), std::make_pair(int(s.thumbWidth), int(s.thumbHeight)));
    EXPECT_EQ(s.thumbWidth, 160u);

    const PtpObjectInfoStruct r = s.record();
    EXPECT_EQ(r.objectId, s.handle);
    EXPECT_EQ(r.objectFormat, s.format);
    EXPECT_EQ(r.objectCompressedSize, s.file.size());
    EXPECT_EQ(r.thumbCompressedSize, s.thumbnail.size());
    EXPECT_EQ(r.imagePixWidth, s.width);
    EXPECT_EQ(std::string(r.fileName), s.fileName);
    EXPECT_EQ(r.fileNameLength, s.fileName.size());
    EXPECT_EQ(r.captureDate, uint64_t(kTime));
    EXPECT_EQ(r.orientation, s.orientation);
  }
}

TEST(DemoImages, EachMakersRawHoldsThePhotoWhereOurRawPreviewCodeFindsIt) {
  struct Case {
    uint32_t index;
    uint16_t format;
    bool tiffBased;
  };
  for (const Case c : {Case{4, kFormatCr2, true}, Case{9, kFormatNef, true}, Case{14, kFormatArw, true},
                       Case{19, kFormatRaf, false}}) {
    const DemoShot s = makeDemoShot(1, c.index, kTime);
    SCOPED_TRACE(s.fileName);
    ASSERT_EQ(s.format, c.format);
    EXPECT_TRUE(fileNameIsRaw(s.fileName.c_str()));
    EXPECT_TRUE(fileFormatIsRaw(s.format));
    // More than the preview: the sensor data is there too.
    EXPECT_GT(s.file.size(), s.jpeg.size() + 100000);

    uint32_t offset = 0, length = 0;
    ASSERT_TRUE(fileFindEmbeddedJpeg(s.file, offset, length, s.format));
    EXPECT_EQ(plain(devsim::Bytes(s.file.begin() + offset, s.file.begin() + offset + length)), plain(s.jpeg));

    // The strip's reader takes the first preview with an orientation: the thumbnail in
    // a NEF or a CR2, the photo itself in an ARW.
    std::vector<uint8_t> preview;
    uint8_t orientation = 0;
    const uint32_t n = fileExtractRawPreview(s.file, &orientation, preview);
    if (!c.tiffBased) continue;
    ASSERT_GT(n, 0u);
    EXPECT_EQ(orientation, s.orientation);
    EXPECT_EQ(preview, c.format == kFormatArw ? plain(s.jpeg) : plain(s.thumbnail));
  }
}

}  // namespace demoimagestest
