#pragma once
// Nikon capture: DeviceReady polling, the capture state machine with its mirror-lockup
// mark, autofocus drive, bulb and capture-and-wait.
#include <cstdint>

#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

constexpr uint32_t kNikonMirrorUpCode = 0xD1BF;
// Busy answers retried before the busy answer is returned (200 ms apart: a minute).
constexpr int kNikonBusyRetries = 300;
// Captures tried while a mirror-up sequence is pending.
constexpr int kNikonMirrorUpCaptures = 3;

// DeviceReady 0x90C8 once.
PtpResponseCode nikonDeviceReady();
// Up to 20 DeviceReady, 250 ms apart, while the answer is 0xA002 or 0x2019; the last answer.
PtpResponseCode nikonWaitDeviceReady();
PtpResponseCode nikonAfCancel();
// Live view as the camera reports it (mirrorless: always on); 0xFF1B without 0xD1A2.
PtpResponseCode nikonIsLiveViewOn(bool& on, bool refresh);

PtpResponseCode nikonShutterDown();
PtpResponseCode nikonStartAutoFocus(bool wait, bool fromLiveView);
PtpResponseCode nikonBulbStart();
PtpResponseCode nikonBulbEnd();
PtpResponseCode nikonCaptureAndWait();

// The mirror-lockup pseudo record (posted with DevicePropChanged; not in the table).
PropertyStruct* nikonMirrorUpRecord();
