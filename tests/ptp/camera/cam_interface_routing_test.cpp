// Which vendors each operation reaches, and what everyone else is answered.
#include <functional>
#include <map>

#include "tests/ptp/camera/cam_interface_fixture.h"

using namespace camtest;

namespace {
enum : unsigned { F = 1, C = 2, S = 4, N = 8, FCSN = 15 };

struct Op {
  const char* name;    // the module call it makes when routed
  unsigned reaches;    // vendors routed to that call
  std::function<int64_t()> run;
  int64_t otherwise;   // the answer for a vendor it does not reach (outside 12-15)
};

uint8_t u8a, u8b;
std::vector<uint32_t> handles;
std::vector<int64_t> formats;
std::vector<uint8_t> events;
ByteBuffer frameOut;
std::vector<uint8_t> parsed;
std::vector<float> offsets;
uint16_t size16;

const std::vector<Op>& ops() {
  static const std::vector<Op> table = {
      {"setLiveView", FCSN, [] { return camSetLiveView(1); }, 0xFF0F},
      {"halfPress", F | C | S, [] { return camHalfPress(); }, 0xFF1B},
      {"halfRelease", F | C | S, [] { return camHalfRelease(); }, 0xFF1B},
      {"isInFocus", F | S, [] { return camIsInFocus(); }, 0},
      {"canRecordMovie", S, [] { return camCanRecordMovie(); }, 1},
      {"getLiveViewOrientation", C | S | N, [] { return camGetLiveViewOrientation(); }, 1},
      {"focusStack", FCSN, [] { return camFocusStack(3, 1, 0, nullptr); }, -1},
      {"shutterUp", F | C | S, [] { return camShutterUp(); }, 0x2001},
      {"setHostMode", F | N, [] { return camSetHostMode(1, 0); }, 0xFF0F},
      {"getLiveViewFrame", C | S | N, [] { return camGetLiveViewFrame(frameOut); }, 0xFF0F},
      {"parseLiveViewFrame", C | N, [] { return camParseLiveViewFrame(nullptr, 0, parsed); }, 0},
      {"setLiveViewZoom", FCSN, [] { return camSetLiveViewZoom(200); }, 0xFF0F},
      {"startAutoFocus", FCSN, [] { return camStartAutoFocus(); }, 0xFF0F},
      {"driveFocus", FCSN, [] { return camDriveFocus(2); }, 0xFF0F},
      {"captureAndWait", F | S | N, [] { return camCaptureAndWait(); }, 0xFF0F},
      {"bulbStart", F | C | N, [] { return camBulbStart(); }, 0xFF0F},
      {"bulbEnd", F | C | N, [] { return camBulbEnd(); }, 0xFF0F},
      {"isBulbSelected", FCSN, [] { return camIsBulbSelected(); }, 0},
      {"isMirrorUp", C | N, [] { return camIsMirrorUp(); }, 0},
      {"hasMirrorUpSetting", C | N, [] { return camHasMirrorUpSetting(); }, 0},
      {"setBracketing", N, [] { return camSetBracketing(5); }, 0},
      {"getBracketingShots", N, [] { return camGetBracketingShots(u8a, u8b); }, 0},
      {"hasMovieMode", FCSN, [] { return camHasMovieMode(); }, 0},
      {"enterMovieMode", F | C | N, [] { return camEnterMovieMode(); }, 0xFF0F},
      {"exitMovieMode", F | C | N, [] { return camExitMovieMode(); }, 0xFF0F},
      {"startMovieRecording", FCSN, [] { return camStartMovieRecording(); }, 0xFF0F},
      {"stopMovieRecording", FCSN, [] { return camStopMovieRecording(); }, 0xFF0F},
      {"getNewObjectHandles", F | S, [] { return camGetNewObjectHandles(handles); }, 0xFF0F},
      {"getEvStepsPerStop", F | C | N, [] { return camGetEvStepsPerStop(); }, 0},
      {"shutterSpeedToMs", C | S | N, [] { return camShutterSpeedToMs(7); }, 0},
      {"qualityIncludesRaw", F | N, [] { return camQualityIncludesRaw(); }, 0},
      {"qualityIncludesJpeg", C | S | N, [] { return camQualityIncludesJpeg(7); }, 0},
      {"checkEvents", F | S, [] { return camCheckEvents(events); }, 0xFF0F},
      {"refreshAllProperties", F | C | N, [] { return camRefreshAllProperties(); }, 0xFF0F},
      {"reservedOperation", C | N, [] { return camReservedOperation(); }, 0xFF0F},
      {"canZoomLiveView", C | S | N, [] { return camCanZoomLiveView(); }, 0},
      {"isLiveViewZoomEnabled", S, [] { return camIsLiveViewZoomEnabled(); }, 0},
      {"stopAutoFocus", F | C | S, [] { return camStopAutoFocus(); }, 0xFF0F},
      {"isManualFocus", F | S, [] { return camIsManualFocus(); }, 0},
      {"isBulbSupported", S | N, [] { return camIsBulbSupported(); }, 0},
      {"waitPropertyValue", FCSN, [] { return camWaitPropertyValue(1, 2); }, 1},
      {"setControlDevice", S, [] { return camSetControlDevice(1, 2); }, 0xFF0F},
      {"setRating", C, [] { return camSetRating(1, 2); }, 0xFF0F},
      {"getObjectExtraInfo", C, [] { uint32_t v; return camGetObjectExtraInfo(1, v); }, 0xFF0F},
      {"moveAfPoint", FCSN, [] { return camMoveAfPoint(1); }, 0xFF0F},
      {"setAfPoint", FCSN, [] { return camSetAfPoint(0.5f, 0.5f); }, 0xFF0F},
      {"setLvAfSystem", C, [] { camSetLvAfSystem(); return 0; }, 0},
      {"isExposureBiasAdjustable", FCSN, [] { return camIsExposureBiasAdjustable(); }, 0},
      {"isBracketingAvailable", C | N, [] { return camIsBracketingAvailable(); }, 0},
      {"exposureBiasToEv", FCSN, [] { return int64_t(camExposureBiasToEv(3) * 2); }, 0},
      {"evToExposureBias", FCSN, [] { return camEvToExposureBias(1.0f); }, 0xFF0F},
      {"getExposureBiasMax", FCSN, [] { return int64_t(camGetExposureBiasMax()); }, 0},
      {"getExposureBiasMin", FCSN, [] { return int64_t(camGetExposureBiasMin()); }, 0},
      {"getImageFormatChoices", FCSN, [] { return camGetImageFormatChoices(6, formats); }, 0xFF0F},
      {"getRawFormat", FCSN, [] { return camGetRawFormat(); }, 0xFF0F},
      {"getJpegFormat", FCSN, [] { return camGetJpegFormat(); }, 0xFF0F},
      {"setImageFormat", FCSN, [] { return camSetImageFormat(-1, 3); }, 0xFF1B},
      {"isContinuousDriveValue", C | S | N, [] { return camIsContinuousDriveValue(2); }, 0},
      {"hasModelCapabilityA", S | N, [] { return camHasModelCapabilityA(); }, 0},
      {"hasModelCapabilityB", S, [] { return camHasModelCapabilityB(); }, 0},
      {"isSpeedlightMounted", N, [] { return camIsSpeedlightMounted(); }, 0},
      {"getFlashMode", N, [] { return camGetFlashMode(); }, 0},
      {"getSpeedlightFlashMode", N, [] { return camGetSpeedlightFlashMode(); }, 0},
      {"getSpeedlightChargeStatus", N, [] { return camGetSpeedlightChargeStatus(); }, 0},
      {"setFlashMode", N, [] { return camSetFlashMode(1); }, 0xFF1B},
      // Not in the table: the reads that do not reach a module stop before the camera.
      {"refreshPropertyValue", S | N, [] { return camRefreshPropertyValue(0x5007); }, 0xFF1B},
      {"refreshProperty", F | C | N, [] { return camRefreshProperty(0x5007); }, 0},
      {"storePropertyValue", F | S, [] { return int64_t(camStorePropertyValue(0x5007, 1, 1) != nullptr); }, 0},
      {"bracketingStepToEv", N, [] { return int64_t(camBracketingStepToEv(3) * 2); }, 0},
      {"evToBracketingStep", N, [] { return camEvToBracketingStep(1.0f); }, 0xFF0F},
      {"getBracketingSequence", C | N, [] { return camGetBracketingSequence(offsets, 1.0f); }, 0},
      {"getMaxBracketingEv", C | N, [] { return int64_t(camGetMaxBracketingEv()); }, 0},
      {"decodeImageFormat", C | N, [] { return camDecodeImageFormat(1, 6, size16, u8a); }, 0xFF0F},
      {"isContinuousDriveSetting", N, [] { return camIsContinuousDriveSetting(0x5013, 2); }, 0},
      {"isContinuousDrive", S, [] { return camIsContinuousDrive(); }, 0},
      {"fixedRangeSteps", S, [] { return camCountFixedRangeSteps(0x5007); }, 3},
      {"getAutoIsoRecord", N, [] { return camIsAutoIso(); }, 0},
  };
  return table;
}

unsigned bitOf(uint16_t vendor) { return vendor >= 12 && vendor <= 15 ? 1u << (vendor - 12) : 0; }
}  // namespace

// Before set-up (255), after a failed DeviceInfo (0xFF11) and for any other code, nothing
// reaches a module, even one registered under that code, and every answer is the fixed one.
TEST_F(CamInterfaceTest, CodesOutsideTheFourVendorsGetTheFixedAnswers) {
  auto module = everywhere();
  for (uint16_t vendor : {uint16_t(255), uint16_t(0xFF11), uint16_t(11), uint16_t(0)}) {
    camSetVendor(vendor);
    for (const Op& op : ops()) EXPECT_EQ(op.run(), op.otherwise) << op.name << " vendor " << vendor;
    EXPECT_FALSE(camIsLiveViewAvailable());
    EXPECT_FALSE(camHasLiveViewHistogram());
    EXPECT_EQ(camGetLiveViewZoom(), 0);
    EXPECT_NE(camKeepAlive(), 0x2ABC);  // GetNumObjects, not the module
    EXPECT_FALSE(camIsApertureSettable(1));
    EXPECT_EQ(camBuildCaptureCommand(frameOut.data(), 0), 0u);
  }
  EXPECT_TRUE(module->calls.empty()) << module->calls.front();
  camSetVendor(0xFF11);
  EXPECT_FALSE(camIdentifyModel());
}

// Each vendor reaches exactly the operations it implements; the others answer as the
// routing rule says (Fujifilm's zoom is the one inline exception checked below).
TEST_F(CamInterfaceTest, EachVendorReachesOnlyItsImplementations) {
  for (uint16_t vendor : {CameraVendorFujifilm, CameraVendorCanon, CameraVendorSony, CameraVendorNikon}) {
    resetInterface();
    auto module = everywhere();
    camSetVendor(vendor);
    for (const Op& op : ops()) {
      module->calls.clear();
      const int64_t got = op.run();
      const bool routed = op.reaches & bitOf(vendor);
      const bool called = std::find(module->calls.begin(), module->calls.end(), op.name) != module->calls.end();
      EXPECT_EQ(called, routed) << op.name << " vendor " << vendor;
      if (!routed && !called && module->calls.empty()) {
        // Vendor-specific inline answers, otherwise the fixed one.
        const bool inlineAnswer = (vendor == CameraVendorFujifilm && std::string(op.name) == "canZoomLiveView") ||
                                  (vendor == CameraVendorNikon && std::string(op.name) == "stopAutoFocus") ||
                                  (vendor == CameraVendorCanon && std::string(op.name) == "isBulbSupported") ||
                                  (vendor == CameraVendorFujifilm && std::string(op.name) == "isBulbSupported") ||
                                  (vendor == CameraVendorCanon && std::string(op.name) == "isManualFocus") ||
                                  (vendor == CameraVendorNikon && std::string(op.name) == "isManualFocus") ||
                                  (vendor == CameraVendorCanon && std::string(op.name) == "getBracketingShots") ||
                                  (vendor == CameraVendorCanon && std::string(op.name) == "setBracketing") ||
                                  (vendor == CameraVendorCanon && std::string(op.name) == "bracketingStepToEv") ||
                                  (vendor == CameraVendorCanon && std::string(op.name) == "evToBracketingStep") ||
                                  (vendor != CameraVendorSony && std::string(op.name) == "hasModelCapabilityB") ||
                                  (vendor != CameraVendorNikon && std::string(op.name) == "hasModelCapabilityA");
        if (!inlineAnswer) {
          EXPECT_EQ(got, op.otherwise) << op.name << " vendor " << vendor;
        }
      }
    }
  }
}

TEST_F(CamInterfaceTest, VendorSpecificRoutesAndStepMapping) {
  auto module = everywhere();
  // Sony enters and leaves movie mode through live view, and bulb through the shutter.
  camSetVendor(CameraVendorSony);
  camEnterMovieMode();
  camExitMovieMode();
  camBulbStart();
  camBulbEnd();
  camRefreshAllProperties();
  EXPECT_EQ(module->calls, (std::vector<std::string>{"setLiveView", "setLiveView", "shutterDown", "shutterUp",
                                                     "checkEvents"}));

  // Focus stacking clears bracketing first and passes each vendor its own step.
  struct Row {
    uint16_t vendor;
    int step;
    std::vector<int> args;
  };
  for (const Row& r : {Row{CameraVendorFujifilm, 2, {5, 0, -2}}, Row{CameraVendorCanon, 0, {5, 0, 0}},
                       Row{CameraVendorCanon, -2, {5, 0, 2}}, Row{CameraVendorCanon, 3, {5, 0, 0x8003}},
                       Row{CameraVendorSony, -3, {5, 0, -5}}, Row{CameraVendorSony, 1, {5, 0, 3}},
                       Row{CameraVendorSony, 7, {5, 0, 7}}, Row{CameraVendorNikon, 3, {5, 2, 288}}}) {
    camSetVendor(r.vendor);
    module->calls.clear();
    EXPECT_EQ(camFocusStack(5, r.step, 0, nullptr), 42);
    EXPECT_EQ(module->stackArgs, r.args) << r.vendor << " step " << r.step;
    const bool clears = r.vendor != CameraVendorFujifilm;
    EXPECT_EQ(module->calls.front() == "clearBracketing", clears);
  }

  // Cancelling: Canon and Nikon ask their module; Fujifilm and Sony raise the flag.
  camSetVendor(CameraVendorSony);
  camFocusStack(1, 1, 0, nullptr);
  EXPECT_FALSE(camFocusStackCancelled());
  module->calls.clear();
  camCancelFocusStack();
  EXPECT_TRUE(camFocusStackCancelled());
  EXPECT_TRUE(module->calls.empty());
  camSetVendor(CameraVendorNikon);
  camCancelFocusStack();
  EXPECT_EQ(module->calls, (std::vector<std::string>{"cancelFocusStack"}));
}

TEST_F(CamInterfaceTest, ZoomIsStoredOnlyOnSuccessAndReadBackForCanonAndNikon) {
  auto module = everywhere();
  camSetVendor(CameraVendorCanon);
  module->answer = PTP_RC_OK;
  EXPECT_EQ(camSetLiveViewZoom(300), PTP_RC_OK);
  EXPECT_EQ(camGetLiveViewZoom(), 300 & 0xFF);  // cut to 8 bits
  module->answer = 0x2019;
  EXPECT_EQ(camSetLiveViewZoom(200), 0x2019);
  EXPECT_EQ(camGetLiveViewZoom(), 300 & 0xFF);
  camSetVendor(CameraVendorSony);
  EXPECT_EQ(camGetLiveViewZoom(), 77);  // Sony asks its module
  camResetCameraState();
  camSetVendor(CameraVendorNikon);
  EXPECT_EQ(camGetLiveViewZoom(), 0);
}

TEST_F(CamInterfaceTest, ModelIdentificationWithAnUnknownVendorTriesInOrder) {
  std::vector<std::string> order;
  struct Named : RecordingModule {
    std::vector<std::string>* order;
    std::string name;
    bool yes;
    bool identifyModel(std::string_view, uint8_t& index) override {
      order->push_back(name);
      index = 230;
      return yes;
    }
  };
  auto make = [&](const char* name, bool yes) {
    auto m = std::make_shared<Named>();
    m->order = &order;
    m->name = name;
    m->yes = yes;
    return m;
  };
  camRegisterVendorModule(CameraVendorCanon, make("canon", false));
  camRegisterVendorModule(CameraVendorNikon, make("nikon", false));
  camRegisterVendorModule(CameraVendorSony, make("sony", true));
  camRegisterVendorModule(CameraVendorFujifilm, make("fuji", true));
  listOperations({}, "Body");
  EXPECT_TRUE(camIdentifyModel());
  EXPECT_EQ(order, (std::vector<std::string>{"canon", "nikon", "sony"}));
  EXPECT_EQ(camModelIndex(), 230);
  EXPECT_EQ(camGetVendor(), CameraVendorUnknown);  // the search leaves the vendor alone
}

TEST_F(CamInterfaceTest, StartAutoFocusStoresManualStateForCanonAndNikon) {
  auto module = everywhere();
  module->answer = PTP_RC_OK;
  for (uint16_t vendor : {CameraVendorCanon, CameraVendorNikon, CameraVendorSony}) {
    camSetAfState(0);
    camSetVendor(vendor);
    module->calls.clear();
    EXPECT_EQ(camStartAutoFocus(), PTP_RC_OK);
    EXPECT_EQ(camGetAfState(), vendor == CameraVendorSony ? 0u : 1u) << vendor;
    // Nikon also switches the body to manual focus through its module.
    EXPECT_EQ(module->calls.size(), vendor == CameraVendorNikon ? 2u : 1u);
  }
  module->answer = 0x2002;
  camSetAfState(0);
  camSetVendor(CameraVendorCanon);
  EXPECT_EQ(camStartAutoFocus(), 0x2002);
  EXPECT_EQ(camGetAfState(), 0u);
}
