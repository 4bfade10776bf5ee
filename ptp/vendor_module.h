#pragma once
// What the camera interface asks of a vendor module. One module is registered per vendor
// code; every method's default is the answer for a camera nobody recognises, so a module
// overrides only what its vendor implements. The camera interface decides which vendors
// a call reaches at all: a default here is only heard from a vendor the operation routes to.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "ptp/bytes.h"
#include "ptp/response_codes.h"

// Focus-stack progress: (shot, count); false stops the loop.
using CamFocusProgressFn = std::function<bool(int shot, int count)>;

class VendorModule {
 public:
  virtual ~VendorModule() = default;

  // Set-up.
  virtual bool identifyModel(std::string_view /*model*/, uint8_t& /*index*/) { return false; }
  virtual PtpResponseCode initCamera(uint8_t /*nikonHostFlag*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode keepAlive() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode setHostMode(int /*on*/, int /*refresh*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool isHostMode() { return false; }

  // Properties: the vendor's setter (the table checks are the caller's).
  virtual PtpResponseCode setPropertyValue(uint32_t /*code*/, uint32_t /*value*/) { return 0xFFFF; }

  // Live view.
  virtual PtpResponseCode setLiveView(int /*on*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool isLiveViewAvailable() { return false; }
  virtual PtpResponseCode getLiveViewFrame(ByteBuffer& /*out*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool parseLiveViewFrame(const uint8_t* /*reply*/, size_t /*n*/, std::vector<uint8_t>& /*frame*/) {
    return false;
  }
  virtual uint8_t getLiveViewOrientation() { return 1; }
  virtual bool canZoomLiveView() { return false; }
  virtual uint8_t getLiveViewZoom() { return 0; }
  virtual PtpResponseCode setLiveViewZoom(uint32_t /*percent*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool isLiveViewZoomEnabled() { return false; }

  // Focus.
  virtual PtpResponseCode halfPress() { return PTP_ERROR_UNSUPPORTED_COMMAND; }
  virtual PtpResponseCode halfRelease() { return PTP_ERROR_UNSUPPORTED_COMMAND; }
  virtual bool isInFocus() { return false; }
  virtual PtpResponseCode startAutoFocus() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode stopAutoFocus() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool isAutoFocusMode() { return false; }
  virtual bool canAutoFocus() { return false; }
  virtual bool isManualFocus() { return false; }
  virtual PtpResponseCode setManualFocus(int /*manual*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode driveFocus(int /*step*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  // Nikon gets (count, 2, step x step x 32, delay); the others (count, 0, mapped step, delay).
  virtual int focusStack(int /*count*/, int /*mode*/, int /*step*/, uint32_t /*delayMs*/, CamFocusProgressFn) {
    return -1;
  }
  virtual void cancelFocusStack() {}

  // Capture.
  virtual PtpResponseCode shutterDown() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode shutterUp() { return PTP_RC_OK; }
  virtual PtpResponseCode takePicture() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode captureAndWait() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode bulbStart() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode bulbEnd() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool isBulbSupported() { return false; }
  virtual bool isBulbSelected() { return false; }
  virtual bool isMirrorUp() { return false; }
  virtual bool hasMirrorUpSetting() { return false; }
  // Sony: the whole framed buffer; Nikon: the PTP command container only. 0: none.
  virtual size_t buildCaptureCommand(uint8_t* /*buffer*/, size_t /*capacity*/) { return 0; }

  // Bracketing.
  virtual PtpResponseCode setBracketing(uint32_t /*value*/) { return 0; }
  virtual bool getBracketingShots(uint8_t& /*below*/, uint8_t& /*above*/) { return false; }
  // Canon's bracketing shot count.
  virtual int bracketingCount() { return 0; }
  virtual void clearBracketing() {}

  // Movies.
  virtual bool hasMovieMode() { return false; }
  virtual bool canRecordMovie() { return true; }
  virtual PtpResponseCode enterMovieMode() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode exitMovieMode() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode startMovieRecording() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode stopMovieRecording() { return ERROR_CAMERA_NOT_SUPPORTED; }

  // Objects.
  virtual PtpResponseCode getNewObjectHandles(std::vector<uint32_t>& /*handles*/) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  }
  // Canon 0x9109: 96-byte records, each starting with its handle.
  virtual PtpResponseCode listObjectInfos(ByteBuffer& /*records*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode setRemoteMode(int /*mode*/) { return PTP_RC_OK; }

  // Exposure.
  virtual int getEvStepsPerStop() { return 0; }
  virtual uint32_t shutterSpeedToMs(uint32_t /*value*/) { return 0; }
  virtual bool qualityIncludesRaw() { return false; }
  virtual bool qualityIncludesJpeg(uint32_t /*value*/) { return false; }
  // ISO code to ISO number (Canon codes are not numbers).
  virtual uint32_t isoCodeToValue(uint32_t code) { return code; }

  // Events.
  virtual PtpResponseCode checkEvents() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode refreshAllProperties() { return ERROR_CAMERA_NOT_SUPPORTED; }

  virtual PtpResponseCode reservedOperation() { return ERROR_GENERAL; }

  // Properties and settings.
  virtual bool waitPropertyValue(uint32_t /*code*/, uint32_t /*value*/) { return true; }
  virtual PtpResponseCode setControlDevice(uint32_t /*code*/, uint16_t /*value*/) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  }
  virtual PtpResponseCode setRating(uint32_t /*handle*/, uint32_t /*rating*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode getObjectExtraInfo(uint32_t /*handle*/, uint32_t& /*value*/) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  }
  virtual PtpResponseCode moveAfPoint(int /*direction*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode setAfPoint(float /*x*/, float /*y*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual void setLvAfSystem() {}
  virtual bool isExposureBiasAdjustable() { return false; }
  virtual bool isBracketingAvailable() { return false; }
  virtual float exposureBiasToEv(uint32_t /*value*/) { return 0.0f; }
  virtual uint32_t evToExposureBias(float /*ev*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual float getExposureBiasMax() { return 0.0f; }
  virtual float getExposureBiasMin() { return 0.0f; }
  virtual PtpResponseCode getImageFormatChoices(std::vector<uint32_t>& /*choices*/) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  }
  virtual int64_t getRawFormat() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual int64_t getJpegFormat() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode setImageFormat(int64_t /*raw*/, int64_t /*jpeg*/) { return PTP_ERROR_UNSUPPORTED_COMMAND; }
  virtual bool isContinuousDriveValue(uint32_t /*value*/) { return false; }
  virtual bool hasModelCapabilityA() { return false; }
  virtual bool hasModelCapabilityB() { return false; }

  // Flash (Nikon).
  virtual uint32_t isSpeedlightMounted() { return 0; }
  virtual uint32_t getFlashMode() { return 0; }
  virtual uint32_t getSpeedlightFlashMode() { return 0; }
  virtual uint32_t getSpeedlightChargeStatus() { return 0; }
  virtual PtpResponseCode setFlashMode(uint32_t /*mode*/) { return PTP_ERROR_UNSUPPORTED_COMMAND; }
};

// Registers the module for a vendor code (null: back to the default module).
void camRegisterVendorModule(uint16_t vendor, std::shared_ptr<VendorModule> module);
// The module for a vendor code: the registered one, else one that answers every call
// with its default. Safe from any thread; the module is kept alive by the caller's copy.
std::shared_ptr<VendorModule> camVendorModule(uint16_t vendor);
// Every registration removed (tests, a fresh library).
void camResetVendorModules();
