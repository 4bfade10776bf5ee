// What the camera interface answers itself, per vendor, without a vendor module.
#include <cmath>

#include "ptp/props/prop_code_map.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/filetypes_vendor.h"
#include "ptp/vendors/sony/sony_liveview.h"
#include "tests/ptp/camera/cam_interface_fixture.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

using namespace camtest;

namespace {
void setProp(uint32_t code, uint32_t value) {
  if (!propExists(code)) {
    ASSERT_NE(propAdd(code, false, false), nullptr);
  }
  PropertyStruct* r = propFind(code, true);
  ASSERT_NE(r, nullptr);
  r->value = value;
  propUnlock(r);
}
}  // namespace

TEST_F(CamInterfaceTest, ProgramTestsPerVendor) {
  struct Row {
    uint16_t vendor;
    bool host;
    uint32_t program;
    bool aperture, shutter, bias;
  };
  const Row rows[] = {
      {CameraVendorCanon, false, 2, true, false, true},   {CameraVendorCanon, false, 3, true, true, true},
      {CameraVendorCanon, false, 4, true, false, false},  {CameraVendorCanon, false, 1, false, true, true},
      {CameraVendorSony, false, 1, true, true, false},    {CameraVendorSony, false, 4, false, true, false},
      {CameraVendorNikon, false, 3, true, false, true},   {CameraVendorNikon, false, 4, false, true, true},
      {CameraVendorFujifilm, false, 1, false, false, false}, {CameraVendorFujifilm, true, 1, true, true, false},
      {CameraVendorFujifilm, true, 3, true, false, true}, {CameraVendorUnknown, true, 1, false, false, false},
  };
  auto module = everywhere();
  for (const Row& r : rows) {
    camSetVendor(r.vendor);
    module->hostMode = r.host;
    EXPECT_EQ(camIsApertureSettable(r.program), r.aperture) << r.vendor << "/" << r.program;
    EXPECT_EQ(camIsShutterSettable(r.program), r.shutter) << r.vendor << "/" << r.program;
    EXPECT_EQ(camIsExposureBiasSettable(r.program), r.bias) << r.vendor << "/" << r.program;
  }
  // Manual exposure: 3 for Canon, 1 elsewhere, and Nikon's user modes when 0xD0FC is 22.
  camSetVendor(CameraVendorCanon);
  EXPECT_TRUE(camIsManualExposure(3));
  EXPECT_FALSE(camIsManualExposure(1));
  camSetVendor(CameraVendorNikon);
  EXPECT_TRUE(camIsManualExposure(1));
  EXPECT_FALSE(camIsManualExposure(0x8051));
  setProp(0xD0FC, 22);
  EXPECT_TRUE(camIsManualExposure(0x8051));
  EXPECT_FALSE(camIsManualExposure(0x8053));
}

TEST_F(CamInterfaceTest, LiveViewCapabilitiesWithoutAModule) {
  camSetVendor(CameraVendorFujifilm);
  EXPECT_TRUE(camCanZoomLiveView());
  EXPECT_TRUE(camIsLiveViewAvailable());
  camSetVendor(CameraVendorNikon);
  EXPECT_TRUE(camIsLiveViewAvailable());
  camSetVendor(CameraVendorSony);
  camSetModelIndex(160);
  EXPECT_FALSE(camIsLiveViewAvailable());
  camSetModelIndex(176);
  EXPECT_TRUE(camIsLiveViewAvailable());
  camSetModelIndex(160);
  setProp(0xD22C, 0);
  EXPECT_TRUE(camIsLiveViewAvailable());

  // Histogram: Nikon but a list of models; Canon when 0x913E is listed, but not model 235.
  camSetVendor(CameraVendorNikon);
  for (uint8_t model : {192, 193, 201, 203, 204, 207, 208, 213}) {
    camSetModelIndex(model);
    EXPECT_FALSE(camHasLiveViewHistogram()) << int(model);
  }
  camSetModelIndex(194);
  EXPECT_TRUE(camHasLiveViewHistogram());
  camSetVendor(CameraVendorCanon);
  camSetModelIndex(230);
  EXPECT_FALSE(camHasLiveViewHistogram());
  listOperations({0x913E});
  EXPECT_TRUE(camHasLiveViewHistogram());
  camSetModelIndex(235);
  EXPECT_FALSE(camHasLiveViewHistogram());
  // Canon zoom enabled: models 231-233.
  for (uint8_t model : {230, 231, 233, 234}) {
    camSetModelIndex(model);
    EXPECT_EQ(camIsLiveViewZoomEnabled(), model >= 231 && model <= 233);
  }
}

TEST_F(CamInterfaceTest, CanonBracketingInline) {
  auto module = everywhere();
  camSetVendor(CameraVendorCanon);
  struct Row {
    int n;
    uint8_t below, above;
  };
  for (const Row& r : {Row{2, 0, 1}, Row{3, 1, 1}, Row{4, 1, 1}, Row{5, 2, 2}, Row{0, 0, 0}, Row{1, 0, 0}}) {
    module->bracketing = r.n;
    uint8_t below = 99, above = 99;
    EXPECT_TRUE(camGetBracketingShots(below, above));
    EXPECT_EQ(below, r.below) << r.n;
    EXPECT_EQ(above, r.above) << r.n;
  }
  module->calls.clear();
  EXPECT_EQ(camSetBracketing(3), 0x2006);  // the set needs 0xD1D9 in the table
  EXPECT_TRUE(module->calls.empty());
  setProp(0xD1D9, 0);
  EXPECT_EQ(camSetBracketing(3), 0x2ABC);
  EXPECT_EQ(module->calls, (std::vector<std::string>{"setPropertyValue 53721=3"}));  // 0xD1D9
}

// The framed release messages: u32 length with the 5-byte header, kind 10, container.
TEST_F(CamInterfaceTest, CanonCaptureCommand) {
  camSetVendor(CameraVendorCanon);
  uint8_t buffer[64] = {};
  ASSERT_EQ(camBuildCaptureCommand(buffer, sizeof buffer), 17u);
  EXPECT_EQ(bytesGetU32(buffer), 17u);
  EXPECT_EQ(buffer[4], 10);
  EXPECT_EQ(bytesGetU32(buffer + 5), 12u);
  EXPECT_EQ(bytesGetU16(buffer + 11), 0x910F);

  listOperations({0x9128});
  EXPECT_EQ(camBuildCaptureCommand(buffer, sizeof buffer), 17u);  // afState 0: still 0x910F
  camSetAfState(1);
  ASSERT_EQ(camBuildCaptureCommand(buffer, sizeof buffer), 25u + 21u);
  EXPECT_EQ(bytesGetU32(buffer), 25u);
  EXPECT_EQ(bytesGetU16(buffer + 11), 0x9128);
  EXPECT_EQ(bytesGetU32(buffer + 17), 3u);
  EXPECT_EQ(bytesGetU32(buffer + 21), 1u);
  EXPECT_EQ(bytesGetU32(buffer + 25), 21u);
  EXPECT_EQ(bytesGetU16(buffer + 25 + 11), 0x9129);
  EXPECT_EQ(camBuildCaptureCommand(buffer, 30), 0u);  // the second does not fit
  EXPECT_EQ(camBuildCaptureCommand(nullptr, 64), 0u);
  camSetVendor(CameraVendorFujifilm);
  EXPECT_EQ(camBuildCaptureCommand(buffer, sizeof buffer), 0u);
}

TEST_F(CamInterfaceTest, QualityAndExposureArithmetic) {
  camSetVendor(CameraVendorCanon);
  EXPECT_FALSE(camQualityIncludesRaw());
  for (uint32_t v : {0x1F000000u, 0x20000000u, 0x2FFFFFFFu, 0x30000000u}) {
    setProp(0xD120, v);
    EXPECT_EQ(camQualityIncludesRaw(), v >= 0x20000000u && v <= 0x2FFFFFFFu) << std::hex << v;
  }

  camSetVendor(CameraVendorNikon);
  EXPECT_FLOAT_EQ(camExposureDifferenceEv(100, 200, 100, 400), 3.0f);
  EXPECT_FLOAT_EQ(camExposureDifferenceEv(400, 100, 200, 200), -2.0f);
  // Zero anywhere has no logarithm: 0 rather than an infinity or NaN.
  for (auto args : {std::array<uint32_t, 4>{0, 1, 1, 1}, {1, 0, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, 0}}) {
    const float ev = camExposureDifferenceEv(args[0], args[1], args[2], args[3]);
    EXPECT_EQ(ev, 0.0f);
  }
  // Canon ISO codes are decoded by its module first.
  auto module = everywhere();
  camSetVendor(CameraVendorCanon);
  EXPECT_FLOAT_EQ(camExposureDifferenceEv(1, 1, 2, 8), 2.0f);
}

TEST_F(CamInterfaceTest, CanonObjectListIsBoundedByItsBytes) {
  auto module = everywhere();
  camSetVendor(CameraVendorCanon);
  listOperations({0x9109});
  module->objectRecords.assign(96 * 3 + 50, 0);
  for (uint32_t i = 0; i < 3; ++i) bytesPutU32(module->objectRecords.data() + 96 * i, 100 + i);
  std::vector<uint32_t> handles;
  ASSERT_EQ(camGetAllObjectHandles(handles), PTP_RC_OK);
  EXPECT_EQ(handles, (std::vector<uint32_t>{100, 101, 102}));
}

TEST_F(CamInterfaceTest, BuiltInPiecesAreInstalled) {
  const FileTypesVendorHooks before = fileVendorHooks();
  camInstallVendorDefaults();
  camInstallVendorDefaults();  // idempotent
  EXPECT_TRUE(fileVendorHooks().canonDecodeYuvLiveView);
  std::vector<uint8_t> out;
  EXPECT_EQ(fileVendorHooks().canonDecodeYuvLiveView({}, out), 0u);
  camSetVendor(CameraVendorCanon);
  std::vector<uint8_t> frame;
  EXPECT_FALSE(camParseLiveViewFrame(nullptr, 0, frame));
  // Routed to the vendors' own read-outs (whatever frame an earlier test left behind).
  EXPECT_EQ(camGetLiveViewOrientation(), canonGetLiveViewOrientation());
  camSetVendor(CameraVendorSony);
  EXPECT_EQ(camGetLiveViewOrientation(), sonyGetLiveViewOrientation());
  // A module registered first is kept.
  camResetVendorModules();
  auto mine = std::make_shared<RecordingModule>();
  camRegisterVendorModule(CameraVendorSony, mine);
  camInstallVendorDefaults();
  EXPECT_EQ(camGetLiveViewOrientation(), 6);
  fileSetVendorHooks(before);
}

// GetObjectHandles replies are taken whole or refused: a count that claims more handles
// than arrived is a broken reply, not a shorter list.
class CamHandlesTest : public PtpSessionFixture {
 protected:
  void TearDown() override {
    resetInterface();
    PtpSessionFixture::TearDown();
  }
  void reply(devsim::Bytes data) {
    sim->setPtpHandler(0x1007, [data](const devsim::Simulator::PtpCommand&) {
      devsim::Simulator::PtpReply r;
      r.data = data;
      return r;
    });
  }
};

TEST_F(CamHandlesTest, HandleListIsTakenWholeOrRefused) {
  deviceInfo("Sim Maker", {0x1007});
  auto list = [](uint32_t count, std::vector<uint32_t> handles) {
    devsim::Bytes b;
    devsim::putU32(b, count);
    for (uint32_t h : handles) devsim::putU32(b, h);
    return b;
  };
  const struct {
    const char* name;
    devsim::Bytes data;
    PtpResponseCode rc;
    std::vector<uint32_t> handles;
  } kCases[] = {
      {"whole", list(2, {5, 6}), PTP_RC_OK, {5, 6}},
      {"empty", list(0, {}), PTP_RC_OK, {}},
      {"trailing bytes beyond the count", list(1, {5, 6}), PTP_RC_OK, {5}},
      {"count claims more than arrived", list(3, {5, 6}), ERROR_BAD_REPLY, {}},
      {"count 0xFFFFFFFF", list(0xFFFFFFFF, {5, 6}), ERROR_BAD_REPLY, {}},
      {"half a handle", devsim::Bytes{1, 0, 0, 0, 5, 0}, ERROR_BAD_REPLY, {}},
      {"no count", devsim::Bytes{1, 2}, ERROR_BAD_REPLY, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    reply(c.data);
    std::vector<uint32_t> handles{99};
    EXPECT_EQ(camGetAllObjectHandles(handles), c.rc);
    EXPECT_EQ(handles, c.handles);
  }
  camSetVendor(CameraVendorSony);
  std::vector<uint32_t> handles;
  EXPECT_EQ(camGetObjectHandles(0xFFFFFFFF, 0, 0, handles), 0);
}

TEST_F(CamInterfaceTest, ModelCapabilitiesAndIsoLimit) {
  struct Row {
    uint16_t vendor;
    uint8_t model;
    bool a, b;
  };
  for (const Row& r : {Row{CameraVendorFujifilm, 16, false, false}, Row{CameraVendorFujifilm, 20, true, true},
                       Row{CameraVendorCanon, 232, true, false}, Row{CameraVendorCanon, 230, true, true},
                       Row{CameraVendorNikon, 200, false, true}, Row{CameraVendorUnknown, 0, false, false}}) {
    camSetVendor(r.vendor);
    camSetModelIndex(r.model);
    EXPECT_EQ(camHasModelCapabilityA(), r.a) << r.vendor << "/" << int(r.model);
    EXPECT_EQ(camHasModelCapabilityB(), r.b) << r.vendor << "/" << int(r.model);
  }

  // ISO limits skip 0 and 0xFFFF at either end of the list.
  camSetVendor(CameraVendorNikon);
  propBuildVendorCodeMap();
  const uint32_t iso = propVendorCodeMap().iso;
  ASSERT_NE(iso, 0u);
  EXPECT_EQ(camIsoLimitEv(100, 100, 1), 0.0f);  // no record
  ASSERT_NE(propAdd(iso, false, false), nullptr);
  PropertyStruct* r = propFind(iso, true);
  r->value = 400;
  for (uint32_t v : {0u, 100u, 200u, 400u, 3200u, 0xFFFFu}) r->values.push_back(PropertyValueNamesStruct{{}, v});
  r->count = static_cast<uint16_t>(r->values.size());
  propUnlock(r);
  EXPECT_FLOAT_EQ(camIsoLimitEv(100, 100, -1), -2.0f);  // 400 -> 100
  EXPECT_FLOAT_EQ(camIsoLimitEv(100, 100, 1), 3.0f);    // 400 -> 3200
  EXPECT_EQ(camIsoLimitEv(100, 100, 0), 0.0f);
  propResetVendorCodeMap();
}
