// The Nikon module behind the camera interface.
#include <cstdlib>

#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_labels.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/nikon/nikon_capture.h"
#include "ptp/vendors/nikon/nikon_events.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_liveview.h"
#include "ptp/vendors/nikon/nikon_liveview_ops.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_setup.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"

namespace {
constexpr PtpResponseCode kHostModeNotNeeded = 0xA003;  // the body is in host mode already
// MfDrive directions.
constexpr uint32_t kTowardInfinity = 1, kTowardNear = 2;

class NikonModule : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return nikonIdentifyModel(model, index); }
  PtpResponseCode initCamera(uint8_t hostFlag) override {
    nikonResetModuleState();
    // The reset clears what an earlier session left; identification has just turned the
    // live-view flag on for a mirrorless body, which always shows live view.
    if (nikonGetModelState().liveViewOn) camLiveViewFlag() = true;
    propSetLabelTable(nikonPropertyLabels(), kNikonLabelEndCode);
    PtpResponseCode rc = nikonSetHostMode(hostFlag, false);
    if (rc == kHostModeNotNeeded) rc = PTP_RC_OK;
    if (rc != PTP_RC_OK) return rc;
    return nikonInitCamera();
  }
  PtpResponseCode keepAlive() override { return nikonKeepAlive(); }
  PtpResponseCode setHostMode(int on, int refresh) override {
    return nikonSetHostMode(static_cast<uint32_t>(on), refresh != 0);
  }
  bool isHostMode() override { return nikonIsHostMode(); }

  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override { return nikonSetPropertyValue(code, value); }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return nikonWaitPropertyValue(code, value); }
  // refreshPropertyValue stays the generic read: the camera's refusal is the answer.
  PtpResponseCode refreshProperty(uint32_t code) override {
    return nikonRefreshProperty(code) ? PTP_RC_OK : ERROR_GENERAL;
  }
  PtpResponseCode refreshAllProperties() override { return nikonRefreshAllProperties(); }
  PtpResponseCode reservedOperation() override { return nikonReservedOperation(); }

  PtpResponseCode setLiveView(int on) override { return nikonSetLiveView(on, false); }
  PtpResponseCode getLiveViewFrame(ByteBuffer& out) override { return nikonGetLiveViewFrame(out); }
  bool parseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame) override {
    return nikonParseLiveViewFrame(nikonLiveViewOpcode(), reply, n, frame) == PTP_RC_OK;
  }
  uint8_t getLiveViewOrientation() override { return nikonGetLiveViewOrientation(); }
  bool canZoomLiveView() override { return nikonCanZoomLiveView(); }
  uint8_t getLiveViewZoom() override { return nikonState().liveViewZoom; }
  PtpResponseCode setLiveViewZoom(uint32_t percent) override { return nikonSetLiveViewZoom(percent); }

  PtpResponseCode startAutoFocus() override { return nikonStartAutoFocus(true, true); }
  bool isAutoFocusMode() override { return nikonIsAutoFocusMode(); }
  bool canAutoFocus() override { return nikonCanAutoFocus(); }
  PtpResponseCode setManualFocus(int manual) override { return nikonSetManualFocus(manual); }
  PtpResponseCode driveFocus(int step) override {
    return nikonDriveFocus(step < 0 ? kTowardNear : kTowardInfinity, static_cast<uint32_t>(std::abs(step)));
  }
  int focusStack(int count, int mode, int step, uint32_t delayMs, CamFocusProgressFn progress) override {
    return nikonFocusStack(count, static_cast<uint32_t>(mode), static_cast<uint32_t>(step), delayMs, progress);
  }
  void cancelFocusStack() override { nikonCancelFocusStack(); }

  PtpResponseCode shutterDown() override { return nikonShutterDown(); }
  PtpResponseCode takePicture() override { return nikonShutterDown(); }
  PtpResponseCode captureAndWait() override { return nikonCaptureAndWait(); }
  PtpResponseCode bulbStart() override { return nikonBulbStart(); }
  PtpResponseCode bulbEnd() override { return nikonBulbEnd(); }
  bool isBulbSupported() override { return nikonIsBulbSupported(); }
  bool isBulbSelected() override { return nikonIsBulbSelected(); }
  bool isMirrorUp() override { return nikonIsMirrorUp(); }
  bool hasMirrorUpSetting() override { return nikonHasMirrorUpSetting(); }
  size_t buildCaptureCommand(uint8_t* buffer, size_t capacity) override {
    return nikonBuildCaptureCommand(buffer, capacity);
  }

  PtpResponseCode setBracketing(uint32_t value) override { return nikonSetBracketing(value); }
  bool getBracketingShots(uint8_t& below, uint8_t& above) override { return nikonGetBracketingShots(below, above); }
  void clearBracketing() override { nikonClearBracketing(); }
  float bracketingStepToEv(uint32_t step, bool force) override { return nikonBracketingStepToEv(step, force); }
  uint32_t evToBracketingStep(float ev) override { return nikonEvToBracketingStep(ev); }
  int getBracketingSequence(std::vector<float>& offsets, bool force, float ev) override {
    return nikonGetBracketingSequence(offsets, force, ev);
  }
  float getMaxBracketingEv() override { return nikonGetMaxBracketingEv(); }

  bool hasMovieMode() override { return nikonHasMovieMode(); }
  PtpResponseCode enterMovieMode() override { return nikonEnterMovieMode(); }
  PtpResponseCode exitMovieMode() override { return nikonExitMovieMode(); }
  PtpResponseCode startMovieRecording() override { return nikonStartMovieRecording(); }
  PtpResponseCode stopMovieRecording() override { return nikonStopMovieRecording(); }

  int getEvStepsPerStop() override { return nikonGetEvStepsPerStop(); }
  uint32_t shutterSpeedToMs(uint32_t value) override { return nikonShutterSpeedToMs(value); }
  bool qualityIncludesRaw() override { return nikonQualityIncludesRaw(); }
  bool qualityIncludesJpeg(uint32_t value) override { return nikonQualityIncludesJpeg(value); }

  PtpResponseCode setAfPoint(float x, float y) override { return nikonSetAfPoint(x, y); }
  PtpResponseCode moveAfPoint(int direction) override { return nikonMoveAfPoint(direction); }
  bool isExposureBiasAdjustable() override { return nikonIsExposureBiasAdjustable(); }
  bool isBracketingAvailable() override { return nikonIsBracketingAvailable(); }
  float exposureBiasToEv(uint32_t value) override { return nikonExposureBiasToEv(value); }
  uint32_t evToExposureBias(float ev) override { return nikonEvToExposureBias(ev); }
  float getExposureBiasMax() override { return nikonGetExposureBiasMax(); }
  float getExposureBiasMin() override { return nikonGetExposureBiasMin(); }
  PtpResponseCode getImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) override {
    return nikonGetImageFormatChoices(kind, choices);
  }
  int64_t getRawFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = nikonGetRawFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  int64_t getJpegFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = nikonGetJpegFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  PtpResponseCode setImageFormat(int64_t raw, int64_t jpeg) override { return nikonSetImageFormat(raw, jpeg); }
  bool isContinuousDriveValue(uint32_t value) override {
    return nikonIsContinuousDriveValue(propVendorCodeMap().driveMode, value);
  }
  bool isContinuousDriveSetting(uint32_t code, uint32_t value) override {
    return nikonIsContinuousDriveValue(code, value);
  }
  PtpResponseCode decodeImageFormat(uint32_t packed, uint8_t kind, uint16_t& sizeCode, uint8_t& quality) override {
    return nikonDecodeImageFormat(packed, kind, &sizeCode, &quality);
  }
  bool getFixedRange(uint32_t code, uint32_t& first, uint32_t& second) override {
    return nikonGetFixedRange(code, first, second);
  }
  PropertyStruct* getAutoIsoRecord() override { return nikonGetAutoIsoRecord(); }
  bool hasModelCapabilityA() override { return nikonHasModelCapabilityA(); }

  uint32_t isSpeedlightMounted() override { return nikonIsSpeedlightMounted(); }
  uint32_t getFlashMode() override { return nikonGetFlashMode(); }
  uint32_t getSpeedlightFlashMode() override { return nikonGetSpeedlightFlashMode(); }
  uint32_t getSpeedlightChargeStatus() override { return nikonGetSpeedlightChargeStatus(); }
  PtpResponseCode setFlashMode(uint32_t mode) override { return nikonSetFlashMode(mode); }
};
}  // namespace

std::shared_ptr<VendorModule> camMakeNikonModule() { return std::make_shared<NikonModule>(); }
