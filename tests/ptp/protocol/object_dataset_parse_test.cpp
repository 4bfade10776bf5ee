// The ObjectInfo dataset parse and PTP dates.
#include <gmock/gmock.h>

#include <cstring>
#include <memory>

#include "ptp/base/ptp_date.h"
#include "ptp/protocol/object_info_dataset.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

namespace {

bool parse(const ByteBuffer& bytes, PtpObjectInfoStruct& record, uint16_t op = PTP_OC_GetObjectInfo) {
  auto copy = std::make_unique<uint8_t[]>(bytes.size() + 1);
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  return ptpParseObjectInfo(&record, copy.get(), bytes.size(), op);
}

time_t localTime(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

class ObjectDatasetParse : public ::testing::Test {
 protected:
  void TearDown() override { kvtest::resetSession(); }
};

}  // namespace

TEST_F(ObjectDatasetParse, EveryPrefixOfADataset) {
  for (uint16_t vendor : {CameraVendorNikon, CameraVendorFujifilm, CameraVendorSony}) {
    for (bool canon : {false, true}) {
      camSetVendor(vendor);
      const ByteBuffer full = kvtest::makeObjectInfo({.fileName = "DSC_0042.NEF", .keywords = "k", .canonEx = canon});
      const uint16_t op = canon ? PTP_OC_CANON_GetObjectInfoEx : PTP_OC_GetObjectInfo;
      const size_t fixed = kObjectInfoFixedBytes + (canon ? 4 : 0);
      for (size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "vendor " << vendor << " canon " << canon << " n " << n);
        PtpObjectInfoStruct record;
        std::memset(&record, 0x5A, sizeof record);
        bool ok = parse(ByteBuffer(full.begin(), full.begin() + static_cast<ptrdiff_t>(n)), record, op);
        ASSERT_EQ(ok, n >= fixed);
        if (!ok) {
          EXPECT_EQ(record.objectId, 0x5A5A5A5Au);
          continue;
        }
        EXPECT_EQ(record.imagePixWidth, 6000u);
        EXPECT_EQ(record.sequenceNumber, 7u);
        // Whatever arrived, both strings are terminated inside their fields.
        EXPECT_LT(::strnlen(record.fileName, kObjectNameBytes), kObjectNameBytes);
        EXPECT_LT(::strnlen(record.keywords, kObjectNameBytes), kObjectNameBytes);
        if (n == full.size()) {
          EXPECT_STREQ(record.fileName, "DSC_0042.NEF");
          EXPECT_EQ(record.fileNameLength, 13);
        }
      }
    }
  }
}

TEST_F(ObjectDatasetParse, VendorBranches) {
  const ByteBuffer full = kvtest::makeObjectInfo({.keywords = "holiday"});
  const time_t capture = localTime(2024, 1, 31, 23, 59, 59);
  const time_t modified = localTime(2024, 2, 1, 0, 0, 0);
  struct Case {
    uint16_t vendor;
    uint64_t capture, modified;
    const char* keywords;
  } cases[] = {
      {CameraVendorNikon, uint64_t(capture), uint64_t(modified), "holiday"},
      {CameraVendorCanon, uint64_t(capture), uint64_t(modified), "holiday"},
      {CameraVendorFujifilm, uint64_t(capture), 0, ""},
      {CameraVendorSony, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vendor);
    camSetVendor(c.vendor);
    PtpObjectInfoStruct record;
    std::memset(&record, 0x5A, sizeof record);
    ASSERT_TRUE(parse(full, record));
    EXPECT_EQ(record.captureDate, c.capture);
    EXPECT_EQ(record.modificationDate, c.modified);
    EXPECT_STREQ(record.keywords, c.keywords);
    EXPECT_EQ(record.orientation, 0);
  }
}

TEST_F(ObjectDatasetParse, FileNameEdges) {
  camSetVendor(CameraVendorNikon);
  ByteBuffer empty = kvtest::makeObjectInfo({.fileName = ""});
  PtpObjectInfoStruct record{};
  ASSERT_TRUE(parse(empty, record));
  EXPECT_STREQ(record.fileName, "");
  EXPECT_EQ(record.fileNameLength, 1);

  // A name that claims more units than arrived: left as it was, length 0.
  ByteBuffer cut = kvtest::makeObjectInfo({});
  cut.resize(kObjectInfoFixedBytes + 1 + 10);
  std::strcpy(record.fileName, "previous");
  ASSERT_TRUE(parse(cut, record));
  EXPECT_STREQ(record.fileName, "previous");
  EXPECT_EQ(record.fileNameLength, 0);

  // The longest PTP name (254 characters and its terminator) fits the 256-byte field.
  ByteBuffer longest = kvtest::makeObjectInfo({.fileName = std::string(300, 'n')});
  ASSERT_TRUE(parse(longest, record));
  EXPECT_EQ(std::strlen(record.fileName), 254u);
  EXPECT_EQ(record.fileNameLength, 255);

  EXPECT_FALSE(ptpParseObjectInfo(nullptr, longest.data(), longest.size(), PTP_OC_GetObjectInfo));
  EXPECT_FALSE(ptpParseObjectInfo(&record, nullptr, 0, PTP_OC_GetObjectInfo));
}

TEST(PtpDate, Examples) {
  struct Case {
    const char* text;
    time_t expected;
  } cases[] = {
      {"20240131T235959", localTime(2024, 1, 31, 23, 59, 59)},
      {"20240131T235959.5", localTime(2024, 1, 31, 23, 59, 59)},
      {"20240131T235959+0100", localTime(2024, 1, 31, 23, 59, 59)},
      {"19991231 000000", localTime(1999, 12, 31, 0, 0, 0)},
      {"20240131T23595", 0},  // 14 characters
      {"", 0},
      {"2024013XT235959", localTime(2024, 1, 3, 23, 59, 59)},  // digits stop at the first letter
      {"20240131T235959012345678901234567890123", localTime(2024, 1, 31, 23, 59, 59)},  // 39
      {"20240131T2359590123456789012345678901234", 0},  // 40
  };
  for (const Case& c : cases) EXPECT_EQ(ptpParseDateTime(c.text), c.expected) << c.text;
  EXPECT_EQ(ptpParseDateTime(nullptr), 0);
}

TEST(FujiOrientation, AssociationTypes) {
  struct Case {
    uint16_t association;
    uint8_t orientation;
  } cases[] = {{1, 1}, {7, 1}, {769, 3}, {775, 3}, {1537, 8}, {1543, 8}, {2049, 6}, {2055, 6}, {0, 0}, {2, 0}, {776, 0}};
  for (const Case& c : cases) EXPECT_EQ(ptpFujiOrientationFromAssociation(c.association), c.orientation);
}
