#pragma once
// Small vendor-aware tests and read-outs over the property table and the DeviceInfo, the
// bounded capture retry and the relayed focus-drive request. Every test answers false for
// a vendor code outside those it names.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ptp/base/response_codes.h"

// Most passes camCaptureAndWaitRetry makes while the camera answers DeviceBusy.
constexpr int kCamCaptureRetryMax = 40;
// The focus-drive request: a PTP container of at most this many bytes after its header.
constexpr size_t kCamFocusDriveBytes = 256;
constexpr size_t kCamFocusDriveContainerMax = 241;

bool camIsBracketingOn();
bool camIsWbPairSpecial(uint32_t code, uint32_t value);
bool camHasCanonOp9140();
bool camCheckObjectFormatFlag(uint64_t packed);
bool camCanReleaseRemotely();
bool camIsNotFujifilmOrSony();
bool camIsRawOnlyQualityValue(uint32_t value);
bool camIsRawOnlyQuality();
bool camIsCanonJpegOnly();
float camGetApertureValue();
bool camIsCanonCode20(uint32_t value);
PtpResponseCode camSetSingleShotDrive();
// Canon: the lens name; Nikon: an empty text; others nothing.
std::optional<std::string> camGetLensName();
bool camIsCanonModel225();
bool camIsVendorFlagSet();
bool camCanSetAperture();
bool camIsNikonModel196();
bool camHasModelCapabilityC();
// Canon: mirror lock-up under way (0xD1BF = 2); Nikon: a capture is in progress.
bool camIsCaptureBusy();
// The model parameter byte: Canon 10, every other camera 20.
uint8_t camGetModelParamA();
// Entry points kept for their callers: 0xFF01 and 0.
PtpResponseCode camStubFF01();
int camStubZeroD();
// A live-view frame copied into the caller's buffer: length := its size when it fits
// (0x2001), else length := 0 and 0xFF12.
PtpResponseCode camGetLiveViewFrameInto(uint8_t* buffer, uint32_t capacity, uint32_t& length);

// camCaptureAndWait again every 250 ms while it answers DeviceBusy, at most
// kCamCaptureRetryMax times; the first other answer (or the last busy one) is returned.
PtpResponseCode camCaptureAndWaitRetry();

// The relayed lens-drive request (Canon and Sony) into out; the status and the request's
// length (out.size()) come back apart. A negative step is sent as 0x8000 - step.
PtpResponseCode camBuildFocusDriveRequest(int32_t step, uint16_t flag, std::vector<uint8_t>& out);
