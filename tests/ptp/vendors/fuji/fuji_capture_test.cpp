// Fujifilm shutter, half press, capture-and-wait, focus modes, the focus stack and the AF
// point against a simulated body.
#include "ptp/props/prop_set_lock.h"
#include "ptp/vendors/fuji/fuji_afpoint.h"
#include "ptp/vendors/fuji/fuji_autofocus.h"
#include "ptp/vendors/fuji/fuji_capture.h"
#include "ptp/vendors/fuji/fuji_lens.h"
#include "tests/ptp/vendors/fuji/fuji_fixture.h"

using kvtest::FakeProperty;

namespace {
struct FujiCapture : FujiSessionFixture {
  void SetUp() override {
    FujiSessionFixture::SetUp();
    timing().setLockWait = std::chrono::milliseconds(50);
    camResetCameraState();
    body.set(0xD208, {PTP_DTC_UINT16, 1, 0, "", {kFujiPress, kFujiRelease}, {}});
    body.set(0xD209, {PTP_DTC_UINT16, 0, 2, "", {}, {}});
    body.set(0x500A, {PTP_DTC_UINT16, 1, 0x8001, "", {1, 0x8001, 0x8002}, {}});
    body.set(0x500D, {PTP_DTC_UINT32, 1, 2000000, "", {}, {}});
    body.set(0xD00A, {PTP_DTC_UINT16, 1, 1, "", {}, {}});
    for (uint32_t c : {0xD208u, 0xD209u, 0x500Au, 0x500Du, 0xD00Au}) track(c);
    sim->setPtpHandler(0x100E, [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  }
  void TearDown() override {
    if (propIsSetBusy()) propUnlockForSet();
    FujiSessionFixture::TearDown();
  }
  // The capture-mode values written, in order.
  std::vector<uint32_t> modes() {
    std::vector<uint32_t> out;
    for (auto& w : body.written())
      if (w.code == kFujiCaptureMode && w.data.size() >= 2) out.push_back(w.data[0] | w.data[1] << 8);
    return out;
  }
};
}  // namespace

TEST_F(FujiCapture, PressHoldsTheSetLockUntilRelease) {
  ASSERT_EQ(fujiPressShutter(false), PTP_RC_OK);
  EXPECT_TRUE(propIsSetBusy());
  EXPECT_TRUE(fujiState().pressed);
  EXPECT_EQ(camSetPropertyValue(0x500D, 5, true), ERROR_BUSY);  // no set during the exposure
  ASSERT_EQ(fujiShutterUp(false), PTP_RC_OK);
  EXPECT_FALSE(propIsSetBusy());
  EXPECT_EQ(fujiState().halfPressState, 0);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiPress, kFujiRelease}));
  EXPECT_EQ(commandsOf(0x100E), 2u);
  // A second release finds nothing held.
  EXPECT_EQ(fujiShutterUp(false), ERROR_BUSY);

  // Bulb: open after the press, close with the bulb release.
  body.clearWrites();
  ASSERT_EQ(fujiBulbStart(), PTP_RC_OK);
  ASSERT_EQ(fujiBulbEnd(), PTP_RC_OK);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiPress, kFujiBulbOpen, kFujiBulbRelease}));
}

TEST_F(FujiCapture, AfFailureGivesUpAndReleasesTheLock) {
  body.setValue(0xD209, 3);
  EXPECT_EQ(fujiShutterDown(false, true), kFujiAfFailed);
  EXPECT_FALSE(propIsSetBusy());
  EXPECT_FALSE(fujiState().pressed);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiPress, kFujiAfGiveUp}));

  // A status that stays "Unknown" is polled a bounded number of times, then the press stands.
  body.clearWrites();
  body.setValue(0xD209, 1);
  naps.clear();
  ASSERT_EQ(fujiPressShutter(false), PTP_RC_OK);
  EXPECT_EQ(naps.size(), static_cast<size_t>(kFujiAfPolls));
  ASSERT_EQ(fujiShutterUp(false), PTP_RC_OK);
}

TEST_F(FujiCapture, LiveViewStoppedForTheCaptureRunsAgainAfterIt) {
  int stops = 0;
  fujiSetLiveViewStopCallback([&] {
    ++stops;
    return PTP_RC_OK;
  });
  // The first start works; the restart after the capture is busy twice.
  int starts = 0;
  sim->setPtpHandler(0x101C, [&](const devsim::Simulator::PtpCommand&) {
    devsim::Simulator::PtpReply r;
    if (++starts == 2 || starts == 3) r.result = 0xA001;
    return r;
  });
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  ASSERT_EQ(fujiShutterDown(false, true), PTP_RC_OK);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiPress, kFujiRelease}));  // no stop per write
  EXPECT_TRUE(fujiState().liveViewOn);
  EXPECT_FALSE(fujiState().liveViewStopped);
  EXPECT_EQ(commandsOf(0x1007), 1u);  // leftover objects drained once
  EXPECT_EQ(starts, 4);
}

TEST_F(FujiCapture, HalfPressAndReleaseUseTheListedModes) {
  ASSERT_EQ(fujiHalfPress(), PTP_RC_OK);
  EXPECT_EQ(fujiState().halfPressState, 1);
  ASSERT_EQ(fujiHalfRelease(), PTP_RC_OK);
  EXPECT_EQ(fujiState().halfPressState, 0);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiHalfPressOld, kFujiHalfReleaseOld}));
  // A body whose list offers the newer values gets them.
  body.props[0xD208].list = {kFujiHalfPress, kFujiHalfRelease, kFujiPress};
  track(0xD208);
  body.clearWrites();
  fujiHalfPress();
  fujiHalfRelease();
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiHalfPress, kFujiHalfRelease}));
  // Movie recording goes the same way.
  body.clearWrites();
  ASSERT_EQ(fujiStartMovieRecording(), PTP_RC_OK);
  ASSERT_EQ(fujiStopMovieRecording(), PTP_RC_OK);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiMovieStart, kFujiMovieStop}));
}

TEST_F(FujiCapture, CaptureWaitsForTheExposure) {
  struct Case {
    uint32_t exposure;
    int nr;  // 0xD322 value, 0: not answered
    std::chrono::milliseconds wait;
  } cases[] = {{2000000, 0, std::chrono::milliseconds(2150)},
               {2000000, 1, std::chrono::milliseconds(4300)},
               {2000000, 2, std::chrono::milliseconds(2150)},
               {100, 0, std::chrono::milliseconds(150)}};
  for (const Case& c : cases) {
    body.setValue(0x500D, c.exposure);
    track(0x500D);
    if (c.nr) body.set(0xD322, {PTP_DTC_UINT16, 1, uint32_t(c.nr), "", {}, {}});
    else body.props.erase(0xD322);
    naps.clear();
    ASSERT_EQ(fujiCaptureAndWait(), PTP_RC_OK);
    ASSERT_FALSE(naps.empty());
    EXPECT_EQ(naps.back(), c.wait) << c.exposure << " " << c.nr;
  }
  // A shutter speed that never leaves the bulb range ends the wait with an error.
  body.setValue(0x500D, 0xFFFFFFFF);
  track(0x500D);
  EXPECT_EQ(fujiCaptureAndWait(), ERROR_GENERAL);
  EXPECT_FALSE(propIsSetBusy());
  // Without the colour-space record nothing is pressed.
  propClearTable();
  EXPECT_EQ(fujiCaptureAndWait(), PTP_ERROR_UNSUPPORTED_COMMAND);
}

TEST_F(FujiCapture, ColourSpaceTouchRetriesBusyBoundedly) {
  body.busyWrites = 3;
  EXPECT_EQ(fujiTouchColorSpace(), PTP_RC_OK);
  EXPECT_EQ(valueOf(0xD00A), 1u);
  // A body that stays busy is given up on.
  body.busyWrites = 100000;
  body.clearWrites();
  EXPECT_EQ(fujiTouchColorSpace(), PTP_RC_DeviceBusy);
  EXPECT_LE(body.written().size(), 2u * (kFujiTouchBusyRetries + 1));
}

TEST_F(FujiCapture, FocusModesAndTheAutofocusStep) {
  EXPECT_TRUE(fujiIsAutoFocusMode());
  EXPECT_FALSE(fujiIsManualFocus());
  EXPECT_TRUE(fujiCanAutoFocus());
  EXPECT_EQ(fujiSetManualFocus(2), PTP_ERROR_UNSUPPORTED_COMMAND);
  ASSERT_EQ(fujiSetManualFocus(0), PTP_RC_OK);
  EXPECT_TRUE(body.written().empty());  // already AF
  ASSERT_EQ(fujiSetManualFocus(1), PTP_RC_OK);
  EXPECT_EQ(valueOf(0x500A), 1u);

  // A body that switches modes: AF-S for the step, the old mode back after it.
  camSetModelIndex(17);
  ASSERT_EQ(fujiStartAutoFocus(), PTP_RC_OK);
  EXPECT_EQ(valueOf(0x500A), kFujiSingleAf);
  ASSERT_EQ(fujiStopAutoFocus(), PTP_RC_OK);
  EXPECT_EQ(valueOf(0x500A), 1u);

  // A body that focuses by a half press ends in manual focus.
  camSetModelIndex(22);
  body.clearWrites();
  ASSERT_EQ(fujiStartAutoFocus(), PTP_RC_OK);
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiHalfPressOld, kFujiHalfReleaseOld}));
  EXPECT_EQ(valueOf(0x500A), 1u);
  uint32_t mode = 0;
  ASSERT_EQ(fujiGetFocusMode(mode), PTP_RC_OK);
  EXPECT_EQ(mode, 1u);
}

TEST_F(FujiCapture, FocusStackTakesCountPicturesAndStopsOnCancel) {
  body.set(0xD171, {PTP_DTC_INT16, 1, 500, "", {}, {}});
  track(0xD171);
  std::vector<int> seen;
  ASSERT_EQ(fujiFocusStack(1, 10, 0, [&](int k) { seen.push_back(k); }), PTP_RC_OK);
  EXPECT_EQ(seen, (std::vector<int>{1}));
  EXPECT_EQ(commandsOf(0x100E), 2u);  // one press, one release

  seen.clear();
  ASSERT_EQ(fujiFocusStack(3, -10, 0, [&](int k) { seen.push_back(k); }), PTP_RC_OK);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(body.props[0xD171].value & 0xFFFF, 480u);

  seen.clear();
  ASSERT_EQ(fujiFocusStack(5, 1, 0, [&](int k) {
              seen.push_back(k);
              if (k == 2) camCancelFocusStack();
            }),
            ERROR_CANCELLED);
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(fujiFocusStack(0, 1, 0, nullptr), PTP_RC_OK);
}

TEST_F(FujiCapture, FocusAreaTexts) {
  struct Case {
    const char* text;
    bool ok;
    int column, row, size;
  } cases[] = {{"0,0,3", true, 0, 0, 3},       {"-19,19,9", true, -19, 19, 9}, {"12,-6,1", true, 12, -6, 1},
               {"20,0,1", false, 0, 0, 0},     {"0,0,10", false, 0, 0, 0},     {"0,0", false, 0, 0, 0},
               {"--1,0,1", false, 0, 0, 0},    {"1,,1", false, 0, 0, 0},       {"", false, 0, 0, 0},
               {"0,0,3,", false, 0, 0, 0},     {"100,0,1", false, 0, 0, 0}};
  for (const Case& c : cases) {
    const auto p = fujiParseFocusArea(c.text);
    ASSERT_EQ(p.has_value(), c.ok) << c.text;
    if (!p) continue;
    EXPECT_EQ(p->column, c.column);
    EXPECT_EQ(p->row, c.row);
    EXPECT_EQ(p->size, c.size);
    EXPECT_EQ(fujiFormatFocusArea(*p), c.text);
  }
  EXPECT_EQ(fujiFormatFocusArea({20, 0, 1}), std::nullopt);
  EXPECT_EQ(fujiFormatFocusArea({0, 0, -1}), std::nullopt);
}

TEST_F(FujiCapture, AfPointFromFractionsOfTheFrame) {
  body.set(0xD395, {PTP_DTC_STR, 1, 0, "3,-2,4", {}, {}});
  body.set(0xD025, {PTP_DTC_UINT16, 1, 1, "", {}, {}});
  body.set(0x501C, {PTP_DTC_UINT16, 1, 0x8001, "", {}, {}});
  body.set(0x5003, {PTP_DTC_STR, 1, 0, "6000x4000", {}, {}});
  for (uint32_t c : {0xD395u, 0xD025u, 0x501Cu, 0x5003u}) track(c);
  struct Case {
    uint32_t grid;
    float x, y;
    const char* text;
  } cases[] = {{1, 0.5f, 0.5f, "0,0,4"},   {2, 1.0f, 0.0f, "12,6,4"}, {2, 0.0f, 1.0f, "-12,-6,4"},
               {4, 0.5f, 0.5f, "0,0,4"},   {3, 0.25f, 0.75f, "-4,-3,4"}};
  camSetModelIndex(19);  // writes without a focus-mode switch
  for (const Case& c : cases) {
    body.setValue(0xD025, c.grid);
    body.setText(0xD395, "3,-2,4");
    ASSERT_EQ(fujiSetAfPoint(c.x, c.y), PTP_RC_OK) << c.x << "," << c.y;
    EXPECT_EQ(body.props[0xD395].text, c.text) << c.grid << " " << c.x << "," << c.y;
  }
  body.setValue(0xD025, 9);
  EXPECT_EQ(fujiSetAfPoint(0.5f, 0.5f), ERROR_BAD_REPLY);
  body.setValue(0xD025, 1);
  body.setValue(0x501C, 0x8003);
  track(0x501C);
  EXPECT_EQ(fujiSetAfPoint(0.5f, 0.5f), 0x201C);

  // Moves one step; a body that needs manual focus for the write gets it and AF back.
  body.setText(0xD395, "0,0,2");
  camSetModelIndex(22);
  body.clearWrites();
  ASSERT_EQ(fujiMoveAfPoint(3), PTP_RC_OK);
  EXPECT_EQ(body.props[0xD395].text, "1,0,2");
  auto w = body.written();
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[0].code, 0x500Au);
  EXPECT_EQ(w[1].code, 0xD395u);
  EXPECT_EQ(w[2].code, 0x500Au);
  EXPECT_EQ(valueOf(0x500A), 0x8001u);
  // The edge of the grid is refused before anything is sent.
  body.setText(0xD395, "19,0,2");
  body.clearWrites();
  EXPECT_EQ(fujiMoveAfPoint(3), ERROR_INVALID_INPUT);
  EXPECT_TRUE(body.written().empty());
  body.setText(0xD395, "");
  EXPECT_EQ(fujiMoveAfPoint(0), ERROR_GENERAL);
}

TEST_F(FujiCapture, AfFrameSyncKeepsValuesAndMarksChanges) {
  for (uint32_t c : {0xEEE0u, 0xEEE1u, 0xEEE2u, 0xEEE3u}) {
    PropertyStruct* r = propAdd(c, false, true);
    r->datatype = PTP_DTC_INT32;
  }
  // Every thousandth survives the round trip through the frame's fractions.
  for (uint32_t v = 0; v <= 1000; ++v) {
    for (uint32_t c : {0xEEE0u, 0xEEE1u, 0xEEE2u, 0xEEE3u}) propFind(c, false)->value = v;
    ASSERT_EQ(fujiSyncAfFrameProperties(), PTP_RC_OK);
    for (uint32_t c : {0xEEE0u, 0xEEE1u, 0xEEE2u, 0xEEE3u}) {
      ASSERT_EQ(valueOf(c), v);
      ASSERT_EQ(propCopy(c)->getSet, 0) << v;
    }
  }
}

TEST_F(FujiCapture, LiveViewZoomSteps) {
  body.set(0xD01B, {PTP_DTC_UINT16, 1, 1, "", {}, {}});
  track(0xD01B);
  struct Read {
    uint32_t value, percent;
  } reads[] = {{1, 0}, {2, 100}, {3, 200}, {4, 0}, {5, 200}, {10, 0}};
  for (const Read& r : reads) {
    propFind(0xD01B, false)->value = r.value;
    EXPECT_EQ(fujiGetLiveViewZoom(), r.percent) << r.value;
  }
  struct Write {
    uint8_t model;
    uint32_t percent, value;
  } writes[] = {{36, 200, 3}, {35, 200, 5}, {22, 100, 2}, {22, 50, 1}};
  for (const Write& w : writes) {
    camSetModelIndex(w.model);
    ASSERT_EQ(fujiSetLiveViewZoom(w.percent), PTP_RC_OK);
    EXPECT_EQ(valueOf(0xD01B), w.value) << int(w.model) << " " << w.percent;
  }
  // Leaving x1.0 switches to manual focus and remembers AF-S.
  body.setValue(0xD01B, 1);
  track(0xD01B);
  body.clearWrites();
  ASSERT_EQ(fujiSetLiveViewZoom(100), PTP_RC_OK);
  EXPECT_EQ(valueOf(0x500A), 1u);
  EXPECT_EQ(fujiState().savedFocusMode, kFujiSingleAf);
  ASSERT_EQ(body.written().size(), 2u);
  EXPECT_EQ(body.written()[0].code, 0x500Au);
}

TEST_F(FujiCapture, LensReadOuts) {
  body.set(0xD38E, {PTP_DTC_STR, 0, 0, "1600,5550", {}, {}});
  body.set(0xD38D, {PTP_DTC_STR, 0, 0, "280,x00", {}, {}});
  body.set(0x5007, {PTP_DTC_UINT16, 1, 560, "", {560}, {}});
  body.set(0xD38C, {PTP_DTC_UINT16, 1, 0, "", {}, {}});
  for (uint32_t c : {0xD38Eu, 0x5007u}) track(c);
  float focal = 0;
  ASSERT_EQ(fujiGetFocalLength(focal), PTP_RC_OK);
  EXPECT_FLOAT_EQ(focal, 55.5f);
  body.setText(0xD38E, "1600");
  EXPECT_EQ(fujiGetFocalLength(focal), ERROR_BAD_REPLY);
  // An F-stop text with a stray field leaves the list as it was.
  EXPECT_EQ(fujiLoadApertureList(), ERROR_DATASET);
  EXPECT_EQ(propCopy(0x5007)->count, 1u);
  body.setText(0xD38D, "");
  EXPECT_EQ(fujiLoadApertureList(), PTP_RC_OK);
  EXPECT_EQ(propCopy(0x5007)->count, 0u);

  // Bulb is the manual program with the shutter at its open end.
  body.set(0x500E, {PTP_DTC_UINT16, 1, 1, "", {}, {}});
  track(0x500E);
  EXPECT_FALSE(fujiIsBulbSelected());
  propFind(0x500D, false)->value = 0x0001FFFF;
  EXPECT_TRUE(fujiIsBulbSelected());
  propFind(0x500E, false)->value = 6;
  EXPECT_FALSE(fujiIsBulbSelected());
}

TEST_F(FujiCapture, ObjectsThatNeverDrainDoNotHoldTheCapture) {
  fujiSetLiveViewStopCallback([] { return PTP_RC_OK; });
  sim->setPtpHandler(0x101C, [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  sim->setObjectInfo(7, kvtest::makeObjectInfo({}));  // listed on every request
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  ASSERT_EQ(fujiShutterDown(false, true), PTP_RC_OK);
  EXPECT_EQ(commandsOf(0x1007), static_cast<size_t>(kFujiDrainPasses));
  EXPECT_EQ(modes(), (std::vector<uint32_t>{kFujiPress, kFujiRelease}));
}
