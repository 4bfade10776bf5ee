// Object records and thumbnails through the cache, and the TIFF JPEG scan.
#include "ptp/base/filetypes.h"
#include "ptp/base/ptp_codes.h"
#include "tests/ptp/base/filetypes_fixtures.h"
#include "tests/ptp/cache/fetch_fixture.h"

using devsim::Bytes;

namespace {

size_t ptpCount(const devsim::Simulator& sim, uint16_t code) {
  size_t n = 0;
  for (const auto& c : sim.ptpCommands()) n += c.code == code;
  return n;
}
}  // namespace

TEST_F(FetchTest, ObjectInfoFromCacheUnlessForcedWithAKnownWidth) {
  camera("Sim Maker", {PTP_OC_GetObjectInfo});
  kvtest::ObjectInfoFields f;
  f.fileName = "IMG_0003.JPG";
  sim->setObjectInfo(3, kvtest::makeObjectInfo(f));
  PtpObjectInfoStruct cached = record(3, "IMG_0003.JPG", kFormatJpeg, 1234);
  cached.imagePixWidth = 4321;
  ASSERT_EQ(cacheStoreRecord(cached), 1);

  // Force with an unknown width still answers from the cache.
  PtpObjectInfoStruct r{};
  r.objectId = 3;
  ASSERT_EQ(fetchObjectInfo(&r, true), PTP_RC_OK);
  EXPECT_EQ(r.imagePixWidth, 4321u);
  EXPECT_EQ(ptpCount(*sim, PTP_OC_GetObjectInfo), 0u);
  // Force with a known width asks the camera and stores what it said.
  ASSERT_EQ(fetchObjectInfo(&r, true), PTP_RC_OK);
  EXPECT_EQ(r.imagePixWidth, 6000u);
  EXPECT_EQ(ptpCount(*sim, PTP_OC_GetObjectInfo), 1u);
  PtpObjectInfoStruct stored{};
  ASSERT_EQ(cacheGetRecord(r, &stored), 1);
  EXPECT_EQ(stored.imagePixWidth, 6000u);
}

// Nikon records leave the orientation to the device, but only for objects large enough
// to hold it (the simulator answers 6).
TEST_F(FetchTest, NikonOrientationOnlyFromTheSizeThreshold) {
  camSetVendor(CameraVendorNikon);
  for (uint32_t size : {2048u, 2049u}) {
    PtpObjectInfoStruct r = record(20 + size, "DSC.NEF", 0x3000, size);
    r.orientation = 0;
    ASSERT_EQ(cacheStoreRecord(r), 1);
    PtpObjectInfoStruct asked{};
    asked.objectId = r.objectId;
    ASSERT_EQ(fetchObjectInfo(&asked, false), PTP_RC_OK);
    EXPECT_EQ(asked.orientation, size == 2049 ? 6 : 0) << size;
  }
  EXPECT_EQ(requests(227), 1u);
}

TEST_F(FetchTest, ThumbnailsAreKeptAndOrientedByName) {
  camera("Sim Maker", {0x100A});
  const Bytes thumb{0xFF, 0xD8, 1, 2, 3};
  sim->setThumb(11, thumb);
  PtpObjectInfoStruct r = record(11, "IMG_0011.JPG", kFormatJpeg, 10);
  ASSERT_EQ(cacheStoreRecord(r), 1);
  std::vector<uint8_t> data;
  ASSERT_EQ(fetchThumbnail(&r, data, 0), PTP_RC_OK);
  EXPECT_EQ(data, std::vector<uint8_t>(thumb.begin(), thumb.end()));
  sim->setThumb(11, Bytes{9, 9});
  ASSERT_EQ(fetchThumbnail(&r, data, 0), PTP_RC_OK);  // the cached one
  EXPECT_EQ(data, std::vector<uint8_t>(thumb.begin(), thumb.end()));

  // By name: the first byte the device sends is the orientation.
  sim->addFile("DSC_0012.JPG", Bytes{1, 2, 3}, Bytes{8, 0xFF, 0xD8, 7});
  PtpObjectInfoStruct named = record(0xFFFFFFFF, "DSC_0012.JPG", kFormatJpeg, 3);
  ASSERT_EQ(fetchThumbnail(&named, data, 0), PTP_RC_OK);
  EXPECT_EQ(data, (std::vector<uint8_t>{0xFF, 0xD8, 7}));
  EXPECT_EQ(named.orientation, 8);
  PtpObjectInfoStruct stored{};
  ASSERT_EQ(cacheGetRecord(named, &stored), 1);
  EXPECT_EQ(stored.orientation, 8);

  PtpObjectInfoStruct absent = record(0xFFFFFFFF, "NOPE.JPG", kFormatJpeg, 3);
  EXPECT_NE(fetchThumbnail(&absent, data, 0), PTP_RC_OK);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(fetchThumbnail(nullptr, data, 0), ERROR_INVALID_INPUT);
}

TEST(FetchTiffJpeg, FindsTheLastOfAtMostThreeJpegs) {
  using fixtures::tinyJpeg;
  auto build = [](std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> b{'I', 'I', 42, 0};
    for (const auto& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
  };
  const std::vector<uint8_t> gap(5, 0), j = tinyJpeg();
  struct Case {
    std::vector<uint8_t> buffer;
    int found;
    uint32_t offset, length;
  };
  const Case cases[] = {
      {build({gap, j}), 1, 9, 16},
      {build({j, gap, j}), 1, 25, 16},
      {build({j, j, j, j}), 1, 36, 16},                // the fourth is never reached
      {build({gap}), 0, 0, 0},
      {{'M', 'M', 0xFF, 0xD8, 0xFF, 0xC4}, 0, 0, 0},  // cut short: no length, scan ends
      {{'X', 'X', 0xFF, 0xD8, 0xFF, 0xDB}, 0, 0, 0},
      {{'I'}, 0, 0, 0},
  };
  for (const auto& c : cases) {
    uint32_t offset = 99, length = 99;
    EXPECT_EQ(fileFindTiffJpeg(c.buffer, offset, length), c.found);
    EXPECT_EQ(offset, c.offset);
    EXPECT_EQ(length, c.length);
  }
}

// A Canon thumbnail by handle carries the orientation its ObjectInfo lacks; other
// cameras' thumbnails by handle leave the record's orientation alone.
TEST_F(FetchTest, CanonThumbnailByHandleOrientsTheRecord) {
  camera("Canon Inc.", {0x100A});
  std::vector<uint32_t> asked;
  CamSessionHooks hooks = camSessionHooks();
  hooks.canonGetThumb = [&](uint32_t handle, ByteBuffer& data, uint8_t* orientation) {
    asked.push_back(handle);
    if (orientation) *orientation = 6;
    data.assign({0xFF, 0xD8, 5});
    return PTP_RC_OK;
  };
  camSetSessionHooks(hooks);
  PtpObjectInfoStruct r = record(21, "IMG_0021.JPG", kFormatJpeg, 10);
  std::vector<uint8_t> data;
  ASSERT_EQ(fetchThumbnail(&r, data, 0), PTP_RC_OK);
  EXPECT_EQ(asked, std::vector<uint32_t>{21});
  EXPECT_EQ(data, (std::vector<uint8_t>{0xFF, 0xD8, 5}));
  EXPECT_EQ(r.orientation, 6);
  PtpObjectInfoStruct stored{};
  ASSERT_EQ(cacheGetRecord(r, &stored), 1);
  EXPECT_EQ(stored.orientation, 6);

  camera("Sim Maker", {0x100A});
  sim->setThumb(22, Bytes{0xFF, 0xD8, 9});
  PtpObjectInfoStruct other = record(22, "IMG_0022.JPG", kFormatJpeg, 10);
  ASSERT_EQ(fetchThumbnail(&other, data, 0), PTP_RC_OK);
  EXPECT_EQ(other.orientation, 1);
  if (cacheGetRecord(other, &stored) == 1) {
    EXPECT_EQ(stored.orientation, 1);
  }
}
