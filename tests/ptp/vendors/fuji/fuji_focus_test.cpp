#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "ptp/camera/cam_interface.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;

namespace {
using FujiFocus = PropTest;

PropertyStruct* track(uint32_t code, uint32_t value) {
  PropertyStruct* r = propAdd(code, false, false);
  r->datatype = PTP_DTC_UINT32;
  r->value = value;
  return r;
}

// Another thread can take the record: the reader left it unlocked.
bool unlockedForOthers(PropertyStruct* r) {
  return std::async(std::launch::async, [r] {
           if (!r->mutex.try_lock()) return false;
           r->mutex.unlock();
           return true;
         }).get();
}
}  // namespace

TEST_F(FujiFocus, InFocusOnlyForStatusTwoAndNotWhenUntracked) {
  EXPECT_FALSE(fujiIsInFocus());  // no record: not a status of 0 either, just "no"
  PropertyStruct* status = track(kFujiAfStatusCode, 0);
  struct Case {
    uint32_t value;
    bool inFocus;
  } cases[] = {{0, false}, {1, false}, {2, true}, {3, false}, {0x10002, false}};
  for (const Case& c : cases) {
    status->value = c.value;
    EXPECT_EQ(fujiIsInFocus(), c.inFocus) << c.value;
  }
  EXPECT_TRUE(unlockedForOthers(status));
}

TEST_F(FujiFocus, InFocusReadsTheStatusUnderTheRecordLock) {
  PropertyStruct* status = track(kFujiAfStatusCode, 1);
  ASSERT_EQ(propFind(kFujiAfStatusCode, true), status);
  // The writer holds the record; the reader must see the value the writer leaves.
  auto reader = std::async(std::launch::async, [] { return fujiIsInFocus(); });
  status->value = 2;
  propUnlock(status);
  EXPECT_TRUE(reader.get());
  EXPECT_TRUE(unlockedForOthers(status));
}

TEST_F(FujiFocus, AfFrameIsTheFourValuesInThousandths) {
  PropertyStruct* r[4];
  const uint32_t values[4] = {500, 250, 1000, 0};
  for (int i = 0; i < 4; ++i) r[i] = track(kFujiAfFrameCodes[i], values[i]);
  float x = -1, y = -1, w = -1, h = -1;
  EXPECT_EQ(fujiGetAfFrame(x, y, w, h), PTP_RC_OK);
  EXPECT_FLOAT_EQ(x, 0.5f);
  EXPECT_FLOAT_EQ(y, 0.25f);
  EXPECT_FLOAT_EQ(w, 1.0f);
  EXPECT_FLOAT_EQ(h, 0.0f);  // a tracked 0 is a real answer
  for (PropertyStruct* p : r) EXPECT_TRUE(unlockedForOthers(p));
}

TEST_F(FujiFocus, AMissingFramePropertyFailsAndLeavesItsOutputAlone) {
  for (int missing = 0; missing < 4; ++missing) {
    propClearTable();
    for (int i = 0; i < 4; ++i)
      if (i != missing) track(kFujiAfFrameCodes[i], 100 * (i + 1));
    float out[4] = {-7, -7, -7, -7};
    EXPECT_EQ(fujiGetAfFrame(out[0], out[1], out[2], out[3]), ERROR_GENERAL) << missing;
    for (int i = 0; i < 4; ++i) {
      if (i == missing)
        EXPECT_EQ(out[i], -7) << missing;
      else
        EXPECT_FLOAT_EQ(out[i], 0.1f * (i + 1)) << missing << " " << i;  // the present ones are written
    }
  }
  propClearTable();
  float x = -7, y = -7, w = -7, h = -7;
  EXPECT_EQ(fujiGetAfFrame(x, y, w, h), ERROR_GENERAL);
  EXPECT_EQ(x, -7);
}

TEST_F(FujiFocus, AfFrameReadsUnderTheRecordLocks) {
  PropertyStruct* r[4];
  for (int i = 0; i < 4; ++i) r[i] = track(kFujiAfFrameCodes[i], 0);
  ASSERT_EQ(propFind(kFujiAfFrameCodes[3], true), r[3]);
  auto reader = std::async(std::launch::async, [] {
    float x, y, w, h;
    fujiGetAfFrame(x, y, w, h);
    return h;
  });
  r[3]->value = 600;
  propUnlock(r[3]);
  EXPECT_FLOAT_EQ(reader.get(), 0.6f);
}

TEST_F(FujiFocus, TheCameraInterfaceAsksTheFujifilmModule) {
  camResetVendorModules();
  camInstallVendorDefaults();
  camSetVendor(CameraVendorFujifilm);
  track(kFujiAfStatusCode, 2);
  EXPECT_TRUE(camIsInFocus());
  propFind(kFujiAfStatusCode, false)->value = 1;
  EXPECT_FALSE(camIsInFocus());
  camResetVendorModules();
}
