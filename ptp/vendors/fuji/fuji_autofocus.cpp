#include "ptp/vendors/fuji/fuji_autofocus.h"

#include <chrono>
#include <optional>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_capture.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
using std::chrono::milliseconds;
constexpr milliseconds kPressGap{250}, kRestoreRetry{250};

std::optional<uint32_t> focusMode() { return propCurrentValue(PTP_DPC_FocusMode); }

// Bodies that focus through a half press rather than by switching the mode.
bool focusesByHalfPress() {
  switch (camModelIndex()) {
    case 19: case 22: case 24: case 25: case 33: case 34: case 35: case 36: case 37: return true;
    default: return false;
  }
}
}  // namespace

bool fujiIsAutoFocusMode() {
  const auto mode = focusMode();
  return mode && *mode != kFujiManualFocus;
}

bool fujiIsManualFocus() { return focusMode() == kFujiManualFocus; }

bool fujiCanAutoFocus() {
  const auto p = propCopy(PTP_DPC_FocusMode);
  return p && p->getSet != 0;
}

PtpResponseCode fujiGetFocusMode(uint32_t& out) {
  const auto mode = focusMode();
  if (!mode) return ERROR_BAD_REPLY;
  out = *mode;
  return PTP_RC_OK;
}

PtpResponseCode fujiSetManualFocus(int manual) {
  if (manual != 0 && manual != 1) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (fujiIsManualFocus() == (manual == 1)) return PTP_RC_OK;
  return camSetPropertyValue(PTP_DPC_FocusMode, manual ? kFujiManualFocus : kFujiSingleAf, true);
}

PtpResponseCode fujiStartAutoFocus() {
  if (focusesByHalfPress()) {
    if (focusMode() == kFujiManualFocus) camSetPropertyValue(PTP_DPC_FocusMode, kFujiSingleAf, true);
    fujiHalfPress();
    libSleep(kPressGap);
    fujiHalfRelease();
    libSleep(kPressGap);
    return camSetPropertyValue(PTP_DPC_FocusMode, kFujiManualFocus, true);
  }
  const auto mode = focusMode();
  if (!mode) return ERROR_BAD_REPLY;
  fujiState().savedFocusMode = *mode;
  if (*mode == kFujiManualFocus) return camSetPropertyValue(PTP_DPC_FocusMode, kFujiSingleAf, true);
  return PTP_RC_OK;
}

PtpResponseCode fujiStopAutoFocus() {
  if (focusesByHalfPress()) return PTP_RC_OK;
  const auto mode = focusMode();
  if (!mode) return ERROR_BAD_REPLY;
  const uint32_t saved = fujiState().savedFocusMode;
  if (saved == *mode) return PTP_RC_OK;
  PtpResponseCode rc = camSetPropertyValue(PTP_DPC_FocusMode, saved, true);
  for (int tries = 1; rc == PTP_RC_DeviceBusy && tries < kFujiRestoreTries; ++tries) {
    libSleep(kRestoreRetry);
    rc = camSetPropertyValue(PTP_DPC_FocusMode, saved, true);
  }
  return PTP_RC_OK;
}

PtpResponseCode fujiFocusStack(int count, int step, uint32_t delayMs, const std::function<void(int)>& progress) {
  if (count < 1) return PTP_RC_OK;
  const milliseconds delay(delayMs);
  PtpResponseCode rc = camCaptureAndWait();
  if (rc != PTP_RC_OK) return rc;
  for (int k = 1;; ++k) {
    if (progress) progress(k);
    if (k == count) return PTP_RC_OK;
    if (camFocusStackCancelled()) return ERROR_CANCELLED;
    libSleep(delay);
    rc = camDriveFocus(step);
    if (rc != PTP_RC_OK) return rc;
    if (camFocusStackCancelled()) return ERROR_CANCELLED;
    libSleep(delay);
    rc = camCaptureAndWait();
    if (rc != PTP_RC_OK) return rc;
  }
}
