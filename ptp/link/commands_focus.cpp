// The SD-card format, the focus step map and drive, relay registrations and the event
// and property hooks of the command set.
#include <algorithm>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/timing.h"
#include "ptp/link/command_vendor.h"
#include "ptp/link/commands.h"
#include "ptp/link/commands_internal.h"
#include "ptp/link/pending_table.h"

using namespace devdetail;

PtpResponseCode devFormatSdCard() {
  // The device takes its time to format: a longer receive time-out for this one request,
  // back to the default on every path.
  struct Restore {
    ~Restore() { linkResetReceiveTimeout(); }
  } restore;
  linkSetReceiveTimeout(timing().formatReceiveTimeout.load());
  return linkCommand(DeviceOpcodeFormatSdCard, nullptr, 0);
}

uint16_t devFocusStepSize(uint16_t step) {
  if (step < 1 || step > 3) return step;
  auto hooks = devVendorHooks();
  const uint16_t* row = nullptr;
  static const uint16_t canon[3] = {1, 10, 25};
  static const uint16_t nikon[3] = {15, 75, 375};
  static const uint16_t nikonLensZero[3] = {37, 187, 937};
  static const uint16_t sony[3] = {2, 5, 7};
  static const uint16_t fujiGfx[3] = {20, 125, 500};
  static const uint16_t fuji[3] = {6, 50, 140};
  switch (camGetVendor()) {
    case CameraVendorCanon: row = canon; break;
    case CameraVendorNikon: row = hooks.nikonLensTypeZero() ? nikonLensZero : nikon; break;
    case CameraVendorSony: row = sony; break;
    case CameraVendorFujifilm: row = hooks.fujiIsGfxBody() ? fujiGfx : fuji; break;
    default: return step;
  }
  return row[step - 1];
}

namespace {
PtpResponseCode canonDrive(const CommandVendorHooks& hooks, int16_t stepSize, uint16_t count) {
  ByteBuffer message = hooks.canonFocusDriveMessage(stepSize, count);
  if (message.empty()) return ERROR_TOO_LARGE;
  ByteBuffer payload;
  PtpResponseCode rc = linkExchangeDirect(message.data(), message.size(), payload);
  if (rc != PTP_RC_OK) return rc;
  if (payload.empty()) return PTP_RC_OK;
  if (payload.size() != 2) return ERROR_BAD_REPLY;
  return bytesGetU16(payload.data());
}
}  // namespace

PtpResponseCode devDriveFocus(int16_t stepSize, int count) {
  auto hooks = devVendorHooks();
  switch (camGetVendor()) {
    case CameraVendorCanon: {
      int left = std::max(count, 0);
      while (left > 0) {
        int now = std::min(left, kDevCanonMaxDriveSteps);
        PtpResponseCode rc = canonDrive(hooks, stepSize, static_cast<uint16_t>(now));
        if (rc != PTP_RC_OK) return rc;
        left -= now;
      }
      if (count > 0) hooks.setManualFocus(1, 1);
      return PTP_RC_OK;
    }
    case CameraVendorNikon: {
      int16_t direction = stepSize < 0 ? 2 : stepSize;
      PtpResponseCode rc = hooks.nikonDriveFocus(direction, static_cast<uint16_t>(count));
      if (rc == PTP_RC_OK) hooks.setManualFocus(1, 1);
      return rc;
    }
    case CameraVendorSony:
      return hooks.sonyDriveFocus(static_cast<int16_t>(-(int32_t(stepSize) * count)));
    case CameraVendorFujifilm:
      return hooks.fujiDriveFocus(static_cast<int16_t>(int32_t(stepSize) * count));
    default:
      return ERROR_CAMERA_NOT_SUPPORTED;
  }
}

int devSetLiveViewRelay(int on) {
  auto hooks = devVendorHooks();
  uint16_t vendor = camGetVendor();
  if (vendor != CameraVendorCanon && vendor != CameraVendorNikon) return 0;
  return msgTableSetRelay(on ? 1 : 0, hooks.liveViewOpcode());
}

int devRegisterObjectInfoRelay(uint32_t key) {
  return msgTablePut(key, nullptr,
                     PendingRelayHeader{kObjectInfoBytes + 10, RelayModeRelayAndKeep, RelayCodeObjectInfo,
                                        static_cast<uint32_t>(kObjectInfoBytes)});
}

int devRegisterRelay(uint32_t key) { return msgTableSetRelay(1, key); }
int devUnregisterRelay(uint32_t key) { return msgTableRemove(key); }

PtpResponseCode devFetchEventsVendor(ByteBuffer& out, uint8_t blocking) {
  auto hooks = devVendorHooks();
  switch (camGetVendor()) {
    case CameraVendorCanon: return hooks.canonReadEvents(out, 1);
    case CameraVendorNikon: return hooks.nikonReadEvents(out, 1);
    default:
      (void)blocking;
      out.clear();
      return ERROR_CAMERA_NOT_SUPPORTED;
  }
}

void devInstallEventFetch(int vendorPath) {
  devVendorHooks().setEventFetchCallback(vendorPath ? DevEventFetchFn(devFetchEventsVendor)
                                                    : DevEventFetchFn(devFetchEvents));
}

PtpResponseCode devLoadNikonPropDescs() {
  auto hooks = devVendorHooks();
  std::vector<uint32_t> codes = hooks.nikonPropCodes();
  ByteBuffer blob;
  PtpResponseCode rc = devGetPropDescs(codes.data(), static_cast<uint32_t>(codes.size()), blob);
  if (rc != PTP_RC_OK) return rc;
  rc = hooks.loadPropDescs(blob);
  hooks.rebuildVendorCodeMap();
  return rc;
}
