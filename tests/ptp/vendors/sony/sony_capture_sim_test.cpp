// Sony capture, focus stacking, focus switching, AF point, zoom and image-format sets
// against the simulator.
#include <algorithm>
#include <cmath>

#include "ptp/camera/cam_interface.h"
#include "ptp/camera/vendor_module.h"
#include "ptp/vendors/sony/sony_capture.h"
#include "ptp/vendors/sony/sony_focus_ops.h"
#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_props.h"
#include "ptp/vendors/sony/sony_state.h"
#include "tests/ptp/vendors/sony/sony_sim_fixture.h"

using kvtest::SonyDesc;
using kvtest::SonyWrite;
using kvtest::valueOf;
using namespace std::chrono_literals;

namespace {

// The module's setter behind the camera interface, as the library wires it.
struct SonyModuleForTest : VendorModule {
  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override { return sonySetPropertyValue(code, value); }
  void waitSetPropertyIdle() override { sonyWaitSetPropertyIdle(); }
  bool isDirectSetModel() override { return sonyIsDirectSetModel(); }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return sonyWaitPropertyValue(code, value); }
};

std::vector<std::pair<uint32_t, uint32_t>> pairs(const std::vector<SonyWrite>& writes) {
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (auto& w : writes) out.emplace_back(w.code, w.value());
  return out;
}

}  // namespace

TEST_F(SonySimTest, BracketingBurstIsHeldBeforeTheShutterIsReleased) {
  body("ILCE-7M3", {{.code = 0x500A, .datatype = 4, .current = 1},  // manual focus: no focus wait
                    {.code = 0x5013, .datatype = 4, .current = 0x8537},
                    {.code = 0xD20D, .datatype = 6, .current = 1u << 16 | 2}});
  naps.clear();
  ASSERT_EQ(sonyTakePicture(), PTP_RC_OK);
  EXPECT_EQ(pairs(writes()), (std::vector<std::pair<uint32_t, uint32_t>>{
                                 {0xD2C1, 2}, {0xD2C2, 2}, {0xD2C1, 1}, {0xD2C2, 1}}));
  EXPECT_EQ(naps, (std::vector<std::chrono::milliseconds>{2750ms, 100ms}));

  // Single drive on model 189: no burst, a longer hold.
  body("ILCE-9M3", {{.code = 0x500A, .datatype = 4, .current = 1}, {.code = 0x5013, .datatype = 4, .current = 1}});
  naps.clear();
  ASSERT_EQ(sonyTakePicture(), PTP_RC_OK);
  EXPECT_EQ(naps, (std::vector<std::chrono::milliseconds>{250ms}));
}

TEST_F(SonySimTest, TakePictureWaitsForFocusInAutofocus) {
  body("ILCE-7M3", {{.code = 0x500A, .datatype = 4, .current = 2}, {.code = 0xD213, .datatype = 2, .current = 1}});
  onWrite = [&](const SonyWrite& w) {
    if (w.code == 0xD2C1 && w.value() == 2) camera[0xD213].current = 2;
  };
  reads = 0;
  ASSERT_EQ(sonyTakePicture(), PTP_RC_OK);
  EXPECT_EQ(reads, 1);  // focus reported at the first read
  failCode = 0xD2C1;
  EXPECT_EQ(sonyTakePicture(), PTP_RC_GeneralError);
}

TEST_F(SonySimTest, CaptureAndWaitWaitsUntilNothingIsPending) {
  body("ILCE-7M3", {{.code = 0x500A, .datatype = 4, .current = 1},
                    {.code = 0x5013, .datatype = 4, .current = 1},
                    {.code = 0xD20D, .datatype = 6, .current = 2u << 16 | 1},
                    {.code = 0xD215, .datatype = 6, .current = 0x8001}});
  int pendingReads = 0;
  onWrite = [&](const SonyWrite&) {};
  sim->setPtpHandler(kSonyGetAllDevicePropData, [&](const devsim::Simulator::PtpCommand&) {
    std::lock_guard lock(mutex);
    if (++pendingReads == 3) camera[0xD215].current = 0;
    std::vector<SonyDesc> list;
    for (auto& [code, d] : camera) list.push_back(d);
    auto bytes = kvtest::sonyReply(list);
    return devsim::Simulator::PtpReply{.data = devsim::Bytes(bytes.begin(), bytes.end())};
  });
  sonySetLongExposure(true);
  naps.clear();
  ASSERT_EQ(sonyCaptureAndWait(), PTP_RC_OK);
  EXPECT_EQ(pendingReads, 3);
  // Hold, twice the 2 s exposure, 500 ms, two pauses between reads, 1.75 s.
  EXPECT_EQ(naps, (std::vector<std::chrono::milliseconds>{100ms, 4000ms, 500ms, 250ms, 250ms, 1750ms}));
}

TEST_F(SonySimTest, FocusStackNeedsManualFocusAndStepsBetweenShots) {
  body("ILCE-7M3", {{.code = 0x500A, .datatype = 4, .current = 2},
                    {.code = 0x5013, .datatype = 4, .current = 1},
                    {.code = 0xD215, .datatype = 6, .current = 0}});
  EXPECT_EQ(sonyFocusStack(3, 4, 0, nullptr), ERROR_GENERAL);
  EXPECT_TRUE(writes().empty());

  setCamera(0x500A, 1);
  sonyRefreshPropertyValue(0x500A);
  std::vector<int> progress;
  ASSERT_EQ(sonyFocusStack(3, 4, 0,
                           [&](int i, int n) {
                             progress.push_back(i);
                             EXPECT_EQ(n, 3);
                             return true;
                           }),
            PTP_RC_OK);
  EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
  const auto steps = writesOf(0xD2D1);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].value(), 4u);
  EXPECT_EQ(writesOf(0xD2C2).size(), 6u);  // three pictures, press and release

  EXPECT_EQ(sonyFocusStack(0, 4, 0, nullptr), PTP_RC_OK);
  EXPECT_EQ(sonyFocusStack(3, 4, 0, [](int, int) { return false; }), ERROR_CANCELLED);
  failCode = 0xD2D1;
  EXPECT_EQ(sonyFocusStack(2, 4, 0, nullptr), PTP_RC_GeneralError);
}

TEST_F(SonySimTest, FocusToggleSwitchesOnlyWhereItCan) {
  body("ILCE-7M2", {{.code = 0x500A, .datatype = 4, .current = 2}});
  EXPECT_EQ(sonySetManualFocus(true), ERROR_CAMERA_NOT_SUPPORTED);  // no capability B
  EXPECT_EQ(sonySetManualFocus(false), PTP_RC_OK);                  // already there

  body("ILCE-7RM4", {{.code = 0x500A, .datatype = 4, .current = 2}});
  ASSERT_TRUE(sonyCanAutoFocus());
  ASSERT_EQ(sonySetManualFocus(true), PTP_RC_OK);
  EXPECT_EQ(pairs(writesOf(0xD2D2)).size(), 1u);
  EXPECT_TRUE(sonyIsFocusEngaged());

  // In manual focus without the toggle engaged, autofocus cannot be reached.
  body("ILCE-7RM4", {{.code = 0x500A, .datatype = 4, .current = 1}});
  EXPECT_FALSE(sonyCanAutoFocus());
  EXPECT_EQ(sonySetManualFocus(false), PTP_ERROR_UNSUPPORTED_COMMAND);

  // Model 180 presses both halves of the toggle, 250 ms apart.
  body("ILCE-1", {{.code = 0x500A, .datatype = 4, .current = 2}});
  const size_t before = writesOf(0xD2D2).size();
  naps.clear();
  ASSERT_EQ(sonySetManualFocus(true), PTP_RC_OK);
  EXPECT_EQ(writesOf(0xD2D2).size(), before + 2);
  EXPECT_EQ(naps, (std::vector<std::chrono::milliseconds>{250ms}));
}

TEST_F(SonySimTest, AfPointMovesThePositionPairOnNewerBodies) {
  // Model 180: the pair last reported with 0xD254, held inside its range.
  body("ILCE-1", {{.code = 0xD254, .datatype = 8, .current = uint64_t(1) << 32 | 0x00640003}});
  ASSERT_EQ(sonyLiveViewPosition(), 0x00640003u);
  ASSERT_EQ(sonyMoveAfPoint(0), PTP_RC_OK);
  ASSERT_EQ(sonyMoveAfPoint(3), PTP_RC_OK);
  const auto w = writesOf(0xD254);
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0].op, kSonySetControlDeviceA);
  EXPECT_EQ(w[0].value(), 0x00640000u);  // 3 - 5 stops at 0
  EXPECT_EQ(w[1].value(), 0x00690003u);

  // Setting the point: 0xD232 by 0x9205 on bodies without 0xD2DC, scaled to 640 x 428.
  body("ILCE-7M3", {{.code = 0xD232, .datatype = 6, .current = 0}});
  ASSERT_EQ(sonySetAfPoint(0.5f, 1.0f), PTP_RC_OK);
  auto set = writesOf(0xD232);
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].op, kSonySetControlDeviceA);
  EXPECT_EQ(set[0].value(), 320u << 16 | 428u);
  ASSERT_EQ(sonySetAfPoint(-3.0f, 7.0f), PTP_RC_OK);  // held inside the frame
  EXPECT_EQ(writesOf(0xD232)[1].value(), 428u);
  EXPECT_EQ(sonySetAfPoint(std::nanf(""), 0.5f), ERROR_INVALID_INPUT);
}

TEST_F(SonySimTest, LiveViewZoom) {
  // Direct-set model 171: 0xD254 with eight bytes, the list's fourth entry for 200 %.
  body("ILCE-7RM4", {{.code = 0xD254,
                     .datatype = 8,
                     .current = 0,
                     .form = 2,
                     .values = {0, uint64_t(1) << 32, uint64_t(0x10) << 32, uint64_t(0x20) << 32}}});
  ASSERT_EQ(sonySetLiveViewZoom(200), PTP_RC_OK);
  auto w = writesOf(0xD254);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 0, 0}));
  setCamera(0xD254, uint64_t(0x10) << 32);
  EXPECT_EQ(sonyGetLiveViewZoom(true), 100u);
  setCamera(0xD254, uint64_t(0x20) << 32);
  EXPECT_EQ(sonyGetLiveViewZoom(true), 200u);

  // Model 167: the zoom button, twice from no zoom; refused in a continuous drive.
  body("ILCE-6400", {{.code = 0xD22F, .datatype = 2, .current = 0}, {.code = 0x5013, .datatype = 4, .current = 1}});
  naps.clear();
  ASSERT_EQ(sonySetLiveViewZoom(100), PTP_RC_OK);
  EXPECT_EQ(pairs(writesOf(0xD2CB)),
            (std::vector<std::pair<uint32_t, uint32_t>>{{0xD2CB, 2}, {0xD2CB, 1}, {0xD2CB, 2}, {0xD2CB, 1}}));
  EXPECT_EQ(naps, (std::vector<std::chrono::milliseconds>{100ms}));
  setCamera(0xD22F, 50);
  EXPECT_EQ(sonyGetLiveViewZoom(true), 100u);
  setCamera(0xD22F, 80);
  EXPECT_EQ(sonyGetLiveViewZoom(true), 200u);
  setCamera(0x5013, 0x8012);
  sonyRefreshPropertyValue(0x5013);
  EXPECT_EQ(sonySetLiveViewZoom(100), ERROR_INVALID_CONTINUOUS_DRIVE_MODE);

  body("ILCE-7M2", {});
  EXPECT_EQ(sonySetLiveViewZoom(100), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(sonyGetLiveViewZoom(false), 0u);
  body("ILCE-7SM3", {});
  EXPECT_EQ(sonySetLiveViewZoom(100), PTP_ERROR_UNSUPPORTED_COMMAND);
}

TEST_F(SonySimTest, ImageFormatSetsFormatCompressionAndSize) {
  camRegisterVendorModule(CameraVendorSony, std::make_shared<SonyModuleForTest>());
  // Old scheme on a body that takes 19 for RAW+JPEG.
  body("SLT-A99V", {{.code = 0x5004, .datatype = 2, .current = 3, .form = 2, .values = {2, 3, 4, 16, 19}},
                    {.code = 0xD203, .datatype = 2, .current = 1, .form = 2, .values = {1, 2, 3}}});
  ASSERT_EQ(sonySetImageFormat(16, 0x20004), PTP_RC_OK);
  EXPECT_EQ(pairs(writes()), (std::vector<std::pair<uint32_t, uint32_t>>{{0x5004, 19}, {0xD203, 2}}));
  EXPECT_EQ(sonySetImageFormat(-1, -1), ERROR_GENERAL);

  // New scheme: RAW only sets the format and leaves compression and size alone.
  body("ILCE-7M3", {{.code = 0xD253, .datatype = 2, .current = 3, .form = 2, .values = {1, 2, 3}},
                    {.code = 0xD252, .datatype = 2, .current = 2, .form = 2, .values = {1, 2, 3}},
                    {.code = 0xD203, .datatype = 2, .current = 1, .form = 2, .values = {1, 2, 3}}});
  const size_t before = writes().size();
  ASSERT_EQ(sonySetImageFormat(1, -1), PTP_RC_OK);
  auto w = writes();
  ASSERT_EQ(w.size(), before + 1);
  EXPECT_EQ(w.back().code, 0xD253u);
  EXPECT_EQ(w.back().value(), 1u);

  // RAW + JPEG with another compression: format, then compression; the size is unchanged.
  ASSERT_EQ(sonySetImageFormat(1, 0x10103), PTP_RC_OK);
  w = writes();
  ASSERT_EQ(w.size(), before + 3);
  EXPECT_EQ(std::make_pair(w[before + 1].code, w[before + 1].value()), std::make_pair(0xD253u, 2u));
  EXPECT_EQ(std::make_pair(w[before + 2].code, w[before + 2].value()), std::make_pair(0xD252u, 1u));

  // The first refused set is answered.
  failCode = 0xD253;
  EXPECT_EQ(sonySetImageFormat(1, 0x10203), PTP_RC_GeneralError);
  camResetVendorModules();
}

TEST_F(SonyTest, EventContainersOfNewObjects) {
  std::vector<uint8_t> c;
  kvtest::putLe(c, 20, 4);
  kvtest::putLe(c, 4, 2);
  kvtest::putLe(c, 0xC201, 2);
  kvtest::putLe(c, 9, 4);
  kvtest::putLe(c, 0x12345, 4);
  kvtest::putLe(c, 0, 4);
  EXPECT_EQ(sonyFilterEventContainer(c.data(), c.size()), 20u);
  const PtpEventStruct e = evtPop();
  EXPECT_EQ(e.code, PTP_EC_ObjectAdded);
  EXPECT_EQ(e.objectInfo.objectId, 0x12345u);
  // Too short, another code, another type, or a length beyond the bytes given: nothing.
  EXPECT_EQ(sonyFilterEventContainer(c.data(), 19), 0u);
  c[6] = 0x02;
  EXPECT_EQ(sonyFilterEventContainer(c.data(), c.size()), 0u);
  c[6] = 0x01;
  c[4] = 2;
  EXPECT_EQ(sonyFilterEventContainer(c.data(), c.size()), 0u);
  EXPECT_EQ(evtQueueSize(), 0u);
}

TEST_F(SonySimTest, ExposureModeChangeReengagesTheFocusToggle) {
  body("ILCE-7RM4", {{.code = 0x500E, .datatype = 4, .current = 2}, {.code = 0x500A, .datatype = 4, .current = 2}});
  sonySetFocusEngaged(true);
  ASSERT_NE(sonyStorePropertyValue(0x500E, 2, 1), nullptr);  // no change: nothing sent
  EXPECT_TRUE(writes().empty());
  PropertyStruct* r = sonyStorePropertyValue(0x500E, 3, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(pairs(writesOf(0xD2D2)), (std::vector<std::pair<uint32_t, uint32_t>>{{0xD2D2, 1}, {0xD2D2, 2}}));
  EXPECT_EQ(propCopy(0x500E)->getSet, 0);
  EXPECT_EQ(valueOf(0x500E), 3u);
}

TEST_F(SonyTest, PollingWaitReadsTheTableAfterEachPoll) {
  std::vector<std::chrono::milliseconds> naps;
  ScopedSleepHook hook([&](std::chrono::milliseconds d) { naps.push_back(d); });
  kvtest::putProperty(0x5005, 4);
  EXPECT_TRUE(sonyWaitPropertyValuePolling(0x5005, 4, 1000));
  EXPECT_TRUE(naps.empty());
  EXPECT_FALSE(sonyWaitPropertyValuePolling(0x5005, 6, 1000));
  EXPECT_EQ(naps.size(), 3u);  // four reads
  naps.clear();
  EXPECT_FALSE(sonyWaitPropertyValuePolling(0x5005, 6, 0));
  EXPECT_EQ(naps.size(), 998u);
}
