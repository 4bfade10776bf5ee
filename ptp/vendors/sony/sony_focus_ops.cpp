#include "ptp/vendors/sony/sony_focus_ops.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/sony/sony_focus.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_state.h"
#include "ptp/vendors/sony/sony_values.h"

using namespace std::chrono_literals;

namespace {

constexpr uint32_t kFocusToggle = 0xD2D2;
constexpr uint32_t kZoomAmount = 0xD254;
constexpr uint32_t kZoomAmountOld = 0xD22F;
// Frame size the AF coordinates are given in.
constexpr float kAfWidth = 640, kAfHeight = 428;

bool in(uint8_t m, std::initializer_list<uint8_t> list) { return std::find(list.begin(), list.end(), m) != list.end(); }

// The third (100 %) or fourth (200 %) entry of 0xD254's list.
std::optional<uint32_t> zoomEntry(uint32_t percent) {
  const auto p = propCopy(kZoomAmount);
  const size_t i = percent == 100 ? 2 : percent == 200 ? 3 : 0;
  if (!p || i == 0 || p->values.size() <= i) return std::nullopt;
  return p->values[i].value;
}

}  // namespace

bool sonyCanAutoFocus() {
  if (!sonyHasModelCapabilityB()) return false;
  if (sonyIsFocusEngaged()) return true;
  return camModelIndex() != 164 && !sonyIsManualFocus();
}

PtpResponseCode sonySetManualFocus(bool manual) {
  const bool wasManual = sonyIsManualFocus();
  if (wasManual == manual) return PTP_RC_OK;
  if (!sonyHasModelCapabilityB()) return ERROR_CAMERA_NOT_SUPPORTED;
  if (!sonyCanAutoFocus()) return PTP_ERROR_UNSUPPORTED_COMMAND;
  // The toggle is a press (2) and a release (1); which comes last depends on the way
  // the last toggle went.
  const bool pressLast = manual != sonyIsFocusEngaged();
  const uint32_t first = pressLast ? 1 : 2, second = pressLast ? 2 : 1;
  if (camModelIndex() == 180) {
    const PtpResponseCode rc = sonySetControlDevice(kFocusToggle, first, 2);
    if (rc != PTP_RC_OK) return rc;
    libSleep(250ms);
  }
  const PtpResponseCode rc = sonySetControlDevice(kFocusToggle, second, 2);
  if (rc != PTP_RC_OK) return rc;
  sonySetFocusEngaged(!wasManual);
  return PTP_RC_OK;
}

PtpResponseCode sonyMoveAfPoint(int direction) {
  if (direction < 0 || direction > 3) return ERROR_INVALID_INPUT;
  const uint8_t model = camModelIndex();
  if (model != 180 && model != 183) {
    const uint32_t key = 0xD2CD + static_cast<uint32_t>(direction);
    const PtpResponseCode rc = sonySetControlDevice(key, 2, 2);
    return rc == PTP_RC_OK ? sonySetControlDevice(key, 1, 2) : rc;
  }
  const uint32_t position = sonyLiveViewPosition();
  int low = static_cast<int>(position & 0xFFFF), high = static_cast<int>(position >> 16);
  const int delta = direction % 2 == 0 ? -5 : 5;
  // Held inside 0..0xFFFF: a step past the edge would wrap into the other half.
  if (direction < 2)
    low = std::clamp(low + delta, 0, 0xFFFF);
  else
    high = std::clamp(high + delta, 0, 0xFFFF);
  return sonySetPropertyValue(kZoomAmount, static_cast<uint32_t>(high) << 16 | static_cast<uint32_t>(low));
}

PtpResponseCode sonySetAfPoint(float x, float y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return ERROR_INVALID_INPUT;
  x = std::clamp(x, 0.0f, 1.0f);
  y = std::clamp(y, 0.0f, 1.0f);
  const uint32_t value = static_cast<uint32_t>(x * kAfWidth) << 16 | static_cast<uint32_t>(y * kAfHeight);

  const uint8_t model = camModelIndex();
  const bool switchToAf = (in(model, {179, 187, 188}) && sonyIsManualFocus()) || (model == 183 && sonyIsFocusEngaged());
  if (switchToAf) sonySetManualFocus(false);
  const PtpResponseCode rc = propExists(kSonyFocusPointCode) ? sonySetControlDevice(kSonyFocusPointCode, value, 4)
                                                             : sonySetControlDeviceA(kSonyLiveViewLocationCode, value);
  if (switchToAf) {
    const auto mode = propCurrentValue(PTP_DPC_FocusMode);
    sonySetManualFocus(true);
    for (int i = 0; i < 8; ++i) {
      if (sonyRefreshPropertyValue(PTP_DPC_FocusMode) != PTP_RC_OK) break;
      if (propCurrentValue(PTP_DPC_FocusMode) != mode) break;
      libSleep(250ms);
    }
  }
  return rc;
}

uint32_t sonyGetLiveViewZoom(bool refresh) {
  const uint8_t m = camModelIndex();
  if (!(m == 161 || m == 163 || m == 167 || m == 171 || (m >= 174 && m <= 189))) return 0;
  if (propExists(kZoomAmount)) {
    if (refresh) sonyRefreshPropertyValue(kZoomAmount);
    const auto v = propCurrentValue(kZoomAmount);
    if (v && v == zoomEntry(100)) return 100;
    if (v && v == zoomEntry(200)) return 200;
    return 0;
  }
  if (!propExists(kZoomAmountOld)) return 0;
  if (refresh) sonyRefreshPropertyValue(kZoomAmountOld);
  const uint32_t v = propCurrentValue(kZoomAmountOld).value_or(0);
  if (v >= 26 && v <= 74) return 100;
  return v > 74 ? 200 : 0;
}

PtpResponseCode sonySetLiveViewZoom(uint32_t percent) {
  const uint8_t m = camModelIndex();
  if (in(m, {161, 163, 167, 174, 175})) {
    const uint32_t drive = propCurrentValue(0x5013).value_or(0);
    if (drive == 2 || drive == 0x8010 || drive == 0x8012 || drive == 0x8015) return ERROR_INVALID_CONTINUOUS_DRIVE_MODE;
    const int presses = in(m, {167, 174, 175}) && sonyGetLiveViewZoom(false) == 0 ? 2 : 1;
    for (int i = 0; i < presses; ++i) {
      if (i > 0) libSleep(100ms);
      PtpResponseCode rc = sonySetControlDevice(0xD2CB, 2, 2);
      if (rc == PTP_RC_OK) rc = sonySetControlDevice(0xD2CB, 1, 2);
      if (rc != PTP_RC_OK) return rc;
    }
    return PTP_RC_OK;
  }
  if (!sonyIsDirectSetModel()) return ERROR_CAMERA_NOT_SUPPORTED;
  if (!propExists(kZoomAmount)) return PTP_ERROR_UNSUPPORTED_COMMAND;
  uint8_t data[8];
  bytesPutU32(data, 0xFFFFFFFF);
  bytesPutU32(data + 4, zoomEntry(percent).value_or(0));
  uint32_t code = kZoomAmount;
  return ptpTransaction(kSonySetControlDeviceA, &code, 1, data, sizeof data, nullptr, nullptr, true);
}
