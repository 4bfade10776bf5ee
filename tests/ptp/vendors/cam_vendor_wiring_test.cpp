// The library's own Fujifilm, Nikon and Canon-value modules behind the camera interface:
// a body identified from its DeviceInfo reaches its module through cam<Op>.
#include <gtest/gtest.h>

#include <cmath>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/link/command_vendor.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_liveview.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/fuji/fuji_fixture.h"
#include "tests/ptp/vendors/nikon/nikon_fixture.h"
#include "tests/ptp/vendors/vendor_wiring.h"

namespace {

struct VendorWiringTest : PtpSessionFixture {
  void SetUp() override {
    kvtest::clearVendorWiring();
    PtpSessionFixture::SetUp();  // camInit installs the library's vendor defaults
  }
  void TearDown() override {
    kvtest::clearVendorWiring();
    PtpSessionFixture::TearDown();
  }
  // Sets the DeviceInfo, detects the vendor and identifies the model as set-up does.
  void identify(const std::string& manufacturer, const std::string& model, std::vector<uint16_t> ops) {
    sim->setDeviceInfo(devsim::makeDeviceInfo(manufacturer, model, ops));
    ptpDetectVendor();
    ASSERT_TRUE(camIdentifyModel()) << model;
  }
  std::vector<devsim::Simulator::PtpCommand> sent(uint16_t op) {
    std::vector<devsim::Simulator::PtpCommand> out;
    for (auto& c : sim->ptpCommands())
      if (c.code == op) out.push_back(c);
    return out;
  }
};

// --- Fujifilm ---------------------------------------------------------------------------

struct FujiWiringTest : VendorWiringTest {
  kvtest::FakeFujiBody body;
  void SetUp() override {
    VendorWiringTest::SetUp();
    identify("FUJIFILM", "X-T4",
             {0x1001, 0x1002, 0x1007, 0x100E, PTP_OC_GetDevicePropDesc, PTP_OC_GetDevicePropValue,
              PTP_OC_SetDevicePropValue, PTP_OC_InitiateOpenCapture, PTP_OC_TerminateOpenCapture});
    propSetLabelTable(fujiPropertyLabels(), kFujiLabelEndCode);
    body.install(*sim);
  }
  void track(uint32_t code, uint32_t value) {
    body.set(code, kvtest::FakeProperty{PTP_DTC_UINT16, 1, value, "", {}, {}});
    PropertyStruct* r = propFind(code, false);
    if (!r) r = propAdd(code, false, true);
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(propRefresh(r)) << std::hex << code;
  }
};

TEST_F(FujiWiringTest, IdentifiedBodyGetsTheModuleAndItsServices) {
  EXPECT_EQ(camGetVendor(), CameraVendorFujifilm);
  EXPECT_EQ(camModelIndex(), 25);
  // The services answer for Fujifilm: the image-size name is the module's text.
  auto text = cameraServices()->vendorValueText(0x5003, 15);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, "6000x4000");
  EXPECT_EQ(cameraServices()->fujiImageSizeIndexFromName("6000x4000"), 15u);
  EXPECT_FALSE(cameraServices()->nikonIsHostMode());
  EXPECT_TRUE(camCanZoomLiveView());
  EXPECT_FALSE(devVendorHooks().fujiIsGfxBody());
  camSetModelIndex(23);  // GFX 100
  EXPECT_TRUE(devVendorHooks().fujiIsGfxBody());
}

TEST_F(FujiWiringTest, SetPropertyValueWritesTheBytesAndWaitsForTheValue) {
  track(0xD018, 2);
  body.clearWrites();
  ASSERT_EQ(camSetPropertyValue(0xD018, 7, true), PTP_RC_OK);
  auto writes = body.written();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].code, 0xD018u);
  EXPECT_EQ(writes[0].data, (devsim::Bytes{7, 0}));
  EXPECT_EQ(propCopy(0xD018)->value, 7u);
}

TEST_F(FujiWiringTest, ImageFormatPartsAndChoices) {
  track(0xD018, 5);
  track(0x5003, 15);
  track(0xD022, 2);
  EXPECT_EQ(camGetRawFormat(), 0x02010000);
  EXPECT_EQ(camGetJpegFormat(), 0x0F03);
  EXPECT_TRUE(camQualityIncludesRaw());
  std::vector<int64_t> choices;
  ASSERT_EQ(camGetImageFormatChoices(6, choices), PTP_RC_OK);
  ASSERT_FALSE(choices.empty());
  EXPECT_EQ(choices.front(), -1);
  // Fujifilm has no size/quality split: the camera interface answers for it.
  uint16_t size = 0;
  uint8_t quality = 0;
  EXPECT_EQ(camDecodeImageFormat(0x02010000, 6, size, quality), ERROR_CAMERA_NOT_SUPPORTED);
}

TEST_F(FujiWiringTest, ChangedPropertyComesBackAsAnEventRow) {
  track(0xD018, 2);
  std::vector<uint8_t> events;
  ASSERT_EQ(camCheckEvents(events), PTP_RC_OK);
  ASSERT_EQ(camParseEvents(events), PTP_RC_OK);  // the first pass records what was seen
  evtClearQueue();
  body.setValue(0xD018, 4);
  ASSERT_TRUE(propRefresh(propFind(0xD018, false)));
  ASSERT_EQ(camCheckEvents(events), PTP_RC_OK);
  ASSERT_FALSE(events.empty());
  ASSERT_EQ(camParseEvents(events), PTP_RC_OK);
  bool queued = false;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop())
    queued |= e.code == PTP_EC_DevicePropChanged && e.property && e.property->code == 0xD018;
  EXPECT_TRUE(queued);
}

TEST_F(FujiWiringTest, LiveViewStopsThroughTerminateOpenCapture) {
  sim->setPtpHandler(PTP_OC_InitiateOpenCapture,
                     [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  sim->setPtpHandler(PTP_OC_TerminateOpenCapture,
                     [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  EXPECT_TRUE(fujiState().liveViewOn);
  ASSERT_EQ(camSetLiveView(0), PTP_RC_OK);
  EXPECT_FALSE(fujiState().liveViewOn);
  auto open = sent(PTP_OC_InitiateOpenCapture);
  auto close = sent(PTP_OC_TerminateOpenCapture);
  ASSERT_EQ(open.size(), 1u);
  ASSERT_EQ(close.size(), 1u);
  ASSERT_EQ(close[0].params.size(), 1u);
  EXPECT_EQ(close[0].params[0], open[0].transactionId);  // names the capture it ends
}

TEST_F(FujiWiringTest, SetWhileLiveViewIsOnStopsItFirst) {
  sim->setPtpHandler(PTP_OC_InitiateOpenCapture,
                     [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  sim->setPtpHandler(PTP_OC_TerminateOpenCapture,
                     [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  track(0xD018, 2);
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  ASSERT_EQ(camSetPropertyValue(0xD018, 4, true), PTP_RC_OK);
  EXPECT_EQ(sent(PTP_OC_TerminateOpenCapture).size(), 1u);
  EXPECT_EQ(body.written().size(), 1u);
}

TEST_F(FujiWiringTest, SetUpResetsTheModuleAndInstallsItsLabels) {
  fujiState().hostMode = true;
  fujiState().pressed = true;
  propSetLabelTable({}, 0);
  // Whatever the body answers to the rest of the set-up, the reset and labels come first.
  EXPECT_EQ(camInitCamera(0), PTP_RC_OK);
  EXPECT_FALSE(fujiState().pressed);
  EXPECT_NE(propLabelFor(0xD018), nullptr);
}

// --- Nikon ------------------------------------------------------------------------------

devsim::Bytes checkEventList(std::vector<std::pair<uint16_t, uint32_t>> events) {
  devsim::Bytes b;
  devsim::putU16(b, static_cast<uint16_t>(events.size()));
  for (auto [code, param] : events) {
    devsim::putU16(b, code);
    devsim::putU32(b, param);
  }
  return b;
}

struct NikonWiringTest : VendorWiringTest {
  void SetUp() override {
    VendorWiringTest::SetUp();
    identify("Nikon Corporation", "NIKON Z 6",
             {0x1001, 0x1002, PTP_OC_GetDevicePropDesc, PTP_OC_GetDevicePropValue, PTP_OC_SetDevicePropValue,
              PTP_OC_GetObjectInfo, 0x90C2});
    sim->setPtpHandler(PTP_OC_SetDevicePropValue,
                       [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
    propSetLabelTable(nikonPropertyLabels(), kNikonLabelEndCode);
  }
};

TEST_F(NikonWiringTest, IdentifiedBodyGetsTheModuleAndItsServices) {
  EXPECT_EQ(camGetVendor(), CameraVendorNikon);
  EXPECT_EQ(camModelIndex(), 220);
  EXPECT_EQ(cameraServices()->nikonFocusModeCode(), nikonFocusModeCode());
  EXPECT_FALSE(cameraServices()->vendorValueText(0x5003, 15).has_value());  // Fujifilm's texts only
  const auto hooks = devVendorHooks();
  EXPECT_EQ(hooks.liveViewOpcode(), nikonLiveViewOpcode());
  EXPECT_EQ(hooks.nikonPropCodes().size(), nikonVendorPropertyCodes().size());
  EXPECT_FALSE(hooks.nikonPropCodes().empty());
}

TEST_F(NikonWiringTest, SetPropertyValueSendsTheValueInTheRecordsWidth) {
  kvtest::putProperty(0x5007, 280, {280, 400, 560});
  ASSERT_EQ(camSetPropertyValue(0x5007, 400, false), PTP_RC_OK);
  auto writes = sent(PTP_OC_SetDevicePropValue);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].params, (std::vector<uint32_t>{0x5007}));
  EXPECT_EQ(writes[0].data, (devsim::Bytes{0x90, 0x01}));
  // A value outside the list never reaches the body.
  EXPECT_EQ(camSetPropertyValue(0x5007, 401, false), 0x2006);
  EXPECT_EQ(sent(PTP_OC_SetDevicePropValue).size(), 1u);
}

TEST_F(NikonWiringTest, ImageFormatThroughTheCameraInterface) {
  camSetModelIndex(196);  // older body: 0-2 JPEG, 4 RAW, 5-7 RAW + JPEG
  kvtest::putProperty(0x5004, nikonComposeImageQuality(6, 1, 2), {0, 1, 2, 4, 5, 6, 7}, 1, PTP_DTC_UINT8);
  const int64_t raw = camGetRawFormat();
  const int64_t jpeg = camGetJpegFormat();
  EXPECT_EQ(raw, 0x02000004);
  EXPECT_EQ(jpeg, 0x00010001);
  EXPECT_TRUE(camQualityIncludesRaw());
  uint16_t size = 99;
  uint8_t quality = 99;
  ASSERT_EQ(camDecodeImageFormat(static_cast<uint32_t>(raw), 6, size, quality), PTP_RC_OK);
  EXPECT_EQ(size, 2);
  EXPECT_EQ(quality, 0);
  EXPECT_EQ(camDecodeImageFormat(static_cast<uint32_t>(jpeg), 6, size, quality), ERROR_GENERAL);
  std::vector<int64_t> choices;
  EXPECT_EQ(camGetImageFormatChoices(6, choices), PTP_RC_OK);
}

TEST_F(NikonWiringTest, ParsedEventsReachTheQueue) {
  kvtest::ObjectInfoFields photo;
  photo.fileName = "DSC_0001.NEF";
  sim->setObjectInfo(0x10, kvtest::makeObjectInfo(photo));
  const auto list = checkEventList({{0x4002, 0x10}});
  ASSERT_EQ(camParseEvents(list), PTP_RC_OK);
  PtpEventStruct e = evtPop();
  EXPECT_EQ(e.code, 0x4002u);
  EXPECT_STREQ(e.objectInfo.fileName, "DSC_0001.NEF");
  // Nikon does not poll through camCheckEvents.
  std::vector<uint8_t> events{1, 2, 3};
  EXPECT_EQ(camCheckEvents(events), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_TRUE(events.empty());
}

TEST_F(NikonWiringTest, LiveViewFlagIsTheCameraInterfaces) {
  nikonState().liveViewOn = true;
  EXPECT_TRUE(camLiveViewFlag());
  camResetCameraState();  // every set-up
  EXPECT_FALSE(nikonState().liveViewOn);
  camLiveViewFlag() = true;
  EXPECT_TRUE(nikonState().liveViewOn);
  nikonResetModuleState();
  EXPECT_FALSE(camLiveViewFlag());
}

TEST_F(NikonWiringTest, SetUpTakesHostModeAndResetsTheModule) {
  nikonState().mirrorLockupMark = true;
  propSetLabelTable({}, 0);
  sim->setPtpHandler(0x90C2, [](const devsim::Simulator::PtpCommand&) {
    return devsim::Simulator::PtpReply{0xA003, std::nullopt, {}};  // already in host mode
  });
  EXPECT_EQ(camInitCamera(1), PTP_RC_OK);
  auto control = sent(0x90C2);
  ASSERT_EQ(control.size(), 1u);
  EXPECT_EQ(control[0].params, (std::vector<uint32_t>{1}));
  EXPECT_FALSE(nikonState().mirrorLockupMark);
  EXPECT_NE(propLabelFor(0xD1A6), nullptr);
}

// --- Canon values -----------------------------------------------------------------------

TEST_F(VendorWiringTest, CanonFractionalIsoKeepsItsExactStep) {
  camSetVendor(CameraVendorCanon);
  // Codes 40 and 72 are ISO 6.25 and 100: four stops; truncated to 6 it would be 4.06.
  EXPECT_FLOAT_EQ(camExposureDifferenceEv(100, 100, 40, 72), 4.0f);
  EXPECT_FLOAT_EQ(camExposureDifferenceEv(100, 100, 48, 40), -1.0f);
  EXPECT_FLOAT_EQ(camExposureDifferenceEv(100, 100, 73, 72), 0.0f);  // not an ISO code
  EXPECT_TRUE(camIsContinuousDriveValue(4));
  EXPECT_FALSE(camIsContinuousDriveValue(2));
}

TEST_F(VendorWiringTest, ServicesInstalledOnPurposeAreKept) {
  auto mine = std::make_shared<kvtest::NikonTestServices>();
  setCameraServices(mine);
  camInstallVendorDefaults();
  EXPECT_EQ(cameraServices(), mine);
  auto module = std::make_shared<VendorModule>();
  camRegisterVendorModule(CameraVendorNikon, module);
  camInstallVendorDefaults();
  EXPECT_EQ(camVendorModule(CameraVendorNikon), module);
}

}  // namespace
