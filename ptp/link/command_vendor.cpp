#include "ptp/link/command_vendor.h"

#include <mutex>

#include "ptp/base/ptp_codes.h"
#include "ptp/link/link.h"
#include "ptp/protocol/ptp_transport.h"

namespace {

PtpResponseCode transportGetObject(uint32_t handle, ByteBuffer* out) {
  ByteBuffer data;
  linkLockRequests(1);
  PtpResponseCode rc = ptpSendCommandNoData(PTP_OC_GetObject, &handle, 1, nullptr);
  if (rc == PTP_RC_OK) rc = ptpReadDataAndResponse(data, nullptr, nullptr);
  linkLockRequests(0);
  if (out) out->swap(data);
  return rc;
}

CommandVendorHooks defaults() {
  CommandVendorHooks h;
  h.getObject = transportGetObject;
  return h;
}

std::mutex& hooksMutex() {
  static std::mutex m;
  return m;
}
CommandVendorHooks& installed() {
  static CommandVendorHooks* h = new CommandVendorHooks(defaults());
  return *h;
}
}  // namespace

CommandVendorHooks devVendorHooks() {
  std::lock_guard lock(hooksMutex());
  return installed();
}

void devSetVendorHooks(CommandVendorHooks hooks) {
  if (!hooks.getObject) hooks.getObject = transportGetObject;
  std::lock_guard lock(hooksMutex());
  installed() = std::move(hooks);
}

void devResetVendorHooks() { devSetVendorHooks(defaults()); }
