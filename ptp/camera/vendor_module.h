#pragma once
// What the camera interface asks of a vendor module. One module is registered per vendor
// code; every method's default is the answer for a camera nobody recognises, so a module
// overrides only what its vendor implements. The camera interface decides which vendors
// a call reaches at all: a default here is only heard from a vendor the operation routes to.
//
// How a vendor plugs in:
// - Derive from VendorModule, override what the vendor implements, and register one
//   instance with camRegisterVendorModule(vendor code, module) during library start-up
//   (camInstallVendorDefaults keeps a module registered before it).
// - The camera interface (cam_interface.h) is the only caller. It reads the vendor code
//   once per call and handles some vendors inline without asking the module at all
//   (Canon bracketing through the 0xD1D9 property, Canon/Sony quality tests, Canon
//   focus-mode tests, Nikon busy retries, the property-set lock and events around
//   setPropertyValue, the bracketing-EV cache, the ISO and fixed-range list walks).
// - The property table and the event parser reach the vendor through CameraServices
//   (prop_services.h). Its storePropertyValue and refreshProperty hooks call
//   camStorePropertyValue and camRefreshProperty by default, which call this module:
//   a vendor implements storePropertyValue and refreshProperty here, once, and never
//   overrides those two hooks of CameraServices.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

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

  // Properties: the vendor's setter (the table checks, the set lock and the events are
  // the caller's).
  virtual PtpResponseCode setPropertyValue(uint32_t /*code*/, uint32_t /*value*/) { return 0xFFFF; }
  // Sony: returns once no earlier set is running.
  virtual void waitSetPropertyIdle() {}
  // Sony: whether the body reports a set value back, so that it can be waited for.
  virtual bool isDirectSetModel() { return false; }
  // Fujifilm: whether the last setPropertyValue stopped live view; answering clears it.
  virtual bool takeLiveViewStoppedForSet() { return false; }
  // GetDevicePropValue: the raw reply. The default sends PTP 0x1015.
  virtual PtpResponseCode getDevicePropValue(uint32_t code, ByteBuffer& data);
  // Reads one value into the table. The default is GetDevicePropValue and a parse.
  virtual PtpResponseCode refreshPropertyValue(uint32_t code);
  // Re-reads one property and posts DevicePropChanged.
  virtual PtpResponseCode refreshProperty(uint32_t /*code*/) { return 0; }
  // Stores a value reported by an event; the record (null when not in the table).
  virtual PropertyStruct* storePropertyValue(uint32_t /*code*/, uint32_t /*value*/, uint8_t /*getSet*/) {
    return nullptr;
  }

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
  // Canon: one press without autofocus, released at once.
  virtual PtpResponseCode takePictureNoAf() { return shutterDown(); }
  virtual PtpResponseCode captureAndWait() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode bulbStart() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode bulbEnd() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual bool isBulbSupported() { return false; }
  virtual bool isBulbSelected() { return false; }
  virtual bool isMirrorUp() { return false; }
  virtual bool hasMirrorUpSetting() { return false; }
  // Sony: the whole framed buffer; Nikon: the PTP command container only. 0: none.
  virtual size_t buildCaptureCommand(uint8_t* /*buffer*/, size_t /*capacity*/) { return 0; }
  // Canon: the body takes a picture with one RemoteReleaseOn (phase 3) even with autofocus.
  virtual bool releasesInOneStep() { return false; }

  // Bracketing.
  virtual PtpResponseCode setBracketing(uint32_t /*value*/) { return 0; }
  virtual bool getBracketingShots(uint8_t& /*below*/, uint8_t& /*above*/) { return false; }
  // Canon's bracketing shot count.
  virtual int bracketingCount() { return 0; }
  virtual void clearBracketing() {}
  // Nikon (Canon uses exposureBiasToEv / evToExposureBias for these).
  virtual float bracketingStepToEv(uint32_t /*step*/, bool /*force*/) { return 0.0f; }
  virtual uint32_t evToBracketingStep(float /*ev*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
  // EV offsets of a bracketing sequence; answers their count.
  virtual int getBracketingSequence(std::vector<float>& /*offsets*/, bool /*force*/, float /*ev*/) { return 0; }
  // The largest bracketing amount in EV (the camera interface caches it).
  virtual float getMaxBracketingEv() { return 0.0f; }

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
  // ISO code to ISO number (Canon codes are not numbers, and some ISOs are fractions).
  virtual float isoCodeToValue(uint32_t code) { return static_cast<float>(code); }

  // Events.
  // Pending events as rows for camParseEvents (empty: none).
  virtual PtpResponseCode checkEvents(std::vector<uint8_t>& /*events*/) { return ERROR_CAMERA_NOT_SUPPORTED; }
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
  // The packed values a format menu offers for a kind (6 RAW, 1 JPEG), -1 (none) included.
  virtual PtpResponseCode getImageFormatChoices(uint8_t /*kind*/, std::vector<int64_t>& /*choices*/) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  }
  virtual int64_t getRawFormat() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual int64_t getJpegFormat() { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode setImageFormat(int64_t /*raw*/, int64_t /*jpeg*/) { return PTP_ERROR_UNSUPPORTED_COMMAND; }
  virtual bool isContinuousDriveValue(uint32_t /*value*/) { return false; }
  // Nikon: whether (property code, value) is a continuous drive mode.
  virtual bool isContinuousDriveSetting(uint32_t /*code*/, uint32_t /*value*/) { return false; }
  // Sony: whether the current drive mode is continuous.
  virtual bool isContinuousDrive() { return false; }
  // Splits a packed image-format value into size code and quality for a format kind
  // (6 RAW, 1 JPEG).
  virtual PtpResponseCode decodeImageFormat(uint32_t /*packed*/, uint8_t /*kind*/, uint16_t& /*sizeCode*/,
                                            uint8_t& /*quality*/) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  }
  // Canon, Nikon: the two list values whose distance camCountFixedRangeSteps measures.
  virtual bool getFixedRange(uint32_t /*code*/, uint32_t& /*first*/, uint32_t& /*second*/) { return false; }
  // Sony: the step count itself (0: the usual 3).
  virtual uint32_t fixedRangeSteps(uint32_t /*code*/) { return 0; }
  // Nikon: the record that says whether ISO is automatic (null: none).
  virtual PropertyStruct* getAutoIsoRecord() { return nullptr; }
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
