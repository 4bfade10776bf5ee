#include "ptp/base/filetypes.h"
#include "tests/ptp/base/filetypes_fixtures.h"
#include "tests/ptp/cache/cache_fixture.h"

namespace {

using FileTypesCacheTest = CacheTest;

TEST_F(FileTypesCacheTest, RawPreviewGoesToTheExtractedJpeg) {
  load();
  fixtures::Bytes nef = fixtures::rawWithPreviews(false, "NIKON D850", 2);
  writeBytes(download + "/DSC_1.NEF", nef.data(), nef.size());
  PtpObjectInfoStruct r = record("DSC_1.NEF");
  r.objectFormat = 0;  // by name
  auto path = fileExtractRawJpegToCache(r, download + "/DSC_1.NEF");
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, download + "//DSC_1.NEF.ext.jpg");
  fixtures::Bytes second = fixtures::tinyJpeg(1);  // a NEF's second pair is its preview
  EXPECT_EQ(readText(*path), std::string(second.begin(), second.end()));
  EXPECT_EQ(*cacheExtractedJpegPath(r), *path);

  // No preview, no file, or an unknown format: nothing is stored.
  fixtures::Bytes none = fixtures::TiffBuilder(false).entry(0x0112, 3, 1, 1u).build();
  writeBytes(download + "/EMPTY.NEF", none.data(), none.size());
  EXPECT_FALSE(fileExtractRawJpegToCache(record("EMPTY.NEF", 8), download + "/EMPTY.NEF"));
  EXPECT_FALSE(fileExtractRawJpegToCache(record("GONE.NEF", 9), download + "/GONE.NEF"));
  EXPECT_FALSE(fileExtractRawJpegToCache(record("DSC_1.XYZ", 10), download + "/DSC_1.NEF"));
  EXPECT_FALSE(exists(download + "/EMPTY.NEF.ext.jpg"));
}

TEST_F(FileTypesCacheTest, ThumbCopiedToAFileWholeOrNotAtAll) {
  load();
  PtpObjectInfoStruct r = record("IMG_1.JPG");
  ASSERT_EQ(cacheStoreThumb(r, bytes("thumb bytes")), 1);
  std::string target = root + "/exported.jpg";
  ASSERT_EQ(cacheCopyThumbToFile(r, target), 1);
  EXPECT_EQ(readText(target), "thumb bytes");
  EXPECT_EQ(cacheCopyThumbToFile(record("OTHER.JPG", 99), root + "/none.jpg"), 0);
  EXPECT_FALSE(exists(root + "/none.jpg"));
  EXPECT_EQ(cacheWriteFile(root + "/no/such/folder/x", bytes("x")), 0);
}

// A CR3 as the preview finder reads it: "JPEG", "stsz", the preview length in the word
// 8 bytes before "free", and the first "co64" chunk offset pointing at the preview.
fixtures::Bytes cr3WithPreview(const fixtures::Bytes& previewStart) {
  fixtures::Bytes d(150000, 0);
  auto tag = [&](size_t at, const char* t) { std::copy(t, t + 4, d.begin() + long(at)); };
  auto be32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
  };
  tag(10, "JPEG"), tag(30, "stsz"), tag(60, "free"), tag(80, "co64");
  be32(52, 120000);
  be32(96, 200);
  std::copy(previewStart.begin(), previewStart.end(), d.begin() + 200);
  return d;
}

TEST_F(FileTypesCacheTest, Cr3PreviewIsStoredOnlyWholeAndCutAtItsEnd) {
  load();
  const fixtures::Bytes jpeg = fixtures::tinyJpeg(5);
  // The declared 120000 bytes hold the whole preview and then zero fill: only the JPEG
  // is stored.
  fixtures::Bytes whole = cr3WithPreview(jpeg);
  writeBytes(download + "/IMG_1.CR3", whole.data(), whole.size());
  PtpObjectInfoStruct r = record("IMG_1.CR3", 11);
  r.objectFormat = kFormatCr3;
  auto path = fileExtractRawJpegToCache(r, download + "/IMG_1.CR3");
  ASSERT_TRUE(path);
  EXPECT_EQ(readText(*path), std::string(jpeg.begin(), jpeg.end()));

  // A download cut off inside the preview left zero fill after its first bytes: nothing
  // is stored, rather than a picture that is mostly zeros.
  fixtures::Bytes cut = cr3WithPreview(fixtures::Bytes(jpeg.begin(), jpeg.begin() + 10));
  writeBytes(download + "/IMG_2.CR3", cut.data(), cut.size());
  PtpObjectInfoStruct r2 = record("IMG_2.CR3", 12);
  r2.objectFormat = kFormatCr3;
  EXPECT_FALSE(fileExtractRawJpegToCache(r2, download + "/IMG_2.CR3"));
  EXPECT_FALSE(exists(download + "/IMG_2.CR3.ext.jpg"));
}

}  // namespace
