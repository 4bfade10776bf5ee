#pragma once
// Nikon live view, zoom, AF area, manual focus and movie operations.
#include <cstdint>
#include <functional>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

PtpResponseCode nikonSetLiveView(int on, bool keepAfMode);
// One frame: the reply parsed into a NikonLiveViewFrame record. 0xFF13 while another
// frame request runs; 0x2019 while frames are suspended or live view is starting.
PtpResponseCode nikonGetLiveViewFrame(ByteBuffer& frame);
// Frames answer 0x2019 while suspended (focus stacking).
void nikonSuspendFrameFetch(bool suspended);
bool nikonCanZoomLiveView();
PtpResponseCode nikonSetLiveViewZoom(uint32_t percent);
PtpResponseCode nikonSetLiveViewSelector(uint32_t value);
PtpResponseCode nikonAlignLiveViewFocusMode();
PtpResponseCode nikonRestoreAfMode();
PtpResponseCode nikonLiveViewCleanup();

PtpResponseCode nikonSetManualFocus(int on);
PtpResponseCode nikonDriveFocus(uint32_t direction, uint32_t steps);
PtpResponseCode nikonChangeAfArea(uint32_t x, uint32_t y);
PtpResponseCode nikonSetAfPoint(float x, float y);
// The AF area one step (its own size, or a twentieth of the frame when the camera reports
// none) from where the last frame shows it: 0 down, 1 up, 2 left, 3 right as the picture
// is shown, turned by the live-view orientation; kept inside the frame. 0xFF15 for another
// direction or before the first frame.
PtpResponseCode nikonMoveAfPoint(int direction);

bool nikonHasMovieMode();
PtpResponseCode nikonEnterMovieMode();
PtpResponseCode nikonExitMovieMode();
PtpResponseCode nikonStartMovieRecording();
PtpResponseCode nikonStopMovieRecording();

// Focus stacking: count captures with a focus drive between them; 0x2001 when done, -1
// when cancelled (or the progress callback answers false), else the failure.
int nikonFocusStack(int count, uint32_t direction, uint32_t steps, uint32_t delayMs,
                    const std::function<bool(int shot, int count)>& progress);
void nikonCancelFocusStack();
