// The Canon module behind the camera interface.
#include <cstring>
#include <string>
#include <vector>

#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/prop_labels.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/canon/canon_capture.h"
#include "ptp/vendors/canon/canon_fetch.h"
#include "ptp/vendors/canon/canon_labels.h"
#include "ptp/vendors/canon/canon_listing.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_liveview_ops.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_ops.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/canon/canon_values.h"

namespace {
// DriveLens wants the near direction as 1..n and the far one as 0x8000 + n, the form the
// focus stack uses too.
uint32_t driveLensCode(int step) { return step < 1 ? static_cast<uint32_t>(-step) : static_cast<uint32_t>(step) + 0x8000; }

// 0x9135 with this storage word asks across every storage: the interface names only the
// object.
constexpr uint32_t kAnyStorage = 0xFFFFFFFF;

class CanonModule : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return canonIdentifyModel(model, index); }
  PtpResponseCode initCamera(uint8_t) override {
    canonResetModuleState();
    propSetLabelTable(canonPropertyLabels(), kCanonLabelEndCode);
    return canonInitCamera();
  }
  PtpResponseCode keepAlive() override { return canonKeepAlive(); }

  // Properties.
  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override { return canonSetPropertyValue(code, value); }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return canonWaitPropertyValue(code, value); }
  PtpResponseCode getDevicePropValue(uint32_t code, ByteBuffer& data) override {
    return canonGetDevicePropValue(code, data);
  }
  // The camera reports what changed through its event stream; the code is not asked for.
  PtpResponseCode refreshProperty(uint32_t) override { return canonRefreshProperties(); }
  PtpResponseCode refreshAllProperties() override { return canonRefreshProperties(); }
  PtpResponseCode reservedOperation() override { return canonReservedOperation(); }

  // Live view.
  PtpResponseCode setLiveView(int on) override { return canonSetLiveView(on != 0, true); }
  bool isLiveViewAvailable() override { return canonIsLiveViewAvailable(); }
  PtpResponseCode getLiveViewFrame(ByteBuffer& out) override { return canonGetLiveViewFrame(out); }
  bool parseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame) override {
    return canonParseLiveViewFrame(reply, n, frame, camModelIndex());
  }
  uint8_t getLiveViewOrientation() override { return canonGetLiveViewOrientation(); }
  bool canZoomLiveView() override { return canonCanZoomLiveView(); }
  PtpResponseCode setLiveViewZoom(uint32_t percent) override { return canonSetLiveViewZoom(percent); }
  void setLvAfSystem() override { canonSetLvAfSystem(); }

  // Focus.
  PtpResponseCode halfPress() override { return canonHalfPress(); }
  PtpResponseCode halfRelease() override { return canonHalfRelease(); }
  PtpResponseCode startAutoFocus() override { return canonStartAutoFocus(); }
  PtpResponseCode stopAutoFocus() override { return canonStopAutoFocus(); }
  PtpResponseCode driveFocus(int step) override { return canonDriveFocus(driveLensCode(step)); }
  int focusStack(int count, int, int step, uint32_t delayMs, CamFocusProgressFn progress) override {
    if (count < 0) return ERROR_INVALID_INPUT;
    return canonFocusStack(static_cast<uint32_t>(count), static_cast<uint32_t>(step), delayMs, std::move(progress));
  }
  void cancelFocusStack() override { canonCancelFocusStack(); }
  PtpResponseCode setAfPoint(float x, float y) override { return canonSetAfPoint(x, y); }

  // Capture.
  PtpResponseCode shutterDown() override { return canonShutterDown(false); }
  PtpResponseCode shutterUp() override { return canonShutterUp(); }
  // Manual focus for this one press, the caller's focus state back afterwards.
  PtpResponseCode takePictureNoAf() override {
    const uint32_t saved = camGetAfState();
    camSetAfState(1);
    const PtpResponseCode rc = canonShutterDown(true);
    camSetAfState(saved);
    return rc;
  }
  PtpResponseCode captureAndWait() override { return canonWaitReady() ? PTP_RC_OK : ERROR_DEVICE_NOT_READY; }
  PtpResponseCode bulbStart() override { return canonBulbStart(); }
  PtpResponseCode bulbEnd() override {
    const PtpResponseCode rc = canonBulbEnd();
    if (rc == PTP_RC_OK) canonWaitReady();
    return rc;
  }
  bool isBulbSelected() override { return canonIsBulbSelected(); }
  bool isMirrorUp() override { return canonIsMirrorUp(); }
  bool hasMirrorUpSetting() override { return canonHasMirrorUpSetting(); }
  bool releasesInOneStep() override { return canonGetModelState().oneStepRelease; }

  // Bracketing.
  int bracketingCount() override { return canonGetBracketingShots(); }
  void clearBracketing() override { canonClearBracketing(); }
  int getBracketingSequence(std::vector<float>& offsets, bool, float ev) override {
    offsets = canonGetBracketingSequence(ev);
    return static_cast<int>(offsets.size());
  }
  float getMaxBracketingEv() override { return canonGetMaxBracketingEv(); }
  bool isBracketingAvailable() override { return canonIsBracketingAvailable(true); }

  // Movies.
  bool hasMovieMode() override { return canonHasMovieMode(); }
  PtpResponseCode enterMovieMode() override { return canonEnterMovieMode(); }
  PtpResponseCode exitMovieMode() override { return canonExitMovieMode(); }
  PtpResponseCode startMovieRecording() override { return canonStartMovieRecording(); }
  PtpResponseCode stopMovieRecording() override { return canonStopMovieRecording(); }

  // Objects.
  PtpResponseCode listObjectInfos(ByteBuffer& records) override {
    records.clear();
    std::vector<CanonObjectRecord> found;
    const PtpResponseCode rc = canonListObjectInfos(found, false, 0);
    if (rc != PTP_RC_OK) return rc;
    try {
      records.resize(found.size() * sizeof(CanonObjectRecord));
    } catch (const std::bad_alloc&) {
      return ERROR_NO_MEMORY;
    }
    if (!found.empty()) std::memcpy(records.data(), found.data(), records.size());
    return PTP_RC_OK;
  }
  PtpResponseCode setRemoteMode(int mode) override { return canonSetRemoteMode(static_cast<uint32_t>(mode)); }
  PtpResponseCode setRating(uint32_t handle, uint32_t rating) override { return canonSetRating(handle, rating); }
  PtpResponseCode getObjectExtraInfo(uint32_t handle, uint32_t& value) override {
    return canonGetObjectExtraInfo(handle, kAnyStorage, &value);
  }

  // Value rules.
  PtpResponseCode getImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) override {
    return canonGetImageFormatChoices(kind, choices);
  }
  int64_t getRawFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = canonGetRawFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  int64_t getJpegFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = canonGetJpegFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  PtpResponseCode setImageFormat(int64_t raw, int64_t jpeg) override { return canonSetImageFormat(raw, jpeg); }
  PtpResponseCode decodeImageFormat(uint32_t packed, uint8_t kind, uint16_t& sizeCode, uint8_t& quality) override {
    return canonDecodeImageFormat(packed, kind, sizeCode, quality);
  }
  bool qualityIncludesJpeg(uint32_t value) override { return canonQualityIncludesJpeg(value); }
  float exposureBiasToEv(uint32_t value) override { return canonExposureBiasToEv(value); }
  uint32_t evToExposureBias(float ev) override { return canonEvToExposureBias(ev); }
  int getEvStepsPerStop() override { return canonGetEvStepsPerStop(); }
  float getExposureBiasMax() override { return canonGetExposureBiasMax(); }
  float getExposureBiasMin() override { return canonGetExposureBiasMin(); }
  bool isExposureBiasAdjustable() override { return canonIsExposureBiasAdjustable(); }
  bool isContinuousDriveValue(uint32_t value) override { return canonIsContinuousDriveValue(value); }
  float isoCodeToValue(uint32_t code) override { return canonIsoCodeToValue(code); }
  uint32_t shutterSpeedToMs(uint32_t value) override { return canonShutterSpeedToMs(value); }
  bool getFixedRange(uint32_t code, uint32_t& first, uint32_t& second) override {
    return canonGetFixedRange(code, first, second);
  }
};
}  // namespace

std::shared_ptr<VendorModule> camMakeCanonModule() { return std::make_shared<CanonModule>(); }
