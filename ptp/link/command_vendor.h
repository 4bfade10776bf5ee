#pragma once
// What the device command set needs from the camera interface and the vendor modules.
// Each hook has a default that answers as for an unknown vendor; the camera interface
// installs the real ones.
#include <cstdint>
#include <functional>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/response_codes.h"

// The event poller's fetch callback: events into out, blocking flag.
using DevEventFetchFn = std::function<PtpResponseCode(ByteBuffer& out, uint8_t blocking)>;

struct CommandVendorHooks {
  // The vendor and model come from camGetVendor() and camModelIndex().
  std::function<bool()> canonIsRecentModel = [] { return false; };
  std::function<bool()> fujiIsGfxBody = [] { return false; };
  // The Nikon lens-type property reads 0.
  std::function<bool()> nikonLensTypeZero = [] { return false; };
  std::function<uint8_t()> isManualFocus = [] { return uint8_t(0); };
  std::function<void(int, int)> setManualFocus = [](int, int) {};
  // Canon focus-drive message for (step size, count); empty when it cannot be built.
  std::function<ByteBuffer(int16_t, uint16_t)> canonFocusDriveMessage = [](int16_t, uint16_t) {
    return ByteBuffer();
  };
  std::function<PtpResponseCode(int16_t, uint16_t)> nikonDriveFocus = [](int16_t, uint16_t) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  };
  std::function<PtpResponseCode(int16_t)> sonyDriveFocus = [](int16_t) { return ERROR_CAMERA_NOT_SUPPORTED; };
  std::function<PtpResponseCode(int16_t)> fujiDriveFocus = [](int16_t) { return ERROR_CAMERA_NOT_SUPPORTED; };
  // The vendor's live-view opcode (Canon, Nikon).
  std::function<uint32_t()> liveViewOpcode = [] { return uint32_t(0); };
  // PTP GetObject for a handle; without out the data is not kept. The default runs the
  // transaction on the installed PTP transport under the link's request mutex.
  std::function<PtpResponseCode(uint32_t handle, ByteBuffer* out)> getObject;
  // Vendor event reads (blocking) and the poller's registration.
  DevEventFetchFn canonReadEvents = [](ByteBuffer&, uint8_t) { return ERROR_CAMERA_NOT_SUPPORTED; };
  DevEventFetchFn nikonReadEvents = [](ByteBuffer&, uint8_t) { return ERROR_CAMERA_NOT_SUPPORTED; };
  std::function<void(DevEventFetchFn)> setEventFetchCallback = [](DevEventFetchFn) {};
  // Nikon property descriptions: the vendor codes, loading a description blob into the
  // property table, and rebuilding the vendor code map.
  std::function<std::vector<uint32_t>()> nikonPropCodes = [] { return std::vector<uint32_t>(); };
  std::function<PtpResponseCode(const ByteBuffer&)> loadPropDescs = [](const ByteBuffer&) {
    return ERROR_CAMERA_NOT_SUPPORTED;
  };
  std::function<void()> rebuildVendorCodeMap = [] {};
};

// The installed hooks (a copy, safe to call from any thread).
CommandVendorHooks devVendorHooks();
void devSetVendorHooks(CommandVendorHooks hooks);
// Back to the defaults.
void devResetVendorHooks();
