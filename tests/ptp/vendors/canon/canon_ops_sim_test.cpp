// Canon operations against the simulated body: what goes on the wire and what the module
// keeps.
#include <algorithm>
#include <cmath>

#include "tests/ptp/vendors/canon/canon_fixture.h"

using namespace kvtest;

namespace {
uint32_t wordAt(const Bytes& b, size_t off) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(b.at(off + i)) << (8 * i);
  return v;
}
}  // namespace

TEST_F(CanonSessionFixture, SetUpOpensRemoteAndEventModesAndPicksTheExposureModeCode) {
  canonDevice({0x913D});
  body.queueEvent(concat({listRecord(0xD138, {1, 2, 3}), valueRecord(0xD138, 2)}));
  ASSERT_EQ(canonInitCamera(), PTP_RC_OK);
  auto mode = commands(0x9114);
  ASSERT_EQ(mode.size(), 1u);
  EXPECT_EQ(mode[0].params, std::vector<uint32_t>{1});
  EXPECT_EQ(commands(0x9115).at(0).params, std::vector<uint32_t>{1});
  EXPECT_EQ(commands(0x913D).at(0).params, std::vector<uint32_t>{0x1FFF});
  EXPECT_EQ(commands(0x9116).size(), 2u);
  EXPECT_EQ(canonState().exposureModeCode, 0xD138u);
  EXPECT_EQ(canonValueOf(0xD138), 2u);
}

TEST_F(CanonSessionFixture, SetUpWithoutTheMaskOperationOrTheNewerModeCode) {
  canonDevice({});
  ASSERT_EQ(canonInitCamera(), PTP_RC_OK);
  EXPECT_TRUE(commands(0x913D).empty());
  EXPECT_EQ(canonState().exposureModeCode, 0xD105u);
  sim->setPtpHandler(0x9115, [](const auto&) { return devsim::Simulator::PtpReply{0x2002, std::nullopt, {}}; });
  EXPECT_EQ(canonInitCamera(), 0x2002);
}

TEST_F(CanonSessionFixture, PropertyWritesCarrySizeCodeAndValue) {
  canonDevice({});
  ASSERT_EQ(canonSetPropertyValue(0xD101, 0x38), PTP_RC_OK);
  uint32_t packed = 0;
  size_t used = 0;
  Bytes two = words({2, 16, 6, 0, 4, 16, 1, 0, 3});
  ASSERT_EQ(canonPackImageFormat(two, packed, used), PTP_RC_OK);
  ASSERT_EQ(canonSetPropertyValue(0xD120, packed), PTP_RC_OK);
  auto writes = body.written();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0], words({12, 0xD101, 0x38}));
  EXPECT_EQ(writes[1].size(), 44u);
  EXPECT_EQ(wordAt(writes[1], 0), 44u);
  EXPECT_EQ(wordAt(writes[1], 4), 0xD120u);
  EXPECT_EQ(Bytes(writes[1].begin() + 8, writes[1].end()), two);
  // A packed value whose entry count is not 1 or 2 never reaches the camera.
  EXPECT_EQ(canonSetPropertyValue(0xD120, 3u << 28), ERROR_INVALID_INPUT);
  EXPECT_EQ(body.written().size(), 2u);
}

TEST_F(CanonSessionFixture, AWaitedSetSeesTheValueComeBackThroughEvents) {
  canonDevice({});
  putProperty(0xD1B2, 0, {0, 1, 3}, 1, PTP_DTC_UINT32);
  ASSERT_EQ(canonDepthOfFieldPreviewOn(), PTP_RC_OK);
  EXPECT_TRUE(canonState().depthOfFieldPreview);
  EXPECT_EQ(canonValueOf(0xD1B2), 1u);
  EXPECT_FALSE(propIsSetBusy());

  body.echo = false;
  EXPECT_FALSE(canonWaitPropertyValue(0xD1B2, 0));
  EXPECT_EQ(commands(0x9116).size(), 1u + 5u);
  EXPECT_FALSE(canonWaitPropertyValue(0xD1FE, 0)) << "a property the table lacks";
}

TEST_F(CanonSessionFixture, LiveViewZoomCodesByModel) {
  canonDevice({0x9158});
  struct Case {
    uint8_t model;
    uint32_t percent;
    uint32_t code;
  };
  for (Case c : {Case{0, 100, 5}, Case{0, 200, 10}, Case{0, 150, 1}, Case{0, 0, 1}, Case{251, 100, 6},
                 Case{251, 200, 15}}) {
    camSetModelIndex(c.model);
    ASSERT_EQ(canonSetLiveViewZoom(c.percent), PTP_RC_OK);
    EXPECT_EQ(commands(0x9158).back().params, std::vector<uint32_t>{c.code}) << int(c.model) << " " << c.percent;
  }
  const size_t sent = commands(0x9158).size();
  camSetModelIndex(232);
  EXPECT_EQ(canonSetLiveViewZoom(100), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(commands(0x9158).size(), sent);
}

TEST_F(CanonSessionFixture, AfPointIsClampedAndScaledToTheSensor) {
  canonDevice({0x9159});
  uint8_t index = 0;
  ASSERT_TRUE(canonIdentifyModel("Canon EOS R3", index));  // 6000 x 4000
  ASSERT_EQ(canonSetAfPoint(0.05, 1.0), PTP_RC_OK);
  EXPECT_EQ(commands(0x9159).back().params, (std::vector<uint32_t>{0, 3600}));
  ASSERT_EQ(canonSetAfPoint(0.5, 0.35), PTP_RC_OK);
  // Truncated, not rounded: (0.35 - 0.1) x 4000 falls just short of 1000.
  EXPECT_EQ(commands(0x9159).back().params, (std::vector<uint32_t>{2400, 999}));
  EXPECT_EQ(canonSetAfPoint(std::nan(""), 0.5), ERROR_INVALID_INPUT);
}

TEST_F(CanonSessionFixture, OlderReleaseSendsRemoteReleaseAndHoldsNoLock) {
  canonDevice({0x910F});
  putProperty(0xD106, 0, {}, 1, PTP_DTC_UINT32);
  ASSERT_EQ(canonShutterDown(false), PTP_RC_OK);
  EXPECT_EQ(commands(0x910F).size(), 1u);
  EXPECT_FALSE(propIsSetBusy());
  EXPECT_EQ(canonShutterUp(), PTP_RC_OK);
  EXPECT_TRUE(commands(0x9129).empty());

  sim->setPtpHandler(0x910F, [](const auto&) { return devsim::Simulator::PtpReply{0x2001, std::nullopt, {1}}; });
  EXPECT_EQ(canonShutterDown(false), kCanonNotInFocus);
  EXPECT_FALSE(propIsSetBusy());
}

TEST_F(CanonSessionFixture, ReleaseNeedsTheDriveModeProperty) {
  canonDevice({0x9128, 0x9129});
  EXPECT_EQ(canonShutterDown(false), ERROR_INVALID_INPUT);
  EXPECT_TRUE(commands(0x9128).empty());
}

TEST_F(CanonSessionFixture, AHeldPressKeepsTheSetLockUntilReleased) {
  canonDevice({0x9128, 0x9129});
  putProperty(0xD106, 0, {}, 1, PTP_DTC_UINT32);
  camSetAfState(1);
  ASSERT_EQ(canonShutterDown(false), PTP_RC_OK);
  auto on = commands(0x9128);
  ASSERT_EQ(on.size(), 2u);
  EXPECT_EQ(on[0].params, (std::vector<uint32_t>{1, 1}));
  EXPECT_EQ(on[1].params, (std::vector<uint32_t>{2, 1}));
  EXPECT_TRUE(canonState().pressed);
  EXPECT_TRUE(propIsSetBusy());
  ASSERT_EQ(canonShutterUp(), PTP_RC_OK);
  auto off = commands(0x9129);
  ASSERT_EQ(off.size(), 2u);
  EXPECT_EQ(off[0].params, std::vector<uint32_t>{2});
  EXPECT_EQ(off[1].params, std::vector<uint32_t>{1});
  EXPECT_FALSE(canonState().pressed);
  EXPECT_FALSE(propIsSetBusy());

  // Out of focus: the half press is let go again and the lock freed.
  sim->setPtpHandler(0x9128, [](const devsim::Simulator::PtpCommand& c) {
    return devsim::Simulator::PtpReply{0x2001, std::nullopt, {c.params.at(0) == 1 ? 1u : 0u}};
  });
  EXPECT_EQ(canonShutterDown(true), kCanonNotInFocus);
  EXPECT_EQ(commands(0x9129).size(), 4u);
  EXPECT_FALSE(propIsSetBusy());

  // A failed press frees the lock it took.
  sim->setPtpHandler(0x9128, [](const auto&) { return devsim::Simulator::PtpReply{0x2002, std::nullopt, {}}; });
  EXPECT_EQ(canonShutterDown(false), 0x2002);
  EXPECT_FALSE(propIsSetBusy());
}

TEST_F(CanonSessionFixture, AReleaseWithoutAPressLeavesAnotherSetsLockAlone) {
  canonDevice({0x9128, 0x9129});
  putProperty(0xD106, 0, {}, 1, PTP_DTC_UINT32);
  ASSERT_EQ(canonShutterDown(true), PTP_RC_OK);
  ASSERT_TRUE(propLockForSet());  // a property set in progress elsewhere
  canonShutterUp();
  EXPECT_TRUE(propIsSetBusy());
  EXPECT_TRUE(propUnlockForSet());
}

TEST_F(CanonSessionFixture, WaitReadyRetriesBusyAnswersAndGivesUpAtItsBound) {
  canonDevice({});
  EXPECT_FALSE(canonWaitReady()) << "no settable colour space or destination";
  putProperty(0xD11C, 4, {1, 4}, 1, PTP_DTC_UINT32);
  body.busyWrites = 5;  // the transaction's own retry takes one of them each round
  EXPECT_TRUE(canonWaitReady());
  EXPECT_EQ(body.written().back(), words({12, 0xD11C, 4}));
  body.busyWrites = 1 << 20;
  naps.clear();
  EXPECT_FALSE(canonWaitReady());
  EXPECT_EQ(std::count(naps.begin(), naps.end(), std::chrono::milliseconds(250)), kCanonWaitReadyMaxTries - 1);
}

TEST_F(CanonSessionFixture, FocusStackOfOneTakesOneShotAndReportsProgress) {
  canonDevice({0x9128, 0x9129});
  putProperty(0xD106, 0, {}, 1, PTP_DTC_UINT32);
  putProperty(0xD10F, 1, {1, 2}, 1, PTP_DTC_UINT32);
  std::vector<int> progress;
  EXPECT_EQ(canonFocusStack(1, 3, 0,
                            [&](int n, int) {
                              progress.push_back(n);
                              return true;
                            }),
            PTP_RC_OK);
  EXPECT_EQ(progress, std::vector<int>{1});
  EXPECT_EQ(commands(0x9128).size(), 2u);
  EXPECT_EQ(commands(0x9155).size(), 0u);
  EXPECT_EQ(camGetAfState(), 1u);
  EXPECT_FALSE(propIsSetBusy());
}

TEST_F(CanonSessionFixture, FocusStackDrivesBetweenShotsAndStopsWhenCancelled) {
  canonDevice({0x9128, 0x9129, 0x9155});
  putProperty(0xD106, 0, {}, 1, PTP_DTC_UINT32);
  putProperty(0xD10F, 1, {1, 2}, 1, PTP_DTC_UINT32);
  EXPECT_EQ(canonFocusStack(3, 2, 0, nullptr), PTP_RC_OK);
  EXPECT_EQ(commands(0x9128).size(), 6u);
  ASSERT_EQ(commands(0x9155).size(), 2u);
  EXPECT_EQ(commands(0x9155)[0].params, std::vector<uint32_t>{2});

  EXPECT_EQ(canonFocusStack(5, 2, 0,
                            [](int n, int) {
                              if (n == 2) canonCancelFocusStack();
                              return true;
                            }),
            0);
  EXPECT_EQ(commands(0x9128).size(), 10u);
}

TEST_F(CanonSessionFixture, DriveFocusGoesManualAndSwitchesMovieServoOff) {
  canonDevice({0x9155});
  putProperty(0xD179, 1, {0, 1}, 1, PTP_DTC_UINT32);
  ASSERT_EQ(canonDriveFocus(0x8003), PTP_RC_OK);
  EXPECT_EQ(commands(0x9155).at(0).params, std::vector<uint32_t>{0x8003});
  EXPECT_EQ(camGetAfState(), 1u);
  EXPECT_EQ(canonValueOf(0xD179), 0u);
}

TEST_F(CanonSessionFixture, ObjectAddedFetchesTheObjectInfo) {
  canonDevice({});
  sim->setObjectInfo(0x91000011, makeObjectInfo({}));
  body.queueEvent(record(0xC181, words({0x91000011})));
  ASSERT_EQ(evtPoll(true, false), PTP_RC_OK);
  auto events = drainEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].code, PTP_EC_ObjectAdded);
  EXPECT_EQ(events[0].objectInfo.objectId, 0x91000011u);
  EXPECT_STREQ(events[0].objectInfo.fileName, "IMG_0001.JPG");
}

TEST_F(CanonSessionFixture, ExtraInfoReadsItsWordOnlyFromALongEnoughReply) {
  canonDevice({0x9135});
  Bytes reply = words({0, 0, 0, 0, 0, 0, 0xABCD});
  sim->setPtpHandler(0x9135, [&](const auto&) {
    return devsim::Simulator::PtpReply{0x2001, devsim::Bytes(reply.begin(), reply.end()), {}};
  });
  uint32_t word = 0;
  ASSERT_EQ(canonGetObjectExtraInfo(7, 9, &word), PTP_RC_OK);
  EXPECT_EQ(word, 0xABCDu);
  EXPECT_EQ(commands(0x9135).at(0).params, (std::vector<uint32_t>{9, 7, 3, 0x00200000}));
  reply.resize(27);
  EXPECT_EQ(canonGetObjectExtraInfo(7, 9, &word), ERROR_INVALID_INPUT);
  EXPECT_EQ(canonGetObjectExtraInfo(7, 9, nullptr), ERROR_INVALID_INPUT);
}

TEST_F(CanonSessionFixture, RefreshTakesAndReleasesTheEventLock) {
  canonDevice({});
  body.queueEvent(concat({listRecord(0xD101, {0x28, 0x30}), valueRecord(0xD101, 0x30)}));
  ASSERT_EQ(canonRefreshProperties(), PTP_RC_OK);
  EXPECT_EQ(canonValueOf(0xD101), 0x30u);
  ASSERT_TRUE(evtLockFetch(false)) << "the lock was released";
  evtUnlockFetch();
}

TEST_F(CanonSessionFixture, LiveViewOnOlderBodiesUsesTheEvfOutputAndRemembersTheMode) {
  canonDevice({0x913E});
  putProperty(0xD1B0, 0, {0, 1, 2, 3}, 1, PTP_DTC_UINT32);
  putProperty(0xD105, 3, {1, 2, 3, 20}, 1, PTP_DTC_UINT32);
  ASSERT_EQ(canonSetLiveView(true, false), PTP_RC_OK);
  EXPECT_EQ(body.written().back(), words({12, 0xD1B0, 2}));
  EXPECT_EQ(canonState().liveViewExposureMode, 3);
  EXPECT_EQ(commands(0x913E).size(), 1u);
  ASSERT_EQ(canonSetLiveView(false, false), PTP_RC_OK);
  EXPECT_EQ(body.written().back(), words({12, 0xD1B0, 0}));
}

TEST(CanonCaptureMessages, OneStepAndOlderReleasesAreFramed) {
  kvtest::useCanonModel(0);
  uint8_t buffer[256];
  const size_t n = canonBuildCaptureMessages(buffer, sizeof buffer);
  ASSERT_EQ(n, 5u + 12u);  // no 0x9128 listed: RemoteRelease without parameters
  EXPECT_EQ(buffer[4], 10);
  EXPECT_EQ(buffer[5 + 6] | (buffer[5 + 7] << 8), 0x910F);
  EXPECT_EQ(canonBuildCaptureMessages(buffer, 10), 0u);
  kvtest::resetCanon();
}
