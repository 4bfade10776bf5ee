#include "ptp/vendors/sony/sony_capture.h"

#include <chrono>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_state.h"
#include "ptp/vendors/sony/sony_values.h"

using namespace std::chrono_literals;

namespace {

constexpr uint32_t kDriveMode = 0x5013;
constexpr uint32_t kSingleShot = 1;

std::chrono::milliseconds seconds(double s) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(s));
}

}  // namespace

PtpResponseCode sonyTakePicture() {
  PtpResponseCode rc = sonyShutterDown();
  if (rc != PTP_RC_OK) return rc;
  if (!sonyIsManualFocus()) sonyWaitPropertyValue(0xD213, 2);
  const uint32_t driveMode = propCurrentValue(kDriveMode).value_or(0);
  if (const int shots = sonyBracketingShots(driveMode)) {
    const double micros = shots + shots * sonyExposureSeconds() * 1e6 + 250000.0;
    libSleep(seconds(micros / 1e6));
  }
  const uint8_t model = camModelIndex();
  libSleep(model == 189 || model == 176 ? 250ms : 100ms);
  return sonyShutterUp();
}

PtpResponseCode sonyClearBracketing() {
  const auto drive = propCurrentValue(kDriveMode);
  if (!drive) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (sonyBracketingShots(*drive) == 0) return PTP_RC_OK;
  return camSetPropertyValue(kDriveMode, kSingleShot, true);
}

PtpResponseCode sonyCaptureAndWait() {
  const PtpResponseCode rc = sonyTakePicture();
  if (rc != PTP_RC_OK) return rc;
  // A failed poll leaves the last known shutter speed in the table; that one is waited.
  evtPoll(true, false);
  const double exposure = sonyExposureSeconds() * (sonyLongExposure() ? 2 : 1);
  libSleep(seconds(exposure));
  libSleep(500ms);
  sonyWaitPropertyValue(0xD215, 0);
  libSleep(1750ms);
  return PTP_RC_OK;
}

PtpResponseCode sonyFocusStack(int count, int step, uint32_t delayMs, std::function<bool(int, int)> progress) {
  if (!sonyIsManualFocus()) return ERROR_GENERAL;
  if (count < 1) return PTP_RC_OK;
  PtpResponseCode rc = sonyCaptureAndWait();
  if (rc != PTP_RC_OK) return rc;
  for (int i = 1;; ++i) {
    if (progress && !progress(i, count)) return ERROR_CANCELLED;
    if (i >= count) return PTP_RC_OK;
    if (camFocusStackCancelled()) return ERROR_CANCELLED;
    libSleep(1000ms + std::chrono::milliseconds(delayMs));
    rc = sonyDriveFocus(step);
    if (rc != PTP_RC_OK) return rc;
    if (camFocusStackCancelled()) return ERROR_CANCELLED;
    libSleep(1000ms);
    rc = sonyCaptureAndWait();
    if (rc != PTP_RC_OK) return rc;
  }
}

size_t sonyFilterEventContainer(const uint8_t* container, size_t length) {
  const ByteReader r(container, length);
  const auto size = r.u32(0);
  const auto type = r.u16(4), code = r.u16(6);
  if (!size || !type || !code || *type != 4 || *code != 0xC201 || *size < 20 || *size > length) return 0;
  PtpObjectInfoStruct record{};
  record.objectId = r.u32(12).value_or(0xFFFFFFFF);
  evtQueueObjectAdded(record, true);
  return *size;
}
