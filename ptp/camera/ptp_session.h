#pragma once
// Library start-up, the PTP session and the connect-time camera set-up.
#include <cstdint>
#include <functional>
#include <string>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/protocol/ptp_transport.h"

constexpr uint32_t kPtpSessionId = 1;

// Empties the property table, clears the manual-focus state, stores the after-events
// callback, installs the transport (resetting the transaction id) and the bracket, and
// registers the library's built-in vendor pieces (camInstallVendorDefaults).
void camInit(PtpSendFn send, PtpReceiveFn receive, PtpBracketFn bracket, std::function<void()> afterEvents);

using CamCanonThumbFn = std::function<PtpResponseCode(uint32_t handle, ByteBuffer& data, uint8_t* orientation)>;

// What camera set-up needs from the camera interface and the vendor modules. The
// defaults are the camera interface's own operations, which answer as for a camera
// nobody recognises until a vendor module is registered.
struct CamSessionHooks {
  // Sets the model index from the DeviceInfo model text; true when recognised.
  std::function<bool()> identifyModel = camIdentifyModel;
  // Installs the vendor's label table and runs its set-up (Nikon: host mode first).
  std::function<PtpResponseCode(uint16_t vendor, uint8_t nikonHostFlag)> vendorSetUp =
      [](uint16_t vendor, uint8_t flag) { return camVendorModule(vendor)->initCamera(flag); };
  // Live-view zoom, Nikon capture flag and the maximum bracketing EV back to "unset".
  std::function<void()> resetCameraState = camResetCameraState;
  std::function<bool()> isAutoFocusMode = camIsAutoFocusMode;
  // Canon's own thumbnail read (GetThumbEx, cut to its JPEG); with orientation it also
  // stores the thumbnail's orientation byte there. Unset: the one the vendors installed
  // (camSetDefaultCanonThumb), else "not supported".
  CamCanonThumbFn canonGetThumb;
};
CamSessionHooks camSessionHooks();
void camSetSessionHooks(CamSessionHooks hooks);
// Installed with the vendor modules (camInstallVendorDefaults).
void camSetDefaultCanonThumb(CamCanonThumbFn fn);

// Connect-time set-up: vendor from the DeviceInfo, model, vendor set-up, code map.
PtpResponseCode camInitCamera(uint8_t nikonHostFlag);
// Fetches the DeviceInfo, then identifies the model.
bool camDetectModel();

// The manual-focus state (0/1).
uint32_t camGetAfState();
void camSetAfState(uint32_t state);

// OpenSession with the session id; SessionAlreadyOpen counts as success. Detects the
// vendor first.
PtpResponseCode ptpOpenSession();
// Canon answers success without sending.
PtpResponseCode ptpCloseSession();
PtpResponseCode ptpResetDevicePropValue(uint32_t code);

// Small pieces kept for their callers.
int camStubZeroA();
int camStubZeroB();
int camStubZeroC();
void camStubVoid();
// The text cut to 1,024 bytes, in a buffer of its own.
std::string camStoreText(const char* text);
