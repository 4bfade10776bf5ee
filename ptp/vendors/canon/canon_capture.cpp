#include "ptp/vendors/canon/canon_capture.h"

#include <mutex>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_container.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_ops.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/common/capture_lock.h"

namespace {

using namespace std::chrono_literals;
constexpr uint8_t kMessageKindPtp = 10;

// Takes the property-set lock for a held press, or answers 0xFF13.
PtpResponseCode canonFullPress() {
  CanonModuleState& s = canonState();
  if (!propLockForSet()) return ERROR_BUSY;
  s.pressHoldsSetLock = true;
  const uint32_t af = camGetAfState();
  if (camModelIndex() == 227 && canonIsMirrorUp()) return canonReleaseOn(3, af, nullptr);
  uint32_t response = 0;
  PtpResponseCode rc = canonReleaseOn(1, af, &response);
  if (rc == PTP_RC_OK && response == 1) return kCanonNotInFocus;
  if (rc != PTP_RC_OK) return rc;
  rc = canonReleaseOn(2, af, nullptr);
  if (rc == PTP_RC_OK) s.pressed = true;
  return rc;
}

// Releases the set lock only when a press of ours holds it: a release without a press
// must not free the lock of a property set in progress.
void releasePressLock() {
  if (canonState().pressHoldsSetLock.exchange(false)) propUnlockForSet();
}

bool cancelled() {
  CanonModuleState& s = canonState();
  std::lock_guard lock(s.focusStackMutex);
  return s.focusStackCancel;
}

size_t putMessage(uint16_t op, std::initializer_list<uint32_t> params, uint8_t* buffer, size_t size) {
  if (size < 5) return 0;
  std::vector<uint32_t> p(params);
  const size_t n = ptpBuildContainer(op, p.data(), static_cast<uint32_t>(p.size()), nullptr, 0, buffer + 5, size - 5);
  if (n == 0) return 0;
  const uint32_t total = static_cast<uint32_t>(n + 5);
  for (int i = 0; i < 4; ++i) buffer[i] = static_cast<uint8_t>(total >> (8 * i));
  buffer[4] = kMessageKindPtp;
  return total;
}

}  // namespace

PtpResponseCode canonReleaseOn(uint32_t phase, uint32_t afWord, uint32_t* response) {
  const uint32_t params[] = {phase, afWord};
  return ptpTransaction(PTP_OC_CANON_RemoteReleaseOn, params, 2, nullptr, 0, nullptr, response, true);
}

PtpResponseCode canonReleaseOff(uint32_t phase) {
  return ptpTransaction(PTP_OC_CANON_RemoteReleaseOff, &phase, 1, nullptr, 0, nullptr, nullptr, true);
}

PtpResponseCode canonShutterDown(bool releaseAfter) {
  CanonModuleState& s = canonState();
  PtpResponseCode rc;
  {
    std::lock_guard capture(vendorCaptureMutex());
    if (s.depthOfFieldPreview && camSetPropertyValue(0xD1B2, 0, true) == PTP_RC_OK) s.depthOfFieldPreview = false;
    if (!propExists(0xD106)) return ERROR_INVALID_INPUT;
    if (ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn)) {
      s.releaseOnPath = true;
      rc = canonFullPress();
    } else {
      s.releaseOnPath = false;
      uint32_t response = 0;
      rc = ptpTransaction(PTP_OC_CANON_RemoteRelease, nullptr, 0, nullptr, 0, nullptr, &response, true);
      if (rc == PTP_RC_OK && response == 1) rc = kCanonNotInFocus;
    }
    if (rc == PTP_RC_OK) s.liveViewZoom = 0;
  }
  if (!s.releaseOnPath) return rc;
  if (rc == PTP_RC_OK) return releaseAfter ? canonShutterUp() : rc;
  if (rc == kCanonNotInFocus) {
    canonShutterUp();
    return rc;
  }
  releasePressLock();
  return rc;
}

PtpResponseCode canonShutterUp() {
  CanonModuleState& s = canonState();
  if (!s.releaseOnPath) return PTP_RC_OK;
  PtpResponseCode rc = canonReleaseOff(2);
  if (rc == PTP_RC_OK) rc = canonReleaseOff(1);
  s.pressed = false;
  releasePressLock();
  return rc;
}

PtpResponseCode canonBulbStart() {
  if (ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn)) return canonShutterDown(false);
  return ptpTransaction(0x9125, nullptr, 0, nullptr, 0, nullptr, nullptr, true);
}

PtpResponseCode canonBulbEnd() {
  if (ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn)) return canonShutterUp();
  return ptpTransaction(0x9126, nullptr, 0, nullptr, 0, nullptr, nullptr, true);
}

PtpResponseCode canonHalfPress() { return canonReleaseOn(1, camGetAfState(), nullptr); }
PtpResponseCode canonHalfRelease() { return canonReleaseOff(1); }

bool canonWaitReady() {
  uint32_t code = 0;
  for (uint32_t candidate : {0xD10Fu, 0xD11Cu}) {
    const auto p = propCopy(candidate);
    if (p && p->getSet) {
      code = candidate;
      break;
    }
  }
  if (!code) return false;
  PtpResponseCode rc = PTP_RC_DeviceBusy;
  for (int tries = 0; tries < kCanonWaitReadyMaxTries; ++tries) {
    if (tries) libSleep(250ms);
    const auto value = propCurrentValue(code);
    if (!value) return false;
    rc = camSetPropertyValue(code, *value, false);
    if (rc != PTP_RC_DeviceBusy) break;
  }
  return rc == PTP_RC_OK;
}

PtpResponseCode canonFocusStack(uint32_t count, uint32_t stepCode, uint32_t delayMs, CamFocusProgressFn progress) {
  CanonModuleState& s = canonState();
  camSetAfState(1);
  {
    std::lock_guard lock(s.focusStackMutex);
    s.focusStackCancel = false;
  }
  evtQueuePropertyChanged(propFind(0xD108, false), true);
  if (count == 0) return PTP_RC_OK;
  PtpResponseCode rc = canonShutterDown(true);
  if (rc != PTP_RC_OK) return rc;
  for (uint32_t n = 1;; ++n) {
    canonWaitReady();
    if (progress && !progress(static_cast<int>(n), static_cast<int>(count))) return 0;
    if (n == count) return PTP_RC_OK;
    if (cancelled()) return 0;
    libSleep(1500ms);
    libSleep(std::chrono::milliseconds(delayMs));
    rc = canonDriveFocus(stepCode);
    if (rc != PTP_RC_OK) return rc;
    if (cancelled()) return 0;
    libSleep(2000ms);
    rc = canonShutterDown(true);
    if (rc != PTP_RC_OK) return rc;
  }
}

void canonCancelFocusStack() {
  CanonModuleState& s = canonState();
  std::lock_guard lock(s.focusStackMutex);
  s.focusStackCancel = true;
}

PtpResponseCode canonCaptureToHost() {
  PtpResponseCode rc = camSetPropertyValue(0xD11C, 4, true);
  if (rc == PTP_RC_OK) rc = canonUiLock();
  if (rc == PTP_RC_OK) rc = canonSetHostCapacity3(0x009F0000, 0x1000, 1);
  if (rc == PTP_RC_OK) rc = canonUiUnlock();
  if (rc != PTP_RC_OK) return rc;
  const uint32_t saved = camGetAfState();
  camSetAfState(1);
  const PtpResponseCode shot = canonShutterDown(true);
  camSetAfState(saved);
  const PtpResponseCode restore = camSetPropertyValue(0xD11C, 1, true);
  return restore == PTP_RC_OK ? shot : restore;
}

size_t canonBuildCaptureMessages(uint8_t* buffer, size_t size) {
  if (!buffer) return 0;
  const uint32_t af = camGetAfState();
  const bool oneStep =
      ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn) && (af == 1 || canonGetModelState().oneStepRelease);
  const int rounds = camIsMirrorUp() ? 2 : 1;
  size_t used = 0;
  for (int round = 0; round < rounds; ++round) {
    if (oneStep) {
      size_t n = putMessage(PTP_OC_CANON_RemoteReleaseOn, {3, af}, buffer + used, size - used);
      if (!n) return 0;
      used += n;
      n = putMessage(PTP_OC_CANON_RemoteReleaseOff, {3}, buffer + used, size - used);
      if (!n) return 0;
      used += n;
    } else {
      const size_t n = putMessage(PTP_OC_CANON_RemoteRelease, {}, buffer + used, size - used);
      if (!n) return 0;
      used += n;
    }
  }
  return used;
}
