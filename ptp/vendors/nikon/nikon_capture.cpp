#include "ptp/vendors/nikon/nikon_capture.h"

#include <chrono>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_liveview_ops.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"

namespace {

using std::chrono::milliseconds;

constexpr PtpResponseCode kNikonNotReady = 0xA002;  // also "out of focus" after a capture
constexpr PtpResponseCode kNikonMirrorUpSequence = 0xA207;
constexpr PtpResponseCode kNikonBulbRunning = 0xA200;
constexpr PtpResponseCode kNikonNoCard = 0xA008;

// The module answers busy itself (its own pauses and limits), so no generic retry.
PtpResponseCode send(uint16_t op, std::initializer_list<uint32_t> params = {}) {
  const uint32_t* p = params.size() ? params.begin() : nullptr;
  return ptpRunTransaction(op, p, static_cast<uint32_t>(params.size()), nullptr, 0, nullptr, nullptr, true);
}

// Busy answers are asked again every 200 ms, up to kNikonBusyRetries times: a camera
// that never stops answering busy must not hold the caller for ever.
PtpResponseCode sendUntilNotBusy(uint16_t op, std::initializer_list<uint32_t> params) {
  PtpResponseCode rc = send(op, params);
  for (int i = 0; rc == PTP_RC_DeviceBusy && i < kNikonBusyRetries; ++i) {
    libSleep(milliseconds(200));
    rc = send(op, params);
  }
  return rc;
}

void postMirrorUp(uint32_t value) {
  PropertyStruct* r = nikonMirrorUpRecord();
  {
    std::lock_guard lock(r->mutex);
    r->value = value;
  }
  evtQueuePropertyChanged(r, true);
}

void markMirrorUp() {
  nikonState().mirrorLockupMark = true;
  postMirrorUp(1);
}

// The first slot of the vendor code map (the aperture), which live-view changes repost.
uint32_t vendorFirstSlot() { return propVendorCodeMap().aperture; }

}  // namespace

PropertyStruct* nikonMirrorUpRecord() {
  static PropertyStruct* record = [] {
    auto* r = new PropertyStruct;  // lives for the process: events carry its address
    r->code = kNikonMirrorUpCode;
    r->datatype = PTP_DTC_UINT8;
    return r;
  }();
  return record;
}

PtpResponseCode nikonDeviceReady() { return send(PTP_OC_NIKON_DeviceReady); }

PtpResponseCode nikonWaitDeviceReady() {
  PtpResponseCode rc = PTP_RC_OK;
  for (int i = 0; i < 20; ++i) {
    if (i > 0) libSleep(milliseconds(250));
    rc = nikonDeviceReady();
    if (rc != kNikonNotReady && rc != PTP_RC_DeviceBusy) break;
  }
  return rc;
}

PtpResponseCode nikonAfCancel() { return send(PTP_OC_NIKON_AfCancel); }

PtpResponseCode nikonIsLiveViewOn(bool& on, bool refresh) {
  if (nikonIsMirrorlessModel(camModelIndex())) {
    on = true;
    return PTP_RC_OK;
  }
  if (refresh && propExists(0xD1A2)) nikonRefreshPropertyValue(0xD1A2);
  const auto status = propCurrentValue(0xD1A2);
  if (!status) return PTP_ERROR_UNSUPPORTED_COMMAND;
  on = *status != 0;
  return PTP_RC_OK;
}

PtpResponseCode nikonShutterDown() {
  NikonModuleState& s = nikonState();
  const bool liveViewBefore = s.liveViewOn;
  PtpResponseCode rc;
  if (!ptpOperationListed(PTP_OC_NIKON_CaptureInMedia)) {
    bool on = false;
    if (nikonIsLiveViewOn(on, true) == PTP_RC_OK && on) {
      rc = nikonSetLiveView(0, false);
      if (rc != PTP_RC_OK) return rc;
    }
    rc = sendUntilNotBusy(PTP_OC_InitiateCapture, {0, 0});
    return rc == PTP_RC_OK ? nikonWaitDeviceReady() : rc;
  }

  uint32_t first = camGetAfState() == 1 || s.mirrorLockupMark ? 0xFFFFFFFF : 0xFFFFFFFE;
  if (s.liveViewOn && camGetAfState() == 0 && !nikonIsMirrorlessModel(camModelIndex())) {
    rc = nikonStartAutoFocus(true, false);
    if (rc != PTP_RC_OK) return rc;
    first = 0xFFFFFFFF;
  }
  rc = camModelIndex() == 198 ? sendUntilNotBusy(PTP_OC_NIKON_CaptureInMedia, {0xFFFFFFFF})
                              : sendUntilNotBusy(PTP_OC_NIKON_CaptureInMedia, {first, 0});
  if (rc == kNikonMirrorUpSequence) {
    markMirrorUp();
    return rc;
  }
  if (rc != PTP_RC_OK) return rc;
  s.liveViewZoom = 0;
  if (s.mirrorLockupMark.exchange(false)) postMirrorUp(0);

  rc = sendUntilNotBusy(PTP_OC_NIKON_DeviceReady, {});
  switch (rc) {
    case PTP_RC_OK:
    case 0xA00C:
    case 0xA00E:
    case 0xA200:
    case 0xA201: break;
    case kNikonNotReady:
      nikonAfCancel();
      return kNikonNotReady;
    case kNikonMirrorUpSequence: markMirrorUp(); break;
    default: return rc;
  }

  if (liveViewBefore) {
    bool on = true;
    if (nikonIsLiveViewOn(on, true) == PTP_RC_OK && !on) {
      s.liveViewOn = false;
      evtQueuePropertyChanged(propFind(vendorFirstSlot(), false), true);
    }
  }
  return PTP_RC_OK;
}

PtpResponseCode nikonStartAutoFocus(bool wait, bool fromLiveView) {
  NikonModuleState& s = nikonState();
  const bool afDuringLiveView = nikonGetModelState().afDuringLiveView;
  if (fromLiveView && s.liveViewOn && camGetAfState() == 0 && !afDuringLiveView) {
    if (nikonSetManualFocus(1) == PTP_RC_OK) evtQueuePropertyChanged(propFind(nikonFocusModeCode(), false), true);
  } else if (camGetAfState() == 1 && afDuringLiveView) {
    nikonSetManualFocus(0);
  }
  PtpResponseCode rc = send(PTP_OC_NIKON_AfDrive);
  if (wait && rc == PTP_RC_OK) rc = nikonWaitDeviceReady();
  if (s.liveViewOn && afDuringLiveView) {
    libSleep(milliseconds(500));
    nikonSetManualFocus(1);
  }
  return rc;
}

PtpResponseCode nikonBulbStart() {
  const uint32_t before = camGetAfState();
  camSetAfState(1);
  PtpResponseCode rc = PTP_RC_OK;
  if (before == 0) rc = nikonStartAutoFocus(true, false);
  if (rc == PTP_RC_OK) rc = nikonShutterDown();
  camSetAfState(before);
  if (rc == kNikonNoCard) return PTP_RC_DeviceBusy;
  if (rc != PTP_RC_OK) return rc;
  rc = nikonDeviceReady();
  return rc == kNikonBulbRunning ? PTP_RC_OK : rc;
}

PtpResponseCode nikonBulbEnd() { return send(PTP_OC_NIKON_TerminateCapture, {0, 0}); }

PtpResponseCode nikonCaptureAndWait() {
  // A mirror-up sequence takes a second capture to release the shutter.
  PtpResponseCode rc = nikonShutterDown();
  for (int i = 1; i < kNikonMirrorUpCaptures && rc == kNikonMirrorUpSequence && nikonState().mirrorLockupMark; ++i)
    rc = nikonShutterDown();
  if (rc != PTP_RC_OK) return 0;
  const auto colorSpace = propCurrentValue(0xD032);
  if (!colorSpace) return 0;
  // The camera refuses a set (busy) until it has stored the picture.
  rc = camSetPropertyValue(0xD032, *colorSpace, false);
  for (int i = 0; rc == PTP_RC_DeviceBusy && i < kNikonBusyRetries; ++i) {
    libSleep(milliseconds(250));
    rc = camSetPropertyValue(0xD032, *colorSpace, false);
  }
  return rc == PTP_RC_OK ? PTP_RC_OK : 0;
}
