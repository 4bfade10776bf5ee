#pragma once
// A recording vendor module and a clean camera interface per test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"

namespace camtest {

// Notes every call and answers with values no default gives.
struct RecordingModule : VendorModule {
  std::vector<std::string> calls;
  PtpResponseCode answer = 0x2ABC;
  int bracketing = 0;
  bool identifies = false;
  uint8_t modelToSet = 0;
  bool hostMode = false;
  ByteBuffer objectRecords;
  std::vector<int> stackArgs;

  PtpResponseCode note(const char* name) {
    calls.emplace_back(name);
    return answer;
  }
  bool identifyModel(std::string_view, uint8_t& index) override {
    note("identifyModel");
    index = modelToSet;
    return identifies;
  }
  PtpResponseCode initCamera(uint8_t) override { return note("initCamera"); }
  PtpResponseCode keepAlive() override { return note("keepAlive"); }
  PtpResponseCode setHostMode(int, int) override { return note("setHostMode"); }
  bool isHostMode() override { return hostMode; }
  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override {
    calls.push_back("setPropertyValue " + std::to_string(code) + "=" + std::to_string(value));
    return answer;
  }
  PtpResponseCode setLiveView(int) override { return note("setLiveView"); }
  bool isLiveViewAvailable() override { return note("isLiveViewAvailable"), true; }
  PtpResponseCode getLiveViewFrame(ByteBuffer&) override { return note("getLiveViewFrame"); }
  bool parseLiveViewFrame(const uint8_t*, size_t, std::vector<uint8_t>&) override {
    return note("parseLiveViewFrame"), true;
  }
  uint8_t getLiveViewOrientation() override { return note("getLiveViewOrientation"), 6; }
  bool canZoomLiveView() override { return note("canZoomLiveView"), true; }
  uint8_t getLiveViewZoom() override { return note("getLiveViewZoom"), 77; }
  PtpResponseCode setLiveViewZoom(uint32_t) override { return note("setLiveViewZoom"); }
  bool isLiveViewZoomEnabled() override { return note("isLiveViewZoomEnabled"), true; }
  PtpResponseCode halfPress() override { return note("halfPress"); }
  PtpResponseCode halfRelease() override { return note("halfRelease"); }
  bool isInFocus() override { return note("isInFocus"), true; }
  PtpResponseCode startAutoFocus() override { return note("startAutoFocus"); }
  PtpResponseCode stopAutoFocus() override { return note("stopAutoFocus"); }
  bool isAutoFocusMode() override { return note("isAutoFocusMode"), true; }
  bool canAutoFocus() override { return note("canAutoFocus"), true; }
  bool isManualFocus() override { return note("isManualFocus"), true; }
  PtpResponseCode setManualFocus(int) override { return note("setManualFocus"); }
  PtpResponseCode driveFocus(int) override { return note("driveFocus"); }
  int focusStack(int count, int mode, int step, uint32_t, CamFocusProgressFn) override {
    note("focusStack");
    stackArgs = {count, mode, step};
    return 42;
  }
  void cancelFocusStack() override { note("cancelFocusStack"); }
  PtpResponseCode shutterDown() override { return note("shutterDown"); }
  PtpResponseCode shutterUp() override { return note("shutterUp"); }
  PtpResponseCode takePicture() override { return note("takePicture"); }
  PtpResponseCode captureAndWait() override { return note("captureAndWait"); }
  PtpResponseCode bulbStart() override { return note("bulbStart"); }
  PtpResponseCode bulbEnd() override { return note("bulbEnd"); }
  bool isBulbSupported() override { return note("isBulbSupported"), true; }
  bool isBulbSelected() override { return note("isBulbSelected"), true; }
  bool isMirrorUp() override { return note("isMirrorUp"), false; }
  bool hasMirrorUpSetting() override { return note("hasMirrorUpSetting"), true; }
  size_t buildCaptureCommand(uint8_t*, size_t) override { return note("buildCaptureCommand"), 0; }
  PtpResponseCode setBracketing(uint32_t) override { return note("setBracketing"); }
  bool getBracketingShots(uint8_t& b, uint8_t& a) override {
    note("getBracketingShots");
    b = 4;
    a = 5;
    return true;
  }
  int bracketingCount() override { return bracketing; }
  void clearBracketing() override { note("clearBracketing"); }
  bool hasMovieMode() override { return note("hasMovieMode"), true; }
  bool canRecordMovie() override { return note("canRecordMovie"), false; }
  PtpResponseCode enterMovieMode() override { return note("enterMovieMode"); }
  PtpResponseCode exitMovieMode() override { return note("exitMovieMode"); }
  PtpResponseCode startMovieRecording() override { return note("startMovieRecording"); }
  PtpResponseCode stopMovieRecording() override { return note("stopMovieRecording"); }
  PtpResponseCode getNewObjectHandles(std::vector<uint32_t>& h) override {
    h.assign(3, 9);
    return note("getNewObjectHandles");
  }
  PtpResponseCode listObjectInfos(ByteBuffer& out) override {
    out = objectRecords;
    note("listObjectInfos");
    return PTP_RC_OK;
  }
  int getEvStepsPerStop() override { return note("getEvStepsPerStop"), 2; }
  uint32_t shutterSpeedToMs(uint32_t) override { return note("shutterSpeedToMs"), 250; }
  bool qualityIncludesRaw() override { return note("qualityIncludesRaw"), true; }
  bool qualityIncludesJpeg(uint32_t) override { return note("qualityIncludesJpeg"), true; }
  float isoCodeToValue(uint32_t code) override { return code * 100.0f; }
  PtpResponseCode checkEvents(std::vector<uint8_t>&) override { return note("checkEvents"); }
  PtpResponseCode refreshAllProperties() override { return note("refreshAllProperties"); }
  PtpResponseCode reservedOperation() override { return note("reservedOperation"); }
  bool waitPropertyValue(uint32_t, uint32_t) override { return note("waitPropertyValue"), false; }
  PtpResponseCode setControlDevice(uint32_t, uint16_t) override { return note("setControlDevice"); }
  PtpResponseCode setRating(uint32_t, uint32_t) override { return note("setRating"); }
  PtpResponseCode getObjectExtraInfo(uint32_t, uint32_t&) override { return note("getObjectExtraInfo"); }
  PtpResponseCode moveAfPoint(int) override { return note("moveAfPoint"); }
  PtpResponseCode setAfPoint(float, float) override { return note("setAfPoint"); }
  void setLvAfSystem() override { note("setLvAfSystem"); }
  bool isExposureBiasAdjustable() override { return note("isExposureBiasAdjustable"), true; }
  bool isBracketingAvailable() override { return note("isBracketingAvailable"), true; }
  float exposureBiasToEv(uint32_t) override { return note("exposureBiasToEv"), 1.5f; }
  uint32_t evToExposureBias(float) override { return note("evToExposureBias"), 3; }
  float getExposureBiasMax() override { return note("getExposureBiasMax"), 5.0f; }
  float getExposureBiasMin() override { return note("getExposureBiasMin"), -5.0f; }
  PtpResponseCode getImageFormatChoices(uint8_t, std::vector<int64_t>&) override {
    return note("getImageFormatChoices");
  }
  int64_t getRawFormat() override { return note("getRawFormat"), -1; }
  int64_t getJpegFormat() override { return note("getJpegFormat"), -1; }
  PtpResponseCode setImageFormat(int64_t, int64_t) override { return note("setImageFormat"); }
  bool isContinuousDriveValue(uint32_t) override { return note("isContinuousDriveValue"), true; }
  bool hasModelCapabilityA() override { return note("hasModelCapabilityA"), true; }
  bool hasModelCapabilityB() override { return note("hasModelCapabilityB"), true; }
  uint32_t isSpeedlightMounted() override { return note("isSpeedlightMounted"), 1; }
  uint32_t getFlashMode() override { return note("getFlashMode"), 4; }
  uint32_t getSpeedlightFlashMode() override { return note("getSpeedlightFlashMode"), 4; }
  uint32_t getSpeedlightChargeStatus() override { return note("getSpeedlightChargeStatus"), 1; }
  PtpResponseCode setFlashMode(uint32_t) override { return note("setFlashMode"); }
  PtpResponseCode getDevicePropValue(uint32_t, ByteBuffer& data) override {
    data.assign({1, 2});
    return note("getDevicePropValue");
  }
  PtpResponseCode refreshPropertyValue(uint32_t) override { return note("refreshPropertyValue"); }
  PtpResponseCode refreshProperty(uint32_t) override { return note("refreshProperty"); }
  PropertyStruct* storePropertyValue(uint32_t, uint32_t, uint8_t) override {
    return note("storePropertyValue"), nullptr;
  }
  float bracketingStepToEv(uint32_t, bool) override { return note("bracketingStepToEv"), 2.5f; }
  uint32_t evToBracketingStep(float) override { return note("evToBracketingStep"), 4; }
  int getBracketingSequence(std::vector<float>& offsets, bool, float ev) override {
    note("getBracketingSequence");
    offsets = {-ev, ev};
    return 2;
  }
  float getMaxBracketingEv() override { return note("getMaxBracketingEv"), 3.0f; }
  bool isContinuousDriveSetting(uint32_t, uint32_t) override { return note("isContinuousDriveSetting"), true; }
  bool isContinuousDrive() override { return note("isContinuousDrive"), true; }
  PtpResponseCode decodeImageFormat(uint32_t, uint8_t, uint16_t& size, uint8_t& quality) override {
    size = 7;
    quality = 8;
    return note("decodeImageFormat");
  }
  bool getFixedRange(uint32_t, uint32_t&, uint32_t&) override { return note("getFixedRange"), false; }
  uint32_t fixedRangeSteps(uint32_t) override { return note("fixedRangeSteps"), 5; }
  PropertyStruct* getAutoIsoRecord() override { return note("getAutoIsoRecord"), nullptr; }
};

inline void resetInterface() {
  camResetVendorModules();
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
  camResetCameraState();
  camSetAfState(0);
  ptpClearStoredDeviceInfo();
  propClearTable();
  propResetVendorCodeMap();
}

// The stored DeviceInfo lists these operations (and has this model text).
inline void listOperations(std::initializer_list<uint16_t> ops, const char* model = "") {
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  block->vendorExtensionId = 6;  // stored: nothing is fetched
  for (uint16_t op : ops) block->operationsSupported.codes[block->operationsSupported.count++] = op;
  std::snprintf(block->model, sizeof block->model, "%s", model);
  ptpSetStoredDeviceInfo(*block);
}

struct CamInterfaceTest : ::testing::Test {
  void SetUp() override { resetInterface(); }
  void TearDown() override { resetInterface(); }
  // The same recording module behind all four vendors and behind 255 and 0xFF11.
  std::shared_ptr<RecordingModule> everywhere() {
    auto m = std::make_shared<RecordingModule>();
    for (uint16_t v : {12, 13, 14, 15, 255, 0xFF11}) camRegisterVendorModule(v, m);
    return m;
  }
};

}  // namespace camtest
