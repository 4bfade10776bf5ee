#include <gtest/gtest.h>

#include <future>

#include "ptp/vendors/sony/sony_focus.h"
#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;

namespace {
using SonyFocus = PropTest;

PropertyStruct* track(uint32_t code, uint32_t value) {
  PropertyStruct* r = propAdd(code, false, false);
  r->datatype = PTP_DTC_UINT32;
  r->value = value;
  return r;
}
}  // namespace

TEST_F(SonyFocus, FocusPointSplitsTheValueAndPrefersTheNewerProperty) {
  struct Case {
    bool point, location;
    uint32_t pointValue, locationValue;
    bool found;
    int32_t x, y;
  } cases[] = {
      {true, false, 0x014000F0, 0, true, 0x0140, 0x00F0},
      {false, true, 0, 0x02800190, true, 0x0280, 0x0190},         // older bodies
      {true, true, 0x00010002, 0x00030004, true, 1, 2},           // 0xD2DC wins
      {true, false, 0xFFFFFFFF, 0, true, 0xFFFF, 0xFFFF},         // halves stay unsigned
      {true, false, 0, 0, true, 0, 0},                            // a tracked 0 is found
      {false, false, 0, 0, false, -5, -5},                        // not found: outputs untouched
  };
  for (const Case& c : cases) {
    propClearTable();
    if (c.location) track(kSonyLiveViewLocationCode, c.locationValue);
    if (c.point) track(kSonyFocusPointCode, c.pointValue);
    int32_t x = -5, y = -5;
    EXPECT_EQ(sonyGetFocusPoint(x, y), c.found) << c.pointValue << " " << c.locationValue;
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
}

TEST_F(SonyFocus, FocusPointReadsUnderTheRecordLockAndReleasesIt) {
  for (uint32_t code : {kSonyFocusPointCode, kSonyLiveViewLocationCode}) {
    propClearTable();
    PropertyStruct* r = track(code, 0x00010001);
    ASSERT_EQ(propFind(code, true), r);
    auto reader = std::async(std::launch::async, [] {
      int32_t x = 0, y = 0;
      sonyGetFocusPoint(x, y);
      return x;
    });
    r->value = 0x00070001;
    propUnlock(r);
    EXPECT_EQ(reader.get(), 7) << code;
    bool free = std::async(std::launch::async, [r] {
                  if (!r->mutex.try_lock()) return false;
                  r->mutex.unlock();
                  return true;
                }).get();
    EXPECT_TRUE(free) << code;
  }
}
