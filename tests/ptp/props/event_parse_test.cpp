#include <gtest/gtest.h>

#include <cstring>

#include "ptp/base/filetypes.h"
#include "ptp/props/event_parse.h"
#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;

namespace {
using EventParse = PropTest;

std::vector<uint8_t> objectRow(const std::string& name, uint32_t size) {
  std::vector<uint8_t> row(kEventRowBytes, 0);
  row[0] = 0xF0;
  row[1] = 0x4F;
  std::memcpy(row.data() + 2, &size, 4);
  std::memcpy(row.data() + 6, name.data(), std::min<size_t>(name.size(), 32));
  return row;
}

std::vector<uint8_t> propertyRow(uint32_t code, uint32_t value, uint8_t getSet) {
  std::vector<uint8_t> row(kEventRowBytes, 0);
  row[0] = 0xF1;
  row[1] = 0x4F;
  std::memcpy(row.data() + 2, &code, 4);
  std::memcpy(row.data() + 6, &value, 4);
  row[10] = getSet;
  return row;
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> rows) {
  std::vector<uint8_t> all;
  for (const auto& r : rows) all.insert(all.end(), r.begin(), r.end());
  return all;
}
}  // namespace

TEST_F(EventParse, FujifilmObjectRows) {
  camera->vendorCode = CameraVendorFujifilm;
  auto data = objectRow("DSCF0001.RAF", 52000000);
  data.resize(75, 0xF1);  // the trailing 37 bytes make no row
  EXPECT_EQ(camParseEvents(data), PTP_RC_OK);
  PtpEventStruct e = evtPop();
  ASSERT_EQ(e.code, PTP_EC_ObjectAdded);
  EXPECT_EQ(e.objectInfo.objectId, kObjectIdNone);
  EXPECT_EQ(e.objectInfo.objectFormat, kFormatRaf);
  EXPECT_EQ(e.objectInfo.objectCompressedSize, 52000000u);
  EXPECT_EQ(e.objectInfo.thumbFormat, 1);
  EXPECT_STREQ(e.objectInfo.fileName, "DSCF0001.RAF");
  EXPECT_EQ(evtPop().code, 0u);

  // A name filling all 32 bytes is kept whole and terminated.
  const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01.JPG";
  ASSERT_EQ(longName.size(), 32u);
  EXPECT_EQ(camParseEvents(objectRow(longName, 1)), PTP_RC_OK);
  e = evtPop();
  EXPECT_EQ(std::string(e.objectInfo.fileName), longName);
  EXPECT_EQ(e.objectInfo.objectFormat, kFormatJpeg);
}

TEST_F(EventParse, ShortDataHoldsNoRows) {
  camera->vendorCode = CameraVendorSony;
  auto row = propertyRow(0x5007, 1, 1);
  row.pop_back();
  EXPECT_EQ(camParseEvents(row), PTP_RC_OK);
  EXPECT_EQ(camParseEvents({}), PTP_RC_OK);
  EXPECT_EQ(evtQueueSize(), 0u);
  EXPECT_TRUE(camera->takeCalls().empty());
}

TEST_F(EventParse, PropertyRowsStoreAndQueue) {
  camera->vendorCode = CameraVendorSony;
  PropertyStruct* aperture = propAdd(0x5007, false, false);
  auto data = join({propertyRow(0x5007, 560, 1), propertyRow(0xD2FF, 3, 0), objectRow("x", 0)});
  data[2 * kEventRowBytes] = 0x00;  // the third row's code is unknown: skipped
  EXPECT_EQ(camParseEvents(data), PTP_RC_OK);
  EXPECT_EQ(aperture->value, 560u);
  PtpEventStruct e = evtPop();
  EXPECT_EQ(e.code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(e.property, aperture);
  e = evtPop();
  EXPECT_EQ(e.code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(e.property, nullptr);  // not in the table
  EXPECT_EQ(evtPop().code, 0u);
}

TEST_F(EventParse, SonyReadAllRowQueuesNothing) {
  camera->vendorCode = CameraVendorSony;
  EXPECT_EQ(camParseEvents(propertyRow(0x12345678, 0, 0)), PTP_RC_OK);
  EXPECT_EQ(camera->takeCalls(), std::vector<std::string>{"sony read all 1"});
  EXPECT_EQ(evtQueueSize(), 0u);
  // For Fujifilm the same code is an ordinary property.
  camera->vendorCode = CameraVendorFujifilm;
  EXPECT_EQ(camParseEvents(propertyRow(0x12345678, 0, 0)), PTP_RC_OK);
  EXPECT_EQ(evtQueueSize(), 1u);
}

TEST_F(EventParse, FujifilmExposureProgramDecidesSettable) {
  camera->vendorCode = CameraVendorFujifilm;
  camera->settable = [](uint32_t program) { return program == 1; };
  auto rows = join({propertyRow(0x5007, 1, 1), propertyRow(0x500D, 1, 0)});
  EXPECT_EQ(camParseEvents(rows), PTP_RC_OK);  // no 0x500E record: the row's flag stands
  EXPECT_EQ(camera->takeCalls(), (std::vector<std::string>{"store 20487=1/1", "store 20493=1/0"}));

  propAdd(0x500E, false, false)->value = 2;
  EXPECT_EQ(camParseEvents(rows), PTP_RC_OK);
  EXPECT_EQ(camera->takeCalls(), (std::vector<std::string>{"store 20487=1/0", "store 20493=1/0"}));

  // A new exposure program re-reads the three dependent properties.
  EXPECT_EQ(camParseEvents(propertyRow(0x500E, 1, 1)), PTP_RC_OK);
  EXPECT_EQ(camera->takeCalls(),
            (std::vector<std::string>{"store 20494=1/1", "refresh 20487", "refresh 20493", "refresh 20496"}));
  EXPECT_EQ(camParseEvents(rows), PTP_RC_OK);
  EXPECT_EQ(camera->takeCalls(), (std::vector<std::string>{"store 20487=1/1", "store 20493=1/1"}));
}

TEST_F(EventParse, RoutingAndTheAfterEventsCall) {
  int after = 0;
  evtSetAfterEventsCallback([&] { ++after; });
  const auto rows = join({propertyRow(0x5007, 1, 1), propertyRow(0x500D, 1, 1)});

  EXPECT_EQ(camParseEvents(rows), ERROR_CAMERA_NOT_SUPPORTED);
  camera->vendorCode = 0xFF11;
  EXPECT_EQ(camParseEvents(rows), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(after, 0);

  camera->vendorCode = CameraVendorSony;
  EXPECT_EQ(camParseEvents(rows), PTP_RC_OK);
  EXPECT_EQ(after, 1);  // once for the whole buffer
  camera->takeCalls();

  camera->vendorCode = CameraVendorCanon;
  EXPECT_EQ(camParseEvents(rows), PTP_RC_OK);
  EXPECT_EQ(after, 2);
  camera->vendorCode = CameraVendorNikon;
  EXPECT_EQ(camParseEvents(rows), PTP_RC_GeneralError);
  EXPECT_EQ(after, 2);
  EXPECT_EQ(camera->takeCalls(), (std::vector<std::string>{"canon 76", "nikon 76"}));
}
