// The DeviceInfo parse: every prefix of a dataset, hostile counts, strings.
#include <gmock/gmock.h>

#include <cstring>
#include <memory>

#include "ptp/protocol/device_info.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

namespace {

std::unique_ptr<PtpDeviceInfoStruct> parse(const ByteBuffer& bytes, int* rc) {
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  std::memset(block.get(), 0x5A, sizeof *block);
  // An exact-size copy, so a read past the end lands in the sanitizer's red zone.
  auto copy = std::make_unique<uint8_t[]>(bytes.size() + 1);
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  *rc = ptpParseDeviceInfo(block.get(), copy.get(), bytes.size());
  return block;
}

// Where the last code list of a dataset ends: manufacturer's string starts here.
size_t listsEnd(const ByteBuffer& dataset, const std::string& manufacturer, const std::string& model) {
  size_t texts = devsim::makePtpString(manufacturer).size() + devsim::makePtpString(model).size() +
                 devsim::makePtpString("1.0").size() + devsim::makePtpString("SIM0001").size();
  return dataset.size() - texts;
}

}  // namespace

TEST(DeviceInfoParse, EveryPrefixOfADataset) {
  const ByteBuffer full = devsim::makeDeviceInfo("Canon Inc.", "Canon EOS R5", {0x1001, 0x1002, 0x9170, 0x101B});
  const size_t needed = listsEnd(full, "Canon Inc.", "Canon EOS R5");
  for (size_t n = 0; n <= full.size(); ++n) {
    SCOPED_TRACE(n);
    int rc = 0;
    ByteBuffer prefix(full.begin(), full.begin() + static_cast<ptrdiff_t>(n));
    auto block = parse(prefix, &rc);
    if (n < needed) {
      EXPECT_LT(rc, 0);
      EXPECT_EQ(block->standardVersion, 0x5A5A);  // untouched
      continue;
    }
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(block->operationsSupported.count, 4u);
    EXPECT_EQ(block->operationsSupported.codes[2], 0x9170);
    EXPECT_STREQ(block->vendorExtensionDesc, "korvalume.sim: 1.0");
    // Texts that did not arrive whole stay empty; all are terminated.
    for (const char* text : {block->manufacturer, block->model, block->deviceVersion, block->serialNumber}) {
      EXPECT_LT(::strnlen(text, kPtpTextBytes), kPtpTextBytes);
    }
    if (n == full.size()) {
      EXPECT_STREQ(block->manufacturer, "Canon Inc.");
      EXPECT_STREQ(block->model, "Canon EOS R5");
      EXPECT_STREQ(block->serialNumber, "SIM0001");
    }
  }
}

TEST(DeviceInfoParse, HostileListCounts) {
  struct Case {
    const char* name;
    uint32_t count;
    size_t codesPresent;
    bool ok;
  } cases[] = {
      {"320 codes, all there", 320, 320, true},
      {"321 codes declared", 321, 321, false},
      {"count far beyond the cap", 0xFFFFFFFF, 4, false},
      {"count larger than what arrived", 10, 9, false},
      {"empty list", 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ByteBuffer b;
    devsim::putU16(b, 100);
    devsim::putU32(b, 0);
    devsim::putU16(b, 0);
    b.push_back(0);  // empty description
    devsim::putU16(b, 0);
    devsim::putU32(b, c.count);
    for (size_t i = 0; i < c.codesPresent; ++i) devsim::putU16(b, static_cast<uint16_t>(0x1000 + i));
    if (c.ok) {
      for (int i = 0; i < 4; ++i) devsim::putU32(b, 0);
    }
    int rc = 0;
    auto block = parse(b, &rc);
    EXPECT_EQ(rc == 0, c.ok);
    if (c.ok) {
      EXPECT_EQ(block->operationsSupported.count, c.count);
    }
  }
  int rc = ptpParseDeviceInfo(nullptr, nullptr, 0);
  EXPECT_EQ(rc, -22);
}

TEST(DeviceInfoParse, ReadStringTable) {
  struct Case {
    const char* name;
    ByteBuffer src;
    size_t dstSize;
    size_t used;
    const char* text;  // null: dst untouched
  } cases[] = {
      {"empty", {0}, 8, 1, ""},
      {"two units", {2, 'h', 0, 0, 0}, 8, 5, "h"},
      {"high bytes dropped", {2, 'a', 0x30, 'b', 0x31}, 8, 5, "ab"},
      {"cut to the field", {4, 'a', 0, 'b', 0, 'c', 0, 'd', 0}, 3, 9, "ab"},
      {"does not fit", {3, 'a', 0, 'b', 0}, 8, 0, nullptr},
      {"nothing at all", {}, 8, 0, nullptr},
      {"unterminated", {2, 'x', 0, 'y', 0}, 8, 5, "xy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char dst[8];
    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(ptpReadString(c.src.data(), c.src.size(), dst, c.dstSize), c.used);
    if (c.text) {
      EXPECT_STREQ(dst, c.text);
    } else {
      EXPECT_EQ(dst[0], '#');
    }
  }
  // 255 units into the 320-byte field and into a 4-byte one.
  ByteBuffer longest{255};
  for (int i = 0; i < 255; ++i) devsim::putU16(longest, 'z');
  char field[kPtpTextBytes], small[4];
  EXPECT_EQ(ptpReadString(longest.data(), longest.size(), field, sizeof field), 511u);
  EXPECT_EQ(std::strlen(field), 255u);
  EXPECT_EQ(ptpReadString(longest.data(), longest.size(), small, sizeof small), 511u);
  EXPECT_STREQ(small, "zzz");
}

TEST(DeviceInfoParse, VendorFromManufacturerPrefixes) {
  struct Case {
    const char* text;
    uint16_t vendor;
  } cases[] = {{"FUJIFILM", 12},  {"FUJIFILM Corporation X", 12}, {"FUJIFIL", 15}, {"Canon", 13},
               {"Canon Inc.", 13}, {"Sony", 14},                 {"Sony Group", 14}, {"Nikon", 15},
               {"canon", 15},     {"", 15}};
  for (const Case& c : cases) EXPECT_EQ(ptpVendorFromManufacturer(c.text), c.vendor) << c.text;
}

TEST(DeviceInfoParse, AdmissionFollowsTheStoredBlock) {
  kvtest::resetSession();
  for (uint16_t op : {0x1001, 0x1002, 0x1006, 0x1009}) EXPECT_TRUE(ptpIsOperationSupported(op)) << op;
  for (uint16_t op : {0x1003, 0x1008, 0x100A, 0x9170, 0x0000}) EXPECT_FALSE(ptpIsOperationSupported(op)) << op;
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  block->operationsSupported.count = 2;
  block->operationsSupported.codes[0] = 0x1008;
  block->operationsSupported.codes[1] = 0x9170;
  ptpSetStoredDeviceInfo(*block);
  EXPECT_TRUE(ptpIsOperationSupported(0x1008));
  EXPECT_TRUE(ptpIsOperationSupported(0x9170));
  EXPECT_FALSE(ptpIsOperationSupported(0x100A));

  ptpSetModelName("Z 9");
  EXPECT_EQ(ptpStoredDeviceInfo().model, std::string("Z 9"));
  std::string tooLong(400, 'm');
  ptpSetModelName(tooLong.c_str());
  EXPECT_EQ(std::strlen(ptpStoredDeviceInfo().model), kPtpTextBytes - 1);
  kvtest::resetSession();
}
