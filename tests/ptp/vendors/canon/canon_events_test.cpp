// Canon GetEvent records into the property table and the event queue.
#include <cstring>

#include "tests/ptp/vendors/canon/canon_fixture.h"

using namespace kvtest;

namespace {

PtpResponseCode parse(const Bytes& data) { return canonParseEvents(data.data(), data.size()); }

std::vector<uint32_t> codesOf(const std::vector<PtpEventStruct>& events) {
  std::vector<uint32_t> codes;
  for (auto& e : events) codes.push_back(e.code);
  return codes;
}

std::pair<uint32_t, int32_t> focusPayload(const PtpEventStruct& e) {
  uint32_t kind;
  int32_t value;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&e) + 8;
  std::memcpy(&kind, p, 4);
  std::memcpy(&value, p + 4, 4);
  return {kind, value};
}

}  // namespace

TEST_F(CanonTest, RefusesNullAndEmptyDataAndStopsAtALengthOfZero) {
  EXPECT_EQ(canonParseEvents(nullptr, 10), ERROR_INVALID_INPUT);
  Bytes none;
  EXPECT_EQ(canonParseEvents(none.data(), 0), ERROR_INVALID_INPUT);
  putProperty(0xD101, 0x30, {}, 1, PTP_DTC_UINT32);
  Bytes zeroFirst = concat({words({0, 0xC189}), valueRecord(0xD101, 0x40)});
  EXPECT_EQ(parse(zeroFirst), PTP_RC_OK);
  EXPECT_EQ(canonValueOf(0xD101), 0x30u);
  EXPECT_EQ(evtQueueSize(), 0u);
}

TEST_F(CanonTest, AValueForAKnownPropertyIsStoredAndAnnounced) {
  putProperty(0xD101, 0x30, {0x28, 0x30, 0x38}, 1, PTP_DTC_UINT16);
  putProperty(0xD108, 0, {0, 1, 2, 3}, 1, PTP_DTC_UINT16);
  ASSERT_EQ(parse(concat({valueRecord(0xD101, 0x38), valueRecord(0xD108, 3), endRecord()})), PTP_RC_OK);
  EXPECT_EQ(canonValueOf(0xD101), 0x38u);
  EXPECT_EQ(canonValueOf(0xD108), 3u);
  EXPECT_EQ(propCopy(0xD108)->getSet, 0) << "a focus-mode value makes it read-only";
  auto events = drainEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(events[0].property, propFind(0xD101, false));
}

TEST_F(CanonTest, AStringPropertyTakesTheBytesAsTextCutToItsField) {
  putProperty(0xD115, 0, {}, 0, PTP_DTC_STR);
  Bytes p = words({0xD115});
  std::string owner = "Jane Photographer";
  p.insert(p.end(), owner.begin(), owner.end());
  p.push_back(0);
  ASSERT_EQ(parse(record(0xC189, p)), PTP_RC_OK);
  EXPECT_STREQ(propCopy(0xD115)->text, owner.c_str());

  Bytes longText = words({0xD115});
  longText.insert(longText.end(), 200, 'x');
  ASSERT_EQ(parse(record(0xC189, longText)), PTP_RC_OK);
  EXPECT_EQ(strnlen(propCopy(0xD115)->text, kPropTextBytes), kPropTextBytes - 1);
}

TEST_F(CanonTest, AValueBeforeItsPropertyIsKeptUntilTheListCreatesIt) {
  // The later of two values for a missing property wins; the list arrives after both.
  Bytes data = concat({valueRecord(0xD102, 0x60), valueRecord(0xD102, 0x68),
                       listRecord(0xD102, {0x60, 0x68, 0x70}), endRecord()});
  ASSERT_EQ(parse(data), PTP_RC_OK);
  auto p = propCopy(0xD102);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->value, 0x68u);
  EXPECT_EQ(p->count, 3);
  EXPECT_STREQ(p->label, "Shutter Speed");
  EXPECT_EQ(codesOf(drainEvents()), (std::vector<uint32_t>{PTP_EC_DevicePropChanged, PTP_EC_DevicePropChanged}));
}

TEST_F(CanonTest, ValueListsFollowTheirCountAndSettableRules) {
  struct Case {
    const char* what;
    uint32_t code;
    std::vector<uint32_t> values;
    int countField;
    uint16_t count;
    uint8_t getSet;
  };
  const Case cases[] = {
      {"two or more values are settable", 0xD101, {0x28, 0x30}, -1, 2, 1},
      {"one value is not", 0xD103, {0x48}, -1, 1, 0},
      {"an empty list is not", 0xD106, {}, -1, 0, 0},
      {"a list shorter than its count is dropped", 0xD101, {0x28, 0x30}, 5, 0, 0},
      {"a code without a label row keeps no list", 0xD1FF, {1, 2, 3}, -1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    propClearTable();
    ASSERT_EQ(parse(listRecord(c.code, c.values, c.countField)), PTP_RC_OK);
    auto p = propCopy(c.code);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->count, c.count);
    EXPECT_EQ(p->values.size(), c.count);
    if (c.code != 0xD1FF) {
      EXPECT_EQ(p->getSet, c.getSet);
    }
  }
}

TEST_F(CanonTest, ListEntriesTakeTheirLabelTextElseTheNumber) {
  ASSERT_EQ(parse(listRecord(0xD108, {0, 3, 77})), PTP_RC_OK);
  auto p = propCopy(0xD108);
  ASSERT_TRUE(p);
  ASSERT_EQ(p->count, 3);
  EXPECT_STREQ(p->values[0].text, "One Shot");
  EXPECT_STREQ(p->values[1].text, "MF");
  EXPECT_STREQ(p->values[2].text, "77");
  EXPECT_EQ(p->datatype, PTP_DTC_UINT16);
}

TEST_F(CanonTest, OneApertureOrShutterChoiceOnRecentBodiesZeroesTheValue) {
  useCanonModel(246);
  putProperty(0xD101, 0x30, {}, 1, PTP_DTC_UINT16);
  ASSERT_EQ(parse(listRecord(0xD101, {0x30})), PTP_RC_OK);
  EXPECT_EQ(canonValueOf(0xD101), 0u);
  useCanonModel(0);
  putProperty(0xD101, 0x30, {}, 1, PTP_DTC_UINT16);
  ASSERT_EQ(parse(listRecord(0xD101, {0x30})), PTP_RC_OK);
  EXPECT_EQ(canonValueOf(0xD101), 0x30u);
}

TEST_F(CanonTest, ImageFormatValuesAndListsArePacked) {
  // One JPEG entry: count 1, {size 16, type 1, size code 0, quality 3}.
  Bytes jpeg = words({1, 16, 1, 0, 3});
  Bytes rawJpeg = words({2, 16, 6, 0, 4, 16, 1, 0, 3});
  uint32_t packedJpeg = 0, packedBoth = 0;
  size_t used = 0;
  ASSERT_EQ(canonPackImageFormat(jpeg, packedJpeg, used), PTP_RC_OK);
  ASSERT_EQ(canonPackImageFormat(rawJpeg, packedBoth, used), PTP_RC_OK);

  Bytes list = words({0xD120, 0});
  bytesAppendU16(list, 2);
  bytesAppendU16(list, 0);
  list.insert(list.end(), jpeg.begin(), jpeg.end());
  list.insert(list.end(), rawJpeg.begin(), rawJpeg.end());
  Bytes value = words({0xD120});
  value.insert(value.end(), rawJpeg.begin(), rawJpeg.end());
  Bytes bad = words({0xD120, 7});  // a count of 7 cannot be packed: the record is skipped
  ASSERT_EQ(parse(concat({record(0xC18A, list), record(0xC189, value), record(0xC189, bad)})), PTP_RC_OK);
  auto p = propCopy(0xD120);
  ASSERT_TRUE(p);
  ASSERT_EQ(p->count, 2);
  EXPECT_EQ(p->values[0].value, packedJpeg);
  EXPECT_EQ(p->values[1].value, packedBoth);
  EXPECT_EQ(p->value, packedBoth);
}

TEST_F(CanonTest, ObjectRecordsAndWordEventsAreQueued) {
  Bytes named = words({0x91000001, 0, 0});  // handle at 8, format at 16
  named[8] = 0x01;
  named[9] = 0x38;
  named.resize(44 - 8, 0);
  named[20] = 0x40;  // size 0x40 at byte 28 of the record
  std::string name = "IMG_0042.JPG";
  named.insert(named.end(), name.begin(), name.end());
  named.push_back(0);

  Bytes ptpNamed(40, 0);
  ptpNamed[0] = 0x02;
  ptpNamed[8] = 0x03;
  ptpNamed[9] = 0xB1;
  auto ptpString = devsim::makePtpString("IMG_0043.CR3");
  ptpNamed.insert(ptpNamed.end(), ptpString.begin(), ptpString.end());

  Bytes data = concat({record(0xC1A7, named), record(0xC1B6, ptpNamed), record(0xC182, words({0x91000009})),
                       record(0xC186, words({7})), record(0xC188, words({8})), record(0xC18B, words({1})),
                       endRecord()});
  ASSERT_EQ(parse(data), PTP_RC_OK);
  auto events = drainEvents();
  ASSERT_EQ(codesOf(events),
            (std::vector<uint32_t>{PTP_EC_ObjectAdded, PTP_EC_ObjectAdded, PTP_EC_ObjectRemoved, 0xC186, 0xC188}));
  EXPECT_EQ(events[0].objectInfo.objectId, 0x91000001u);
  EXPECT_EQ(events[0].objectInfo.objectFormat, 0x3801);
  EXPECT_EQ(events[0].objectInfo.objectCompressedSize, 0x40u);
  EXPECT_STREQ(events[0].objectInfo.fileName, "IMG_0042.JPG");
  EXPECT_EQ(events[0].objectInfo.fileNameLength, name.size() + 1);
  EXPECT_EQ(events[1].objectInfo.objectId, 2u);
  EXPECT_EQ(events[1].objectInfo.objectFormat, 0xB103);
  EXPECT_STREQ(events[1].objectInfo.fileName, "IMG_0043.CR3");
  EXPECT_EQ(events[1].objectInfo.fileNameLength, 0);
  EXPECT_EQ(events[2].objectHandle, 0x91000009u);
  EXPECT_EQ(events[3].objectHandle, 7u);
  EXPECT_TRUE(canonState().busyRetry);
  ASSERT_EQ(parse(record(0xC18B, words({0}))), PTP_RC_OK);
  EXPECT_FALSE(canonState().busyRetry);
}

TEST_F(CanonTest, NamesAndValuesAreReadOnlyWithinTheirRecord) {
  // A name without its terminator ends at the record's end, not in the next record.
  Bytes named(36, 0);
  named[0] = 5;
  named[8] = 0x01;
  named[9] = 0x38;
  named.insert(named.end(), 300, 'A');
  Bytes data = concat({record(0xC1A7, named), valueRecord(0xD101, 0x30)});
  ASSERT_EQ(parse(data), PTP_RC_OK);
  auto events = drainEvents();
  ASSERT_GE(events.size(), 1u);
  EXPECT_EQ(strnlen(events[0].objectInfo.fileName, sizeof events[0].objectInfo.fileName), 255u);

  // Records whose length runs past the data, or too short for their fields, change nothing.
  putProperty(0xD101, 0x30, {}, 1, PTP_DTC_UINT32);
  Bytes runaway = words({4000, 0xC189, 0xD101});
  EXPECT_EQ(parse(runaway), PTP_RC_OK);
  Bytes tiny = concat({words({9, 0xC182}), Bytes{1}, words({10, 0xC1A7, 0})});
  EXPECT_EQ(parse(tiny), PTP_RC_OK);
  EXPECT_EQ(canonValueOf(0xD101), 0x30u);
  EXPECT_EQ(evtQueueSize(), 0u);
}

TEST_F(CanonTest, RecentBodiesCreateFocusModeFromAValueAlone) {
  uint8_t index = 0;
  ASSERT_TRUE(canonIdentifyModel("Canon EOS R6", index));
  camSetModelIndex(index);
  ASSERT_EQ(parse(concat({valueRecord(0xD108, 2), endRecord()})), PTP_RC_OK);
  auto p = propCopy(0xD108);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->value, 2u);
  EXPECT_STREQ(p->text, "AI Focus");
  EXPECT_EQ(p->getSet, 0);
  ASSERT_EQ(p->count, 4);
  EXPECT_STREQ(p->values[3].text, "MF");

  useCanonModel(251);
  ASSERT_EQ(parse(valueRecord(0xD1B0, 1)), PTP_RC_OK);
  ASSERT_TRUE(propCopy(0xD1B0));
  EXPECT_EQ(propCopy(0xD1B0)->count, 4);
  EXPECT_EQ(propCopy(0xD1B0)->getSet, 1);

  useCanonModel(0);
  ASSERT_EQ(parse(valueRecord(0xD108, 2)), PTP_RC_OK);
  EXPECT_FALSE(propExists(0xD108)) << "older bodies wait for the list";
}

TEST_F(CanonTest, PendingValuesForManyMissingCodesAreBounded) {
  Bytes data;
  for (uint32_t i = 0; i < 2000; ++i) {
    Bytes r = valueRecord(0xE000 + i, i);
    data.insert(data.end(), r.begin(), r.end());
  }
  EXPECT_EQ(parse(data), PTP_RC_OK);
  EXPECT_EQ(propCount(), 0);
}

// Focus information: (model, flags, bytes after the flags) -> queued {kind, value}.
struct FocusCase {
  const char* what;
  uint8_t model;
  uint32_t flags;
  Bytes body;  // the bytes from cursor 8 on
  std::vector<std::pair<uint32_t, int32_t>> expected;
};

class CanonFocusInfo : public CanonTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(CanonFocusInfo, QueuesTheKindsItsFlagsCarry) {
  const FocusCase& c = GetParam();
  useCanonModel(c.model);
  Bytes payload;
  bytesAppendU32(payload, static_cast<uint32_t>(8 + c.body.size()));
  bytesAppendU32(payload, c.flags);
  payload.insert(payload.end(), c.body.begin(), c.body.end());
  ASSERT_EQ(parse(record(kCanonEventFocusInfo, payload)), PTP_RC_OK);
  std::vector<std::pair<uint32_t, int32_t>> got;
  for (auto& e : drainEvents()) {
    EXPECT_EQ(e.code, kCanonEventFocusInfo);
    got.push_back(focusPayload(e));
  }
  EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Models, CanonFocusInfo,
    ::testing::Values(
        FocusCase{"bit 1, other bodies: byte at c + 5", 0, 1u << 1, {1, 0, 0, 0, 0, 42, 0, 0}, {{2, 42}}},
        FocusCase{"bit 1, group A: byte at c + 7", 234, 1u << 1, {1, 0, 0, 0, 0, 0, 0, 17, 0, 0}, {{2, 17}}},
        FocusCase{"bit 1, group B with a zero lead byte", 228, 1u << 1, {0, 0, 0, 0, 0, 9, 0, 0}, {{2, 0}}},
        FocusCase{"bits 1 and 3 on body 232 advance by 10", 232, (1u << 1) | (1u << 3),
                  {1, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 33, 0}, {{2, 5}, {8, 33}}},
        FocusCase{"bit 2, others: byte at c + 4", 0, 1u << 2, {0, 0, 0, 0, 21, 0}, {{4, 21}}},
        FocusCase{"bit 6 only with a non-zero flag byte", 0, 1u << 6, {0, 1, 64, 0, 0, 0, 0}, {{64, 64}}},
        FocusCase{"bit 6 with a zero flag byte queues nothing", 0, 1u << 6, {0, 0, 64, 0, 0, 0, 0}, {}},
        FocusCase{"bit 9 maps its word", 245, 1u << 9, {0, 0, 0x00, 0x01, 0, 0}, {{64, -13}}},
        FocusCase{"bit 9 is ignored on other bodies", 0, 1u << 9, {0, 0, 0x00, 0x01, 0, 0}, {}},
        FocusCase{"bit 0 starts the cursor at 10", 0, 1u | (1u << 3), {9, 9, 0, 0, 0, 77}, {{8, 77}}},
        FocusCase{"bytes past the size are not read", 0, 1u << 1, {1, 0}, {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(CanonTest, FocusInfoRefusesASizeOutsideItsRecord) {
  Bytes tooBig = record(kCanonEventFocusInfo, words({500, 2}));
  EXPECT_EQ(canonParseFocusInfo(tooBig.data(), tooBig.size()), ERROR_INVALID_INPUT);
  Bytes tooSmall = record(kCanonEventFocusInfo, words({5, 2}));
  EXPECT_EQ(canonParseFocusInfo(tooSmall.data(), tooSmall.size()), ERROR_INVALID_INPUT);
  EXPECT_EQ(evtQueueSize(), 0u);
}

TEST(CanonFocusWord, MapsTheListedWordsAndZeroForTheRest) {
  const std::pair<uint32_t, int32_t> cases[] = {{1, 8},          {3, 0},        {128, 99999}, {6144, -4},
                                                {0x80000, -99999}, {0x600000, -20}, {0xFF000001, 8}, {9, 0}};
  for (auto [word, value] : cases) EXPECT_EQ(canonFocusWordValue(word), value) << word;
}
