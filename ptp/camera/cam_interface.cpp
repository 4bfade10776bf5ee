#include "ptp/camera/cam_interface.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>

#include "ptp/base/byte_reader.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_route.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_container.h"
#include "ptp/protocol/ptp_transaction.h"

namespace {
using namespace std::chrono_literals;

// Which vendors an operation reaches.
enum : unsigned { F = 1u << 0, C = 1u << 1, S = 1u << 2, N = 1u << 3, FCSN = F | C | S | N };

constexpr std::chrono::milliseconds kCamPressPause = 500ms;
constexpr int kNikonBusyPasses = 5;
constexpr uint32_t kCanonObjectRecordBytes = 96;
constexpr size_t kLinkHeaderBytes = 5;
constexpr uint8_t kLinkKindPtp = 10;

std::atomic<uint32_t> storedZoom{0};
std::atomic<uint8_t> focusStackCancel{0};
std::atomic<bool> liveViewOn{false};

unsigned bit(uint16_t vendor) {
  switch (vendor) {
    case CameraVendorFujifilm: return F;
    case CameraVendorCanon: return C;
    case CameraVendorSony: return S;
    case CameraVendorNikon: return N;
    default: return 0;
  }
}

// The vendor code read once, and the module when the operation reaches that vendor.
struct Route {
  uint16_t vendor = camGetVendor();
  std::shared_ptr<VendorModule> module;
  explicit Route(unsigned reaches) {
    if (bit(vendor) & reaches) module = camVendorModule(vendor);
  }
  explicit operator bool() const { return module != nullptr; }
  VendorModule* operator->() const { return module.get(); }
};

bool oneOf(uint32_t v, std::initializer_list<uint32_t> set) {
  return std::find(set.begin(), set.end(), v) != set.end();
}

// u32 length + kind 10 + the container built by build(at, room); 0 when it does not fit.
template <class Build>
size_t framed(uint8_t* buffer, size_t capacity, Build build) {
  if (!buffer || capacity <= kLinkHeaderBytes) return 0;
  const size_t n = build(buffer + kLinkHeaderBytes, capacity - kLinkHeaderBytes);
  if (n == 0) return 0;
  bytesPutU32(buffer, static_cast<uint32_t>(n + kLinkHeaderBytes));
  buffer[4] = kLinkKindPtp;
  return n + kLinkHeaderBytes;
}

size_t framedCommand(uint8_t* buffer, size_t capacity, uint16_t op, std::initializer_list<uint32_t> params) {
  std::vector<uint32_t> p(params);
  return framed(buffer, capacity, [&](uint8_t* at, size_t room) {
    return ptpBuildContainer(op, p.empty() ? nullptr : p.data(), static_cast<uint32_t>(p.size()), nullptr, 0, at, room);
  });
}

PtpResponseCode takeHandles(const ByteBuffer& reply, std::vector<uint32_t>& handles) {
  ByteReader r(reply.data(), reply.size());
  auto n = r.u32(0);
  if (!n) return ERROR_BAD_REPLY;
  // A list shorter than its count lost handles on the way: refuse it rather than hand
  // out part of it as if it were whole.
  if (*n > (reply.size() - 4) / 4) return ERROR_BAD_REPLY;
  const uint32_t count = std::min<uint64_t>(*n, kCamMaxObjectHandles);
  handles.reserve(count);
  for (uint32_t i = 0; i < count; ++i) handles.push_back(*r.u32(4 + 4 * size_t(i)));
  return PTP_RC_OK;
}
}  // namespace

// --- Capabilities answered here --------------------------------------------------------

bool camHasLiveViewHistogram() {
  const uint16_t vendor = camGetVendor();
  const uint8_t model = camModelIndex();
  if (vendor == CameraVendorNikon) return !oneOf(model, {192, 193, 201, 203, 204, 207, 208, 213});
  if (vendor == CameraVendorCanon) return ptpOperationListed(PTP_OC_CANON_Histogram) && model != 235;
  return false;
}

bool camIsManualExposure(uint32_t program) {
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorCanon) return program == 3;
  if (vendor == CameraVendorNikon && program >= 0x8050 && program <= 0x8052) return propCurrentValue(0xD0FC) == 22u;
  return program == 1;
}

bool camIsApertureSettable(uint32_t program) {
  switch (camGetVendor()) {
    case CameraVendorCanon: return oneOf(program, {2, 3, 4});
    case CameraVendorSony:
    case CameraVendorNikon: return oneOf(program, {1, 3});
    case CameraVendorFujifilm: return oneOf(program, {1, 3}) && camVendorModule(CameraVendorFujifilm)->isHostMode();
    default: return false;
  }
}

bool camIsShutterSettable(uint32_t program) {
  switch (camGetVendor()) {
    case CameraVendorCanon: return oneOf(program, {1, 3});
    case CameraVendorSony:
    case CameraVendorNikon: return oneOf(program, {1, 4});
    case CameraVendorFujifilm: return oneOf(program, {1, 4}) && camVendorModule(CameraVendorFujifilm)->isHostMode();
    default: return false;
  }
}

bool camIsExposureBiasSettable(uint32_t program) {
  switch (camGetVendor()) {
    case CameraVendorCanon: return oneOf(program, {1, 2, 3});
    case CameraVendorNikon: return oneOf(program, {1, 3, 4});
    case CameraVendorFujifilm:
      return camVendorModule(CameraVendorFujifilm)->isHostMode() && !camIsManualExposure(program);
    default: return false;
  }
}


std::atomic<bool>& camLiveViewFlag() { return liveViewOn; }
// --- Set-up and session ------------------------------------------------------------------

bool camIdentifyModel() {
  const uint16_t vendor = camGetVendor();
  const std::string model = ptpGetModelName().value_or("");
  uint8_t index = 0;
  if (bit(vendor)) {
    if (!camVendorModule(vendor)->identifyModel(model, index)) return false;
    camSetModelIndex(index);
    return true;
  }
  if (vendor != CameraVendorUnknown) return false;
  for (uint16_t v : {CameraVendorCanon, CameraVendorNikon, CameraVendorSony, CameraVendorFujifilm}) {
    if (camVendorModule(v)->identifyModel(model, index)) {
      camSetModelIndex(index);
      return true;
    }
  }
  return false;
}

PtpResponseCode camKeepAlive() {
  if (Route r{FCSN}) return r->keepAlive();
  uint32_t all = 0xFFFFFFFF;
  return ptpTransaction(PTP_OC_GetNumObjects, &all, 1, nullptr, 0, nullptr, nullptr, true);
}

PtpResponseCode camSetHostMode(int on, int refresh) {
  if (Route r{F | N}) return r->setHostMode(on, refresh);
  return ERROR_CAMERA_NOT_SUPPORTED;
}

void camResetCameraState() {
  storedZoom = 0;
  focusStackCancel = 0;
  liveViewOn = false;
  camSetCaptureInProgress(false);
  camResetBracketingCache();
}

// --- Live view -------------------------------------------------------------------------

PtpResponseCode camSetLiveView(int on) {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  PtpResponseCode rc = r->setLiveView(on);
  if (rc == PTP_RC_OK) liveViewOn = on != 0;
  return rc;
}

bool camIsLiveViewAvailable() {
  switch (camGetVendor()) {
    case CameraVendorCanon: return camVendorModule(CameraVendorCanon)->isLiveViewAvailable();
    case CameraVendorFujifilm:
    case CameraVendorNikon: return true;
    case CameraVendorSony: return camModelIndex() == 176 || propExists(0xD22C);
    default: return false;
  }
}

PtpResponseCode camGetLiveViewFrame(ByteBuffer& out) {
  out.clear();
  if (Route r{C | S | N}) return r->getLiveViewFrame(out);
  return ERROR_CAMERA_NOT_SUPPORTED;
}

bool camParseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame) {
  frame.clear();
  if (Route r{C | N}) return r->parseLiveViewFrame(reply, n, frame);
  return false;
}

uint8_t camGetLiveViewOrientation() {
  if (Route r{C | S | N}) return r->getLiveViewOrientation();
  return 1;
}

bool camCanZoomLiveView() {
  if (Route r{C | S | N}) return r->canZoomLiveView();
  return camGetVendor() == CameraVendorFujifilm;
}

uint8_t camGetLiveViewZoom() {
  if (Route r{F | S}) return r->getLiveViewZoom();
  return static_cast<uint8_t>(storedZoom.load());
}

PtpResponseCode camSetLiveViewZoom(uint32_t percent) {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  PtpResponseCode rc = r->setLiveViewZoom(percent);
  if (rc == PTP_RC_OK) storedZoom = percent;
  return rc;
}

bool camIsLiveViewZoomEnabled() {
  if (Route r{S}) return r->isLiveViewZoomEnabled();
  const uint8_t model = camModelIndex();
  return camGetVendor() == CameraVendorCanon && model >= 231 && model <= 233;
}

// --- Focus -----------------------------------------------------------------------------

PtpResponseCode camHalfPress() {
  if (Route r{F | C | S}) return r->halfPress();
  return PTP_ERROR_UNSUPPORTED_COMMAND;
}

PtpResponseCode camHalfRelease() {
  if (Route r{F | C | S}) return r->halfRelease();
  return PTP_ERROR_UNSUPPORTED_COMMAND;
}

bool camIsInFocus() {
  if (Route r{F | S}) return r->isInFocus();
  return false;
}

PtpResponseCode camStartAutoFocus() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  PtpResponseCode rc = r->startAutoFocus();
  if (rc == PTP_RC_OK && (r.vendor == CameraVendorCanon || r.vendor == CameraVendorNikon)) camSetManualFocus(1, true);
  return rc;
}

PtpResponseCode camStopAutoFocus() {
  if (Route r{F | C | S}) return r->stopAutoFocus();
  return camGetVendor() == CameraVendorNikon ? PTP_RC_OK : ERROR_CAMERA_NOT_SUPPORTED;
}

bool camIsAutoFocusMode() {
  Route r{F | S | N};
  if (r) return r->isAutoFocusMode();
  if (r.vendor != CameraVendorCanon) return false;
  if (liveViewOn && !camVendorModule(CameraVendorCanon)->isLiveViewAvailable()) return false;
  auto mode = propCurrentValue(propVendorCodeMap().focusMode);
  return mode && *mode != 3;
}

bool camCanAutoFocus() {
  Route r{F | S | N};
  if (r) return r->canAutoFocus();
  if (r.vendor != CameraVendorCanon) return false;
  auto mode = propCurrentValue(propVendorCodeMap().focusMode);
  return (!mode || *mode != 3) && ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn);
}

bool camIsManualFocus() {
  if (Route r{F | S}) return r->isManualFocus();
  return camGetAfState() != 0;
}

PtpResponseCode camSetManualFocus(int manual, bool post) {
  if (manual == 0 || manual == 1) {
    if (Route r{F | S | N}) {
      PtpResponseCode rc = r->setManualFocus(manual);
      if (rc != PTP_RC_OK) return rc;
    }
  }
  camSetAfState(static_cast<uint32_t>(manual));
  if (post) {
    const uint32_t code = propVendorCodeMap().focusMode;
    evtQueuePropertyChanged(code ? propFind(code, false) : nullptr, true);
  }
  return PTP_RC_OK;
}

PtpResponseCode camDriveFocus(int step) {
  if (Route r{FCSN}) return r->driveFocus(step);
  return ERROR_CAMERA_NOT_SUPPORTED;
}

int camFocusStack(int count, int step, uint32_t delayMs, CamFocusProgressFn progress) {
  Route r{FCSN};
  if (!r) return -1;
  camClearBracketing();
  focusStackCancel = 0;
  switch (r.vendor) {
    case CameraVendorFujifilm: return r->focusStack(count, 0, -step, delayMs, progress);
    case CameraVendorCanon: return r->focusStack(count, 0, step < 1 ? -step : step + 0x8000, delayMs, progress);
    case CameraVendorSony: {
      int mapped = step;
      if (step >= -3 && step <= -1) mapped = step - 2;
      else if (step >= 1 && step <= 3) mapped = step + 2;
      return r->focusStack(count, 0, mapped, delayMs, progress);
    }
    default: return r->focusStack(count, 2, step * step * 32, delayMs, progress);
  }
}

int camFocusStackSimple(int count, int step) { return camFocusStack(count, step, 0, nullptr); }

void camCancelFocusStack() {
  Route r{C | N};
  if (r) r->cancelFocusStack();
  else if (r.vendor == CameraVendorFujifilm || r.vendor == CameraVendorSony) focusStackCancel = 1;
}

bool camFocusStackCancelled() { return focusStackCancel != 0; }

// --- Capture ---------------------------------------------------------------------------

PtpResponseCode camShutterDown() {
  if (Route r{FCSN}) return r->shutterDown();
  uint32_t params[2] = {0, 0};
  return ptpTransaction(PTP_OC_InitiateCapture, params, 2, nullptr, 0, nullptr, nullptr, true);
}

PtpResponseCode camShutterUp() {
  if (Route r{F | C | S}) return r->shutterUp();
  return PTP_RC_OK;
}

PtpResponseCode camTakePicture() {
  Route r{S | N};
  if (r && r.vendor == CameraVendorSony) return r->takePicture();
  if (r) {
    PtpResponseCode rc = r->takePicture();
    // A busy Nikon gets a bounded number of readiness checks.
    for (int pass = 0; rc == PTP_RC_DeviceBusy && pass < kNikonBusyPasses; ++pass) {
      libSleep(kCamPressPause);
      rc = ptpTransaction(PTP_OC_NIKON_DeviceReady, nullptr, 0, nullptr, 0, nullptr, nullptr, true);
    }
    return rc == PTP_RC_DeviceBusy ? ERROR_DEVICE_NOT_READY : rc;
  }
  PtpResponseCode rc = camShutterDown();
  if (rc != PTP_RC_OK) return rc;
  return camShutterUp();
}

PtpResponseCode camTakePictureNoAf() {
  if (Route r{C}) return r->takePictureNoAf();
  return camTakePicture();
}

PtpResponseCode camCaptureAndWait() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  if (r.vendor != CameraVendorCanon) return r->captureAndWait();
  if (camTakePicture() != PTP_RC_OK) return ERROR_DEVICE_NOT_READY;
  if (camIsMirrorUp()) {  // the first press lifts the mirror, the second exposes
    libSleep(kCamPressPause);
    if (camTakePicture() != PTP_RC_OK) return ERROR_DEVICE_NOT_READY;
  }
  return r->captureAndWait();
}

PtpResponseCode camBulbStart() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  return r.vendor == CameraVendorSony ? r->shutterDown() : r->bulbStart();
}

PtpResponseCode camBulbEnd() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  return r.vendor == CameraVendorSony ? r->shutterUp() : r->bulbEnd();
}

bool camIsBulbSupported() {
  Route r{S | N};
  if (r) return r->isBulbSupported();
  if (r.vendor == CameraVendorFujifilm) return camModelIndex() != 16;
  return r.vendor == CameraVendorCanon;
}

bool camIsBulbSelected() {
  if (Route r{FCSN}) return r->isBulbSelected();
  return false;
}

bool camIsBulbActive() {
  Route r{FCSN};
  if (!r) return false;
  if (r.vendor == CameraVendorSony || r.vendor == CameraVendorNikon) return r->isBulbSupported() && r->isBulbSelected();
  return r->isBulbSelected();
}

bool camIsMirrorUp() {
  if (Route r{C | N}) return r->isMirrorUp();
  return false;
}

bool camHasMirrorUpSetting() {
  if (Route r{C | N}) return r->hasMirrorUpSetting();
  return false;
}

size_t camBuildCaptureCommand(uint8_t* buffer, size_t capacity) {
  if (!buffer || capacity == 0) return 0;
  Route r{C | S | N};
  if (!r) return 0;
  if (r.vendor == CameraVendorSony) return std::min(r->buildCaptureCommand(buffer, capacity), capacity);
  if (r.vendor == CameraVendorNikon) {
    return framed(buffer, capacity, [&](uint8_t* at, size_t room) {
      const size_t n = r->buildCaptureCommand(at, room);
      return n <= room ? n : 0;
    });
  }
  const uint32_t af = camGetAfState();
  if (ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn) && (af == 1 || r->releasesInOneStep())) {
    const size_t first = framedCommand(buffer, capacity, PTP_OC_CANON_RemoteReleaseOn, {3, af});
    if (first == 0) return 0;
    const size_t second = framedCommand(buffer + first, capacity - first, PTP_OC_CANON_RemoteReleaseOff, {3});
    return second == 0 ? 0 : first + second;
  }
  return framedCommand(buffer, capacity, PTP_OC_CANON_RemoteRelease, {});
}

// --- Bracketing ------------------------------------------------------------------------

PtpResponseCode camSetBracketing(uint32_t value) {
  Route r{C | N};
  if (!r) return 0;
  if (r.vendor == CameraVendorCanon) return camSetPropertyValue(0xD1D9, value, true);
  return r->setBracketing(value);
}

bool camGetBracketingShots(uint8_t& below, uint8_t& above) {
  Route r{C | N};
  if (!r) return false;
  if (r.vendor == CameraVendorNikon) return r->getBracketingShots(below, above);
  const int n = r->bracketingCount();
  if (n == 2) {
    below = 0;
    above = 1;
  } else {
    below = above = static_cast<uint8_t>((n - 1) / 2);
  }
  return true;
}

void camClearBracketing() {
  if (Route r{C | S | N}) r->clearBracketing();
}

// --- Movies ----------------------------------------------------------------------------

bool camHasMovieMode() {
  if (Route r{FCSN}) return r->hasMovieMode();
  return false;
}

bool camCanRecordMovie() {
  if (Route r{S}) return r->canRecordMovie();
  return true;
}

PtpResponseCode camEnterMovieMode() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  return r.vendor == CameraVendorSony ? r->setLiveView(1) : r->enterMovieMode();
}

PtpResponseCode camExitMovieMode() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  return r.vendor == CameraVendorSony ? r->setLiveView(0) : r->exitMovieMode();
}

PtpResponseCode camStartMovieRecording() {
  if (Route r{FCSN}) return r->startMovieRecording();
  return ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camStopMovieRecording() {
  if (Route r{FCSN}) return r->stopMovieRecording();
  return ERROR_CAMERA_NOT_SUPPORTED;
}

// --- Objects ---------------------------------------------------------------------------

PtpResponseCode camGetNewObjectHandles(std::vector<uint32_t>& handles) {
  handles.clear();
  Route r{F | S};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  PtpResponseCode rc = r->getNewObjectHandles(handles);
  if (handles.size() > kCamMaxObjectHandles) handles.resize(kCamMaxObjectHandles);
  return rc;
}

PtpResponseCode camGetObjectHandles(uint32_t storage, uint32_t format, uint32_t association,
                                    std::vector<uint32_t>& handles) {
  handles.clear();
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorSony) return 0;
  uint32_t params[3] = {storage, format, association};
  ByteBuffer reply;
  PtpResponseCode rc = ptpTransaction(PTP_OC_GetObjectHandles, params, 3, nullptr, 0, &reply, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  rc = takeHandles(reply, handles);
  if (rc != PTP_RC_OK) return rc;
  if (vendor == CameraVendorCanon && !ptpOperationListed(PTP_OC_CANON_RemoteReleaseOn))
    camVendorModule(CameraVendorCanon)->setRemoteMode(1);
  return PTP_RC_OK;
}

PtpResponseCode camGetAllObjectHandles(std::vector<uint32_t>& handles) {
  handles.clear();
  if (camGetVendor() == CameraVendorCanon && ptpOperationListed(PTP_OC_CANON_ListObjects)) {
    ByteBuffer records;
    PtpResponseCode rc = camVendorModule(CameraVendorCanon)->listObjectInfos(records);
    if (rc != PTP_RC_OK) return rc;
    const size_t count = std::min<size_t>(records.size() / kCanonObjectRecordBytes, kCamMaxObjectHandles);
    handles.reserve(count);
    for (size_t i = 0; i < count; ++i) handles.push_back(bytesGetU32(records.data() + i * kCanonObjectRecordBytes));
    return PTP_RC_OK;
  }
  return camGetObjectHandles(0xFFFFFFFF, 0, 0, handles);
}

// --- Exposure --------------------------------------------------------------------------

int camGetEvStepsPerStop() {
  if (Route r{F | C | N}) return r->getEvStepsPerStop();
  return 0;
}

uint32_t camShutterSpeedToMs(uint32_t value) {
  if (Route r{C | S | N}) return r->shutterSpeedToMs(value);
  return 0;
}

bool camQualityIncludesRaw() {
  Route r{F | N};
  if (r) return r->qualityIncludesRaw();
  if (r.vendor == CameraVendorCanon) {
    auto v = propCurrentValue(0xD120);
    return v && *v >= 0x20000000 && *v <= 0x2FFFFFFF;
  }
  if (r.vendor == CameraVendorSony) {
    const uint32_t slot = propVendorCodeMap().imageQuality;
    auto v = propCurrentValue(slot);
    if (!v) return false;
    // The record holds the packed quality (size and compression above the low byte).
    if (slot == 0xD253) return (*v & 0xFF) == 2;
    if (slot == 0x5004) return oneOf(*v & 0xFF, {18, 19, 20});
  }
  return false;
}

bool camQualityIncludesJpeg(uint32_t value) {
  if (Route r{C | S | N}) return r->qualityIncludesJpeg(value);
  return false;
}

float camExposureDifferenceEv(uint32_t a, uint32_t b, uint32_t isoA, uint32_t isoB) {
  double from = isoA, to = isoB;
  if (camGetVendor() == CameraVendorCanon) {
    auto canon = camVendorModule(CameraVendorCanon);
    from = canon->isoCodeToValue(isoA);
    to = canon->isoCodeToValue(isoB);
  }
  // A zero on either side has no logarithm: no difference rather than an infinity.
  if (a == 0 || b == 0 || !(from > 0) || !(to > 0)) return 0.0f;
  return static_cast<float>(std::log2(double(b) / a) + std::log2(to / from));
}

// --- Events ----------------------------------------------------------------------------

PtpResponseCode camCheckEvents(std::vector<uint8_t>& events) {
  events.clear();
  if (Route r{F | S}) return r->checkEvents(events);
  return ERROR_CAMERA_NOT_SUPPORTED;
}

PtpResponseCode camRefreshAllProperties() {
  Route r{FCSN};
  if (!r) return ERROR_CAMERA_NOT_SUPPORTED;
  if (r.vendor != CameraVendorSony) return r->refreshAllProperties();
  std::vector<uint8_t> events;
  const PtpResponseCode rc = r->checkEvents(events);
  if (rc == PTP_RC_OK && !events.empty()) camParseEvents(events);
  return rc;
}

PtpResponseCode camReservedOperation() {
  if (Route r{C | N}) return r->reservedOperation();
  return ERROR_CAMERA_NOT_SUPPORTED;
}
