#include "ptp/vendors/fuji/fuji_liveview.h"

#include <initializer_list>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
constexpr uint32_t kManualFocus = 1;
// Set while a property set stops live view on this thread.
thread_local bool stoppingForSet = false;

}  // namespace

PtpResponseCode fujiSetLiveView(bool on) {
  PtpResponseCode rc;
  if (on) {
    const uint32_t params[2] = {0, 0};
    rc = ptpTransaction(PTP_OC_InitiateOpenCapture, params, 2, nullptr, 0, nullptr, nullptr, true);
  } else {
    if (!stoppingForSet && fujiGetLiveViewZoom() != 0) camSetLiveViewZoom(0);
    const FujiLiveViewStopFn stop = fujiLiveViewStopCallback();
    rc = stop ? stop() : ERROR_GENERAL;
  }
  if (rc == PTP_RC_OK) fujiState().liveViewOn = on;
  return rc;
}

PtpResponseCode fujiStopLiveViewForSet() {
  const bool outer = stoppingForSet;
  stoppingForSet = true;
  const PtpResponseCode rc = camSetLiveView(0);
  stoppingForSet = outer;
  return rc;
}

uint32_t fujiGetLiveViewZoom() {
  switch (propCurrentValue(kFujiLiveViewZoom).value_or(0)) {
    case 2: return 100;
    case 3:
    case 5: return 200;
    default: return 0;
  }
}

PtpResponseCode fujiSetLiveViewZoom(uint32_t percent) {
  const auto zoom = propCurrentValue(kFujiLiveViewZoom);
  if (zoom && percent != 1 && *zoom == 1) {
    const uint32_t mode = propCurrentValue(PTP_DPC_FocusMode).value_or(0);
    fujiState().savedFocusMode = mode;
    if (mode != kManualFocus) {
      const PtpResponseCode rc = camSetPropertyValue(PTP_DPC_FocusMode, kManualFocus, true);
      if (rc != PTP_RC_OK) return rc;
    }
  }
  uint32_t value = 1;
  if (percent == 100) {
    value = 2;
  } else if (percent == 200) {
    const uint8_t model = camModelIndex();
    value = model == 20 || model == 21 || model == 23 || model == 33 || model == 34 || model == 35 || model == 37 ? 5 : 3;
  }
  return camSetPropertyValue(kFujiLiveViewZoom, value, true);
}
