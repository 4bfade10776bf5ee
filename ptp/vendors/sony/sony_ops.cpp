#include "ptp/vendors/sony/sony_ops.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/base/timing.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/sony/sony_focus_ops.h"
#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_props.h"
#include "ptp/vendors/sony/sony_state.h"
#include "ptp/vendors/sony/sony_values.h"

using namespace std::chrono_literals;

namespace {

// One dialled set at a time. A flag under a condition variable rather than a timed
// mutex, so the bounded wait needs no timed lock.
class SetLock {
 public:
  bool lockFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!freed_.wait_for(lock, timeout, [this] { return !held_; })) return false;
    held_ = true;
    return true;
  }
  void lock() {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [this] { return !held_; });
    held_ = true;
  }
  void unlock() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    freed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable freed_;
  bool held_ = false;
};

SetLock gSetLock;
std::atomic<int> gSetWaiters{0};

bool matches(uint32_t code, uint32_t a, uint32_t b) {
  if (code == kSonyImageFormatNew || code == PTP_DPC_CompressionSetting) return (a & 0xFF) == (b & 0xFF);
  return a == b;
}

PtpResponseCode button(uint32_t code, uint32_t value) { return sonySetControlDevice(code, value, 2); }

std::optional<int> positionOf(const PropertyData& p, uint32_t value) {
  for (size_t i = 0; i < p.values.size(); ++i)
    if (p.values[i].value == value) return static_cast<int>(i);
  return std::nullopt;
}

bool isDialled(uint32_t code) { return code == 0x5007 || code == 0xD21E || code == 0xD20D; }

}  // namespace

PtpResponseCode sonyGetDevicePropValue(uint32_t code, ByteBuffer& data) {
  return ptpTransaction(kSonyGetDevicePropValue, &code, 1, nullptr, 0, &data, nullptr, true);
}

PtpResponseCode sonyReadAllProperties(int queueEvents) {
  ByteBuffer reply;
  const PtpResponseCode rc = ptpTransaction(kSonyGetAllDevicePropData, nullptr, 0, nullptr, 0, &reply, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  sonyParseReply(std::span<const uint8_t>(reply.data(), reply.size()), queueEvents != 0);
  // Direct-set bodies take the focus point even when they do not report it.
  if (sonyIsDirectSetModel() && !propExists(0xD2DC)) {
    if (PropertyStruct* r = propAdd(0xD2DC, true, true)) {
      r->datatype = PTP_DTC_UINT32;
      propUnlock(r);
    }
  }
  return PTP_RC_OK;
}

PtpResponseCode sonyRefreshPropertyValue(uint32_t code) {
  ByteBuffer reply;
  const PtpResponseCode rc = ptpTransaction(kSonyGetAllDevicePropData, nullptr, 0, nullptr, 0, &reply, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  std::lock_guard lock(sonyRefreshLock());
  return sonyParseProperty(code, std::span<const uint8_t>(reply.data(), reply.size()), false);
}

void sonyBuildDialLists() {
  const uint8_t model = camModelIndex();
  const uint32_t mode = propCurrentValue(0x500E).value_or(0);
  sonySetValueList(0xD20D, sonyShutterSpeedList(model, mode));
  sonySetValueList(0xD21E, sonyIsoList(model, mode));
  sonySetValueList(0x5007, sonyApertureList());
}

PtpResponseCode sonyInitCamera() {
  propClearTable();
  sonyResetModuleState();
  const PtpResponseCode rc = sonyReadAllProperties(0);
  if (rc != PTP_RC_OK) return rc;
  if (!sonyIsDirectSetModel()) sonyBuildDialLists();
  return PTP_RC_OK;
}

PtpResponseCode sonySetControlDevice(uint32_t code, uint32_t value, uint32_t size) {
  if (size != 2 && size != 4) return ERROR_INVALID_INPUT;
  uint8_t data[4];
  bytesPutU32(data, value);
  return ptpTransaction(PTP_OC_SONY_SetControlDeviceB, &code, 1, data, size, nullptr, nullptr, true);
}

PtpResponseCode sonySetControlDeviceA(uint32_t code, uint32_t value) {
  uint8_t data[4];
  bytesPutU32(data, value);
  return ptpTransaction(kSonySetControlDeviceA, &code, 1, data, sizeof data, nullptr, nullptr, true);
}

bool sonyWaitPropertyValue(uint32_t code, uint32_t value) {
  int reads = 6;
  if (code == 0xD20D || code == 0xD21E) reads = 3;
  if (code == 0xD213) reads = 8;
  if (code == 0xD215) reads = 200;
  for (int i = 0; i < reads; ++i) {
    if (i > 0) libSleep(250ms);
    if (sonyRefreshPropertyValue(code) != PTP_RC_OK) return false;
    const auto now = propCurrentValue(code);
    if (now && matches(code, *now, value)) return true;
  }
  return false;
}

bool sonyWaitPropertyValuePolling(uint32_t code, uint32_t value, uint32_t ms) {
  const uint32_t reads = ms == 0 ? 999 : ms / 250;
  for (uint32_t i = 0; i < reads; ++i) {
    if (i > 0) libSleep(250ms);
    evtPoll(true, false);
    const auto now = propCurrentValue(code);
    if (now && matches(code, *now, value)) return true;
  }
  return false;
}

int sonySetWaiters() { return gSetWaiters.load(); }

void sonyWaitSetPropertyIdle() {
  ++gSetWaiters;
  gSetLock.lock();
  gSetLock.unlock();
  --gSetWaiters;
}

PtpResponseCode sonyDialToValue(uint32_t code, uint32_t target, int depth) {
  if (depth > 5) return PTP_ERROR_PROP_NOT_CONFIRMED;
  if (gSetWaiters > 1) return ERROR_CANCELLED;
  if (!isDialled(code)) return ERROR_INVALID_INPUT;

  sonyRefreshPropertyValue(code);
  const auto before = propCopy(code);
  if (!before) return ERROR_GENERAL;
  if (before->value == target) return PTP_RC_OK;
  const auto from = positionOf(*before, before->value), to = positionOf(*before, target);
  if (!from || !to) return ERROR_GENERAL;
  const int d = *to - *from;

  const uint8_t model = camModelIndex();
  if (code == 0xD20D && model != 161 && model != 163) {
    const PtpResponseCode rc = sonySetControlDevice(code, static_cast<uint32_t>(d), 4);
    if (rc != PTP_RC_OK) return rc;
    libSleep(std::chrono::milliseconds(50 * std::abs(d)));
  } else {
    for (int i = 0; i < std::abs(d); ++i) {
      if (i > 0) libSleep(250ms);
      // A newer set waiting takes over from this one.
      if (gSetWaiters > 1) return ERROR_CANCELLED;
      const PtpResponseCode rc = sonySetControlDevice(code, d > 0 ? 1u : 0xFFFFFFFFu, 4);
      if (rc != PTP_RC_OK) return rc;
    }
  }
  if (sonyWaitPropertyValue(code, target)) return PTP_RC_OK;
  const auto after = propCurrentValue(code);
  if (after && *after != before->value) return sonyDialToValue(code, target, depth + 1);
  libSleep(500ms);
  if (sonyWaitPropertyValue(code, target)) return PTP_RC_OK;
  return sonyDialToValue(code, target, depth + 1);
}

PtpResponseCode sonySetPropertyValue(uint32_t code, uint32_t value) {
  if (!sonyIsDirectSetModel() && isDialled(code)) {
    if (code == 0xD20D && value == 0 && !sonyIsBulbSupported()) return ERROR_BULB_MODE_INVALID;
    ++gSetWaiters;
    if (!gSetLock.lockFor(timing().setLockWait.load())) {
      --gSetWaiters;
      return ERROR_BUSY;
    }
    const PtpResponseCode rc = sonyDialToValue(code, value, 0);
    --gSetWaiters;
    gSetLock.unlock();
    return rc;
  }
  PtpResponseCode rc = sonySetControlDeviceA(code, value);
  // The ZV-1 sometimes drops an aperture set: it is sent once more when it does not arrive.
  if (rc == PTP_RC_OK && code == 0x5007 && camModelIndex() == 179 && !sonyWaitPropertyValue(code, value))
    rc = sonySetControlDeviceA(code, value);
  return rc;
}

PtpResponseCode sonyHalfPress() { return button(0xD2C1, 2); }
PtpResponseCode sonyHalfRelease() { return button(0xD2C1, 1); }

PtpResponseCode sonyShutterDown() {
  const PtpResponseCode rc = button(0xD2C1, 2);
  return rc == PTP_RC_OK ? button(0xD2C2, 2) : rc;
}

PtpResponseCode sonyShutterUp() {
  const PtpResponseCode rc = button(0xD2C1, 1);
  return rc == PTP_RC_OK ? button(0xD2C2, 1) : rc;
}

PtpResponseCode sonyStartMovieRecording() { return button(0xD2C8, 2); }
PtpResponseCode sonyStopMovieRecording() { return button(0xD2C8, 1); }
PtpResponseCode sonyDriveFocus(int step) { return button(0xD2D1, static_cast<uint32_t>(step)); }
PtpResponseCode sonyHalfPressLock(bool on) { return button(0xD2C3, on ? 2 : 1); }
PtpResponseCode sonyPixelShiftButton(bool on) { return button(0xD2D4, on ? 2 : 1); }

PtpResponseCode sonyZoomButtonValue(uint8_t value) {
  uint32_t code = 0xD2DD;
  return ptpTransaction(PTP_OC_SONY_SetControlDeviceB, &code, 1, &value, 1, nullptr, nullptr, true);
}

PtpResponseCode sonyStartAutoFocus() {
  if (sonyIsManualFocus()) {
    sonySetAfSwitched(true);
    sonySetManualFocus(false);
  }
  return button(0xD2C1, 2);
}

PtpResponseCode sonyStopAutoFocus() {
  const PtpResponseCode rc = button(0xD2C1, 1);
  if (sonyAfSwitched()) {
    sonySetAfSwitched(false);
    sonySetManualFocus(true);
  }
  return rc;
}

PtpResponseCode sonyGetNewObjectHandles(std::vector<uint32_t>& handles) {
  handles.clear();
  const PtpResponseCode rc = sonyRefreshPropertyValue(0xD215);
  if (rc != PTP_RC_OK) return rc;
  const auto pending = propCurrentValue(0xD215);
  if (!pending) return ERROR_GENERAL;
  if (*pending == 0) return PTP_RC_OK;
  if (*pending < 0x8000) return PTP_RC_DeviceBusy;
  // The count comes from the camera: bounded before anything is allocated.
  const uint32_t n = std::min<uint32_t>(*pending - 0x8000, kSonyMaxPendingObjects);
  handles.assign(n, kSonyNewObjectHandle);
  return PTP_RC_OK;
}

PtpResponseCode sonySetLiveView(int on) {
  if (!on) return PTP_RC_OK;
  uint32_t handle = kSonyLiveViewHandle;
  ByteBuffer info;
  return ptpTransaction(PTP_OC_GetObjectInfo, &handle, 1, nullptr, 0, &info, nullptr, true);
}

PtpResponseCode sonyGetLiveViewFrame(ByteBuffer& out) {
  uint32_t handle = kSonyLiveViewHandle;
  const PtpResponseCode rc = ptpTransaction(PTP_OC_GetObject, &handle, 1, nullptr, 0, &out, nullptr, true);
  if (rc == PTP_RC_OK && propExists(kSonyImageFormatNew) && out.size() > kSonyLiveViewHeaderBytes)
    sonySetLastLiveViewHeader(std::vector<uint8_t>(out.begin(), out.begin() + kSonyLiveViewHeaderBytes));
  return rc;
}

PtpResponseCode sonyCheckEvents() { return evtPoll(true, false); }
PtpResponseCode sonyKeepAlive() { return PTP_RC_OK; }
PtpResponseCode sonyBuildCaptureCommand() { return ERROR_GENERAL; }
