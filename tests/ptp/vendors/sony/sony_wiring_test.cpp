// The library's own Sony module behind the camera interface: a body set up through
// camInitCamera from its DeviceInfo (real model strings) answers every cam<Op> the Sony
// module implements, against the simulator. No module, service or hook is the test's.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/cam_predicates.h"
#include "ptp/link/command_vendor.h"
#include "ptp/link/commands.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_liveview.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "tests/ptp/vendors/sony/sony_sim_fixture.h"
#include "tests/ptp/vendors/vendor_wiring.h"

using kvtest::SonyDesc;
using kvtest::SonyWrite;

namespace {

const std::vector<uint16_t> kSonyWiringOps = {0x1001, 0x1002, 0x1008, 0x1009, 0x9204, 0x9205, 0x9207, 0x9209};

constexpr uint32_t sonyShutter(uint32_t n, uint32_t d) { return n << 16 | d; }

// Descriptors in the layout each body reports: direct-set bodies add a second count, and
// an empty list is followed by one more u16.
SonyDesc sonyEnum(uint16_t code, uint16_t datatype, uint64_t current, std::vector<uint64_t> values,
                  bool directSet = false) {
  std::vector<uint8_t> tail;
  if (directSet || values.empty()) tail = {0, 0};
  return {.code = code, .datatype = datatype, .current = current, .form = 2, .values = std::move(values),
          .tail = std::move(tail)};
}
SonyDesc sonyValue(uint16_t code, uint16_t datatype, uint64_t current) {
  return {.code = code, .datatype = datatype, .current = current};
}

// One 38-byte event row as the device hands it out.
void sonyEventRow(devsim::Bytes& rows, uint16_t kind, uint32_t code, uint32_t value, uint8_t settable) {
  devsim::Bytes row(kEventRowBytes, 0);
  devsim::Bytes head;
  devsim::putU16(head, kind);
  devsim::putU32(head, code);
  devsim::putU32(head, value);
  head.push_back(settable);
  std::copy(head.begin(), head.end(), row.begin());
  rows.insert(rows.end(), row.begin(), row.end());
}

}  // namespace

class SonyWiringTest : public SonySimTest {
 protected:
  void SetUp() override {
    kvtest::clearVendorWiring();
    SonySimTest::SetUp();  // camInit installs the library's vendor defaults
    // The body takes a directly set value at once (the 8-byte zoom position is no value);
    // the dial turns one list position per step.
    onWrite = [this](const SonyWrite& w) {
      if (w.op == kSonySetControlDeviceA && w.data.size() == 4 && camera.count(static_cast<uint16_t>(w.code)) &&
          !ignoreSets)
        camera[static_cast<uint16_t>(w.code)].current = w.value();
      if (w.op == PTP_OC_SONY_SetControlDeviceB && w.code == 0xD20D && !dial.empty()) {
        auto& current = camera[0xD20D].current;
        const auto at = std::find(dial.begin(), dial.end(), static_cast<uint32_t>(current)) - dial.begin();
        current = dial.at(static_cast<size_t>(at + static_cast<int32_t>(w.value())));
      }
    };
  }
  void TearDown() override {
    SonySimTest::TearDown();
    kvtest::clearVendorWiring();
  }

  // Camera set-up as a connection runs it: the DeviceInfo names the body, camInitCamera
  // does the rest.
  PtpResponseCode connectBody(const std::string& model, std::vector<SonyDesc> descs) {
    {
      std::lock_guard lock(mutex);
      camera.clear();
      for (auto& d : descs) camera[d.code] = d;
    }
    sim->setDeviceInfo(devsim::makeDeviceInfo("Sony Corporation", model, kSonyWiringOps));
    return camInitCamera(0);
  }
  size_t sentCount(uint16_t op) const {
    const auto codes = codesSent();
    return static_cast<size_t>(std::count(codes.begin(), codes.end(), op));
  }
  std::vector<std::pair<uint32_t, uint32_t>> buttonsSince(size_t from) const {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    const auto all = writes();
    for (size_t i = from; i < all.size(); ++i) {
      EXPECT_EQ(all[i].op, PTP_OC_SONY_SetControlDeviceB);
      EXPECT_EQ(all[i].data.size(), 2u) << std::hex << all[i].code;
      out.emplace_back(all[i].code, all[i].value());
    }
    return out;
  }

  std::vector<uint32_t> dial;  // the dialled shutter's list, as the body steps it
  bool ignoreSets = false;
};

TEST_F(SonyWiringTest, SetUpIdentifiesRealBodiesAndReadsEveryProperty) {
  struct Case {
    const char* model;
    uint8_t index;
    bool directSet;
    size_t shutterList;  // the module's own list on dialled bodies
    bool canZoom;
  } cases[] = {
      {"ILCE-7M3", 163, false, 56, false},
      {"ILCE-6400", 167, false, 53, true},
      {"ILCE-7C", 178, true, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    const size_t readsBefore = sentCount(kSonyGetAllDevicePropData);
    ASSERT_EQ(connectBody(c.model, {sonyValue(0x5007, 4, 560), sonyValue(0x500A, 4, 2),
                                    sonyEnum(0xD20D, 6, sonyShutter(1, 250), {})}),
              PTP_RC_OK);
    EXPECT_EQ(camGetVendor(), CameraVendorSony);
    EXPECT_EQ(camModelIndex(), c.index);
    EXPECT_EQ(sentCount(kSonyGetAllDevicePropData), readsBefore + 1);
    EXPECT_EQ(kvtest::valueOf(0x5007), 560u);
    // Sony's labels and Sony's own value texts.
    ASSERT_NE(propLabelFor(0xD2C1), nullptr);
    EXPECT_STREQ(propLabelFor(0xD2C1), "AF AE");
    EXPECT_EQ(propValueText(0x5007, 560).value_or(""), "5.6");
    EXPECT_EQ(propValueText(0x5010, 0xFC18).value_or(""), "-1.0");
    EXPECT_EQ(kvtest::listOf(0xD20D).size(), c.shutterList);
    EXPECT_EQ(propExists(0xD2DC), c.directSet);
    EXPECT_EQ(camGetAfState(), 0u);  // autofocus: focus mode 2
    EXPECT_EQ(camCanZoomLiveView(), c.canZoom);
    EXPECT_TRUE(camHasModelCapabilityB());
    EXPECT_TRUE(camHasMovieMode());
    EXPECT_EQ(camKeepAlive(), PTP_RC_OK);
  }
  // A body the table does not know is refused.
  EXPECT_EQ(connectBody("DSC-RX100", {}), ERROR_CAMERA_NOT_SUPPORTED);
}

TEST_F(SonyWiringTest, DirectSetWaitsForTheBodyToReportTheValue) {
  ASSERT_EQ(connectBody("ILCE-7C", {sonyEnum(0x5010, 4, 0, {0xFC18, 0, 0x3E8}, true)}), PTP_RC_OK);
  size_t reads = sentCount(kSonyGetAllDevicePropData);
  ASSERT_EQ(camSetPropertyValue(0x5010, 0x3E8, true), PTP_RC_OK);
  const auto w = writesOf(0x5010);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].op, kSonySetControlDeviceA);
  EXPECT_EQ(w[0].data, (std::vector<uint8_t>{0xE8, 0x03, 0, 0}));
  EXPECT_EQ(kvtest::valueOf(0x5010), 0x3E8u);
  EXPECT_GT(sentCount(kSonyGetAllDevicePropData), reads);
  EXPECT_FLOAT_EQ(camExposureBiasToEv(kvtest::valueOf(0x5010)), 1.0f);
  EXPECT_FLOAT_EQ(camGetExposureBiasMax(), 1.0f);
  EXPECT_FLOAT_EQ(camGetExposureBiasMin(), -1.0f);

  // A body that never reports the value: six reads, then "not confirmed".
  ignoreSets = true;
  reads = sentCount(kSonyGetAllDevicePropData);
  EXPECT_EQ(camSetPropertyValue(0x5010, 0xFC18, true), PTP_ERROR_PROP_NOT_CONFIRMED);
  EXPECT_EQ(sentCount(kSonyGetAllDevicePropData), reads + 6);
  // A value the body does not list is refused before anything is sent.
  EXPECT_EQ(camSetPropertyValue(0x5010, 0x7D0, true), PTP_RC_ParameterNotSupported);
  EXPECT_EQ(writesOf(0x5010).size(), 2u);
}

TEST_F(SonyWiringTest, DialledBodyStepsToTheValue) {
  ASSERT_EQ(connectBody("ILCE-7M3", {sonyEnum(0xD20D, 6, sonyShutter(1, 250), {})}), PTP_RC_OK);
  {
    std::lock_guard lock(mutex);
    dial = kvtest::listOf(0xD20D);
  }
  ASSERT_EQ(camSetPropertyValue(0xD20D, sonyShutter(1, 60), true), PTP_RC_OK);
  const auto w = writesOf(0xD20D);
  ASSERT_EQ(w.size(), 6u);  // model 163 steps one position at a time
  for (const auto& one : w) {
    EXPECT_EQ(one.op, PTP_OC_SONY_SetControlDeviceB);
    EXPECT_EQ(one.value(), 0xFFFFFFFFu);
  }
  EXPECT_EQ(kvtest::valueOf(0xD20D), sonyShutter(1, 60));
  EXPECT_EQ(camShutterSpeedToMs(sonyShutter(2, 1)), 2000u);
}

TEST_F(SonyWiringTest, EventRowsAreParsedIntoTheQueue) {
  ASSERT_EQ(connectBody("ILCE-6400", {sonyEnum(0x5013, 4, 1, {1, 2}), sonyValue(0x500A, 4, 2)}), PTP_RC_OK);
  devInstallEventFetch(0);
  setCamera(0x500A, 1);  // turned to manual on the body; only a full read sees it
  setCamera(0x5013, 2);  // the row below reports this one
  devsim::Bytes rows;
  sonyEventRow(rows, PTP_EC_DEVICE_RowPropertyChanged, 0x5013, 2, 1);
  sonyEventRow(rows, PTP_EC_DEVICE_RowPropertyChanged, 0x12345678, 0, 0);
  sim->setControlReply(DeviceOpcodeGetEvents, devsim::ControlReply{PTP_RC_OK, rows});
  evtClearQueue();

  std::vector<uint8_t> events{9};
  ASSERT_EQ(camCheckEvents(events), PTP_RC_OK);
  EXPECT_TRUE(events.empty());  // the poll parsed them itself
  std::vector<uint32_t> changed;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) {
    ASSERT_EQ(e.code, PTP_EC_DevicePropChanged);
    ASSERT_NE(e.property, nullptr);
    changed.push_back(e.property->code);
  }
  std::sort(changed.begin(), changed.end());
  EXPECT_EQ(changed, (std::vector<uint32_t>{0x500A, 0x5013}));
  EXPECT_EQ(kvtest::valueOf(0x5013), 2u);
  EXPECT_EQ(kvtest::valueOf(0x500A), 1u);
  EXPECT_TRUE(camIsContinuousDrive());
  EXPECT_TRUE(camIsManualFocus());
  // camRefreshAllProperties is one more poll for Sony.
  const auto before = sim->received().size();
  EXPECT_EQ(camRefreshAllProperties(), PTP_RC_OK);
  EXPECT_GT(sim->received().size(), before);
}

TEST_F(SonyWiringTest, CaptureAndTheOtherButtonsGoOutAs9207) {
  ASSERT_EQ(connectBody("ILCE-7M3", {sonyValue(0x500A, 4, 2), sonyValue(0xD213, 4, 2), sonyValue(0x5013, 6, 1)}),
            PTP_RC_OK);
  using Expect = std::vector<std::pair<uint32_t, uint32_t>>;
  struct Case {
    const char* name;
    std::function<PtpResponseCode()> call;
    Expect sent;
  } cases[] = {
      {"take picture", [] { return camTakePicture(); }, {{0xD2C1, 2}, {0xD2C2, 2}, {0xD2C1, 1}, {0xD2C2, 1}}},
      {"half press", [] { return camHalfPress(); }, {{0xD2C1, 2}}},
      {"half release", [] { return camHalfRelease(); }, {{0xD2C1, 1}}},
      {"bulb start", [] { return camBulbStart(); }, {{0xD2C1, 2}, {0xD2C2, 2}}},
      {"bulb end", [] { return camBulbEnd(); }, {{0xD2C1, 1}, {0xD2C2, 1}}},
      {"movie start", [] { return camStartMovieRecording(); }, {{0xD2C8, 2}}},
      {"movie stop", [] { return camStopMovieRecording(); }, {{0xD2C8, 1}}},
      {"focus drive", [] { return camDriveFocus(-3); }, {{0xD2D1, 0xFFFD}}},
      {"device focus step", [] { return devDriveFocus(5, 3); }, {{0xD2D1, 0xFFF1}}},  // -(5 x 3)
      {"control write", [] { return camSetControlDevice(0xD2C3, 2); }, {{0xD2C3, 2}}},
      {"move AF point", [] { return camMoveAfPoint(1); }, {{0xD2CE, 2}, {0xD2CE, 1}}},
      {"start AF", [] { return camStartAutoFocus(); }, {{0xD2C1, 2}}},
      {"stop AF", [] { return camStopAutoFocus(); }, {{0xD2C1, 1}}},
      {"zoom button", [] { return camSetLiveViewZoom(100); }, {{0xD2CB, 2}, {0xD2CB, 1}}},
      // Last: the body is left with focus engaged by the toggle.
      {"manual focus", [] { return camSetManualFocus(1, false); }, {{0xD2D2, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t from = writes().size();
    EXPECT_EQ(c.call(), PTP_RC_OK);
    EXPECT_EQ(buttonsSince(from), c.sent);
  }
  // Sony has no capture command for the device to relay.
  uint8_t buffer[64];
  EXPECT_EQ(camBuildCaptureCommand(buffer, sizeof buffer), 0u);
}

TEST_F(SonyWiringTest, LiveViewZoomOnADirectSetBodyIsOneSetOfItsPosition) {
  ASSERT_EQ(connectBody("ILCE-7C", {sonyEnum(0xD254, 6, 10, {10, 20, 30, 40}, true), sonyValue(0xD25B, 2, 1)}),
            PTP_RC_OK);
  EXPECT_TRUE(camIsLiveViewZoomEnabled());
  ASSERT_EQ(camSetLiveViewZoom(200), PTP_RC_OK);
  const auto w = writesOf(0xD254);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].op, kSonySetControlDeviceA);
  EXPECT_EQ(w[0].data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 40, 0, 0, 0}));  // the fourth entry
  setCamera(0xD254, 30);
  ASSERT_EQ(sonyRefreshPropertyValue(0xD254), PTP_RC_OK);
  EXPECT_EQ(camGetLiveViewZoom(), 100);  // the third entry
}

TEST_F(SonyWiringTest, LiveViewFrameComesFromItsHandle) {
  ASSERT_EQ(connectBody("ILCE-7M3", {sonyValue(0xD253, 2, 3)}), PTP_RC_OK);
  sim->setObjectInfo(kSonyLiveViewHandle, kvtest::makeObjectInfo({}));
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  auto commands = sim->ptpCommands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back().code, PTP_OC_GetObjectInfo);
  EXPECT_EQ(commands.back().params, (std::vector<uint32_t>{kSonyLiveViewHandle}));
  EXPECT_TRUE(camLiveViewFlag());

  devsim::Bytes frame(200, 0x11);
  for (uint8_t b : {0xFF, 0xD8, 0xFF, 0xDB}) frame.push_back(b);
  frame.resize(2000, 0x22);
  sim->addObject(kSonyLiveViewHandle, frame);
  ByteBuffer out;
  ASSERT_EQ(camGetLiveViewFrame(out), PTP_RC_OK);
  commands = sim->ptpCommands();
  EXPECT_EQ(commands.back().code, PTP_OC_GetObject);
  EXPECT_EQ(commands.back().params, (std::vector<uint32_t>{kSonyLiveViewHandle}));
  ASSERT_EQ(out.size(), frame.size());
  EXPECT_TRUE(std::equal(out.begin(), out.end(), frame.begin()));
  std::vector<uint8_t> jpeg(out.begin(), out.end());
  ASSERT_TRUE(sonyStripLiveViewHeader(jpeg));
  EXPECT_EQ(jpeg.size(), 1800u);
  EXPECT_EQ(camGetLiveViewOrientation(), 1);

  // Movie mode is live view for Sony; leaving it sends nothing.
  const size_t before = sim->ptpCommands().size();
  EXPECT_EQ(camExitMovieMode(), PTP_RC_OK);
  EXPECT_EQ(sim->ptpCommands().size(), before);
  EXPECT_EQ(camEnterMovieMode(), PTP_RC_OK);
  EXPECT_EQ(sim->ptpCommands().back().code, PTP_OC_GetObjectInfo);
}

TEST_F(SonyWiringTest, NewObjectsComeFromImagePendingAndNothingIsListed) {
  ASSERT_EQ(connectBody("ILCE-6400", {sonyValue(0xD215, 4, 0x8003)}), PTP_RC_OK);
  std::vector<uint32_t> handles;
  ASSERT_EQ(camGetNewObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, (std::vector<uint32_t>(3, kSonyNewObjectHandle)));
  setCamera(0xD215, 0x0005);
  EXPECT_EQ(camGetNewObjectHandles(handles), PTP_RC_DeviceBusy);
  EXPECT_TRUE(handles.empty());
  // The body offers no object list: nothing is asked.
  handles = {1, 2};
  EXPECT_EQ(camGetAllObjectHandles(handles), 0);
  EXPECT_TRUE(handles.empty());
  EXPECT_EQ(sentCount(PTP_OC_GetObjectHandles), 0u);
}

TEST_F(SonyWiringTest, ImageFormatThroughTheCameraInterface) {
  ASSERT_EQ(connectBody("ILCE-7M3", {sonyEnum(0xD253, 2, 2, {1, 2, 3}), sonyEnum(0xD252, 2, 2, {1, 2, 3}),
                                     sonyEnum(0xD203, 2, 1, {1, 2, 3})}),
            PTP_RC_OK);
  // The quality slot follows the body's format property, and its packed value (size and
  // compression above the format byte) still reads as RAW + JPEG.
  EXPECT_EQ(propVendorCodeMap().imageQuality, 0xD253u);
  EXPECT_EQ(kvtest::valueOf(0xD253), 0x010202u);
  EXPECT_TRUE(camQualityIncludesRaw());
  EXPECT_EQ(camGetRawFormat(), 1);
  EXPECT_EQ(camGetJpegFormat() & 0xFF, 3);
  EXPECT_TRUE(camQualityIncludesJpeg(3));
  EXPECT_FALSE(camIsRawOnlyQuality());
  // RAW only is the format byte 1 under the packed size and compression.
  setCamera(0xD253, 1);
  ASSERT_EQ(sonyRefreshPropertyValue(0xD253), PTP_RC_OK);
  EXPECT_EQ(kvtest::valueOf(0xD253), 0x010201u);
  EXPECT_TRUE(camIsRawOnlyQuality());
  EXPECT_FALSE(camQualityIncludesRaw());
  setCamera(0xD253, 2);
  ASSERT_EQ(sonyRefreshPropertyValue(0xD253), PTP_RC_OK);
  std::vector<int64_t> choices;
  ASSERT_EQ(camGetImageFormatChoices(6, choices), PTP_RC_OK);
  EXPECT_EQ(choices, (std::vector<int64_t>{-1, 1}));
  // JPEG only, large, fine: the format byte goes to 3.
  ASSERT_EQ(camSetImageFormat(-1, (1 << 16) | (2 << 8) | 3), PTP_RC_OK);
  const auto w = writesOf(0xD253);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].value(), 3u);
}

TEST_F(SonyWiringTest, BracketingIsClearedBackToSingleShot) {
  ASSERT_EQ(connectBody("ILCE-6400", {sonyEnum(0x5013, 6, 0x8537, {1, 2, 0x8537})}), PTP_RC_OK);
  camClearBracketing();
  auto w = writesOf(0x5013);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].op, kSonySetControlDeviceA);
  EXPECT_EQ(w[0].value(), 1u);
  ASSERT_EQ(sonyRefreshPropertyValue(0x5013), PTP_RC_OK);
  EXPECT_EQ(kvtest::valueOf(0x5013), 1u);
  // Nothing to clear: nothing sent.
  camClearBracketing();
  setCamera(0x5013, 2);  // continuous, not bracketing
  ASSERT_EQ(sonyRefreshPropertyValue(0x5013), PTP_RC_OK);
  camClearBracketing();
  EXPECT_EQ(writesOf(0x5013).size(), 1u);
}

TEST_F(SonyWiringTest, FocusStackClearsBracketingAndStepsBetweenShots) {
  ASSERT_EQ(connectBody("ILCE-7M3", {sonyValue(0x500A, 4, 1), sonyValue(0xD215, 4, 0),
                                     sonyEnum(0x5013, 6, 0x8337, {1, 0x8337})}),
            PTP_RC_OK);
  std::vector<int> progress;
  EXPECT_EQ(camFocusStack(3, 2, 0,
                          [&](int shot, int) {
                            progress.push_back(shot);
                            return true;
                          }),
            PTP_RC_OK);
  EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
  const auto steps = writesOf(0xD2D1);
  ASSERT_EQ(steps.size(), 2u);  // three shots, two steps between them
  for (const auto& s : steps) EXPECT_EQ(s.value(), 4u);  // step 2 maps to 4
  // The bracketing drive was cleared before the first shot.
  const auto drive = writesOf(0x5013);
  ASSERT_EQ(drive.size(), 1u);
  EXPECT_EQ(drive[0].value(), 1u);
  const auto all = writes();
  EXPECT_EQ(all.front().code, 0x5013u);

  // In autofocus the stack refuses at once.
  setCamera(0x500A, 2);
  ASSERT_EQ(sonyRefreshPropertyValue(0x500A), PTP_RC_OK);
  ASSERT_EQ(sonyRefreshPropertyValue(0x5013), PTP_RC_OK);  // single shot by now
  const size_t before = writes().size();
  EXPECT_EQ(camFocusStack(3, 2, 0, nullptr), ERROR_GENERAL);
  EXPECT_EQ(writes().size(), before);
}
