#pragma once
// Canon releases: full and half presses through RemoteReleaseOn/Off or the older
// RemoteRelease, bulb, the ready wait, focus stacking and capture to the host.
#include <cstddef>
#include <cstdint>

#include "ptp/base/response_codes.h"
#include "ptp/camera/vendor_module.h"

// A press answered "not in focus" by a first response parameter of 1.
constexpr PtpResponseCode kCanonNotInFocus = 0xA002;
// canonWaitReady gives up after this many busy answers (250 ms apart, a minute).
constexpr int kCanonWaitReadyMaxTries = 240;

PtpResponseCode canonReleaseOn(uint32_t phase, uint32_t afWord, uint32_t* response);
PtpResponseCode canonReleaseOff(uint32_t phase);
// A held full press (0x9128 path) keeps the property-set lock until canonShutterUp.
PtpResponseCode canonShutterDown(bool releaseAfter);
PtpResponseCode canonShutterUp();
PtpResponseCode canonBulbStart();
PtpResponseCode canonBulbEnd();
PtpResponseCode canonHalfPress();
PtpResponseCode canonHalfRelease();
// Re-sets Color Space (else Capture Destination) until the camera stops answering busy;
// false without either settable property.
bool canonWaitReady();
// 0x2001, 0 when cancelled, or the failure of a shot or a focus drive.
PtpResponseCode canonFocusStack(uint32_t count, uint32_t stepCode, uint32_t delayMs, CamFocusProgressFn progress);
void canonCancelFocusStack();
PtpResponseCode canonCaptureToHost();
// The framed capture messages (u32 length, kind 10, command container) into buffer;
// bytes written, 0 when they do not fit.
size_t canonBuildCaptureMessages(uint8_t* buffer, size_t size);
