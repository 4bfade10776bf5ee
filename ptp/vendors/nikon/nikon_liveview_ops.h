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
