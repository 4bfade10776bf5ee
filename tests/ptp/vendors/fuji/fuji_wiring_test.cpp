// A Fujifilm X-T4 on the simulator, driven through the camera interface as the library
// wires it: camInit installs the vendor defaults, camInitCamera identifies the body from
// its DeviceInfo and loads its table. No test module, no test services, no hook set here.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/link/command_vendor.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/fuji/fuji_fixture.h"
#include "tests/ptp/vendors/vendor_wiring.h"

namespace fujiwiring {

using Cmd = devsim::Simulator::PtpCommand;
using Reply = devsim::Simulator::PtpReply;

struct FujiXT4Test : PtpSessionFixture {
  kvtest::FakeFujiBody body;

  void SetUp() override {
    kvtest::clearVendorWiring();
    PtpSessionFixture::SetUp();  // camInit installs the library's vendor defaults
    sim->setDeviceInfo(devsim::makeDeviceInfo(
        "FUJIFILM", "X-T4",
        {0x1001, 0x1002, PTP_OC_GetObjectHandles, PTP_OC_GetObjectInfo, PTP_OC_InitiateCapture,
         PTP_OC_GetDevicePropDesc, PTP_OC_GetDevicePropValue, PTP_OC_SetDevicePropValue, PTP_OC_InitiateOpenCapture,
         PTP_OC_TerminateOpenCapture}));
    // What the body describes: image quality, manual focus, the capture mode, the AF
    // status and media recording (which set-up switches on).
    body.set(0xD018, {PTP_DTC_UINT16, 1, 2, "", {1, 2, 3, 4, 5}, {}});
    body.set(0x500A, {PTP_DTC_UINT16, 1, 1, "", {1, 0x8001}, {}});
    body.set(0xD208, {PTP_DTC_UINT16, 1, 0, "", {}, {}});
    body.set(0xD209, {PTP_DTC_UINT16, 0, 0, "", {}, {}});
    body.set(0xD20C, {PTP_DTC_UINT16, 1, 0, "", {0, 1}, {}});
    body.install(*sim);
    for (uint16_t op : {PTP_OC_InitiateCapture, PTP_OC_InitiateOpenCapture, PTP_OC_TerminateOpenCapture})
      sim->setPtpHandler(op, [](const Cmd&) { return Reply{}; });
  }
  void TearDown() override {
    kvtest::clearVendorWiring();
    PtpSessionFixture::TearDown();
  }
  void setUp() {
    ASSERT_EQ(camInitCamera(0), PTP_RC_OK);
    ASSERT_EQ(camGetVendor(), CameraVendorFujifilm);
    ASSERT_EQ(camModelIndex(), 25);
    body.clearWrites();
    evtClearQueue();
  }
  std::vector<Cmd> sent(uint16_t op) {
    std::vector<Cmd> out;
    for (auto& c : sim->ptpCommands())
      if (c.code == op) out.push_back(c);
    return out;
  }
  std::vector<uint32_t> queuedPropertyCodes() {
    std::vector<uint32_t> codes;
    for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop())
      if (e.code == PTP_EC_DevicePropChanged && e.property) codes.push_back(e.property->code);
    return codes;
  }
};

TEST_F(FujiXT4Test, SetUpLoadsTheTableAndSwitchesMediaRecordingOn) {
  setUp();
  // Only what the body describes became a record.
  EXPECT_EQ(propCurrentValue(0xD018), 2u);
  EXPECT_TRUE(propExists(0xD20C));
  EXPECT_FALSE(propExists(0xD38E));
  EXPECT_EQ(propCurrentValue(0xD20C), 1u);
  ASSERT_FALSE(sent(PTP_OC_SetDevicePropValue).empty());
  const auto media = sent(PTP_OC_SetDevicePropValue).front();
  EXPECT_EQ(media.params, (std::vector<uint32_t>{0xD20C}));
  EXPECT_EQ(media.data, (devsim::Bytes{1, 0}));
  const char* label = propLabelFor(0xD018);
  ASSERT_NE(label, nullptr);
  EXPECT_STREQ(label, "Image Quality");
  EXPECT_FALSE(camIsAutoFocusMode());  // 0x500A at 1: manual focus
}

TEST_F(FujiXT4Test, PropertySetWaitsUntilTheBodyReportsTheValue) {
  setUp();
  auto staleReads = std::make_shared<int>(2);
  sim->setPtpHandler(PTP_OC_GetDevicePropValue, [this, staleReads](const Cmd& c) {
    std::lock_guard lock(body.mutex);
    devsim::Bytes b;
    const uint32_t code = c.params.at(0);
    const uint32_t v = code == 0xD018 && (*staleReads)-- > 0 ? 2 : body.props[code].value;
    devsim::putU16(b, static_cast<uint16_t>(v));
    return Reply{PTP_RC_OK, b, {}};
  });
  ASSERT_EQ(camSetPropertyValue(0xD018, 4, true), PTP_RC_OK);
  const auto writes = body.written();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].code, 0xD018u);
  EXPECT_EQ(writes[0].data, (devsim::Bytes{4, 0}));
  size_t reads = 0;
  for (auto& c : sent(PTP_OC_GetDevicePropValue)) reads += c.params == std::vector<uint32_t>{0xD018};
  EXPECT_EQ(reads, 3u);  // re-read until it reads 4
  EXPECT_EQ(propCurrentValue(0xD018), 4u);
  const auto codes = queuedPropertyCodes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), 0xD018u), codes.end());
}

TEST_F(FujiXT4Test, ChangedValuesComeBackAsAnEventBatch) {
  setUp();
  std::vector<uint8_t> events;
  ASSERT_EQ(camCheckEvents(events), PTP_RC_OK);  // the first pass records what is there
  ASSERT_EQ(camParseEvents(events), PTP_RC_OK);
  evtClearQueue();
  body.setValue(0xD018, 5);
  body.setValue(0x500A, 0x8001);
  ASSERT_TRUE(propRefresh(propFind(0xD018, false)));
  ASSERT_TRUE(propRefresh(propFind(0x500A, false)));
  evtClearQueue();
  ASSERT_EQ(camCheckEvents(events), PTP_RC_OK);
  ASSERT_EQ(events.size(), 2u * 38u);  // one row per changed record
  ASSERT_EQ(camParseEvents(events), PTP_RC_OK);
  // Each changed record is posted (a focus-mode change also brings re-reads of its own).
  const auto codes = queuedPropertyCodes();
  for (uint32_t code : {0xD018u, 0x500Au}) EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << std::hex << code;
  // Nothing changed since: an empty batch.
  ASSERT_EQ(camCheckEvents(events), PTP_RC_OK);
  EXPECT_TRUE(events.empty());
}

TEST_F(FujiXT4Test, CaptureWritesTheCaptureModeBeforeEachInitiateCapture) {
  setUp();
  ASSERT_EQ(camShutterDown(), PTP_RC_OK);
  ASSERT_EQ(camShutterUp(), PTP_RC_OK);
  // Each InitiateCapture follows a write of the capture mode: full press, then release.
  std::vector<uint32_t> modes;
  uint32_t lastMode = 0;
  for (auto& c : sim->ptpCommands()) {
    if (c.code == PTP_OC_SetDevicePropValue && c.params == std::vector<uint32_t>{0xD208}) {
      ASSERT_EQ(c.data.size(), 2u);
      lastMode = c.data[0] | c.data[1] << 8;
    }
    if (c.code == PTP_OC_InitiateCapture) {
      EXPECT_EQ(c.params, (std::vector<uint32_t>{0, 0}));
      modes.push_back(lastMode);
    }
  }
  EXPECT_EQ(modes, (std::vector<uint32_t>{0x0200, 0x0304}));
}

// Fujifilm frames come from the device link, not from a library request: live view here
// is InitiateOpenCapture, and its stop names the transaction that opened it.
TEST_F(FujiXT4Test, LiveViewOpensAndClosesItsCapture) {
  setUp();
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  EXPECT_TRUE(fujiState().liveViewOn);
  ByteBuffer frame;
  EXPECT_EQ(camGetLiveViewFrame(frame), ERROR_CAMERA_NOT_SUPPORTED);
  ASSERT_EQ(camSetLiveView(0), PTP_RC_OK);
  EXPECT_FALSE(fujiState().liveViewOn);
  const auto open = sent(PTP_OC_InitiateOpenCapture);
  const auto close = sent(PTP_OC_TerminateOpenCapture);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].params, (std::vector<uint32_t>{0, 0}));
  ASSERT_EQ(close.size(), 1u);
  EXPECT_EQ(close[0].params, (std::vector<uint32_t>{open[0].transactionId}));
}

TEST_F(FujiXT4Test, NewObjectsAreListedOverAllStorages) {
  setUp();
  sim->setPtpHandler(PTP_OC_GetObjectHandles, [](const Cmd&) {
    devsim::Bytes b;
    devsim::putU32(b, 1);
    devsim::putU32(b, 0x22);
    return Reply{PTP_RC_OK, b, {}};
  });
  std::vector<uint32_t> handles;
  ASSERT_EQ(camGetNewObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, (std::vector<uint32_t>{0x22}));
  EXPECT_EQ(sent(PTP_OC_GetObjectHandles).back().params, (std::vector<uint32_t>{0xFFFFFFFF, 0, 0}));
}

}  // namespace fujiwiring
