#pragma once
// Canon EOS operations over PTP: set-up, remote and event modes, property reads and
// writes, focus drive, live-view zoom and AF position, and the small commands.
#include <cstdint>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

PtpResponseCode canonInitCamera();
PtpResponseCode canonKeepAlive();
PtpResponseCode canonSetRemoteMode(uint32_t mode);
PtpResponseCode canonSetEventMode(uint32_t mode);
PtpResponseCode canonSetEventMask();
PtpResponseCode canonEnsureRemoteMode();
PtpResponseCode canonCommand9014();
PtpResponseCode canonCommand9015();
PtpResponseCode canonCommand9117(uint32_t value);
PtpResponseCode canonCommand9118(uint32_t value);

// SetEventMode (1), then one blocking event poll under the event lock.
PtpResponseCode canonRefreshProperties();
// SetDevicePropValueEx: u32 size, u32 code, the value (image formats unpacked).
PtpResponseCode canonSetPropertyValue(uint32_t code, uint32_t value);
PtpResponseCode canonGetDevicePropValue(uint32_t code, ByteBuffer& data);
// Up to 5 event polls 100 ms apart until the table holds value for code.
bool canonWaitPropertyValue(uint32_t code, uint32_t value);

PtpResponseCode canonStartAutoFocus();
PtpResponseCode canonStopAutoFocus();
// DriveLens; on success the library goes to manual focus and Movie AF Servo is switched off.
PtpResponseCode canonDriveFocus(uint32_t stepCode);
PtpResponseCode canonSetLvAfSystem();
PtpResponseCode canonSetLvViewType(uint32_t value);
PtpResponseCode canonSetLensZoom(uint32_t value);
bool canonCanZoomLiveView();
PtpResponseCode canonSetLiveViewZoom(uint32_t percent);
// x, y: fractions of the frame.
PtpResponseCode canonSetAfPoint(double x, double y);
PtpResponseCode canonDepthOfFieldPreviewOn();
PtpResponseCode canonDepthOfFieldPreviewOff();
bool canonIsMirrorUp();
bool canonHasMirrorUpSetting();
PtpResponseCode canonSetMirrorUp(bool on, bool wait);
bool canonIsLiveViewAvailable();
bool canonHasMovieAfServo();
bool canonHasMovieMode();
void canonSetBusyRetryFlag(bool value);

PtpResponseCode canonSetRating(uint32_t handle, uint32_t rating);
// 0x9135 (b, a, 3, 0x00200000): the reply's u32 at byte 24.
PtpResponseCode canonGetObjectExtraInfo(uint32_t a, uint32_t b, uint32_t* word);
PtpResponseCode canonUiLock();
PtpResponseCode canonUiUnlock();
PtpResponseCode canonSetHostCapacity(uint32_t word);
PtpResponseCode canonSetHostCapacity3(uint32_t a, uint32_t b, uint32_t c);
PtpResponseCode canonSetPropertyD1A9Zero();
PtpResponseCode canonReservedOperation();
PtpResponseCode canonReservedOperationB();
// Bytes 8 and 9 of an object's first bytes are "CR".
bool canonIsRawObject(const uint8_t* header, size_t length);
