// Fujifilm change detection and relayed property records.
#include "tests/ptp/vendors/fuji/fuji_fixture.h"

#include "ptp/base/bytes.h"

using kvtest::FakeProperty;

namespace {
struct FujiEvents : FujiSessionFixture {};

devsim::Bytes record(uint32_t size, uint32_t kind, uint32_t code, devsim::Bytes value) {
  devsim::Bytes b;
  devsim::putU32(b, size);
  devsim::putU32(b, kind);
  devsim::putU32(b, code);
  b.insert(b.end(), value.begin(), value.end());
  return b;
}
}  // namespace

TEST_F(FujiEvents, ChangedPropertiesBecomeRows) {
  body.set(0x500F, {PTP_DTC_UINT16, 1, 200, "", {}, {}});
  body.set(0x5003, {PTP_DTC_STR, 1, 0, "6000x4000", {}, {}});
  body.set(0xD209, {PTP_DTC_UINT16, 1, 4, "", {}, {}});
  track(0x500F);
  track(0x5003);
  track(0xD209);
  PropertyStruct* mark = propAdd(0xEEE1, false, true);
  mark->datatype = PTP_DTC_INT32;
  evtClearQueue();
  fujiState().hostMode = true;

  // The first pass settles the flags the table was built with; then nothing changed.
  std::vector<uint8_t> rows{1, 2, 3};
  ASSERT_EQ(fujiCheckEvents(rows), PTP_RC_OK);
  ASSERT_EQ(fujiCheckEvents(rows), PTP_RC_OK);
  EXPECT_TRUE(rows.empty());

  body.setValue(0x500F, 400);
  body.setText(0x5003, "4000x2664");
  mark->value = 250;
  mark->getSet = 1;  // the AF frame moved
  ASSERT_EQ(fujiCheckEvents(rows), PTP_RC_OK);
  ASSERT_EQ(rows.size(), 3 * kFujiEventRowBytes);
  struct Want {
    uint32_t code, value;
  } want[] = {{0x500F, 400}, {0x5003, 18}, {0xEEE1, 250}};
  for (size_t i = 0; i < 3; ++i) {
    const uint8_t* row = rows.data() + i * kFujiEventRowBytes;
    EXPECT_EQ(bytesGetU16(row), PTP_EC_DEVICE_RowPropertyChanged);
    EXPECT_EQ(bytesGetU32(row + 2), want[i].code);
    EXPECT_EQ(bytesGetU32(row + 6), want[i].value);
    EXPECT_EQ(row[10], i < 2 ? 1 : 0);
  }
  EXPECT_EQ(mark->getSet, 0);  // the mark was taken
  // Only a changed get/set byte: reported too, and outside host mode rows carry 0.
  body.props[0xD209].getSet = 0;
  ASSERT_EQ(fujiCheckEvents(rows), PTP_RC_OK);
  ASSERT_EQ(rows.size(), kFujiEventRowBytes);
  EXPECT_EQ(bytesGetU32(rows.data() + 2), 0xD209u);
  fujiState().hostMode = false;
  ASSERT_EQ(fujiCheckEvents(rows), PTP_RC_OK);
  ASSERT_EQ(rows.size(), 2 * kFujiEventRowBytes);  // 0x500F and 0x5003 lose their flag
  EXPECT_EQ(rows[10], 0);
}

TEST_F(FujiEvents, RelayedRecordsAreAppliedOrRefused) {
  body.set(0x500F, {PTP_DTC_UINT16, 1, 200, "", {}, {}});
  track(0x500F);
  evtClearQueue();
  devsim::Bytes good = record(14, 0x4006, 0x500F, {0x90, 0x01});
  devsim::Bytes other = record(16, 0x4002, 0x500F, {1, 2, 3, 4});
  devsim::Bytes untracked = record(14, 0x4006, 0xD999, {1, 0});
  devsim::Bytes all = other;
  all.insert(all.end(), untracked.begin(), untracked.end());
  all.insert(all.end(), good.begin(), good.end());
  ASSERT_TRUE(fujiApplyPropertyRecords(all));
  EXPECT_EQ(valueOf(0x500F), 400u);
  EXPECT_EQ(queuedCodes(), (std::vector<uint32_t>{0x500F}));

  struct Case {
    const char* what;
    devsim::Bytes data;
    bool ok;
  } cases[] = {
      {"shorter than 9 bytes", devsim::Bytes(8, 0), false},
      {"size past the end", record(15, 0x4006, 0x500F, {0x91, 0x01}), false},
      {"size below the header", record(4, 0x4006, 0x500F, {0, 0, 0, 0, 0}), false},
      {"size 0 ends the run", record(0, 0x4006, 0x500F, {0x92, 0x01}), true},
      {"value too short for the datatype", record(13, 0x4006, 0x500F, {0x93}), true},
      {"trailing bytes that are no record", [] {
         auto b = record(14, 0x4006, 0x500F, {0x94, 0x01});
         b.push_back(1);
         return b;
       }(), false},
  };
  for (const Case& c : cases) EXPECT_EQ(fujiApplyPropertyRecords(c.data), c.ok) << c.what;
  // Only the well-formed record before the stray byte was applied.
  EXPECT_EQ(valueOf(0x500F), 0x194u);
}
