#include "ptp/camera/ptp_objects.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_queue.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"

namespace {
constexpr uint8_t kSonyModelWithoutPartial = 161;
constexpr std::chrono::milliseconds kCanonBusyPause{500};
constexpr int kCanon911CTries = 20;

PtpResponseCode run(uint16_t op, const uint32_t* params, uint32_t count, ByteBuffer* dataIn = nullptr) {
  return ptpTransaction(op, params, count, nullptr, 0, dataIn, nullptr, true);
}

PtpResponseCode writeFile(const std::string& path, const ByteBuffer& data) {
  if (path.empty()) return ERROR_GENERAL;
  // Written under a temporary name, so an interrupted write never looks complete.
  std::string temp = path + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "w+");
  if (!f) return ERROR_GENERAL;
  bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return ERROR_GENERAL;
  }
  return PTP_RC_OK;
}
}  // namespace

PtpResponseCode ptpDeleteObject(uint32_t handle, uint16_t format) {
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorSony) return ERROR_CAMERA_NOT_SUPPORTED;
  uint32_t params[2] = {handle, format};
  PtpResponseCode rc = run(PTP_OC_DeleteObject, params, vendor == CameraVendorFujifilm ? 1 : 2);
  if (rc == PTP_RC_OK && vendor == CameraVendorNikon) evtQueueObjectRemoved(handle, true);
  return rc;
}

PtpResponseCode ptpGetObject(uint32_t handle, ByteBuffer& data) {
  data.clear();
  return run(PTP_OC_GetObject, &handle, 1, &data);
}

PtpResponseCode ptpGetObjectToFile(const std::string& path, uint32_t handle) {
  ByteBuffer data;
  PtpResponseCode rc = ptpGetObject(handle, data);
  if (rc != PTP_RC_OK) return rc;
  return writeFile(path, data);
}

PtpResponseCode ptpGetThumb(uint32_t handle, ByteBuffer& data, uint32_t /*flag*/, uint8_t* orientation) {
  data.clear();
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorSony) return ERROR_CAMERA_NOT_SUPPORTED;
  if (vendor == CameraVendorCanon) return camSessionHooks().canonGetThumb(handle, data, orientation);
  return run(PTP_OC_GetThumb, &handle, 1, &data);
}

PtpResponseCode ptpGetThumbToFile(const std::string& path, uint32_t handle) {
  ByteBuffer data;
  PtpResponseCode rc = ptpGetThumb(handle, data, 0);
  if (rc != PTP_RC_OK) return rc;
  return writeFile(path, data);
}

PtpResponseCode ptpGetThumbToBuffer(uint32_t handle, uint8_t* buffer, uint32_t capacity, uint32_t& length) {
  length = 0;
  ByteBuffer data;
  PtpResponseCode rc = ptpGetThumb(handle, data, 0);
  if (rc != PTP_RC_OK) return rc;
  if (data.size() > capacity || (!buffer && !data.empty())) return ERROR_NO_MEMORY;
  if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
  length = static_cast<uint32_t>(data.size());
  return PTP_RC_OK;
}

bool ptpCanGetPartialObject() {
  if (camGetVendor() == CameraVendorSony && camModelIndex() == kSonyModelWithoutPartial) return false;
  return ptpOperationListed(PTP_OC_GetPartialObject);
}

PtpResponseCode ptpGetPartialObject(uint32_t handle, uint32_t offset, uint32_t maxBytes, ByteBuffer& data) {
  data.clear();
  uint32_t params[4] = {handle, offset, maxBytes, 0};
  switch (camGetVendor()) {
    case CameraVendorFujifilm:
    case CameraVendorSony:
    case CameraVendorNikon:
      return run(PTP_OC_GetPartialObject, params, 3, &data);
    case CameraVendorCanon:
      if (ptpOperationListed(PTP_OC_CANON_GetPartialObjectEx))
        return run(PTP_OC_CANON_GetPartialObjectEx, params, 4, &data);
      if (ptpOperationListed(PTP_OC_CANON_GetPartialObject))
        return run(PTP_OC_CANON_GetPartialObject, params, 4, &data);
      return run(PTP_OC_GetPartialObject, params, 3, &data);
    default:
      return ERROR_CAMERA_NOT_SUPPORTED;
  }
}

namespace {
bool canonLists(uint16_t op) { return camGetVendor() == CameraVendorCanon && ptpOperationListed(op); }
}  // namespace

PtpResponseCode ptpCanonOp9117(uint32_t handle) {
  if (!canonLists(PTP_OC_CANON_9117)) return PTP_RC_OK;
  return run(PTP_OC_CANON_9117, &handle, 1);
}

PtpResponseCode ptpCanonOp9132() {
  if (!canonLists(PTP_OC_CANON_9132) || ptpOperationListed(PTP_OC_CANON_GetPartialObjectEx)) return PTP_RC_OK;
  return run(PTP_OC_CANON_9132, nullptr, 0);
}

PtpResponseCode ptpCanonOp911B(double seconds) {
  if (!canonLists(PTP_OC_CANON_SetUILock)) return PTP_RC_OK;
  long retries = seconds < 0 ? kCanon911BMaxResends : std::min(static_cast<long>(2 * seconds), kCanon911BMaxResends);
  PtpResponseCode rc = run(PTP_OC_CANON_SetUILock, nullptr, 0);
  for (long i = 0; rc == PTP_RC_DeviceBusy && i < retries; ++i) {
    libSleep(kCanonBusyPause);
    rc = run(PTP_OC_CANON_SetUILock, nullptr, 0);
  }
  return rc;
}

PtpResponseCode ptpCanonOp911C() {
  if (!canonLists(PTP_OC_CANON_ResetUILock)) return PTP_RC_OK;
  for (int i = 0; i < kCanon911CTries; ++i) {
    if (run(PTP_OC_CANON_ResetUILock, nullptr, 0) != PTP_RC_DeviceBusy) break;
    if (i > 0 && i % 2 == 0) ptpCanonOp911B(0);
    libSleep(kCanonBusyPause);
  }
  return PTP_RC_OK;
}
