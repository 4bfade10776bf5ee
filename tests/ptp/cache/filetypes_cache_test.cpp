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

}  // namespace
