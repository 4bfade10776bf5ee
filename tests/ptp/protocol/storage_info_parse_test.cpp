// The StorageInfo dataset and the id lists.
#include <gmock/gmock.h>

#include <cstring>
#include <memory>

#include "ptp/protocol/storage_info.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
bool parse(const ByteBuffer& bytes, PtpStorageInfo& record) {
  auto copy = std::make_unique<uint8_t[]>(bytes.size() + 1);
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  return ptpParseStorageInfo(&record, copy.get(), bytes.size());
}
}  // namespace

TEST(StorageInfoParse, EveryPrefixOfADataset) {
  const ByteBuffer full = kvtest::makeStorageInfo("SD card slot 1", "NIKON Z 9");
  for (size_t n = 0; n <= full.size(); ++n) {
    SCOPED_TRACE(n);
    PtpStorageInfo record;
    std::memset(&record, 0, sizeof record);
    bool ok = parse(ByteBuffer(full.begin(), full.begin() + static_cast<ptrdiff_t>(n)), record);
    ASSERT_EQ(ok, n >= kStorageInfoFixedBytes);
    if (!ok) {
      EXPECT_EQ(record.maxCapacity, 0u);
      continue;
    }
    EXPECT_EQ(record.storageType, 4);
    EXPECT_EQ(record.maxCapacity, uint64_t(64) << 30);
    EXPECT_EQ(record.freeSpaceInImages, 999u);
    EXPECT_LT(::strnlen(record.storageDescription, kPtpTextBytes), kPtpTextBytes);
    EXPECT_LT(::strnlen(record.volumeLabel, kPtpTextBytes), kPtpTextBytes);
  }
  PtpStorageInfo record{};
  ASSERT_TRUE(parse(full, record));
  EXPECT_STREQ(record.storageDescription, "SD card slot 1");
  EXPECT_STREQ(record.volumeLabel, "NIKON Z 9");
  EXPECT_FALSE(ptpParseStorageInfo(nullptr, full.data(), full.size()));
}

TEST(StorageInfoParse, ADescriptionThatDoesNotFitLeavesItsPlaceToTheLabel) {
  ByteBuffer b = kvtest::makeStorageInfo("", "");
  b.resize(kStorageInfoFixedBytes);
  b.push_back(2);  // claims two units; only one follows, which is no PTP string either
  b.push_back(0);
  PtpStorageInfo record{};
  ASSERT_TRUE(parse(b, record));
  EXPECT_STREQ(record.storageDescription, "");
  EXPECT_STREQ(record.volumeLabel, "");
}

TEST(StorageIdList, HostileCounts) {
  struct Case {
    const char* name;
    ByteBuffer bytes;
    bool ok;
    std::vector<uint32_t> ids;
  } cases[] = {
      {"two ids", {2, 0, 0, 0, 1, 0, 1, 0, 2, 0, 1, 0}, true, {0x00010001, 0x00010002}},
      {"none", {0, 0, 0, 0}, true, {}},
      {"claims three, two arrived", {3, 0, 0, 0, 1, 0, 1, 0, 2, 0, 1, 0}, false, {}},
      {"claims 2^32 - 1", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}, false, {}},
      {"count cut short", {1, 0, 0}, false, {}},
      {"empty", {}, false, {}},
      {"trailing bytes ignored", {1, 0, 0, 0, 9, 0, 0, 0, 7}, true, {9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint32_t> ids{123};
    EXPECT_EQ(ptpParseIdList(c.bytes.data(), c.bytes.size(), kPtpMaxStorageIds, ids), c.ok);
    EXPECT_EQ(ids, c.ids);
  }
  ByteBuffer overCap;
  devsim::putU32(overCap, kPtpMaxStorageIds + 1);
  overCap.resize(4 + 4 * (kPtpMaxStorageIds + 1));
  std::vector<uint32_t> ids;
  EXPECT_FALSE(ptpParseIdList(overCap.data(), overCap.size(), kPtpMaxStorageIds, ids));
  EXPECT_THAT(ids, IsEmpty());
}
