// Sony operations against the simulator: reading every property, direct and dialled sets,
// buttons, new objects and live view.
#include <algorithm>
#include <thread>

#include "ptp/vendors/sony/sony_focus_ops.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_state.h"
#include "tests/ptp/vendors/sony/sony_sim_fixture.h"

using kvtest::SonyDesc;
using kvtest::SonyWrite;
using kvtest::valueOf;
using namespace std::chrono_literals;

namespace {
constexpr uint32_t shutter(uint32_t n, uint32_t d) { return n << 16 | d; }

SonyDesc shutterDesc(uint32_t current) {
  return {.code = 0xD20D, .datatype = 6, .current = current, .form = 2, .values = {}, .tail = {0, 0}};
}

int positionIn(const std::vector<uint32_t>& list, uint32_t v) {
  return static_cast<int>(std::find(list.begin(), list.end(), v) - list.begin());
}
}  // namespace

TEST_F(SonySimTest, InitReadsEveryPropertyAndBuildsDialListsOnDialledBodies) {
  body("ILCE-7M2", {shutterDesc(shutter(1, 250)),
                    {.code = 0x5007, .datatype = 4, .current = 560, .form = 2, .values = {400, 560}},
                    {.code = 0xD21E, .datatype = 6, .current = 400, .form = 2, .values = {}, .tail = {0, 0}},
                    {.code = 0x500E, .datatype = 4, .current = 1, .form = 2, .values = {1, 2, 3, 4}}});
  ASSERT_EQ(sonyInitCamera(), PTP_RC_OK);
  EXPECT_EQ(kvtest::listOf(0xD20D).size(), 56u);
  EXPECT_EQ(kvtest::listOf(0xD21E).size(), 29u);
  EXPECT_EQ(kvtest::listOf(0x5007).size(), 34u);
  EXPECT_STREQ(propCopy(0xD20D)->values[40].text, "1/250");
  EXPECT_STREQ(propCopy(0x5007)->text, "5.6");
  EXPECT_FALSE(propExists(0xD2DC));
  for (uint16_t code : codesSent()) EXPECT_TRUE(code == kSonyGetAllDevicePropData || code == 0x1001) << code;

  // A direct-set body keeps the camera's lists and always has a focus-point property.
  body("ILCE-7RM4", {{.code = 0x5007, .datatype = 4, .current = 560, .form = 2, .values = {400, 560}}});
  ASSERT_EQ(sonyInitCamera(), PTP_RC_OK);
  EXPECT_EQ(kvtest::listOf(0x5007), (std::vector<uint32_t>{400, 560}));
  EXPECT_TRUE(propExists(0xD2DC));

  // The camera's refusal of 0x9209 is answered.
  sim->setPtpHandler(kSonyGetAllDevicePropData, [](const devsim::Simulator::PtpCommand&) {
    return devsim::Simulator::PtpReply{.result = 0x2002};
  });
  EXPECT_EQ(sonyInitCamera(), PTP_RC_GeneralError);
}

TEST_F(SonySimTest, DirectSetBodiesSendTheValueWith9205) {
  body("ILCE-7RM4", {{.code = 0xD20D, .datatype = 6, .current = shutter(1, 250)}});
  ASSERT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 60)), PTP_RC_OK);
  const auto w = writes();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].op, kSonySetControlDeviceA);
  EXPECT_EQ(w[0].code, 0xD20Du);
  EXPECT_EQ(w[0].data.size(), 4u);
  EXPECT_EQ(w[0].value(), shutter(1, 60));
}

TEST_F(SonySimTest, ShutterDialSendsTheWholeDistanceOnceOnMostBodies) {
  body("ILCE-7M2", {shutterDesc(shutter(1, 250))});
  sonyBuildDialLists();
  const auto list = kvtest::listOf(0xD20D);
  onWrite = [&](const SonyWrite& w) {
    if (w.op != PTP_OC_SONY_SetControlDeviceB || w.code != 0xD20D) return;
    const int to = positionIn(list, static_cast<uint32_t>(camera[0xD20D].current)) + static_cast<int32_t>(w.value());
    camera[0xD20D].current = list.at(static_cast<size_t>(to));
  };
  naps.clear();
  ASSERT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 60)), PTP_RC_OK);
  const auto w = writes();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].op, PTP_OC_SONY_SetControlDeviceB);
  EXPECT_EQ(static_cast<int32_t>(w[0].value()), positionIn(list, shutter(1, 60)) - positionIn(list, shutter(1, 250)));
  EXPECT_EQ(w[0].data.size(), 4u);
  EXPECT_EQ(naps.front(), 300ms);  // 6 positions x 50 ms
  EXPECT_EQ(valueOf(0xD20D), shutter(1, 60));
}

TEST_F(SonySimTest, ShutterDialStepsOneAtATimeOnModel163) {
  body("ILCE-7M3", {shutterDesc(shutter(1, 250))});
  sonyBuildDialLists();
  const auto list = kvtest::listOf(0xD20D);
  onWrite = [&](const SonyWrite& w) {
    const int to = positionIn(list, static_cast<uint32_t>(camera[0xD20D].current)) + static_cast<int32_t>(w.value());
    camera[0xD20D].current = list.at(static_cast<size_t>(to));
  };
  naps.clear();
  ASSERT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 60)), PTP_RC_OK);
  const auto w = writesOf(0xD20D);
  ASSERT_EQ(w.size(), 6u);
  for (const auto& one : w) EXPECT_EQ(one.value(), 0xFFFFFFFFu);  // -1 each
  EXPECT_EQ(std::count(naps.begin(), naps.end(), 250ms), 5);
}

TEST_F(SonySimTest, DialRefusalsAndGivingUp) {
  body("ILCE-7M2", {shutterDesc(shutter(1, 250)),
                    {.code = 0x500E, .datatype = 4, .current = 4, .form = 2, .values = {1, 2, 3, 4}}});
  sonyBuildDialLists();
  // Not in the list: nothing sent.
  EXPECT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 7)), ERROR_GENERAL);
  // Bulb is refused in S mode.
  EXPECT_EQ(sonySetPropertyValue(0xD20D, 0), ERROR_BULB_MODE_INVALID);
  EXPECT_EQ(sonyDialToValue(0x5005, 1, 0), ERROR_INVALID_INPUT);
  EXPECT_TRUE(writes().empty());

  // A camera that never moves: the first try and five retries, then 0xFF0D.
  EXPECT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 60)), PTP_ERROR_PROP_NOT_CONFIRMED);
  EXPECT_EQ(writesOf(0xD20D).size(), 6u);

  // A refused step is answered.
  failCode = 0xD20D;
  EXPECT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 60)), PTP_RC_GeneralError);
}

TEST_F(SonySimTest, ButtonsAndTheirOrder) {
  body("ILCE-7M3", {});
  struct Case {
    std::function<PtpResponseCode()> press;
    std::vector<std::pair<uint32_t, uint32_t>> sent;
  } cases[] = {
      {sonyHalfPress, {{0xD2C1, 2}}},
      {sonyHalfRelease, {{0xD2C1, 1}}},
      {sonyShutterDown, {{0xD2C1, 2}, {0xD2C2, 2}}},
      {sonyShutterUp, {{0xD2C1, 1}, {0xD2C2, 1}}},
      {sonyStartMovieRecording, {{0xD2C8, 2}}},
      {sonyStopMovieRecording, {{0xD2C8, 1}}},
      {[] { return sonyDriveFocus(-3); }, {{0xD2D1, 0xFFFD}}},
      {[] { return sonyHalfPressLock(true); }, {{0xD2C3, 2}}},
      {[] { return sonyPixelShiftButton(false); }, {{0xD2D4, 1}}},
      {[] { return sonyMoveAfPoint(1); }, {{0xD2CE, 2}, {0xD2CE, 1}}},
  };
  size_t seen = 0;
  for (auto& c : cases) {
    ASSERT_EQ(c.press(), PTP_RC_OK);
    const auto w = writes();
    ASSERT_EQ(w.size(), seen + c.sent.size());
    for (size_t i = 0; i < c.sent.size(); ++i) {
      EXPECT_EQ(w[seen + i].op, PTP_OC_SONY_SetControlDeviceB);
      EXPECT_EQ(w[seen + i].code, c.sent[i].first);
      EXPECT_EQ(w[seen + i].data.size(), 2u);
      EXPECT_EQ(w[seen + i].value(), c.sent[i].second);
    }
    seen = w.size();
  }
  // The shutter button is not pressed when the half press failed.
  failCode = 0xD2C1;
  EXPECT_EQ(sonyShutterDown(), PTP_RC_GeneralError);
  EXPECT_TRUE(writesOf(0xD2C2).size() == 2u);
  EXPECT_EQ(sonyMoveAfPoint(4), ERROR_INVALID_INPUT);
}

TEST_F(SonySimTest, NewObjectHandlesFromImagePending) {
  body("ILCE-7M3", {{.code = 0xD215, .datatype = 6, .current = 0x8003}});
  std::vector<uint32_t> handles;
  ASSERT_EQ(sonyGetNewObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, (std::vector<uint32_t>(3, 0xFFFFC001)));
  setCamera(0xD215, 0);
  ASSERT_EQ(sonyGetNewObjectHandles(handles), PTP_RC_OK);
  EXPECT_TRUE(handles.empty());
  setCamera(0xD215, 5);
  EXPECT_EQ(sonyGetNewObjectHandles(handles), PTP_RC_DeviceBusy);
  // A wild count is bounded before anything is allocated.
  setCamera(0xD215, 0xFFFFFFFF);
  ASSERT_EQ(sonyGetNewObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles.size(), kSonyMaxPendingObjects);
}

TEST_F(SonySimTest, LiveViewFramesAndTheirHeader) {
  body("ILCE-7M3", {{.code = 0xD253, .datatype = 2, .current = 3}});
  sim->setObjectInfo(kSonyLiveViewHandle, kvtest::makeObjectInfo({}));
  EXPECT_EQ(sonySetLiveView(1), PTP_RC_OK);
  EXPECT_EQ(codesSent().back(), 0x1008);
  const size_t before = codesSent().size();
  EXPECT_EQ(sonySetLiveView(0), PTP_RC_OK);
  EXPECT_EQ(codesSent().size(), before);

  devsim::Bytes frame(2000, 0x11);
  sim->addObject(kSonyLiveViewHandle, frame);
  ByteBuffer out;
  ASSERT_EQ(sonyGetLiveViewFrame(out), PTP_RC_OK);
  EXPECT_EQ(out.size(), 2000u);
  EXPECT_EQ(sonyLastLiveViewHeader().size(), kSonyLiveViewHeaderBytes);
  sonySetLastLiveViewHeader({});
  sim->addObject(kSonyLiveViewHandle, devsim::Bytes(1524, 0x22));
  ASSERT_EQ(sonyGetLiveViewFrame(out), PTP_RC_OK);
  EXPECT_TRUE(sonyLastLiveViewHeader().empty());
}

TEST_F(SonySimTest, WaitingForAValueReadsABoundedNumberOfTimes) {
  body("ILCE-7M3", {{.code = 0xD213, .datatype = 2, .current = 1}, {.code = 0x5005, .datatype = 4, .current = 2}});
  reads = 0;
  EXPECT_FALSE(sonyWaitPropertyValue(0xD213, 2));
  EXPECT_EQ(reads, 8);
  reads = 0;
  EXPECT_FALSE(sonyWaitPropertyValue(0x5005, 4));
  EXPECT_EQ(reads, 6);
  setCamera(0x5005, 4);
  EXPECT_TRUE(sonyWaitPropertyValue(0x5005, 4));
}

TEST_F(SonySimTest, AWaitingSetStopsARunningDial) {
  body("ILCE-7M3", {shutterDesc(shutter(1, 250))});
  sonyBuildDialLists();
  std::thread waiter;
  std::atomic<bool> idle{false};
  {
    // At the first pause between steps another caller starts waiting for the set lock.
    ScopedSleepHook hook([&](std::chrono::milliseconds d) {
      if (d != 250ms || waiter.joinable()) return;
      waiter = std::thread([&] {
        sonyWaitSetPropertyIdle();
        idle = true;
      });
      const auto until = std::chrono::steady_clock::now() + 30s;
      while (sonySetWaiters() < 2 && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    });
    EXPECT_EQ(sonySetPropertyValue(0xD20D, shutter(1, 60)), ERROR_CANCELLED);
  }
  ASSERT_TRUE(waiter.joinable());
  waiter.join();
  EXPECT_TRUE(idle);
  EXPECT_EQ(writesOf(0xD20D).size(), 1u);
  EXPECT_EQ(sonySetWaiters(), 0);
}
