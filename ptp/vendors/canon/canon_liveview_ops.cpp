#include "ptp/vendors/canon/canon_liveview_ops.h"

#include "ptp/base/camera_vendor.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/canon/canon_fetch.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_ops.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/canon/canon_values.h"

namespace {

using namespace std::chrono_literals;
constexpr uint32_t kEvfOutput = 0xD1B0;
constexpr uint32_t kEvfMode = 0xD1B1;
constexpr uint32_t kRecordStatus = 0xD1B8;
constexpr uint32_t kMovieExposureMode = 0xD105;
constexpr uint32_t kModeMovie = 20;

PtpResponseCode sendPlain(uint16_t op) { return ptpTransaction(op, nullptr, 0, nullptr, 0, nullptr, nullptr, true); }

PtpResponseCode switchOutput(bool on) {
  if (canonIsRecentModel()) return camSetPropertyValue(kEvfOutput, on ? 3 : 1, true);
  if (canonState().liveViewExposureMode == kModeMovie) return camSetPropertyValue(kEvfOutput, on ? 3 : 1, true);
  return camSetPropertyValue(kEvfOutput, on ? 2 : 0, false);
}

}  // namespace

PtpResponseCode canonSetLiveView(bool on, bool evfMode) {
  CanonModuleState& s = canonState();
  if (!canonIsRecentModel()) {
    if (propCurrentValue(0xD1C9) == 1u) camSetPropertyValue(0xD1C9, 0, false);
    if (on && evfMode && propExists(kEvfMode)) camSetPropertyValue(kEvfMode, 1, false);
    if (on) {
      const auto mode = canonExposureMode();
      s.liveViewExposureMode = mode ? static_cast<int64_t>(*mode) : -1;
    }
  }
  PtpResponseCode rc = switchOutput(on);
  for (int retry = 0; rc == PTP_ERROR_PROP_NOT_CONFIRMED && s.busyRetry && retry < kCanonLiveViewBusyRetries;
       ++retry) {
    libSleep(1000ms);
    rc = switchOutput(on);
  }
  if (rc != PTP_RC_OK) return rc;
  s.liveViewZoom = 0;
  if (on && ptpOperationListed(0x913E)) {
    const uint32_t zero = 0;
    ptpTransaction(0x913E, &zero, 1, nullptr, 0, nullptr, nullptr, true);
  }
  if (!canonIsLiveViewAvailable()) evtQueuePropertyChanged(propFind(0xD108, false), true);
  const int64_t remembered = s.liveViewExposureMode;
  if (on && remembered >= 0) {
    if (PropertyStruct* r = propFind(s.exposureModeCode, true)) {
      const bool differs = r->value != static_cast<uint32_t>(remembered);
      if (differs) r->value = static_cast<uint32_t>(remembered);
      propUnlock(r);
      if (differs) evtQueuePropertyChanged(r, true);
    }
  }
  return PTP_RC_OK;
}

bool canonNeedsMovieOperation() {
  if (!canonGetModelState().movieOperation) return false;
  const int64_t remembered = canonState().liveViewExposureMode;
  if (remembered >= 0) return remembered != kModeMovie;
  const auto mode = canonExposureMode();
  return !mode || *mode != kModeMovie;
}

PtpResponseCode canonEnterMovieMode() {
  CanonModuleState& s = canonState();
  s.savedMovieExposureMode = propCurrentValue(kMovieExposureMode).value_or(0);
  PtpResponseCode rc = PTP_RC_OK;
  if (canonNeedsMovieOperation()) {
    rc = sendPlain(0x9133);
    if (rc == PTP_RC_DeviceBusy) {
      ByteBuffer frame;
      const PtpResponseCode fetched = canonGetLiveViewFrame(frame);
      if (fetched == PTP_RC_OK) {
        rc = PTP_RC_OK;
      } else if (fetched == PTP_RC_CANON_Busy) {
        camSetPropertyValue(kRecordStatus, 0, false);
        sendPlain(0x9134);
        rc = sendPlain(0x9133);
      }
    }
  }
  if (rc != PTP_RC_OK) return rc;
  if (propExists(kEvfMode)) camSetPropertyValue(kEvfMode, 2, false);
  rc = canonSetLiveView(true, false);
  if (rc == PTP_RC_OK) s.liveViewZoom = 0;
  return rc;
}

PtpResponseCode canonExitMovieMode() {
  CanonModuleState& s = canonState();
  if (canonNeedsMovieOperation()) {
    const PtpResponseCode rc = sendPlain(0x9134);
    if (rc != PTP_RC_OK) return rc;
  }
  const PtpResponseCode rc = canonSetLiveView(false, false);
  if (PropertyStruct* r = propFind(kMovieExposureMode, true)) {
    r->value = static_cast<uint32_t>(s.savedMovieExposureMode.load());
    propUnlock(r);
    evtQueuePropertyChanged(r, true);
  }
  return rc;
}

PtpResponseCode canonStartMovieRecording() {
  PtpResponseCode rc = camSetPropertyValue(kRecordStatus, 4, true);
  if (rc == PTP_ERROR_PROP_NOT_CONFIRMED && camModelIndex() == 232) {
    libSleep(2000ms);
    rc = canonWaitPropertyValue(kRecordStatus, 4) ? PTP_RC_OK : PTP_ERROR_PROP_NOT_CONFIRMED;
  }
  return rc;
}

PtpResponseCode canonStopMovieRecording() { return camSetPropertyValue(kRecordStatus, 0, false); }
