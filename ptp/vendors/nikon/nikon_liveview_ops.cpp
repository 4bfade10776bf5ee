#include "ptp/vendors/nikon/nikon_liveview_ops.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/nikon/nikon_capture.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_liveview.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_setup.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"

namespace {

using std::chrono::milliseconds;

constexpr PtpResponseCode kNikonNotInLiveView = 0xA00B;
constexpr PtpResponseCode kNikonNotLiveViewReady = 0xA004;
constexpr PtpResponseCode kNikonSelectorBusy = 0xA005;

// The module answers busy itself (its own pauses and limits), so no generic retry.
PtpResponseCode send(uint16_t op, std::initializer_list<uint32_t> params = {}) {
  const uint32_t* p = params.size() ? params.begin() : nullptr;
  return ptpRunTransaction(op, p, static_cast<uint32_t>(params.size()), nullptr, 0, nullptr, nullptr, true);
}

bool settable(uint32_t code) {
  auto p = propCopy(code);
  return p && p->getSet == 1;
}

uint8_t model() { return camModelIndex(); }
bool mirrorless() { return nikonIsMirrorlessModel(model()); }
void queueChanged(uint32_t code) { evtQueuePropertyChanged(propFind(code, false), true); }

}  // namespace

PtpResponseCode nikonSetLiveViewSelector(uint32_t value) {
  PtpResponseCode rc = camSetPropertyValue(0xD1A6, value, true);
  for (int i = 0; rc == kNikonSelectorBusy && i < 20; ++i) {
    libSleep(milliseconds(100));
    rc = camSetPropertyValue(0xD1A6, value, true);
  }
  return rc;
}

PtpResponseCode nikonAlignLiveViewFocusMode() {
  const auto lv = propCurrentValue(0xD061), af = propCurrentValue(0xD161);
  if (!lv || !af) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (!settable(0xD061) || *af == 3) return PTP_RC_OK;
  const uint32_t want = *af == 1 ? 2 : 0;
  return *lv == want ? PTP_RC_OK : camSetPropertyValue(0xD061, want, true);
}

PtpResponseCode nikonRestoreAfMode() {
  if (!settable(0xD161)) return PTP_RC_OK;
  const uint32_t lv = propCurrentValue(0xD061).value_or(0);
  uint32_t want;
  if (lv == 2) want = 1;
  else if (lv == 4 || camGetAfState() == 1) want = 4;
  else if (lv != 3) want = 0;
  else return PTP_RC_OK;
  return camSetPropertyValue(0xD161, want, true);
}

PtpResponseCode nikonLiveViewCleanup() {
  if (ptpOperationListed(PTP_OC_NIKON_LiveViewCleanup)) return send(PTP_OC_NIKON_LiveViewCleanup, {1});
  return camSetPropertyValue(0xD1F0, 1, false);
}

PtpResponseCode nikonSetLiveView(int on, bool keepAfMode) {
  NikonModuleState& s = nikonState();
  if (!(model() == 205 || mirrorless())) {
    bool current = false;
    if (nikonIsLiveViewOn(current, true) == PTP_RC_OK && current == (on != 0)) return PTP_RC_OK;
  }
  const bool inMedia = ptpOperationListed(PTP_OC_NIKON_CaptureInMedia);
  PtpResponseCode rc;
  if (on) {
    if (nikonGetModelState().saveStillCaptureMode && s.savedStillCaptureMode < 0)
      if (const auto mode = propCurrentValue(0x5013)) s.savedStillCaptureMode = *mode;
    if (!inMedia) {
      rc = camSetPropertyValue(0xD10B, 1, true);
      if (rc != PTP_RC_OK) return rc;
    }
    if (!mirrorless()) s.liveViewOn = false;
    rc = send(PTP_OC_NIKON_StartLiveView);
    if (rc != PTP_RC_OK) return rc;
    s.liveViewOn = true;
    if (!keepAfMode) {
      if (propCurrentValue(0xD1A6) == 1u && nikonIsHostMode()) {
        rc = nikonSetLiveViewSelector(0);
        nikonAlignLiveViewFocusMode();
        if (rc != PTP_RC_OK) return rc;
      } else {
        nikonAlignLiveViewFocusMode();
      }
    }
    rc = nikonWaitDeviceReady();
    queueChanged(0xD061);
  } else {
    rc = send(PTP_OC_NIKON_EndLiveView);
    if (!mirrorless()) s.liveViewOn = rc != PTP_RC_OK;
    if (rc != PTP_RC_OK) return rc;
    nikonRestoreAfMode();
    if (!nikonModelBetween(214, 232)) nikonLiveViewCleanup();
    if (!inMedia) camSetPropertyValue(0xD10B, 0, true);
    rc = nikonWaitDeviceReady();
    queueChanged(propVendorCodeMap().aperture);
    const int64_t saved = s.savedStillCaptureMode.exchange(-1);
    if (saved >= 0) camSetPropertyValue(0x5013, static_cast<uint32_t>(saved), true);
  }
  s.liveViewZoom = 0;
  return rc;
}

void nikonSuspendFrameFetch(bool suspended) { nikonState().frameFetchSuspended = suspended; }

PtpResponseCode nikonGetLiveViewFrame(ByteBuffer& frame) {
  frame.clear();
  NikonModuleState& s = nikonState();
  std::unique_lock lock(s.frameMutex, std::try_to_lock);
  if (!lock.owns_lock()) return ERROR_BUSY;
  if (s.frameFetchSuspended) return PTP_RC_DeviceBusy;
  const uint16_t op = nikonLiveViewOpcode();
  ByteBuffer reply;
  PtpResponseCode rc = ptpTransaction(op, nullptr, 0, nullptr, 0, &reply, nullptr, true);
  lock.unlock();
  if (rc == kNikonNotInLiveView) {
    bool on = false;
    if (nikonIsLiveViewOn(on, true) == PTP_RC_OK && on) return PTP_RC_DeviceBusy;
    return rc;
  }
  if (rc != PTP_RC_OK) return rc;
  std::vector<uint8_t> parsed;
  if (nikonParseLiveViewFrame(op, reply.data(), reply.size(), parsed) != PTP_RC_OK) return ERROR_TOO_LARGE;
  frame.assign(parsed.begin(), parsed.end());
  return PTP_RC_OK;
}

bool nikonCanZoomLiveView() { return nikonGetModelState().zoomMap != NikonZoomMap{0, 1, 3, 5, 5}; }

PtpResponseCode nikonSetLiveViewZoom(uint32_t percent) {
  NikonModuleState& s = nikonState();
  PtpResponseCode rc;
  if (nikonModelBetween(220, 232)) {
    const bool smallSensor = nikonModelIn({222, 225, 229});
    const uint32_t full = smallSensor ? 720 : 1024;
    const uint32_t value = percent == 100 ? full : percent == 200 ? full / 2 : 0;
    rc = camSetPropertyValue(0xD1BD, value, true);
  } else {
    const NikonZoomMap map = nikonGetModelState().zoomMap;
    const size_t entry = percent == 25 ? 1 : percent == 50 ? 2 : percent == 100 ? 3 : percent == 200 ? 4 : 0;
    rc = camSetPropertyValue(0xD1A3, map[entry], true);
  }
  if (rc == PTP_RC_OK) s.liveViewZoom = static_cast<uint8_t>(percent > 255 ? 0 : percent);
  return rc;
}

PtpResponseCode nikonSetManualFocus(int on) {
  NikonModuleState& s = nikonState();
  if (mirrorless()) {
    camSetAfState(on ? 1 : 0);
    if (on) return PTP_RC_OK;
    if (!nikonIsAutoFocusMode()) return camSetPropertyValue(0xD061, 0, true);
    return PTP_RC_OK;
  }
  if (s.liveViewOn && propExists(0xD061)) {
    camSetAfState(on ? 1 : 0);
    return PTP_RC_OK;
  }
  PtpResponseCode rc;
  if (settable(0xD161)) {
    if (on) {
      s.rememberedAutoFocusMode = propCurrentValue(0xD161).value_or(0);
      rc = camSetPropertyValue(0xD161, 4, true);
    } else {
      const int64_t remembered = s.rememberedAutoFocusMode.exchange(-1);
      rc = camSetPropertyValue(0xD161, remembered < 0 || remembered == 4 ? 0 : static_cast<uint32_t>(remembered), true);
    }
  } else {
    const auto focus = propCurrentValue(0x500A);
    if (!focus) return PTP_ERROR_UNSUPPORTED_COMMAND;
    if (on && model() == 195 && *focus != 0x8011) return 0;
    uint32_t code;
    if (*focus == 0x8010 && (on || model() != 195)) code = 0xD049;
    else if (*focus == 0x8011) code = 0xD048;
    else return PTP_ERROR_UNSUPPORTED_COMMAND;
    if (!propExists(code)) return PTP_ERROR_UNSUPPORTED_COMMAND;
    const uint32_t value = (code == 0xD049) == (on != 0) ? 1 : 0;
    rc = camSetPropertyValue(code, value, true);
  }
  if (rc == PTP_RC_OK) camSetAfState(on ? 1 : 0);
  return rc;
}

PtpResponseCode nikonDriveFocus(uint32_t direction, uint32_t steps) {
  NikonModuleState& s = nikonState();
  const bool afDuringLiveView = nikonGetModelState().afDuringLiveView;
  if (camGetAfState() == 0 && !afDuringLiveView) camSetManualFocus(1, true);
  else if (camGetAfState() == 1 && afDuringLiveView) nikonSetManualFocus(0);
  if (s.liveViewOn && propCurrentValue(0xD061) == 2u && camSetPropertyValue(0xD061, 0, true) != PTP_RC_OK)
    return ERROR_INVALID_INPUT;
  PtpResponseCode rc = send(PTP_OC_NIKON_MfDrive, {direction, steps});
  for (int i = 0; rc == PTP_RC_DeviceBusy && i < kNikonBusyRetries; ++i) {
    libSleep(milliseconds(250));
    rc = send(PTP_OC_NIKON_MfDrive, {direction, steps});
  }
  if (rc == kNikonNotInLiveView) {
    rc = nikonSetLiveView(1, false);
    if (rc != PTP_RC_OK) return rc;
    nikonWaitDeviceReady();
    rc = send(PTP_OC_NIKON_MfDrive, {direction, steps});
  }
  if (rc != PTP_RC_OK) return rc;
  if (nikonWaitDeviceReady() == 0xA00E) nikonWaitDeviceReady();
  if (s.liveViewOn && afDuringLiveView) {
    libSleep(milliseconds(500));
    nikonSetManualFocus(1);
  }
  return PTP_RC_OK;
}

PtpResponseCode nikonChangeAfArea(uint32_t x, uint32_t y) {
  PtpResponseCode rc;
  if (propCurrentValue(0xD1A6).value_or(0) != 0 && propCurrentValue(0xD1F8) == 0x8011u) {
    rc = camSetPropertyValue(0xD1F8, 0x8010, false);
    if (rc != PTP_RC_OK) return rc;
  }
  if (propCurrentValue(0xD05D) == 0x8011u) {
    rc = camSetPropertyValue(0xD05D, 0x8010, true);
    if (rc != PTP_RC_OK) return rc;
  }
  return send(PTP_OC_NIKON_ChangeAfArea, {x, y});
}

PtpResponseCode nikonSetAfPoint(float x, float y) {
  uint32_t px = 0, py = 0;
  if (!nikonAfPointFor(x, y, px, py)) return ERROR_INVALID_INPUT;
  return nikonChangeAfArea(px, py);
}

PtpResponseCode nikonMoveAfPoint(int direction) {
  // The step as the picture is shown.
  int dx = 0, dy = 0;
  switch (direction) {
    case 0: dy = 1; break;
    case 1: dy = -1; break;
    case 2: dx = -1; break;
    case 3: dx = 1; break;
    default: return ERROR_INVALID_INPUT;
  }
  // Back into the frame's own axes: the shown picture is the frame turned by its orientation.
  switch (nikonGetLiveViewOrientation()) {
    case 3: dx = -dx, dy = -dy; break;
    case 6: std::swap(dx, dy), dy = -dy; break;
    case 8: std::swap(dx, dy), dx = -dx; break;
    default: break;
  }
  const auto head = nikonGetLiveViewInfo();
  auto u16At = [&head](size_t off) { return static_cast<int64_t>(head[off] | head[off + 1] << 8); };
  const int64_t width = u16At(kNikonHeadWidth), height = u16At(kNikonHeadHeight);
  if (width == 0 || height == 0) return ERROR_INVALID_INPUT;  // no frame yet: no point to move
  const int64_t stepX = u16At(kNikonHeadAfWidth) ? u16At(kNikonHeadAfWidth) : std::max<int64_t>(1, width / 20);
  const int64_t stepY = u16At(kNikonHeadAfHeight) ? u16At(kNikonHeadAfHeight) : std::max<int64_t>(1, height / 20);
  const int64_t x = std::clamp<int64_t>(u16At(kNikonHeadAfCentreX) + dx * stepX, 0, width - 1);
  const int64_t y = std::clamp<int64_t>(u16At(kNikonHeadAfCentreY) + dy * stepY, 0, height - 1);
  return nikonChangeAfArea(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
}

bool nikonHasMovieMode() { return ptpOperationListed(PTP_OC_NIKON_StartMovie); }

PtpResponseCode nikonEnterMovieMode() {
  NikonModuleState& s = nikonState();
  PtpResponseCode rc;
  if (!nikonIsHostMode()) {
    rc = nikonSetHostMode(1, false);
    if (rc != PTP_RC_OK) return rc;
    s.hostModeSwitched = true;
  }
  const bool selectorFirst = nikonModelIn({200, 211, 215, 224});
  if (selectorFirst) {
    rc = nikonSetLiveViewSelector(1);
    if (rc != PTP_RC_OK) return rc;
  }
  rc = nikonSetLiveView(1, true);
  if (rc != PTP_RC_OK) return rc;
  if (propExists(0xD1A6)) {
    if (!nikonModelBetween(214, 232)) rc = nikonLiveViewCleanup();
    if (rc == PTP_RC_OK && !selectorFirst) rc = nikonSetLiveViewSelector(1);
    if (rc != PTP_RC_OK) {
      nikonSetLiveView(0, true);
      return rc;
    }
  }
  s.liveViewZoom = 0;
  for (uint32_t code : {0xD1A8u, 0xD1A9u, 0xD1AAu, 0xD1ABu, 0xD1AFu})
    if (propExists(code)) nikonRefreshPropertyValue(code);
  return PTP_RC_OK;
}

PtpResponseCode nikonExitMovieMode() {
  NikonModuleState& s = nikonState();
  PtpResponseCode rc = nikonSetLiveView(0, true);
  if (rc != PTP_RC_OK) return rc;
  if (s.hostModeSwitched.exchange(false)) {
    nikonSetHostMode(0, false);
  } else if (mirrorless()) {
    nikonSetHostMode(0, false);
    nikonSetHostMode(1, false);
  }
  if (propExists(0xD161)) queueChanged(0xD161);
  return PTP_RC_OK;
}

PtpResponseCode nikonStartMovieRecording() {
  NikonModuleState& s = nikonState();
  if (!s.liveViewOn) return kNikonNotLiveViewReady;
  for (int i = 0; i < 10; ++i) {
    if (i > 0) libSleep(milliseconds(500));
    std::unique_lock lock(s.movieMutex, std::try_to_lock);
    if (!lock.owns_lock()) return ERROR_BUSY;
    if (!s.movieRecording) {
      lock.unlock();
      return send(PTP_OC_NIKON_StartMovie);
    }
  }
  return PTP_RC_DeviceBusy;
}

PtpResponseCode nikonStopMovieRecording() {
  NikonModuleState& s = nikonState();
  {
    std::lock_guard lock(s.movieMutex);
    s.movieRecording = true;
  }
  const PtpResponseCode rc = send(PTP_OC_NIKON_EndMovie);
  if (rc != PTP_RC_OK) {
    std::lock_guard lock(s.movieMutex);
    s.movieRecording = false;
    return rc;
  }
  // The movie's ObjectAdded clears the flag.
  for (int i = 0; i < 20; ++i) {
    {
      std::lock_guard lock(s.movieMutex);
      if (!s.movieRecording) break;
    }
    libSleep(milliseconds(500));
  }
  return PTP_RC_OK;
}

int nikonFocusStack(int count, uint32_t direction, uint32_t steps, uint32_t delayMs,
                    const std::function<bool(int, int)>& progress) {
  NikonModuleState& s = nikonState();
  camSetAfState(1);
  s.focusStackCancel = false;
  nikonSuspendFrameFetch(true);
  struct Resume {
    ~Resume() { nikonSuspendFrameFetch(false); }
  } resume;
  for (int n = 1; n <= count; ++n) {
    const PtpResponseCode rc = camTakePicture();
    if (rc != PTP_RC_OK) return rc;
    const bool goOn = !progress || progress(n, count);
    if (n == count) return PTP_RC_OK;
    if (s.focusStackCancel || !goOn) return -1;
    libSleep(milliseconds(1000));
    libSleep(milliseconds(delayMs));
    const PtpResponseCode drive = nikonDriveFocus(direction, steps);
    if (drive != PTP_RC_OK) return drive;
    if (s.focusStackCancel) return -1;
  }
  return PTP_RC_OK;
}

void nikonCancelFocusStack() { nikonState().focusStackCancel = true; }
