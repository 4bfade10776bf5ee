#pragma once
// The vendor-neutral camera interface: each operation reads the vendor code once and
// either calls the vendor's module, answers with the behaviour written here for that
// vendor, or gives the fixed answer for a vendor without one (and for every code outside
// 12-15, such as 255 before set-up or 0xFF11 after a failed DeviceInfo).
#include <cstddef>
#include <atomic>
#include <cstdint>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/response_codes.h"
#include "ptp/camera/vendor_module.h"
#include "ptp/props/prop_types.h"

// Most handles an object listing hands out; a reply claiming more is cut to this.
constexpr uint32_t kCamMaxObjectHandles = 100000;

// Installs the library's own vendor pieces (Canon and Sony live view, Canon model
// identification, the Canon YUV decoder for the file types) and plugs the session hooks
// into this interface. Idempotent.
void camInstallVendorDefaults();

// Capabilities answered here without a module.
bool camHasLiveViewHistogram();
bool camIsManualExposure(uint32_t program);
bool camIsApertureSettable(uint32_t program);
bool camIsShutterSettable(uint32_t program);
bool camIsExposureBiasSettable(uint32_t program);

// Set-up and session.
bool camIdentifyModel();
PtpResponseCode camKeepAlive();
PtpResponseCode camSetHostMode(int on, int refresh);
// Stored zoom, the capture-in-progress flag, bracketing cache: back to "unset" (each
// camera set-up).
void camResetCameraState();

// Live view.
PtpResponseCode camSetLiveView(int on);
bool camIsLiveViewAvailable();
PtpResponseCode camGetLiveViewFrame(ByteBuffer& out);
bool camParseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame);
uint8_t camGetLiveViewOrientation();
bool camCanZoomLiveView();
uint8_t camGetLiveViewZoom();
PtpResponseCode camSetLiveViewZoom(uint32_t percent);
bool camIsLiveViewZoomEnabled();

// Focus.
PtpResponseCode camHalfPress();
PtpResponseCode camHalfRelease();
bool camIsInFocus();
PtpResponseCode camStartAutoFocus();
PtpResponseCode camStopAutoFocus();
bool camIsAutoFocusMode();
bool camCanAutoFocus();
bool camIsManualFocus();
PtpResponseCode camSetManualFocus(int manual, bool post);
PtpResponseCode camDriveFocus(int step);
int camFocusStack(int count, int step, uint32_t delayMs, CamFocusProgressFn progress);
int camFocusStackSimple(int count, int step);
void camCancelFocusStack();
bool camFocusStackCancelled();

// Capture.
PtpResponseCode camShutterDown();
PtpResponseCode camShutterUp();
PtpResponseCode camTakePicture();
PtpResponseCode camTakePictureNoAf();
PtpResponseCode camCaptureAndWait();
PtpResponseCode camBulbStart();
PtpResponseCode camBulbEnd();
bool camIsBulbSupported();
bool camIsBulbSelected();
bool camIsBulbActive();
bool camIsMirrorUp();
bool camHasMirrorUpSetting();
// One or two framed PTP messages that take a picture; 0 when none can be built.
size_t camBuildCaptureCommand(uint8_t* buffer, size_t capacity);

// Bracketing.
PtpResponseCode camSetBracketing(uint32_t value);
bool camGetBracketingShots(uint8_t& below, uint8_t& above);
void camClearBracketing();

// Movies.
bool camHasMovieMode();
bool camCanRecordMovie();
PtpResponseCode camEnterMovieMode();
PtpResponseCode camExitMovieMode();
PtpResponseCode camStartMovieRecording();
PtpResponseCode camStopMovieRecording();

// Objects.
PtpResponseCode camGetNewObjectHandles(std::vector<uint32_t>& handles);
PtpResponseCode camGetObjectHandles(uint32_t storage, uint32_t format, uint32_t association,
                                    std::vector<uint32_t>& handles);
PtpResponseCode camGetAllObjectHandles(std::vector<uint32_t>& handles);

// Exposure.
int camGetEvStepsPerStop();
uint32_t camShutterSpeedToMs(uint32_t value);
bool camQualityIncludesRaw();
bool camQualityIncludesJpeg(uint32_t value);
// log2(b / a) + log2(isoB / isoA); 0 when any input is 0 (no finite answer).
float camExposureDifferenceEv(uint32_t a, uint32_t b, uint32_t isoA, uint32_t isoB);

// Events.
// Fetches pending events into events for camParseEvents (the poller's fetch).
PtpResponseCode camCheckEvents(std::vector<uint8_t>& events);
PtpResponseCode camRefreshAllProperties();

PtpResponseCode camReservedOperation();

// Properties and settings.
// Sets a device property through the vendor's setter. Every vendor but Fujifilm needs the
// code in the table and the value allowed (else 0x2006); an unknown vendor answers
// 0xFFFF. With wait the property-set lock is held (0xFF13 when it cannot be had) until
// the camera reports the value (0xFF0D when it does not), and DevicePropChanged is queued
// for Fujifilm and for Nikon's exposure program. wait defaults to the full set: its
// callers (single-shot drive, Canon bracketing) want the camera to have taken the value.
PtpResponseCode camSetPropertyValue(uint32_t code, uint32_t value, bool wait = true);
bool camWaitPropertyValue(uint32_t code, uint32_t value);
// GetDevicePropValue's raw reply (0xFF1B when the code is not in the table).
PtpResponseCode camGetDevicePropValue(uint32_t code, ByteBuffer& data);
// PTP GetDevicePropValue 0x1015 itself.
PtpResponseCode ptpGetDevicePropValue(uint32_t code, ByteBuffer& data);
// Reads one value into the table (0xFF01 when the reply does not parse).
PtpResponseCode camRefreshPropertyValue(uint32_t code);
// The same without asking a vendor: camGetDevicePropValue and the parse.
PtpResponseCode camRefreshPropertyValueGeneric(uint32_t code);
// Re-reads one property and posts DevicePropChanged (0 for a vendor without one).
PtpResponseCode camRefreshProperty(uint32_t code);
// Stores a value an event reported; the record, or null.
PropertyStruct* camStorePropertyValue(uint32_t code, uint32_t value, uint8_t getSet);
PtpResponseCode camSetControlDevice(uint32_t code, uint16_t value);
PtpResponseCode camSetRating(uint32_t handle, uint32_t rating);
PtpResponseCode camGetObjectExtraInfo(uint32_t handle, uint32_t& value);
PtpResponseCode camMoveAfPoint(int direction);
PtpResponseCode camSetAfPoint(float x, float y);
void camSetLvAfSystem();
bool camIsExposureBiasAdjustable();
bool camIsBracketingAvailable();
// The float conversions answer 0 for a vendor without one.
float camExposureBiasToEv(uint32_t value);
uint32_t camEvToExposureBias(float ev);
float camGetExposureBiasMax();
float camGetExposureBiasMin();
// The packed values offered for a format kind (6 RAW, 1 JPEG).
PtpResponseCode camGetImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices);
// Packed format (-1 none), or 0xFF0F for a vendor without one.
int64_t camGetRawFormat();
int64_t camGetJpegFormat();
PtpResponseCode camSetImageFormat(int64_t raw, int64_t jpeg);
bool camIsContinuousDriveValue(uint32_t value);
// Nikon: (property code, value) is a continuous drive mode.
bool camIsContinuousDriveSetting(uint32_t code, uint32_t value);
// The current drive mode is continuous (Sony, Nikon).
bool camIsContinuousDrive();
// Splits a packed image format into size code and quality for a kind (6 RAW, 1 JPEG);
// 0xFF0F, with nothing written, for a vendor without one.
PtpResponseCode camDecodeImageFormat(uint32_t packed, uint8_t kind, uint16_t& sizeCode, uint8_t& quality);
// ISO is automatic.
bool camIsAutoIso();
// List positions between the two values the vendor names for code; 3 on every failure.
uint32_t camCountFixedRangeSteps(uint32_t code);
// neighbour / iso for the ISO list entry after (direction > 0) or before iso; 0 when the
// list, the entry or a non-zero value is missing. neighbour gets the entry's raw value.
float camGetIsoStepRatio(uint32_t iso, int direction, uint32_t& neighbour);
// Bracketing amount <-> EV (Canon through its exposure-bias scale, Nikon its own).
float camBracketingStepToEv(uint32_t step, bool force = false);
uint32_t camEvToBracketingStep(float ev);
// EV offsets of the bracketing sequence into offsets; answers their count (0: none).
int camGetBracketingSequence(std::vector<float>& offsets, float ev, bool force = false);
// The largest bracketing amount in EV, computed once per camera set-up; 0 when unknown.
float camGetMaxBracketingEv();
// Nikon's capture-in-progress flag (set by the Nikon module, cleared by set-up).
void camSetCaptureInProgress(bool busy);
bool camCaptureInProgress();
// The live-view-on flag camSetLiveView keeps; vendor modules share it.
std::atomic<bool>& camLiveViewFlag();
bool camHasModelCapabilityA();
bool camHasModelCapabilityB();
// The ISO list's end (first usable value for direction < 0, last for > 0) against the
// current ISO, as an exposure difference; 0 without a record, list or direction.
float camIsoLimitEv(uint32_t a, uint32_t b, int direction);

// Flash (Nikon only).
uint32_t camIsSpeedlightMounted();
uint32_t camGetFlashMode();
uint32_t camGetSpeedlightFlashMode();
uint32_t camGetSpeedlightChargeStatus();
PtpResponseCode camSetFlashMode(uint32_t mode);
