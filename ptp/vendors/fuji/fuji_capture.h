#pragma once
// Fujifilm shutter and movie control: each step writes the "Capture Mode" property 0xD208
// and then sends InitiateCapture. A full press keeps the property-set lock until its
// release, so no set and no poll pass runs during an exposure.
#include <cstdint>

#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiCaptureMode = 0xD208;
// Capture-mode values.
constexpr uint32_t kFujiPress = 0x0200;
constexpr uint32_t kFujiAfGiveUp = 0x0004;
constexpr uint32_t kFujiBulbOpen = 0x0500;
constexpr uint32_t kFujiRelease = 0x0304;
constexpr uint32_t kFujiBulbRelease = 0x000C;
constexpr uint32_t kFujiHalfPress = 0x9300;
constexpr uint32_t kFujiHalfPressOld = 0x9100;
constexpr uint32_t kFujiHalfRelease = 0x0005;
constexpr uint32_t kFujiHalfReleaseOld = 0x0001;
constexpr uint32_t kFujiMovieStart = 0x0804;
constexpr uint32_t kFujiMovieStop = 0x0080;
// Answered when autofocus fails during a full press.
constexpr PtpResponseCode kFujiAfFailed = 0xA002;

// Bounds of the body's polls, so a body that never settles cannot hold a capture forever.
constexpr int kFujiAfPolls = 50;
constexpr int kFujiDrainPasses = 100;
constexpr int kFujiRestartRetries = 10;
constexpr int kFujiHalfReleaseRestartRetries = 40;
constexpr int kFujiExposureReads = 120;

PtpResponseCode fujiPressShutter(bool bulb);
PtpResponseCode fujiShutterDown(bool bulb, bool autoRelease);
PtpResponseCode fujiShutterUp(bool bulb);
PtpResponseCode fujiBulbStart();
PtpResponseCode fujiBulbEnd();
bool fujiIsBulbSelected();
PtpResponseCode fujiHalfPress();
PtpResponseCode fujiHalfRelease();
bool fujiIsLongExposureNrOn();
// Takes a picture and waits for the exposure (twice as long with long-exposure NR).
PtpResponseCode fujiCaptureAndWait();

int fujiHasMovieMode();
PtpResponseCode fujiEnterMovieMode();
PtpResponseCode fujiExitMovieMode();
PtpResponseCode fujiStartMovieRecording();
PtpResponseCode fujiStopMovieRecording();
PtpResponseCode fujiKeepAlive();
PtpResponseCode fujiReturnOk();
