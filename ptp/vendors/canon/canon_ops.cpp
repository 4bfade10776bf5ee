#include "ptp/vendors/canon/canon_ops.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/canon/canon_values.h"

namespace {

using namespace std::chrono_literals;

PtpResponseCode send(uint16_t op, std::initializer_list<uint32_t> params = {}, uint32_t* response = nullptr) {
  std::vector<uint32_t> p(params);
  return ptpTransaction(op, p.data(), static_cast<uint32_t>(p.size()), nullptr, 0, nullptr, response, true);
}

}  // namespace

PtpResponseCode canonKeepAlive() { return send(0x911D); }
PtpResponseCode canonSetRemoteMode(uint32_t mode) { return send(0x9114, {mode}); }
PtpResponseCode canonSetEventMode(uint32_t mode) { return send(0x9115, {mode}); }
PtpResponseCode canonSetEventMask() { return send(0x913D, {0x1FFF}); }
PtpResponseCode canonCommand9014() { return send(0x9014); }
PtpResponseCode canonCommand9015() { return send(0x9015); }
PtpResponseCode canonCommand9117(uint32_t value) { return send(0x9117, {value}); }
PtpResponseCode canonCommand9118(uint32_t value) { return send(0x9118, {value}); }

PtpResponseCode canonEnsureRemoteMode() {
  if (ptpOperationListed(0x9128)) return 1;
  return canonSetRemoteMode(1);
}

PtpResponseCode canonInitCamera() {
  canonState().depthOfFieldPreview = false;
  PtpResponseCode rc = canonSetRemoteMode(1);
  if (rc == PTP_RC_OK) rc = canonSetEventMode(1);
  if (rc == PTP_RC_OK && ptpOperationListed(0x913D)) rc = canonSetEventMask();
  if (rc != PTP_RC_OK) return rc;
  libSleep(100ms);
  rc = evtPoll(true, false);
  if (rc == PTP_RC_OK) rc = evtPoll(false, false);
  if (rc != PTP_RC_OK) return rc;
  canonState().exposureModeCode = propExists(0xD138) ? 0xD138 : 0xD105;
  return PTP_RC_OK;
}

PtpResponseCode canonRefreshProperties() {
  if (!evtLockFetch(true)) return ERROR_BUSY;
  PtpResponseCode rc = canonSetEventMode(1);
  if (rc == PTP_RC_OK) {
    libSleep(100ms);
    rc = evtPoll(true, true);
  }
  evtUnlockFetch();
  return rc;
}

PtpResponseCode canonSetPropertyValue(uint32_t code, uint32_t value) {
  std::vector<uint8_t> data;
  std::vector<uint8_t> format;
  if (code >= 0xD120 && code <= 0xD123) {
    if (canonUnpackImageFormat(value, format) != PTP_RC_OK) return ERROR_INVALID_INPUT;
  } else {
    bytesAppendU32(format, value);
  }
  bytesAppendU32(data, static_cast<uint32_t>(8 + format.size()));
  bytesAppendU32(data, code);
  data.insert(data.end(), format.begin(), format.end());
  return ptpTransaction(0x9110, nullptr, 0, data.data(), data.size(), nullptr, nullptr, true);
}

PtpResponseCode canonGetDevicePropValue(uint32_t code, ByteBuffer& data) {
  data.clear();
  return ptpTransaction(0x9127, &code, 1, nullptr, 0, &data, nullptr, true);
}

bool canonWaitPropertyValue(uint32_t code, uint32_t value) {
  for (int round = 0; round < 5; ++round) {
    evtPoll(true, false);
    const auto now = propCurrentValue(code);
    if (!now) return false;
    if (*now == value) return true;
    libSleep(100ms);
  }
  return false;
}

PtpResponseCode canonStartAutoFocus() { return send(0x9154); }
PtpResponseCode canonStopAutoFocus() { return send(0x9160); }

PtpResponseCode canonDriveFocus(uint32_t stepCode) {
  PtpResponseCode rc = send(0x9155, {stepCode});
  if (rc != PTP_RC_OK) return rc;
  camSetManualFocus(1, true);
  if (canonHasMovieAfServo()) camSetPropertyValue(0xD179, 0, true);
  return rc;
}

PtpResponseCode canonSetLvAfSystem() { return canonSetPropertyValue(0xD1BA, 1); }
PtpResponseCode canonSetLvViewType(uint32_t value) { return camSetPropertyValue(0xD1BC, value, true); }
PtpResponseCode canonSetLensZoom(uint32_t value) { return camSetPropertyValue(0xD055, std::min(value, 100u), false); }
bool canonCanZoomLiveView() { return true; }

PtpResponseCode canonSetLiveViewZoom(uint32_t percent) {
  const uint8_t model = camModelIndex();
  if (model == 232) return PTP_ERROR_UNSUPPORTED_COMMAND;
  uint32_t zoom = 1;
  if (percent == 100) zoom = model == 251 ? 6 : 5;
  else if (percent == 200) zoom = model == 251 ? 15 : 10;
  PtpResponseCode rc = send(0x9158, {zoom});
  if (rc == PTP_RC_OK) canonState().liveViewZoom = percent;
  return rc;
}

PtpResponseCode canonSetAfPoint(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return ERROR_INVALID_INPUT;
  double width = 0, height = 0;
  canonGetSensorSize(width, height);
  const auto position = [](double f, double size) {
    return static_cast<uint32_t>(std::trunc(std::clamp(f - 0.1, 0.0, 0.9) * size));
  };
  return send(0x9159, {position(x, width), position(y, height)});
}

PtpResponseCode canonDepthOfFieldPreviewOn() {
  PtpResponseCode rc = camSetPropertyValue(0xD1B2, camModelIndex() == 226 ? 3 : 1, true);
  if (rc == PTP_RC_OK) canonState().depthOfFieldPreview = true;
  return rc;
}

PtpResponseCode canonDepthOfFieldPreviewOff() {
  PtpResponseCode rc = camSetPropertyValue(0xD1B2, 0, true);
  if (rc == PTP_RC_OK) canonState().depthOfFieldPreview = false;
  return rc;
}

bool canonIsMirrorUp() {
  return propCurrentValue(0xD13A) == 1u;
}

bool canonHasMirrorUpSetting() { return propExists(0xD13A); }
PtpResponseCode canonSetMirrorUp(bool on, bool wait) { return camSetPropertyValue(0xD13A, on ? 1 : 0, wait); }
bool canonIsLiveViewAvailable() { return canonGetModelState().liveViewAvailable; }
bool canonHasMovieAfServo() { return propExists(0xD179); }
bool canonHasMovieMode() { return ptpOperationListed(0x9133); }
void canonSetBusyRetryFlag(bool value) { canonState().busyRetry = value; }

PtpResponseCode canonSetRating(uint32_t handle, uint32_t rating) { return send(0x9140, {handle, rating}); }

PtpResponseCode canonGetObjectExtraInfo(uint32_t a, uint32_t b, uint32_t* word) {
  if (!word) return ERROR_INVALID_INPUT;
  const uint32_t params[] = {b, a, 3, 0x00200000};
  ByteBuffer data;
  PtpResponseCode rc = ptpTransaction(0x9135, params, 4, nullptr, 0, &data, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  if (data.size() <= 27) return ERROR_INVALID_INPUT;
  *word = *ByteReader(data.data(), data.size()).u32(24);
  return PTP_RC_OK;
}

PtpResponseCode canonUiLock() { return send(0x911B); }
PtpResponseCode canonUiUnlock() { return send(0x911C); }
PtpResponseCode canonSetHostCapacity(uint32_t word) { return send(0x911A, {word, 0x1000, 1}); }
PtpResponseCode canonSetHostCapacity3(uint32_t a, uint32_t b, uint32_t c) { return send(0x911A, {a, b, c}); }
PtpResponseCode canonSetPropertyD1A9Zero() { return camSetPropertyValue(0xD1A9, 0, true); }
PtpResponseCode canonReservedOperation() { return ERROR_GENERAL; }
PtpResponseCode canonReservedOperationB() { return ERROR_GENERAL; }

bool canonIsRawObject(const uint8_t* header, size_t length) {
  ByteReader in(header, length);
  return in.u8(8) == 0x43 && in.u8(9) == 0x52;
}
