#include "ptp/vendors/fuji/fuji_capture.h"

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/common/capture_lock.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "ptp/vendors/fuji/fuji_lens.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
using std::chrono::milliseconds;
constexpr uint32_t kAfStatusUnknown = 1, kAfStatusFailure = 3;
constexpr uint32_t kDriveMode = 0xD201;
constexpr uint32_t kLongExposureNr = 0xD322;
constexpr uint32_t kLongestTimedExposure = 64000180;  // beyond: the body is still reporting bulb
constexpr milliseconds kStep{100}, kReleaseDelay{250}, kRestartRetry{250}, kExposureRetry{500};

PtpResponseCode initiateCapture() {
  const uint32_t params[2] = {0, 0};
  return ptpTransaction(PTP_OC_InitiateCapture, params, 2, nullptr, 0, nullptr, nullptr, true);
}

// 0xD208 := mode, then InitiateCapture. Written with the vendor setter itself: the camera
// interface's setter would restart a live view stopped for this very capture.
PtpResponseCode capture(uint32_t mode) {
  const PtpResponseCode rc = fujiSetPropertyValue(kFujiCaptureMode, mode);
  return rc == PTP_RC_OK ? initiateCapture() : rc;
}

bool isRestartBusy(PtpResponseCode rc) { return rc == PTP_RC_DeviceBusy || rc == 0xA001 || rc == 0xA002; }

// The AF status re-read while it reads "Unknown"; the failed read's code, or OK.
PtpResponseCode awaitAfStatus(int polls) {
  for (int i = 0; i < polls; ++i) {
    const PtpResponseCode rc = camRefreshPropertyValue(kFujiAfStatusCode);
    if (rc != PTP_RC_OK) return rc;
    if (propCurrentValue(kFujiAfStatusCode).value_or(0) != kAfStatusUnknown) break;
    libSleep(kStep);
  }
  return PTP_RC_OK;
}
}  // namespace

PtpResponseCode fujiPressShutter(bool bulb) {
  FujiModuleState& s = fujiState();
  s.pressed = false;
  const bool autoFocus = camIsAutoFocusMode();
  if (autoFocus && !propExists(kFujiAfStatusCode)) return ERROR_GENERAL;
  if (!propLockForSet()) return ERROR_BUSY;
  auto fail = [](PtpResponseCode rc) {
    propUnlockForSet();
    return rc;
  };
  PtpResponseCode rc = capture(kFujiPress);
  if (rc != PTP_RC_OK) return fail(rc);
  if (autoFocus) {
    rc = awaitAfStatus(kFujiAfPolls);
    if (rc != PTP_RC_OK) return fail(rc);
    if (propCurrentValue(kFujiAfStatusCode).value_or(0) == kAfStatusFailure) {
      rc = capture(kFujiAfGiveUp);
      return fail(rc == PTP_RC_OK ? kFujiAfFailed : rc);
    }
  }
  if (bulb) {
    libSleep(kStep);
    rc = fujiSetPropertyValue(kFujiCaptureMode, kFujiBulbOpen);
    if (rc != PTP_RC_OK) return fail(rc);
    libSleep(kStep);
    rc = initiateCapture();
    if (rc != PTP_RC_OK) return fail(rc);
  }
  s.halfPressState = 1;
  s.pressed = true;
  return PTP_RC_OK;
}

PtpResponseCode fujiShutterDown(bool bulb, bool autoRelease) {
  FujiModuleState& s = fujiState();
  std::unique_lock lock(vendorCaptureMutex());
  PtpResponseCode rc;
  if (!s.liveViewOn || camModelIndex() == 35) {
    rc = fujiPressShutter(bulb);
  } else {
    rc = camSetLiveView(0);
    if (rc != PTP_RC_OK) return rc;
    s.liveViewStopped = true;
    // Objects the live view left behind are taken before the press.
    std::vector<uint32_t> handles;
    int pass = 0;
    do {
      rc = camGetNewObjectHandles(handles);
      if (rc != PTP_RC_OK) return rc;
    } while (!handles.empty() && ++pass < kFujiDrainPasses);
    rc = fujiPressShutter(bulb);
  }
  lock.unlock();
  if (!autoRelease || rc != PTP_RC_OK) return rc;
  libSleep(kReleaseDelay);
  return fujiShutterUp(bulb);
}

PtpResponseCode fujiShutterUp(bool bulb) {
  FujiModuleState& s = fujiState();
  if (!propUnlockForSet()) return ERROR_BUSY;
  if (!s.pressed) return PTP_RC_OK;
  s.pressed = false;
  const PtpResponseCode rc = capture(bulb ? kFujiBulbRelease : kFujiRelease);
  if (rc == PTP_RC_OK) s.halfPressState = 0;
  if (!s.liveViewStopped) return rc;
  PtpResponseCode restarted = camSetLiveView(1);
  for (int retry = 0; isRestartBusy(restarted) && retry < kFujiRestartRetries; ++retry) {
    libSleep(kRestartRetry);
    restarted = camSetLiveView(1);
  }
  if (restarted == PTP_RC_OK) s.liveViewStopped = false;
  return restarted;
}

PtpResponseCode fujiBulbStart() { return fujiShutterDown(true, false); }
PtpResponseCode fujiBulbEnd() { return fujiShutterUp(true); }

bool fujiIsBulbSelected() {
  const auto program = propCurrentValue(PTP_DPC_ExposureProgramMode);
  if (!program || !camIsManualExposure(*program)) return false;
  return (propCurrentValue(PTP_DPC_ExposureTime).value_or(0) & 0xFFFF) == 0xFFFF;
}

PtpResponseCode fujiHalfPress() {
  FujiModuleState& s = fujiState();
  if (s.liveViewOn && camModelIndex() != 35) s.liveViewStopped = true;
  const PtpResponseCode rc =
      capture(propValueAllowed(kFujiCaptureMode, kFujiHalfPress) ? kFujiHalfPress : kFujiHalfPressOld);
  if (rc == PTP_RC_OK) s.halfPressState = 1;
  return rc;
}

PtpResponseCode fujiHalfRelease() {
  FujiModuleState& s = fujiState();
  if (!propExists(kFujiAfStatusCode)) return ERROR_GENERAL;
  PtpResponseCode rc = awaitAfStatus(kFujiAfPolls);
  if (rc != PTP_RC_OK) return rc;
  rc = capture(propValueAllowed(kFujiCaptureMode, kFujiHalfRelease) ? kFujiHalfRelease : kFujiHalfReleaseOld);
  if (rc == PTP_RC_OK) s.halfPressState = 0;
  if (!s.liveViewStopped) return rc;
  PtpResponseCode restarted = camSetLiveView(1);
  for (int retry = 0; restarted == PTP_RC_DeviceBusy && retry < kFujiHalfReleaseRestartRetries; ++retry) {
    libSleep(kRestartRetry);
    restarted = camSetLiveView(1);
  }
  if (restarted == PTP_RC_OK) s.liveViewStopped = false;
  return rc == PTP_RC_OK ? restarted : rc;
}

bool fujiIsLongExposureNrOn() {
  ByteBuffer data;
  if (fujiGetDevicePropValue(kLongExposureNr, data) != PTP_RC_OK || data.empty()) return false;
  uint32_t v = 0;
  for (size_t i = 0; i < data.size() && i < 4; ++i) v |= uint32_t(data[i]) << (8 * i);
  return v == 1;
}

PtpResponseCode fujiCaptureAndWait() {
  PtpResponseCode rc = fujiTouchColorSpace();
  if (rc != PTP_RC_OK) return rc;
  rc = fujiShutterDown(false, true);
  if (rc != PTP_RC_OK) return rc;
  if (!propExists(PTP_DPC_ExposureTime)) return ERROR_GENERAL;
  uint32_t exposure = propCurrentValue(PTP_DPC_ExposureTime).value_or(0);
  for (int read = 0; exposure > kLongestTimedExposure; ++read) {
    if (read == kFujiExposureReads) return ERROR_GENERAL;
    libSleep(kExposureRetry);
    rc = camRefreshPropertyValue(PTP_DPC_ExposureTime);
    if (rc != PTP_RC_OK) return rc;
    exposure = propCurrentValue(PTP_DPC_ExposureTime).value_or(0);
  }
  double seconds = exposure / 1000000.0 + 0.15;
  if (fujiIsLongExposureNrOn()) seconds *= 2;
  libSleep(milliseconds(std::llround(seconds * 1000)));
  return PTP_RC_OK;
}

int fujiHasMovieMode() { return 0; }

PtpResponseCode fujiEnterMovieMode() {
  camSetPropertyValue(kDriveMode, 8, false);
  return PTP_RC_OK;
}

PtpResponseCode fujiExitMovieMode() {
  camSetPropertyValue(kDriveMode, 4, false);
  return PTP_RC_OK;
}

PtpResponseCode fujiStartMovieRecording() { return capture(kFujiMovieStart); }
PtpResponseCode fujiStopMovieRecording() { return capture(kFujiMovieStop); }
PtpResponseCode fujiKeepAlive() { return PTP_RC_OK; }
PtpResponseCode fujiReturnOk() { return PTP_RC_OK; }
