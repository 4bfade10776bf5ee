// Nikon capture, live view, zoom, movies and set-up against the simulated camera: the
// answer sequences of each operation, and the limits on a camera that never stops
// answering busy.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/vendor_module.h"
#include "ptp/vendors/nikon/nikon_capture.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_liveview.h"
#include "ptp/vendors/nikon/nikon_liveview_ops.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_setup.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/nikon/nikon_fixture.h"

using kvtest::nikonValueOf;
using kvtest::putProperty;

namespace {

struct Module : VendorModule {
  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override {
    return nikonSetPropertyValue(code, value);
  }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return nikonWaitPropertyValue(code, value); }
  PtpResponseCode takePicture() override { return nikonShutterDown(); }
};

// A camera answering each operation from a script (then 0x2001), keeping property values
// as UINT16.
struct NikonCaptureTest : PtpSessionFixture {
  std::map<uint16_t, std::deque<uint16_t>> answers;
  std::map<uint16_t, uint16_t> always;  // an answer that never runs out
  std::map<uint32_t, uint16_t> camera;
  std::map<uint16_t, devsim::Bytes> data;

  void start(uint8_t model, std::vector<uint16_t> extraOps) {
    std::vector<uint16_t> ops{0x1001, 0x1002, PTP_OC_GetDevicePropDesc, PTP_OC_GetDevicePropValue,
                              PTP_OC_SetDevicePropValue, PTP_OC_NIKON_SetControlMode, PTP_OC_NIKON_DeviceReady,
                              PTP_OC_NIKON_StartLiveView, PTP_OC_NIKON_EndLiveView, PTP_OC_NIKON_AfCancel,
                              PTP_OC_NIKON_StartMovie, PTP_OC_NIKON_EndMovie, PTP_OC_InitiateCapture, 0x90C1};
    ops.insert(ops.end(), extraOps.begin(), extraOps.end());
    deviceInfo("Nikon", ops);
    kvtest::resetNikon();
    setCameraServices(std::make_shared<kvtest::NikonTestServices>());
    camSetVendor(CameraVendorNikon);
    camSetModelIndex(model);
    camRegisterVendorModule(CameraVendorNikon, std::make_shared<Module>());
    for (uint16_t op : ops) {
      if (op == 0x1001 || op == 0x1002) continue;
      sim->setPtpHandler(op, [this, op](const devsim::Simulator::PtpCommand& c) { return answer(op, c); });
    }
  }
  devsim::Simulator::PtpReply answer(uint16_t op, const devsim::Simulator::PtpCommand& c) {
    devsim::Simulator::PtpReply r;
    if (auto a = always.find(op); a != always.end()) {
      r.result = a->second;
    } else if (auto& q = answers[op]; !q.empty()) {
      r.result = q.front();
      q.pop_front();
    }
    if (r.result != PTP_RC_OK) return r;
    const uint32_t code = c.params.empty() ? 0 : c.params[0];
    if (op == PTP_OC_SetDevicePropValue && c.data.size() >= 2)
      camera[code] = static_cast<uint16_t>(c.data[0] | c.data[1] << 8);
    if (op == PTP_OC_SetDevicePropValue && c.data.size() == 1) camera[code] = c.data[0];
    if (op == PTP_OC_GetDevicePropValue) {
      if (!camera.count(code)) r.result = 0x200A;
      else r.data = devsim::Bytes{static_cast<uint8_t>(camera[code]), static_cast<uint8_t>(camera[code] >> 8)};
    }
    if (op == PTP_OC_GetDevicePropDesc) {
      if (!camera.count(code)) {
        r.result = 0x200A;
        return r;
      }
      r.data = desc(static_cast<uint16_t>(code), camera[code]);
    }
    if (auto d = data.find(op); d != data.end()) r.data = d->second;
    return r;
  }
  static devsim::Bytes desc(uint16_t code, uint16_t value) {
    devsim::Bytes b;
    devsim::putU16(b, code);
    devsim::putU16(b, 4);
    b.push_back(1);
    devsim::putU16(b, value);
    devsim::putU16(b, value);
    b.push_back(0);
    return b;
  }
  void TearDown() override {
    kvtest::resetNikon();
    camResetVendorModules();
    PtpSessionFixture::TearDown();
  }
  // A property in the table and on the camera.
  void both(uint32_t code, uint16_t value) {
    putProperty(code, value);
    camera[code] = value;
  }
  std::vector<devsim::Simulator::PtpCommand> sent(uint16_t op) const {
    std::vector<devsim::Simulator::PtpCommand> out;
    for (auto& c : sim->ptpCommands())
      if (c.code == op) out.push_back(c);
    return out;
  }
};

}  // namespace

TEST_F(NikonCaptureTest, MirrorUpSequencePostsThePseudoRecord) {
  start(219, {PTP_OC_NIKON_CaptureInMedia});
  camSetAfState(0);
  answers[PTP_OC_NIKON_CaptureInMedia] = {PTP_RC_DeviceBusy, 0xA207};
  EXPECT_EQ(nikonShutterDown(), 0xA207);
  PtpEventStruct e = evtPop();
  ASSERT_EQ(e.code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(e.property, nikonMirrorUpRecord());
  EXPECT_EQ(e.property->code, kNikonMirrorUpCode);
  EXPECT_EQ(e.property->value, 1u);
  EXPECT_EQ(naps, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(200)}));

  // The next capture succeeds: value 0 is posted, and it went out without autofocus.
  EXPECT_EQ(nikonShutterDown(), PTP_RC_OK);
  e = evtPop();
  ASSERT_EQ(e.code, PTP_EC_DevicePropChanged);
  EXPECT_EQ(e.property->value, 0u);
  auto captures = sent(PTP_OC_NIKON_CaptureInMedia);
  ASSERT_EQ(captures.size(), 3u);
  EXPECT_EQ(captures[0].params, (std::vector<uint32_t>{0xFFFFFFFE, 0}));
  EXPECT_EQ(captures[2].params, (std::vector<uint32_t>{0xFFFFFFFF, 0}));
  EXPECT_EQ(sent(PTP_OC_NIKON_DeviceReady).size(), 1u);
}

TEST_F(NikonCaptureTest, DeviceReadyAnswersAfterTheCapture) {
  start(198, {PTP_OC_NIKON_CaptureInMedia});
  struct Case {
    uint16_t ready;
    uint16_t result;
    bool afCancel;
  } cases[] = {{PTP_RC_OK, PTP_RC_OK, false}, {0xA00E, PTP_RC_OK, false}, {0xA201, PTP_RC_OK, false},
               {0xA002, 0xA002, true},        {0x2002, 0x2002, false}};
  for (const auto& c : cases) {
    const size_t cancels = sent(PTP_OC_NIKON_AfCancel).size();
    answers[PTP_OC_NIKON_DeviceReady] = {PTP_RC_DeviceBusy, c.ready};
    EXPECT_EQ(nikonShutterDown(), c.result) << std::hex << c.ready;
    EXPECT_EQ(sent(PTP_OC_NIKON_AfCancel).size() - cancels, c.afCancel ? 1u : 0u);
  }
  // Model 198 sends the single parameter.
  EXPECT_EQ(sent(PTP_OC_NIKON_CaptureInMedia).front().params, (std::vector<uint32_t>{0xFFFFFFFF}));
}

TEST_F(NikonCaptureTest, InitiateCaptureWithoutTheMediaOperation) {
  start(196, {});
  both(0xD1A2, 0);
  answers[PTP_OC_InitiateCapture] = {PTP_RC_DeviceBusy, PTP_RC_DeviceBusy};
  answers[PTP_OC_NIKON_DeviceReady] = {0xA002, PTP_RC_OK};
  EXPECT_EQ(nikonShutterDown(), PTP_RC_OK);
  EXPECT_EQ(sent(PTP_OC_InitiateCapture).size(), 3u);
  EXPECT_EQ(sent(PTP_OC_NIKON_DeviceReady).size(), 2u);
  EXPECT_EQ(sent(PTP_OC_InitiateCapture).back().params, (std::vector<uint32_t>{0, 0}));
}

TEST_F(NikonCaptureTest, ACameraThatStaysBusyIsLeftInTime) {
  start(219, {PTP_OC_NIKON_CaptureInMedia});
  always[PTP_OC_NIKON_CaptureInMedia] = PTP_RC_DeviceBusy;
  EXPECT_EQ(nikonShutterDown(), PTP_RC_DeviceBusy);
  EXPECT_EQ(sent(PTP_OC_NIKON_CaptureInMedia).size(), static_cast<size_t>(kNikonBusyRetries) + 1);

  always.clear();
  always[PTP_OC_NIKON_DeviceReady] = 0xA002;
  EXPECT_EQ(nikonWaitDeviceReady(), 0xA002);
  EXPECT_EQ(sent(PTP_OC_NIKON_DeviceReady).size(), 20u);
}

TEST_F(NikonCaptureTest, BulbStartAndCaptureAndWait) {
  start(219, {PTP_OC_NIKON_CaptureInMedia, 0x920C});
  camSetAfState(1);
  answers[PTP_OC_NIKON_DeviceReady] = {PTP_RC_OK, 0xA200};
  EXPECT_EQ(nikonBulbStart(), PTP_RC_OK);
  EXPECT_EQ(camGetAfState(), 1u);
  answers[PTP_OC_NIKON_CaptureInMedia] = {0xA008};
  EXPECT_EQ(nikonBulbStart(), PTP_RC_DeviceBusy);
  EXPECT_EQ(nikonBulbEnd(), PTP_RC_OK);
  EXPECT_EQ(sent(0x920C).back().params, (std::vector<uint32_t>{0, 0}));

  both(0xD032, 1);
  answers[PTP_OC_SetDevicePropValue] = {PTP_RC_DeviceBusy, PTP_RC_DeviceBusy};
  EXPECT_EQ(nikonCaptureAndWait(), PTP_RC_OK);
  EXPECT_EQ(sent(PTP_OC_SetDevicePropValue).size(), 3u);
}

TEST_F(NikonCaptureTest, LiveViewZoomByModel) {
  struct Case {
    const char* name;
    uint32_t percent;
    uint32_t code;
    uint16_t value;
  } cases[] = {{"NIKON D5100", 50, 0xD1A3, 3},  {"NIKON D5100", 200, 0xD1A3, 5}, {"NIKON D810", 25, 0xD1A3, 2},
               {"NIKON D810", 75, 0xD1A3, 0},   {"NIKON Z 50", 100, 0xD1BD, 720}, {"NIKON Z 7", 200, 0xD1BD, 512},
               {"NIKON Z 9", 100, 0xD1BD, 1024}, {"NIKON Z fc", 300, 0xD1BD, 0}};
  start(0, {});
  for (const auto& c : cases) {
    nikonResetModelState();
    uint8_t index = 0;
    ASSERT_TRUE(nikonIdentifyModel(c.name, index));
    camSetModelIndex(index);
    both(c.code, 99);
    EXPECT_EQ(nikonSetLiveViewZoom(c.percent), PTP_RC_OK) << c.name;
    EXPECT_EQ(camera[c.code], c.value) << c.name << " " << c.percent;
  }
  nikonResetModelState();
  uint8_t index = 0;
  nikonIdentifyModel("NIKON D5100", index);
  EXPECT_FALSE(nikonCanZoomLiveView());
  nikonIdentifyModel("NIKON D810", index);
  EXPECT_TRUE(nikonCanZoomLiveView());
}

TEST_F(NikonCaptureTest, LiveViewFrames) {
  start(228, {PTP_OC_NIKON_GetLiveViewImageEx});
  ByteBuffer frame;
  nikonSuspendFrameFetch(true);
  EXPECT_EQ(nikonGetLiveViewFrame(frame), PTP_RC_DeviceBusy);
  EXPECT_TRUE(sent(PTP_OC_NIKON_GetLiveViewImageEx).empty());
  nikonSuspendFrameFetch(false);

  devsim::Bytes reply(1024, 0);
  reply[1] = 2;  // version 2
  reply[10] = 0x02;  // head size 0x200 (big-endian at 8)
  reply[15] = 4;     // JPEG length 4
  data[PTP_OC_NIKON_GetLiveViewImageEx] = reply;
  ASSERT_EQ(nikonGetLiveViewFrame(frame), PTP_RC_OK);
  EXPECT_EQ(frame.size(), kNikonFrameHeadBytes + 4);

  data[PTP_OC_NIKON_GetLiveViewImageEx] = devsim::Bytes{0, 2, 0};  // too short for anything
  EXPECT_EQ(nikonGetLiveViewFrame(frame), ERROR_TOO_LARGE);
  EXPECT_TRUE(frame.empty());

  // Not in live view while the camera still reports it on: try again later.
  data.clear();
  answers[PTP_OC_NIKON_GetLiveViewImageEx] = {0xA00B};
  EXPECT_EQ(nikonGetLiveViewFrame(frame), PTP_RC_DeviceBusy);
}

TEST_F(NikonCaptureTest, LiveViewOnAndOff) {
  start(196, {PTP_OC_NIKON_CaptureInMedia});
  both(0xD1A2, 0);
  both(0xD061, 0);
  both(0xD161, 1);
  nikonState().hostMode = 1;
  camera[0xD1A2] = 0;
  ASSERT_EQ(nikonSetLiveView(1, false), PTP_RC_OK);
  EXPECT_TRUE(nikonState().liveViewOn);
  EXPECT_EQ(sent(PTP_OC_NIKON_StartLiveView).size(), 1u);
  EXPECT_EQ(camera[0xD061], 2u) << "live-view focus aligned to AF-C";

  // Already on: nothing sent.
  camera[0xD1A2] = 1;
  ASSERT_EQ(nikonSetLiveView(1, false), PTP_RC_OK);
  EXPECT_EQ(sent(PTP_OC_NIKON_StartLiveView).size(), 1u);

  ASSERT_EQ(nikonSetLiveView(0, false), PTP_RC_OK);
  EXPECT_FALSE(nikonState().liveViewOn);
  EXPECT_EQ(camera[0xD161], 1u) << "still AF mode restored from the live-view mode";

  // A refused EndLiveView leaves the flag on.
  camera[0xD1A2] = 1;
  nikonState().liveViewOn = true;
  answers[PTP_OC_NIKON_EndLiveView] = {0x2002};
  EXPECT_EQ(nikonSetLiveView(0, false), 0x2002);
  EXPECT_TRUE(nikonState().liveViewOn);
}

TEST_F(NikonCaptureTest, MovieRecordingFlag) {
  start(219, {PTP_OC_NIKON_CaptureInMedia});
  EXPECT_EQ(nikonStartMovieRecording(), 0xA004) << "not in live view";
  nikonState().liveViewOn = true;
  {
    std::lock_guard lock(nikonState().movieMutex);
    nikonState().movieRecording = true;
  }
  EXPECT_EQ(nikonStartMovieRecording(), PTP_RC_DeviceBusy);
  EXPECT_TRUE(sent(PTP_OC_NIKON_StartMovie).empty());
  EXPECT_EQ(naps.size(), 9u);
  {
    std::lock_guard lock(nikonState().movieMutex);
    nikonState().movieRecording = false;
  }
  EXPECT_EQ(nikonStartMovieRecording(), PTP_RC_OK);
  EXPECT_EQ(sent(PTP_OC_NIKON_StartMovie).size(), 1u);

  // Stopping waits for the movie's ObjectAdded, then answers success either way.
  naps.clear();
  EXPECT_EQ(nikonStopMovieRecording(), PTP_RC_OK);
  EXPECT_EQ(naps.size(), 20u);
  answers[PTP_OC_NIKON_EndMovie] = {0x2002};
  EXPECT_EQ(nikonStopMovieRecording(), 0x2002);
  std::lock_guard lock(nikonState().movieMutex);
  EXPECT_FALSE(nikonState().movieRecording);
}

TEST_F(NikonCaptureTest, PropertyTableFromABlob) {
  start(219, {});
  camera = {{0x5004, 8}, {0x5003, 1}, {0xD0B6, 2}, {0xD1A0, 0}, {0x500A, 0x8011}};
  std::vector<uint8_t> blob;
  const uint32_t codes[] = {0x5004, 0xD0B6, 0xD1A0, 0x500A, 0xD999};
  ASSERT_EQ(nikonBuildPropertyBlob(codes, 5, blob), PTP_RC_OK);
  EXPECT_EQ(nikonBuildPropertyBlob(nullptr, 5, blob), ERROR_INVALID_INPUT);
  ASSERT_EQ(nikonBuildPropertyBlob(codes, 5, blob), PTP_RC_OK);
  // A broken descriptor (unknown datatype) and a length running past the end.
  auto broken = desc(0xD0C0, 1);
  broken[2] = 0x77;
  for (int b = 0; b < 4; ++b) blob.push_back(static_cast<uint8_t>(broken.size() >> (8 * b)));
  blob.insert(blob.end(), broken.begin(), broken.end());
  for (uint8_t b : {0xFF, 0xFF, 0x00, 0x00, 0x10, 0x50, 0, 0, 0}) blob.push_back(b);

  ASSERT_EQ(nikonLoadPropertyTable(blob.data(), blob.size()), PTP_RC_OK);
  EXPECT_EQ(propCount(), 5u);  // four from the blob, 0x5003 read after
  EXPECT_FALSE(propExists(0xD0C0));
  EXPECT_EQ(nikonValueOf(0x5004), nikonComposeImageQuality(8, 1, 2));
  EXPECT_EQ(camera[0xD1A0], 1u) << "live-view focus mode switched on";
  EXPECT_EQ(camGetAfState(), 0u);

  EXPECT_EQ(nikonLoadPropertyTable(blob.data(), 3), ERROR_INVALID_INPUT);
  EXPECT_EQ(nikonLoadPropertyTable(nullptr, 10), ERROR_INVALID_INPUT);
}

// Code 0 names no property: a descriptor claiming it ends the list instead of becoming a
// record that every unmapped vendor code (0) would then find.
TEST_F(NikonCaptureTest, PropertyBlobEndsAtADescriptorOfCodeZero) {
  start(219, {});
  camera = {{0x5004, 8}, {0x5003, 1}};
  std::vector<uint8_t> blob;
  auto append = [&blob](const devsim::Bytes& d) {
    for (int b = 0; b < 4; ++b) blob.push_back(static_cast<uint8_t>(d.size() >> (8 * b)));
    blob.insert(blob.end(), d.begin(), d.end());
  };
  append(desc(0x5004, 8));
  auto zero = desc(0x5004, 3);
  zero[0] = zero[1] = 0;
  append(zero);
  ASSERT_EQ(nikonLoadPropertyTable(blob.data(), blob.size()), PTP_RC_OK);
  for (uint16_t i = 0; i < propCount(); ++i) EXPECT_NE(propAt(i)->code, 0u) << "record " << i;
  EXPECT_EQ(propCount(), 2u);  // 0x5004 from the blob, 0x5003 read after
}

TEST_F(NikonCaptureTest, HostModeAndMovieMode) {
  start(219, {PTP_OC_NIKON_CaptureInMedia});
  answers[PTP_OC_NIKON_SetControlMode] = {0x2002};
  EXPECT_EQ(nikonSetHostMode(1, false), 0x2002);
  EXPECT_FALSE(nikonIsHostMode());
  ASSERT_EQ(nikonSetHostMode(1, true), PTP_RC_OK);
  EXPECT_TRUE(nikonIsHostMode());
  EXPECT_EQ(sent(PTP_OC_NIKON_SetControlMode).back().params, (std::vector<uint32_t>{1}));

  // Entering movie mode from host mode off switches it on, and leaving switches it off.
  nikonState().hostMode = 0;
  both(0xD1A2, 0);
  both(0xD1A6, 0);
  ASSERT_EQ(nikonEnterMovieMode(), PTP_RC_OK);
  EXPECT_TRUE(nikonIsHostMode());
  EXPECT_EQ(camera[0xD1A6], 1u);
  camera[0xD1A2] = 1;
  ASSERT_EQ(nikonExitMovieMode(), PTP_RC_OK);
  EXPECT_FALSE(nikonIsHostMode());
  EXPECT_EQ(sent(PTP_OC_NIKON_SetControlMode).back().params, (std::vector<uint32_t>{0}));
}

TEST_F(NikonCaptureTest, ManualFocusThroughTheFocusModeProperties) {
  start(196, {PTP_OC_NIKON_CaptureInMedia});
  // Through 0xD161 when settable: remembered, and back.
  both(0xD161, 1);
  ASSERT_EQ(nikonSetManualFocus(1), PTP_RC_OK);
  EXPECT_EQ(camera[0xD161], 4u);
  EXPECT_EQ(camGetAfState(), 1u);
  ASSERT_EQ(nikonSetManualFocus(0), PTP_RC_OK);
  EXPECT_EQ(camera[0xD161], 1u);
  EXPECT_EQ(camGetAfState(), 0u);

  // Without it, 0x500A picks the priority property.
  propClearTable();
  camera.clear();
  EXPECT_EQ(nikonSetManualFocus(1), PTP_ERROR_UNSUPPORTED_COMMAND);
  both(0x500A, 0x8010);
  both(0xD049, 0);
  both(0xD048, 0);
  ASSERT_EQ(nikonSetManualFocus(1), PTP_RC_OK);
  EXPECT_EQ(camera[0xD049], 1u);
  ASSERT_EQ(nikonSetManualFocus(0), PTP_RC_OK);
  EXPECT_EQ(camera[0xD049], 0u);
  camera[0x500A] = 0x8011;
  putProperty(0x500A, 0x8011);
  ASSERT_EQ(nikonSetManualFocus(0), PTP_RC_OK);
  EXPECT_EQ(camera[0xD048], 1u);
  putProperty(0x500A, 1);
  EXPECT_EQ(nikonSetManualFocus(1), PTP_ERROR_UNSUPPORTED_COMMAND);

  // Mirrorless: only the word, manual at once.
  camSetModelIndex(221);
  const size_t setsBefore = sent(PTP_OC_SetDevicePropValue).size();
  ASSERT_EQ(nikonSetManualFocus(1), PTP_RC_OK);
  EXPECT_EQ(camGetAfState(), 1u);
  EXPECT_EQ(sent(PTP_OC_SetDevicePropValue).size(), setsBefore);
}

TEST_F(NikonCaptureTest, FocusDriveAfAreaAndStack) {
  start(219, {PTP_OC_NIKON_CaptureInMedia, 0x9204, 0x9205});
  camSetAfState(1);
  answers[0x9204] = {PTP_RC_DeviceBusy};
  answers[PTP_OC_NIKON_DeviceReady] = {0xA00E, PTP_RC_OK};
  ASSERT_EQ(nikonDriveFocus(1, 200), PTP_RC_OK);
  auto drives = sent(0x9204);
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[1].params, (std::vector<uint32_t>{1, 200}));
  EXPECT_EQ(sent(PTP_OC_NIKON_DeviceReady).size(), 2u) << "once more after 0xA00E";

  // Movie AF area and AF-at-live-view switched to the single-point modes first.
  both(0xD1A6, 1);
  both(0xD1F8, 0x8011);
  both(0xD05D, 0x8011);
  ASSERT_EQ(nikonChangeAfArea(300, 200), PTP_RC_OK);
  EXPECT_EQ(camera[0xD1F8], 0x8010u);
  EXPECT_EQ(camera[0xD05D], 0x8010u);
  EXPECT_EQ(sent(0x9205).back().params, (std::vector<uint32_t>{300, 200}));
  EXPECT_EQ(nikonSetAfPoint(2.0f, 0.5f), ERROR_INVALID_INPUT);

  // Three shots with two drives between them; cancelled from the progress callback.
  camSetVendor(CameraVendorNikon);
  const size_t drivesBefore = sent(0x9204).size();
  std::vector<int> shots;
  EXPECT_EQ(nikonFocusStack(3, 1, 50, 0, [&](int n, int) { return shots.push_back(n), true; }), PTP_RC_OK);
  EXPECT_EQ(shots, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(sent(0x9204).size() - drivesBefore, 2u);
  EXPECT_EQ(nikonFocusStack(3, 1, 50, 0, [](int, int) {
              nikonCancelFocusStack();
              return true;
            }),
            -1);
  EXPECT_EQ(nikonFocusStack(0, 1, 50, 0, nullptr), PTP_RC_OK);
  ByteBuffer frame;
  EXPECT_NE(nikonGetLiveViewFrame(frame), PTP_RC_DeviceBusy) << "frames resumed after the stack";
}

TEST_F(NikonCaptureTest, FixedCodesKeepWhatTheCameraDescribes) {
  start(219, {});
  camera = {{0x5004, 2}, {0x5003, 1}, {0xD1A0, 0}, {0x500E, 3}};
  putProperty(0xD999, 5);  // an earlier table is cleared
  ASSERT_EQ(nikonLoadFixedCodes(), PTP_RC_OK);
  EXPECT_EQ(propCount(), 4u);
  EXPECT_FALSE(propExists(0xD999));
  EXPECT_EQ(nikonValueOf(0x5004), nikonComposeImageQuality(2, 1, 0));
  EXPECT_EQ(camera[0xD1A0], 1u);
  EXPECT_EQ(sent(PTP_OC_GetDevicePropDesc).size(), 65u);

  ASSERT_EQ(nikonInitCamera(), PTP_RC_OK);
  EXPECT_EQ(sim->ptpCommands().back().code, 0x1001);
}
