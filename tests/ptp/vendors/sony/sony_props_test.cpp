// Sony property descriptors (0x9209 replies) into the property table, and event stores.
#include "ptp/props/event_queue.h"
#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_props.h"
#include "ptp/vendors/sony/sony_state.h"
#include "tests/ptp/vendors/sony/sony_fixture.h"

using kvtest::listOf;
using kvtest::SonyDesc;
using kvtest::valueOf;

namespace {

std::span<const uint8_t> spanOf(const std::vector<uint8_t>& b) { return {b.data(), b.size()}; }

size_t parse(const std::vector<uint8_t>& b, bool* changedOut = nullptr) {
  size_t length = 0;
  bool changed = false;
  EXPECT_EQ(sonyParseDescriptor(spanOf(b), length, changed), PTP_RC_OK);
  if (changedOut) *changedOut = changed;
  return length;
}

}  // namespace

TEST_F(SonyTest, EnumerationRangeAndPlainDescriptors) {
  kvtest::useSonyModel("ILCE-7M3");
  SonyDesc wb{.code = 0x5005, .datatype = 4, .current = 4, .form = 2, .values = {2, 4, 0x8011}};
  bool changed = false;
  EXPECT_EQ(parse(wb.bytes(), &changed), wb.bytes().size());
  EXPECT_TRUE(changed);  // new record
  auto p = propCopy(0x5005);
  ASSERT_TRUE(p);
  EXPECT_STREQ(p->label, "White Balance");
  EXPECT_STREQ(p->text, "Daylight");
  EXPECT_EQ(p->getSet, 1);
  EXPECT_EQ(listOf(0x5005), (std::vector<uint32_t>{2, 4, 0x8011}));
  EXPECT_STREQ(p->values[2].text, "Shade");

  // Same value again: unchanged. A new value or settable flag: changed.
  parse(wb.bytes(), &changed);
  EXPECT_FALSE(changed);
  wb.settable = 0;
  parse(wb.bytes(), &changed);
  EXPECT_TRUE(changed);
  // The same count with other choices replaces the list.
  wb.values = {2, 6, 7};
  parse(wb.bytes());
  EXPECT_EQ(listOf(0x5005), (std::vector<uint32_t>{2, 6, 7}));

  // A range keeps no list and accepts any value; colour temperature gets its 75 steps.
  SonyDesc bias{.code = 0x5010, .datatype = 3, .current = 0xFD44, .form = 1, .values = {0xEC78, 5000, 300}};
  EXPECT_EQ(parse(bias.bytes()), bias.bytes().size());
  p = propCopy(0x5010);
  EXPECT_EQ(p->count, kPropCountAnyValue);
  EXPECT_TRUE(p->values.empty());
  EXPECT_STREQ(p->text, "-0.7");
  SonyDesc kelvin{.code = 0xD20F, .datatype = 4, .current = 5500, .form = 1, .values = {2500, 9900, 100}};
  parse(kelvin.bytes());
  EXPECT_EQ(listOf(0xD20F).size(), 75u);

  // No form: the descriptor ends after the form byte. A UINT8 and a UINT32 value.
  SonyDesc battery{.code = 0xD218, .datatype = 2, .current = 80};
  EXPECT_EQ(parse(battery.bytes()), 9u);
  EXPECT_EQ(valueOf(0xD218), 80u);
  SonyDesc point{.code = 0xD232, .datatype = 6, .current = 0x01400100};
  EXPECT_EQ(parse(point.bytes()), 15u);
  EXPECT_EQ(valueOf(0xD232), 0x01400100u);
}

TEST_F(SonyTest, TruncatedOrUnknownDescriptorsAreRefusedAndChangeNothing) {
  kvtest::useSonyModel("ILCE-7M3");
  SonyDesc good{.code = 0x5005, .datatype = 4, .current = 4, .form = 2, .values = {2, 4, 6}};
  parse(good.bytes());
  const auto before = propCopy(0x5005);

  SonyDesc changedDesc = good;
  changedDesc.current = 6;
  changedDesc.values = {2, 4, 6, 7};
  const auto whole = changedDesc.bytes();
  for (size_t n = 0; n < whole.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);
    size_t length = 0;
    bool changed = true;
    EXPECT_EQ(sonyParseDescriptor(spanOf(cut), length, changed), ERROR_INVALID_INPUT);
    EXPECT_FALSE(changed);
  }
  for (uint16_t datatype : {0, 9, 0xFFFF}) {
    SonyDesc odd = changedDesc;
    odd.datatype = datatype;
    size_t length = 0;
    bool changed = false;
    EXPECT_EQ(sonyParseDescriptor(spanOf(odd.bytes()), length, changed), ERROR_INVALID_INPUT) << datatype;
  }
  // A count that claims more values than arrived.
  auto lying = good.bytes();
  lying[11] = 0xFF;
  lying[12] = 0xFF;
  size_t length = 0;
  bool changed = false;
  EXPECT_EQ(sonyParseDescriptor(spanOf(lying), length, changed), ERROR_INVALID_INPUT);

  const auto after = propCopy(0x5005);
  EXPECT_EQ(after->value, before->value);
  EXPECT_EQ(listOf(0x5005), (std::vector<uint32_t>{2, 4, 6}));
}

TEST_F(SonyTest, DialledBodiesKeepTheirOwnShutterAndIsoLists) {
  kvtest::useSonyModel("ILCE-7M2");  // dialled
  kvtest::putProperty(0xD20D, 0, {0, 1u << 16 | 250});
  SonyDesc shutter{.code = 0xD20D, .datatype = 6, .current = 1u << 16 | 60, .form = 2, .values = {1, 2, 3}};
  EXPECT_EQ(parse(shutter.bytes()), shutter.bytes().size());
  EXPECT_EQ(valueOf(0xD20D), 1u << 16 | 60);
  EXPECT_EQ(listOf(0xD20D), (std::vector<uint32_t>{0, 1u << 16 | 250}));
  // An empty enumeration is measured with the word after it.
  SonyDesc iso{.code = 0xD21E, .datatype = 6, .current = 100, .form = 2, .values = {}, .tail = {0, 0}};
  EXPECT_EQ(parse(iso.bytes()), iso.bytes().size());

  // Codes without a label row are measured, never listed.
  SonyDesc unknown{.code = 0xD2FF, .datatype = 4, .current = 1, .form = 2, .values = {1, 2}};
  EXPECT_EQ(parse(unknown.bytes()), unknown.bytes().size());
  EXPECT_TRUE(listOf(0xD2FF).empty());
}

TEST_F(SonyTest, DirectSetBodiesSkipTheSecondList) {
  kvtest::useSonyModel("ILCE-7RM4");
  SonyDesc iso{.code = 0xD21E, .datatype = 6, .current = 100, .form = 2, .values = {100, 200}};
  iso.tail = {3, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};  // second count 3, three values
  EXPECT_EQ(parse(iso.bytes()), iso.bytes().size());
  EXPECT_EQ(listOf(0xD21E), (std::vector<uint32_t>{100, 200}));
  // A second count of 100 or more names no values to skip.
  iso.tail = {100, 0};
  EXPECT_EQ(parse(iso.bytes()), iso.bytes().size());
  // A second list that runs past the data is refused.
  iso.tail = {5, 0, 1, 0, 0, 0};
  size_t length = 0;
  bool changed = false;
  EXPECT_EQ(sonyParseDescriptor(spanOf(iso.bytes()), length, changed), ERROR_INVALID_INPUT);
}

TEST_F(SonyTest, ZoomPositionAndSettableQuirks) {
  kvtest::useSonyModel("ILCE-6400");  // 167: exposure mode never settable
  SonyDesc zoom{.code = 0xD254, .datatype = 8, .current = uint64_t(0x0002) << 32 | 0x00300040, .form = 0};
  parse(zoom.bytes());
  EXPECT_EQ(sonyLiveViewPosition(), 0x00300040u);
  EXPECT_EQ(valueOf(0xD254), 2u);

  SonyDesc mode{.code = 0x500E, .datatype = 4, .settable = 1, .current = 2, .form = 2, .values = {1, 2, 3, 4}};
  parse(mode.bytes());
  EXPECT_EQ(propCopy(0x500E)->getSet, 0);

  // Settable byte 2: the count of 0x5010 is found among the words after the value.
  kvtest::useSonyModel("ILCE-7M3");
  // Code, datatype, settable 2, default, current, form byte, a junk byte, then the count.
  std::vector<uint8_t> bias = {0x10, 0x50, 3, 0, 0, 2, 0, 0, 0x2C, 0x01, 0, 0, 12, 0};
  for (int i = 0; i < 12; ++i) kvtest::putLe(bias, static_cast<uint64_t>(i * 300), 2);
  EXPECT_EQ(parse(bias), bias.size());
  EXPECT_EQ(listOf(0x5010).size(), 12u);
}

TEST_F(SonyTest, LongListsAreCutBelowTheAnyValueCount) {
  kvtest::useSonyModel("ILCE-7M3");
  SonyDesc big{.code = 0x5005, .datatype = 4, .current = 1, .form = 2};
  for (uint32_t i = 0; i < 300; ++i) big.values.push_back(i);
  EXPECT_EQ(parse(big.bytes()), big.bytes().size());
  const auto p = propCopy(0x5005);
  EXPECT_EQ(p->values.size(), kSonyMaxListEntries);
  EXPECT_EQ(p->count, kSonyMaxListEntries);
  EXPECT_FALSE(propValueAllowed(0x5005, 299));
}

TEST_F(SonyTest, ReplyParsingAndSingleCodeLookup) {
  kvtest::useSonyModel("ILCE-7M3");
  const auto reply = kvtest::sonyReply({
      {.code = 0xD253, .datatype = 2, .current = 2, .form = 2, .values = {1, 2, 3}},
      {.code = 0xD252, .datatype = 2, .current = 2, .form = 2, .values = {1, 2, 3}},
      {.code = 0xD203, .datatype = 2, .current = 1, .form = 2, .values = {1, 2, 3}},
      {.code = 0x500A, .datatype = 4, .current = 1, .form = 2, .values = {1, 2}},
  });
  EXPECT_EQ(sonyParseReply(spanOf(reply), true), PTP_RC_OK);
  EXPECT_EQ(valueOf(0xD253), 0x10202u);  // the packed format value
  EXPECT_EQ(sonyImageQualityText(valueOf(0xD253)), "RAW + L JPG (FINE)");
  EXPECT_EQ(evtQueueSize(), 4u);
  evtClearQueue();

  // One code taken from a reply; an absent code answers 0x2000.
  auto changedReply = kvtest::sonyReply({
      {.code = 0xD218, .datatype = 2, .current = 40},
      {.code = 0x500A, .datatype = 4, .current = 2, .form = 2, .values = {1, 2}},
  });
  EXPECT_EQ(sonyParseProperty(0x500A, spanOf(changedReply), true), PTP_RC_OK);
  EXPECT_EQ(valueOf(0x500A), 2u);
  EXPECT_EQ(evtQueueSize(), 1u);
  EXPECT_EQ(evtPop().property, propFind(0x500A, false));
  EXPECT_EQ(sonyParseProperty(0x5005, spanOf(changedReply), true), PTP_RC_Undefined);
  EXPECT_FALSE(propExists(0xD218));

  // A reply that breaks off stops the walk; what came before it stays.
  auto broken = kvtest::sonyReply({{.code = 0xD218, .datatype = 2, .current = 40}});
  broken.insert(broken.end(), {0x05, 0x50, 4});
  EXPECT_EQ(sonyParseReply(spanOf(broken), false), ERROR_INVALID_INPUT);
  EXPECT_EQ(valueOf(0xD218), 40u);
}

TEST_F(SonyTest, StoredFormatPartsRebuildThePackedValue) {
  kvtest::useSonyModel("ILCE-7M3");
  kvtest::putProperty(0xD253, 3);
  kvtest::putProperty(0xD252, 1);
  kvtest::putProperty(0xD203, 1);
  ASSERT_NE(sonyStorePropertyValue(0xD203, 2, 1), nullptr);
  EXPECT_EQ(valueOf(0xD253), 0x20103u);
  EXPECT_EQ(evtPop().property, propFind(0xD253, false));
  // The compression too (the packed value would otherwise keep the old one).
  sonyStorePropertyValue(0xD252, 3, 1);
  EXPECT_EQ(valueOf(0xD253), 0x20303u);
  sonyStorePropertyValue(0xD253, 2, 1);
  EXPECT_EQ(valueOf(0xD253), 0x20302u);
  EXPECT_EQ(sonyStorePropertyValue(0xD2FE, 1, 1), nullptr);

  auto p = sonyStorePropertyValue(0x5010, 0xFD44, 1);
  ASSERT_EQ(p, nullptr);  // not in the table
  kvtest::putProperty(0x5010, 0);
  sonyStorePropertyValue(0x5010, 0xFD44, 0);
  EXPECT_STREQ(propCopy(0x5010)->text, "-0.7");
  EXPECT_EQ(propCopy(0x5010)->getSet, 0);
}
