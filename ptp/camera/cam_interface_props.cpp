// Setting, reading and storing device properties through the camera interface.
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/cam_route.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/ptp_transaction.h"

using namespace camroute;

namespace {
constexpr PtpResponseCode kNoVendorSetter = 0xFFFF;
// Sony reports no value back for these exposure programs (movie and S&Q modes).
constexpr uint32_t kSonyUnconfirmedProgramFrom = 0x78050;

// The set lock taken by a waiting set; released exactly once on every path.
class SetLockHold {
 public:
  explicit SetLockHold(bool take) : held_(take && propLockForSet()) {}
  ~SetLockHold() { release(); }
  SetLockHold(const SetLockHold&) = delete;
  SetLockHold& operator=(const SetLockHold&) = delete;
  bool held() const { return held_; }
  // False when the lock was no longer ours to release.
  bool release() {
    if (!held_) return true;
    held_ = false;
    return propUnlockForSet();
  }

 private:
  bool held_;
};

void queueChanged(uint32_t code) { evtQueuePropertyChanged(propFind(code, false), true); }

// Fujifilm stops live view for some sets; it must run again whatever the set gave.
PtpResponseCode restartLiveView(VendorModule& module, PtpResponseCode rc) {
  if (!module.takeLiveViewStoppedForSet()) return rc;
  const PtpResponseCode restarted = camSetLiveView(1);
  return rc == PTP_RC_OK ? restarted : rc;
}
}  // namespace

PtpResponseCode camSetPropertyValue(uint32_t code, uint32_t value, bool wait) {
  Route r{FCSN};
  if (r.vendor != CameraVendorFujifilm && !(propExists(code) && propValueAllowed(code, value)))
    return PTP_RC_ParameterNotSupported;
  // Called back from a poll pass (after-events), this thread already holds the lock:
  // waiting for it could only time out. No other set can be running meanwhile.
  const bool inPass = evtInPollPass();
  if (wait && inPass) return ERROR_BUSY;
  if (r && r.vendor == CameraVendorSony && !inPass) r->waitSetPropertyIdle();
  SetLockHold hold(wait);
  if (wait && !hold.held()) return ERROR_BUSY;
  if (!r) return kNoVendorSetter;

  PtpResponseCode rc = r->setPropertyValue(code, value);
  if (rc != PTP_RC_OK && rc != PTP_RC_DeviceBusy) {
    const bool released = hold.release();
    if (r.vendor == CameraVendorFujifilm) restartLiveView(*r.module, rc);
    return released ? rc : ERROR_BUSY;
  }
  if (wait) {
    const bool waitForValue =
        r.vendor != CameraVendorSony ||
        (r->isDirectSetModel() && !(code == PTP_DPC_ExposureProgramMode && value >= kSonyUnconfirmedProgramFrom));
    rc = !waitForValue || camWaitPropertyValue(code, value) ? PTP_RC_OK : PTP_ERROR_PROP_NOT_CONFIRMED;
    hold.release();
  }
  if (r.vendor == CameraVendorFujifilm) {
    queueChanged(code);
    rc = restartLiveView(*r.module, rc);
  } else if (r.vendor == CameraVendorNikon && code == PTP_DPC_ExposureProgramMode) {
    queueChanged(PTP_DPC_ExposureProgramMode);
    queueChanged(PTP_DPC_ExposureBiasCompensation);
  }
  return rc;
}

PtpResponseCode ptpGetDevicePropValue(uint32_t code, ByteBuffer& data) {
  data.clear();
  return ptpTransaction(PTP_OC_GetDevicePropValue, &code, 1, nullptr, 0, &data, nullptr, true);
}

PtpResponseCode camGetDevicePropValue(uint32_t code, ByteBuffer& data) {
  data.clear();
  if (!propExists(code)) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (Route r{F | C | S}) return r->getDevicePropValue(code, data);
  return ptpGetDevicePropValue(code, data);
}

PtpResponseCode camRefreshPropertyValueGeneric(uint32_t code) {
  ByteBuffer data;
  const PtpResponseCode rc = camGetDevicePropValue(code, data);
  if (rc != PTP_RC_OK) return rc;
  return propParseCurrentValue(code, data) < 0 ? ERROR_GENERAL : PTP_RC_OK;
}

PtpResponseCode camRefreshPropertyValue(uint32_t code) {
  // Nikon has its own read too (Kelvin mapping, its event).
  if (Route r{S | N}) return r->refreshPropertyValue(code);
  return camRefreshPropertyValueGeneric(code);
}

PtpResponseCode camRefreshProperty(uint32_t code) {
  if (Route r{F | C | N}) return r->refreshProperty(code);
  return 0;
}

PropertyStruct* camStorePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) {
  if (Route r{F | S}) return r->storePropertyValue(code, value, getSet);
  return nullptr;
}
