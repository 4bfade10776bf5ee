#include <gtest/gtest.h>

#include <cstring>

#include "ptp/props/prop_parse.h"
#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;

namespace {
using PropParse = PropTest;

constexpr uint64_t kMinus3 = static_cast<uint64_t>(-3);

struct DescCase {
  const char* name;
  std::vector<uint8_t> bytes;
  int32_t datatype;
  uint32_t value;
  const char* text;
  std::vector<uint32_t> values;
  std::vector<std::string> texts;  // empty: not checked
};

std::vector<DescCase> descCases() {
  return {
      {"u8 enumeration", Desc(0x5001, PTP_DTC_UINT8, 0).num(1).num(80).enumeration({20, 50, 80}).bytes,
       PTP_DTC_UINT8, 80, "80", {20, 50, 80}, {"20", "50", "80"}},
      {"u16 enumeration", Desc(0x5005, PTP_DTC_UINT16).num(2).num(0x8012).enumeration({2, 4, 0x8012}).bytes,
       PTP_DTC_UINT16, 0x8012, "32786", {2, 4, 0x8012}, {}},
      {"string enumeration picks the value of the matching text",
       Desc(0x5003, PTP_DTC_STR).str("L").str("M").strings({"L", "M", "S"}).bytes, PTP_DTC_STR, 1, "M", {0, 1, 2},
       {"L", "M", "S"}},
      {"string without a list", Desc(0xD20B, PTP_DTC_STR).str("").str("Owner").noForm().bytes, PTP_DTC_STR, 0,
       "Owner", {}, {}},
      {"range 0..10 step 5", Desc(0x5008, PTP_DTC_UINT16).num(0).num(5).range(0, 10, 5).bytes, PTP_DTC_UINT16, 5,
       "5", {0, 5, 10}, {"0", "5", "10"}},
      {"range with step 0 keeps no list", Desc(0x5008, PTP_DTC_UINT16).num(0).num(5).range(0, 10, 0).bytes,
       PTP_DTC_UINT16, 5, "5", {}, {}},
      {"range with max = min keeps no list", Desc(0x5008, PTP_DTC_UINT16).num(0).num(5).range(5, 5, 1).bytes,
       PTP_DTC_UINT16, 5, "5", {}, {}},
      {"signed range -3..3 keeps 8-bit patterns",
       Desc(0x5010, PTP_DTC_INT8).num(0).num(kMinus3).range(kMinus3, 3, 1).bytes, PTP_DTC_INT8, 0xFD, "-3",
       {0xFD, 0xFE, 0xFF, 0, 1, 2, 3}, {"-3", "-2", "-1", "0", "1", "2", "3"}},
      {"signed 16-bit range", Desc(0x5010, PTP_DTC_INT16).num(0).num(0).range(static_cast<uint64_t>(-2000), 2000, 1000).bytes,
       PTP_DTC_INT16, 0, "0", {0xF830, 0xFC18, 0, 1000, 2000}, {"-2000", "-1000", "0", "1000", "2000"}},
      {"signed range with max below min keeps no list",
       Desc(0x5010, PTP_DTC_INT8).num(0).num(0).range(3, kMinus3, 1).bytes, PTP_DTC_INT8, 0, "0", {}, {}},
      {"unsigned range with max below min keeps no list",
       Desc(0x5010, PTP_DTC_UINT32).num(0).num(0).range(10, 0, 1).bytes, PTP_DTC_UINT32, 0, "0", {}, {}},
      {"a range wider than the cap keeps no list",
       Desc(0xD20F, PTP_DTC_UINT32).num(0).num(7).range(0, 0xFFFFFFFF, 1).bytes, PTP_DTC_UINT32, 7, "7", {}, {}},
      {"a range at the cap is listed whole",
       Desc(0xD20F, PTP_DTC_UINT32).num(0).num(7).range(0, kPropRangeListCap - 1, 1).bytes, PTP_DTC_UINT32, 7, "7",
       [] {
         std::vector<uint32_t> v;
         for (uint32_t i = 0; i < kPropRangeListCap; ++i) v.push_back(i);
         return v;
       }(),
       {}},
      {"64-bit values keep their low half",
       Desc(0xD300, PTP_DTC_UINT64).num(0).num(0x100000005ull).enumeration({5, 0x700000009ull}).bytes,
       PTP_DTC_UINT64, 5, "5", {5, 9}, {}},
      {"enumeration count uses the low byte",
       Desc(0x5001, PTP_DTC_UINT8).num(0).num(0).u8(2).u16(0x0102).num(7).num(8).bytes, PTP_DTC_UINT8, 0, "0",
       {7, 8}, {}},
  };
}
}  // namespace

TEST_F(PropParse, DescriptorTable) {
  for (const auto& c : descCases()) {
    SCOPED_TRACE(c.name);
    propClearTable();
    const uint16_t code = static_cast<uint16_t>(c.bytes[0] | c.bytes[1] << 8);
    PropertyStruct* r = propAdd(code, false, false);
    ASSERT_TRUE(propParseDesc(r, c.bytes));
    EXPECT_EQ(r->datatype, c.datatype);
    EXPECT_EQ(r->value, c.value);
    EXPECT_STREQ(r->text, c.text);
    EXPECT_EQ(listValues(*r), c.values);
    EXPECT_EQ(r->count, c.values.size());
    if (!c.texts.empty()) {
      EXPECT_EQ(listTexts(*r), c.texts);
    }
  }
}

TEST_F(PropParse, NegativeEntriesPassValueAllowed) {
  PropertyStruct* r = propAdd(0x5010, false, false);
  ASSERT_TRUE(propParseDesc(r, Desc(0x5010, PTP_DTC_INT8).num(0).num(0).range(kMinus3, 3, 1).bytes));
  for (int v = -3; v <= 3; ++v) EXPECT_TRUE(propValueAllowed(0x5010, static_cast<uint32_t>(v))) << v;
  EXPECT_FALSE(propValueAllowed(0x5010, static_cast<uint32_t>(-4)));
  EXPECT_FALSE(propValueAllowed(0x5010, 4));

  PropertyStruct* e = propAdd(0x5011, false, false);
  ASSERT_TRUE(propParseDesc(e, Desc(0x5011, PTP_DTC_INT16).num(0).num(0).enumeration({static_cast<uint64_t>(-1000), 0, 1000}).bytes));
  EXPECT_TRUE(propValueAllowed(0x5011, static_cast<uint32_t>(-1000)));
  EXPECT_EQ(propValueName(0x5011, 0xFC18), "-1000");
}

TEST_F(PropParse, RefusedDescriptorsLeaveTheRecordAlone) {
  PropertyStruct* r = propAdd(0x5001, false, false);
  ASSERT_TRUE(propParseDesc(r, Desc(0x5001, PTP_DTC_UINT8).num(0).num(50).enumeration({20, 50}).bytes));
  const std::vector<std::vector<uint8_t>> refused = {
      Desc(0x5001, 0).num(0).num(0).noForm().bytes,
      Desc(0x5001, 9).u8(0).u8(0).u8(0).bytes,
      Desc(0x5001, 0xFFFE).u8(0).u8(0).u8(0).bytes,
      {},
  };
  for (const auto& bytes : refused) {
    EXPECT_FALSE(propParseDesc(r, bytes));
    EXPECT_EQ(r->datatype, PTP_DTC_UINT8);
    EXPECT_EQ(r->value, 50u);
    EXPECT_EQ(listValues(*r), (std::vector<uint32_t>{20, 50}));
  }
  EXPECT_FALSE(propParseDesc(nullptr, Desc(0x5001, PTP_DTC_UINT8).num(0).num(1).noForm().bytes));
}

// Every prefix of a valid dataset is refused without reading past it (ASan watches the
// exact-size copies) and without touching the record.
TEST_F(PropParse, TruncationSweep) {
  const std::vector<std::vector<uint8_t>> full = {
      Desc(0x5001, PTP_DTC_UINT8).num(0).num(80).enumeration({20, 50, 80}).bytes,
      Desc(0x5010, PTP_DTC_INT16).num(0).num(0).range(static_cast<uint64_t>(-2000), 2000, 1000).bytes,
      Desc(0xD300, PTP_DTC_INT64).num(0).num(1).range(0, 4, 2).bytes,
      Desc(0x5003, PTP_DTC_STR).str("L").str("Medium").strings({"L", "Medium", "S"}).bytes,
      Desc(0xD20B, PTP_DTC_STR).str("x").str("Owner").noForm().bytes,
  };
  for (const auto& bytes : full) {
    propClearTable();
    const uint16_t code = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
    PropertyStruct* r = propAdd(code, false, false);
    propSetText(r->text, "before");
    r->value = 0x1234;
    r->values = {{"old", 1}};
    r->count = 1;
    for (size_t n = 0; n < bytes.size(); ++n) {
      std::unique_ptr<uint8_t[]> prefix(new uint8_t[n ? n : 1]);
      if (n) std::memcpy(prefix.get(), bytes.data(), n);
      ASSERT_FALSE(propParseDesc(r, std::span<const uint8_t>(prefix.get(), n))) << "code " << code << " prefix " << n;
      ASSERT_STREQ(r->text, "before");
      ASSERT_EQ(r->value, 0x1234u);
      ASSERT_EQ(r->count, 1);
      ASSERT_EQ(r->datatype, PTP_DTC_UNDEF);
    }
    EXPECT_TRUE(propParseDesc(r, bytes)) << code;
  }
}

TEST_F(PropParse, LabelAndVendorTexts) {
  static const PropertyLabelRow kRows[] = {{0x5007, "Aperture", 4, nullptr}, {0xD1FF, "End", 0, nullptr}};
  propSetLabelTable(kRows, 0xD1FF);
  camera->vendorCode = CameraVendorFujifilm;
  camera->texts[{0x5007, 560}] = "5.6";
  PropertyStruct* r = propAdd(0x5007, false, false);
  ASSERT_TRUE(propParseDesc(r, Desc(0x5007, PTP_DTC_UINT16).num(0).num(560).enumeration({400, 560}).bytes));
  EXPECT_STREQ(r->label, "Aperture");
  EXPECT_STREQ(r->text, "5.6");
  EXPECT_EQ(listTexts(*r), (std::vector<std::string>{"400", "5.6"}));
}

TEST_F(PropParse, FujifilmImageSizeValuesComeFromTheNames) {
  camera->vendorCode = CameraVendorFujifilm;
  PropertyStruct* r = propAdd(0x5003, false, false);
  ASSERT_TRUE(propParseDesc(r, Desc(0x5003, PTP_DTC_STR).str("").str("M 3:2").strings({"L 3:2", "M 3:2"}).bytes));
  EXPECT_EQ(r->value, 8u);
  EXPECT_EQ(listValues(*r), (std::vector<uint32_t>{7, 8}));
}

TEST_F(PropParse, NikonAdjustments) {
  camera->vendorCode = CameraVendorNikon;
  camera->model = 196;
  PropertyStruct* af = propAdd(0xD161, false, false);
  ASSERT_TRUE(propParseDesc(af, Desc(0xD161, PTP_DTC_UINT8).num(0).num(3).enumeration({0, 1, 2, 3, 4}).bytes));
  EXPECT_EQ(listValues(*af), (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(af->getSet, 0);  // current value 3

  camera->model = 230;
  camera->hostMode = true;
  PropertyStruct* lv = propAdd(0xD061, false, false);
  ASSERT_TRUE(propParseDesc(lv, Desc(0xD061, PTP_DTC_UINT8).num(0).num(1).enumeration({0, 1, 2, 3, 4}).bytes));
  EXPECT_EQ(listValues(*lv), (std::vector<uint32_t>{0, 1, 2, 4}));
  EXPECT_EQ(lv->getSet, 1);

  camera->kelvinMap = true;
  PropertyStruct* wb = propAdd(0xD01E, false, false);
  ASSERT_TRUE(propParseDesc(wb, Desc(0xD01E, PTP_DTC_UINT16).num(0).num(250).range(250, 260, 10).bytes));
  EXPECT_EQ(wb->value, 2500u);
  EXPECT_STREQ(wb->text, "2500");
  EXPECT_EQ(listTexts(*wb), (std::vector<std::string>{"2500", "2600"}));

  camera->model = 229;
  camera->hostMode = false;
  PropertyStruct* iso = propAdd(0xD0B4, false, false);
  ASSERT_TRUE(propParseDesc(iso, Desc(0xD0B4, PTP_DTC_UINT16, 1).num(0).num(100).noForm().bytes));
  EXPECT_EQ(iso->getSet, 0);

  PropertyStruct* noList = propAdd(0xD1B1, false, false);
  ASSERT_TRUE(propParseDesc(noList, Desc(0xD1B1, PTP_DTC_UINT8).num(0).num(1).range(0, 5, 1).bytes));
  EXPECT_EQ(noList->count, 0);
}

TEST_F(PropParse, CurrentValues) {
  PropertyStruct* u16 = propAdd(0x5005, false, false);
  u16->datatype = PTP_DTC_UINT16;
  propAdd(0x5006, false, false);  // datatype 0: four bytes
  PropertyStruct* s = propAdd(0x5003, false, false);
  s->datatype = PTP_DTC_STR;
  s->values = {{"L", 0}, {"M", 1}};
  s->count = 2;

  const uint8_t two[] = {0x34, 0x12};
  EXPECT_EQ(propParseCurrentValue(0x5005, two), 0);
  EXPECT_EQ(u16->value, 0x1234u);
  EXPECT_EQ(propParseCurrentValue(0x5005, std::span(two, 1)), -1);
  EXPECT_EQ(propParseCurrentValue(0x5006, two), -1);
  const uint8_t four[] = {1, 0, 0, 0};
  EXPECT_EQ(propParseCurrentValue(0x5006, four), 1);
  EXPECT_EQ(propParseCurrentValue(0x5099, four), -1);

  auto m = Desc(0, 0).str("M").bytes;
  m.erase(m.begin(), m.begin() + 5);
  EXPECT_EQ(propParseCurrentValue(0x5003, m), 2);
  EXPECT_STREQ(s->text, "M");
  EXPECT_EQ(s->value, 1u);
  // A string longer than the data leaves the record as it was.
  m.pop_back();
  EXPECT_EQ(propParseCurrentValue(0x5003, m), 2);
  EXPECT_STREQ(s->text, "M");
  EXPECT_EQ(propParseCurrentValue(0x5003, {}), -1);
  // Long strings are cut at 63 characters.
  auto longText = Desc(0, 0).str(std::string(100, 'x')).bytes;
  longText.erase(longText.begin(), longText.begin() + 5);
  EXPECT_EQ(propParseCurrentValue(0x5003, longText), 2);
  EXPECT_EQ(std::string(s->text), std::string(63, 'x'));

  camera->vendorCode = CameraVendorNikon;
  PropertyStruct* inverted = propAdd(0xD16A, false, false);
  inverted->datatype = PTP_DTC_UINT8;
  const uint8_t zero[] = {0}, five[] = {5};
  EXPECT_EQ(propParseCurrentValue(0xD16A, zero), 3);
  EXPECT_EQ(inverted->value, 1u);
  EXPECT_EQ(propParseCurrentValue(0xD16A, five), 3);
  EXPECT_EQ(inverted->value, 0u);
}

TEST_F(PropParse, ReadValue) {
  uint32_t out = 0xAAAA;
  const uint8_t i64[] = {5, 0, 0, 0, 7, 0, 0, 0};
  EXPECT_EQ(ptpReadValue(PTP_DTC_INT64, i64, out), 8u);
  EXPECT_EQ(out, 5u);
  EXPECT_EQ(ptpReadValue(PTP_DTC_INT64, std::span(i64, 7), out), 0u);
  EXPECT_EQ(ptpReadValue(PTP_DTC_UINT16, i64, out), 2u);
  EXPECT_EQ(ptpReadValue(9, i64, out), 0u);
  out = 0xBBBB;
  const uint8_t empty[] = {0};
  EXPECT_EQ(ptpReadValue(PTP_DTC_STR, empty, out), 1u);
  auto ab = Desc(0, 0).str("ab").bytes;  // count 3: six bytes of units
  ab.erase(ab.begin(), ab.begin() + 5);
  EXPECT_EQ(ptpReadValue(PTP_DTC_STR, ab, out), 7u);
  EXPECT_EQ(ptpReadValue(PTP_DTC_STR, std::span(ab.data(), 6), out), 0u);
  EXPECT_EQ(out, 0xBBBBu);
}

TEST_F(PropParse, RefreshFetchesTheDescriptor) {
  PropertyStruct* r = propAdd(0x5001, false, false);
  EXPECT_FALSE(propRefresh(r));
  camera->descs[0x5001] = Desc(0x5001, PTP_DTC_UINT8).num(0).num(42).noForm().bytes;
  EXPECT_TRUE(propRefresh(r));
  EXPECT_EQ(r->value, 42u);
  EXPECT_FALSE(propRefresh(nullptr));
  setCameraServices(nullptr);
  std::vector<uint8_t> data;
  EXPECT_EQ(ptpGetDevicePropDesc(0x5001, data), PTP_ERROR_UNSUPPORTED_COMMAND);
}
