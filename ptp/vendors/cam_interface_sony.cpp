// The Sony module behind the camera interface.
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_labels.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/sony/sony_capture.h"
#include "ptp/vendors/sony/sony_focus_ops.h"
#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_liveview.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_props.h"
#include "ptp/vendors/sony/sony_values.h"

namespace {
class SonyModule : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return sonyIdentifyModel(model, index); }
  PtpResponseCode initCamera(uint8_t) override {
    propSetLabelTable(sonyPropertyLabels(), kSonyLabelEndCode);
    return sonyInitCamera();
  }
  PtpResponseCode keepAlive() override { return sonyKeepAlive(); }

  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override { return sonySetPropertyValue(code, value); }
  void waitSetPropertyIdle() override { sonyWaitSetPropertyIdle(); }
  bool isDirectSetModel() override { return sonyIsDirectSetModel(); }
  PtpResponseCode getDevicePropValue(uint32_t code, ByteBuffer& data) override {
    return sonyGetDevicePropValue(code, data);
  }
  PtpResponseCode refreshPropertyValue(uint32_t code) override { return sonyRefreshPropertyValue(code); }
  PropertyStruct* storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) override {
    return sonyStorePropertyValue(code, value, getSet);
  }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return sonyWaitPropertyValue(code, value); }
  PtpResponseCode setControlDevice(uint32_t code, uint16_t value) override {
    return sonySetControlDevice(code, value, 2);
  }
  uint32_t fixedRangeSteps(uint32_t) override { return sonyGetFixedRange(); }

  // Also entering and leaving movie mode (the camera interface routes those here).
  PtpResponseCode setLiveView(int on) override { return sonySetLiveView(on); }
  PtpResponseCode getLiveViewFrame(ByteBuffer& out) override { return sonyGetLiveViewFrame(out); }
  uint8_t getLiveViewOrientation() override { return sonyGetLiveViewOrientation(); }
  bool canZoomLiveView() override { return sonyCanZoomLiveView(); }
  // From the table, which events keep current: the overlay asks for every frame.
  uint8_t getLiveViewZoom() override { return static_cast<uint8_t>(sonyGetLiveViewZoom(false)); }
  PtpResponseCode setLiveViewZoom(uint32_t percent) override { return sonySetLiveViewZoom(percent); }
  bool isLiveViewZoomEnabled() override { return sonyIsLiveViewZoomEnabled(); }

  PtpResponseCode halfPress() override { return sonyHalfPress(); }
  PtpResponseCode halfRelease() override { return sonyHalfRelease(); }
  bool isInFocus() override { return sonyIsInFocus(); }
  PtpResponseCode startAutoFocus() override { return sonyStartAutoFocus(); }
  PtpResponseCode stopAutoFocus() override { return sonyStopAutoFocus(); }
  bool isAutoFocusMode() override { return sonyIsAutoFocusMode(); }
  bool canAutoFocus() override { return sonyCanAutoFocus(); }
  bool isManualFocus() override { return sonyIsManualFocus(); }
  PtpResponseCode setManualFocus(int manual) override { return sonySetManualFocus(manual != 0); }
  PtpResponseCode driveFocus(int step) override { return sonyDriveFocus(step); }
  int focusStack(int count, int, int step, uint32_t delayMs, CamFocusProgressFn progress) override {
    return sonyFocusStack(count, step, delayMs, progress);
  }
  PtpResponseCode moveAfPoint(int direction) override { return sonyMoveAfPoint(direction); }
  PtpResponseCode setAfPoint(float x, float y) override { return sonySetAfPoint(x, y); }

  // Also bulb start and end.
  PtpResponseCode shutterDown() override { return sonyShutterDown(); }
  PtpResponseCode shutterUp() override { return sonyShutterUp(); }
  PtpResponseCode takePicture() override { return sonyTakePicture(); }
  PtpResponseCode captureAndWait() override { return sonyCaptureAndWait(); }
  bool isBulbSupported() override { return sonyIsBulbSupported(); }
  bool isBulbSelected() override { return sonyIsBulbSelected(); }
  // Sony offers no capture command for the device to relay: nothing is built.
  size_t buildCaptureCommand(uint8_t*, size_t) override {
    sonyBuildCaptureCommand();  // 0xFF01, not offered
    return 0;
  }
  void clearBracketing() override { sonyClearBracketing(); }

  bool hasMovieMode() override { return sonyHasMovieMode(); }
  bool canRecordMovie() override { return sonyCanRecordMovie(); }
  PtpResponseCode startMovieRecording() override { return sonyStartMovieRecording(); }
  PtpResponseCode stopMovieRecording() override { return sonyStopMovieRecording(); }

  PtpResponseCode getNewObjectHandles(std::vector<uint32_t>& handles) override {
    return sonyGetNewObjectHandles(handles);
  }

  uint32_t shutterSpeedToMs(uint32_t value) override { return sonyShutterSpeedToMs(value); }
  bool qualityIncludesJpeg(uint32_t value) override { return sonyQualityIncludesJpeg(value); }
  float exposureBiasToEv(uint32_t value) override { return sonyExposureBiasToEv(value); }
  uint32_t evToExposureBias(float ev) override { return sonyEvToExposureBias(ev); }
  float getExposureBiasMax() override { return sonyGetExposureBiasMax(); }
  float getExposureBiasMin() override { return sonyGetExposureBiasMin(); }
  bool isExposureBiasAdjustable() override { return sonyIsExposureBiasAdjustable(); }
  bool isContinuousDriveValue(uint32_t value) override { return sonyIsContinuousDriveValue(value); }
  bool isContinuousDrive() override { return sonyIsContinuousDrive(); }
  bool hasModelCapabilityA() override { return sonyHasModelCapabilityA(); }
  bool hasModelCapabilityB() override { return sonyHasModelCapabilityB(); }

  PtpResponseCode getImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) override {
    choices = sonyGetImageFormatChoices(kind);
    return PTP_RC_OK;
  }
  // The camera interface answers 0xFF01 through the same value when there is no format.
  int64_t getRawFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = sonyGetRawFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  int64_t getJpegFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = sonyGetJpegFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  PtpResponseCode setImageFormat(int64_t raw, int64_t jpeg) override { return sonySetImageFormat(raw, jpeg); }

  // One event poll: the rows are parsed by the poll itself, so none are handed back.
  PtpResponseCode checkEvents(std::vector<uint8_t>& events) override {
    events.clear();
    return sonyCheckEvents();
  }
};
}  // namespace

std::shared_ptr<VendorModule> camMakeSonyModule() { return std::make_shared<SonyModule>(); }
