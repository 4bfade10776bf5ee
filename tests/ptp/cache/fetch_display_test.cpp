// Display bytes and whole objects: cache first, the device otherwise, and what is kept.
#include "ptp/base/filetypes.h"
#include "tests/ptp/cache/fetch_fixture.h"

using devsim::Bytes;

namespace {
constexpr uint32_t kNoHandle = 0xFFFFFFFF;

Bytes pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 13 + seed);
  return b;
}
std::vector<uint8_t> vec(const Bytes& b) { return {b.begin(), b.end()}; }
}  // namespace

TEST_F(FetchTest, ModifiedJpegWinsOverEverythingElse) {
  PtpObjectInfoStruct r = record(9, "IMG_0009.CR2", kFormatCr2, 4000);
  sim->addObject(9, pattern(4000, 1));
  const Bytes edited = pattern(300, 2);
  ASSERT_TRUE(cacheStoreObject(r, vec(pattern(4000, 1))));
  ASSERT_EQ(cacheStoreModifiedJpeg(r, vec(edited)), 1);
  for (bool prefer : {true, false}) {
    std::vector<uint8_t> data;
    uint8_t downloaded = 7;
    ASSERT_EQ(fetchDisplayImageData(&r, data, 0, &downloaded, prefer), PTP_RC_OK);
    EXPECT_EQ(data, vec(edited));
    EXPECT_EQ(downloaded, 0);
  }
  EXPECT_EQ(requests(177), 0u);
}

// A raw object's embedded JPEG comes by 177 (with a handle) or 249 (by name), is kept as
// ".ext.jpg", and the next call finds it there without asking the device.
TEST_F(FetchTest, RawExtractFetchedOnceThenFromCache) {
  struct Case {
    uint32_t handle;
    const char* name;
    uint8_t opcode;
  };
  for (const Case& c : {Case{9, "IMG_0009.CR2", 177}, Case{kNoHandle, "DSC_0010.CR2", 249}}) {
    const Bytes jpeg = pattern(2000, uint8_t(c.handle));
    if (c.handle == kNoHandle) sim->addFile(c.name, jpeg);
    else sim->addObject(c.handle, jpeg);
    PtpObjectInfoStruct r = record(c.handle, c.name, kFormatCr2, 9000);
    std::vector<uint8_t> data;
    uint8_t downloaded = 0;
    ASSERT_EQ(fetchDisplayImageData(&r, data, 0, &downloaded, true), PTP_RC_OK) << c.name;
    EXPECT_EQ(data, vec(jpeg));
    EXPECT_EQ(downloaded, 1);
    EXPECT_EQ(requests(c.opcode), 1u);
    ASSERT_TRUE(cacheExtractedJpegPath(r)) << c.name;

    data.clear();
    ASSERT_EQ(fetchDisplayImageData(&r, data, 0, &downloaded, true), PTP_RC_OK);
    EXPECT_EQ(data, vec(jpeg));
    EXPECT_EQ(downloaded, 0);
    EXPECT_EQ(requests(c.opcode), 1u);
    EXPECT_EQ(fetchDisplayImagePath(&r, true, 0, nullptr, &downloaded), cacheExtractedJpegPath(r));
  }
}

TEST_F(FetchTest, WholeObjectDownloadedOnceThenFromCache) {
  const Bytes object = pattern(5000, 3);
  sim->addObject(4, object);
  PtpObjectInfoStruct r = record(4, "IMG_0004.JPG", kFormatJpeg, 5000);
  std::vector<uint8_t> data;
  uint8_t downloaded = 0;
  ASSERT_EQ(fetchDisplayImageData(&r, data, 0, &downloaded, true), PTP_RC_OK);  // not raw: the object
  EXPECT_EQ(data, vec(object));
  EXPECT_EQ(downloaded, 1);
  EXPECT_TRUE(cacheObjectPath(r));
  sim->addObject(4, pattern(5000, 9));  // the device's copy changes; the cache answers
  ASSERT_EQ(fetchDisplayImageData(&r, data, 0, &downloaded, false), PTP_RC_OK);
  EXPECT_EQ(data, vec(object));
  EXPECT_EQ(downloaded, 0);

  // fetchObjectData reads the same cached file; version 1 of the path does too.
  ASSERT_EQ(fetchObjectData(&r, data), PTP_RC_OK);
  EXPECT_EQ(data, vec(object));
  PtpResponseCode rc = 0;
  EXPECT_EQ(fetchImagePath(&r, &rc, &downloaded, 1), cacheObjectPath(r));
  EXPECT_EQ(rc, PTP_RC_OK);
}

TEST_F(FetchTest, ObjectDataByGetObjectIsCachedAndTheSizeCapTouchesNothing) {
  const Bytes object = pattern(3000, 5);
  sim->addObject(5, object);
  PtpObjectInfoStruct r = record(5, "IMG_0005.JPG", kFormatJpeg, 3000);
  std::vector<uint8_t> data;
  ASSERT_EQ(fetchObjectData(&r, data), PTP_RC_OK);
  EXPECT_EQ(data, vec(object));
  EXPECT_TRUE(cacheObjectPath(r));

  const auto before = files();
  const size_t framesBefore = sim->receivedCount();
  PtpObjectInfoStruct big = record(6, "IMG_0006.JPG", kFormatJpeg, 5120001);
  data.assign(3, 1);
  EXPECT_EQ(fetchObjectData(&big, data), ERROR_TOO_LARGE);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(files(), before);
  EXPECT_EQ(sim->receivedCount(), framesBefore);
  EXPECT_EQ(fetchObjectData(nullptr, data), ERROR_INVALID_INPUT);
}

// Device failures pass through and keep nothing; a relay-only fetch hands the bytes on
// to the device's peer, so nothing comes back and nothing is stored either.
TEST_F(FetchTest, NothingIsStoredUnlessBytesCameBack) {
  PtpObjectInfoStruct missing = record(77, "IMG_0077.CR2", kFormatCr2, 100);
  std::vector<uint8_t> data;
  uint8_t downloaded = 5;
  EXPECT_NE(fetchDisplayImageData(&missing, data, 0, &downloaded, true), PTP_RC_OK);
  EXPECT_NE(fetchDisplayImageData(&missing, data, 0, &downloaded, false), PTP_RC_OK);
  EXPECT_EQ(downloaded, 0);
  EXPECT_NE(fetchObjectData(&missing, data), PTP_RC_OK);
  PtpResponseCode rc = PTP_RC_OK;
  EXPECT_FALSE(fetchImagePath(&missing, &rc, &downloaded, 2));
  EXPECT_NE(rc, PTP_RC_OK);

  sim->addObject(8, pattern(100, 8));
  PtpObjectInfoStruct relayed = record(8, "IMG_0008.JPG", kFormatJpeg, 100);
  ASSERT_EQ(fetchDisplayImageData(&relayed, data, RelayModeRelayOnly, &downloaded, false), PTP_RC_OK);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(downloaded, 1);
  EXPECT_FALSE(cacheObjectPath(relayed));
  EXPECT_FALSE(cacheObjectPath(missing));
  EXPECT_FALSE(cacheExtractedJpegPath(missing));
}

TEST_F(FetchTest, UnusableRecordsAreRefused) {
  std::vector<uint8_t> data;
  uint8_t downloaded = 0;
  PtpObjectInfoStruct nameless = record(kNoHandle, "", kFormatJpeg, 10);
  EXPECT_EQ(fetchDisplayImageData(&nameless, data, 0, &downloaded, false), ERROR_INVALID_INPUT);
  EXPECT_EQ(fetchDisplayImageData(nullptr, data, 0, &downloaded, false), ERROR_INVALID_INPUT);
  EXPECT_EQ(fetchDisplayImageData(&nameless, data, 0, nullptr, false), ERROR_INVALID_INPUT);
  EXPECT_EQ(fetchObjectInfo(&nameless, false), ERROR_INVALID_INPUT);
  EXPECT_EQ(fetchThumbnail(&nameless, data, 0), ERROR_INVALID_INPUT);
  EXPECT_EQ(fetchRelayDisplayData(false, &nameless), ERROR_INVALID_INPUT);
  EXPECT_EQ(requests(242) + requests(249) + requests(248), 0u);
}
