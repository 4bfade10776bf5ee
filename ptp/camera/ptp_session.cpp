#include "ptp/camera/ptp_session.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_services.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"

namespace {
constexpr size_t kStoredTextBytes = 1024;

std::atomic<uint32_t> afState{0};

struct Hooks {
  std::mutex mutex;
  CamSessionHooks hooks;
  CamCanonThumbFn canonThumb;  // the vendors' own, once installed
};
Hooks& H() {
  static Hooks* h = new Hooks;
  return *h;
}
}  // namespace

void camInit(PtpSendFn send, PtpReceiveFn receive, PtpBracketFn bracket, std::function<void()> afterEvents) {
  propClearTable();
  afState = 0;
  evtSetAfterEventsCallback(std::move(afterEvents));
  ptpSetTransport(std::move(send), std::move(receive));
  ptpSetBracketCallback(std::move(bracket));
  // Services someone installed on purpose are kept.
  if (camServicesArePlainDefaults(*cameraServices())) setCameraServices(std::make_shared<CamInterfaceServices>());
  camInstallVendorDefaults();
}

CamSessionHooks camSessionHooks() {
  std::lock_guard lock(H().mutex);
  CamSessionHooks hooks = H().hooks;
  if (!hooks.canonGetThumb) hooks.canonGetThumb = H().canonThumb;
  if (!hooks.canonGetThumb) {
    hooks.canonGetThumb = [](uint32_t, ByteBuffer&, uint8_t*) { return PtpResponseCode(ERROR_CAMERA_NOT_SUPPORTED); };
  }
  return hooks;
}

void camSetDefaultCanonThumb(CamCanonThumbFn fn) {
  std::lock_guard lock(H().mutex);
  H().canonThumb = std::move(fn);
}

void camSetSessionHooks(CamSessionHooks hooks) {
  CamSessionHooks d;
  if (!hooks.identifyModel) hooks.identifyModel = d.identifyModel;
  if (!hooks.vendorSetUp) hooks.vendorSetUp = d.vendorSetUp;
  if (!hooks.resetCameraState) hooks.resetCameraState = d.resetCameraState;
  if (!hooks.isAutoFocusMode) hooks.isAutoFocusMode = d.isAutoFocusMode;
  std::lock_guard lock(H().mutex);
  H().hooks = std::move(hooks);
}

uint32_t camGetAfState() { return afState.load(); }
void camSetAfState(uint32_t state) { afState = state; }

PtpResponseCode camInitCamera(uint8_t nikonHostFlag) {
  propSetLabelTable({}, 0);
  ptpResetTransactionId();
  if (propIsSetBusy()) propUnlockForSet();  // a set that never finished
  const uint16_t vendor = ptpDetectVendor();
  const CamSessionHooks hooks = camSessionHooks();
  camSetModelIndex(0);
  hooks.resetCameraState();
  if (vendor < 11 || vendor > CameraVendorNikon) return vendor;
  if (vendor == 11 || !hooks.identifyModel()) return ERROR_CAMERA_NOT_SUPPORTED;
  // The map names the codes the set-up has just read; Fujifilm keeps none of a failed set-up.
  const PtpResponseCode rc = hooks.vendorSetUp(vendor, nikonHostFlag);
  if (rc != PTP_RC_OK && vendor == CameraVendorFujifilm) return rc;
  propBuildVendorCodeMap();
  if (rc != PTP_RC_OK) return rc;
  afState = hooks.isAutoFocusMode() ? 0 : 1;
  return PTP_RC_OK;
}

bool camDetectModel() {
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  if (ptpGetDeviceInfo(block.get()) != PTP_RC_OK) return false;
  return camSessionHooks().identifyModel();
}

PtpResponseCode ptpOpenSession() {
  ptpDetectVendor();
  uint32_t id = kPtpSessionId;
  PtpResponseCode rc = ptpTransaction(PTP_OC_OpenSession, &id, 1, nullptr, 0, nullptr, nullptr, true);
  return rc == PTP_RC_SessionAlreadyOpen ? PTP_RC_OK : rc;
}

PtpResponseCode ptpCloseSession() {
  if (camGetVendor() == CameraVendorCanon) return PTP_RC_OK;
  return ptpTransaction(PTP_OC_CloseSession, nullptr, 0, nullptr, 0, nullptr, nullptr, true);
}

PtpResponseCode ptpResetDevicePropValue(uint32_t code) {
  return ptpTransaction(PTP_OC_ResetDevicePropValue, &code, 1, nullptr, 0, nullptr, nullptr, true);
}

int camStubZeroA() { return 0; }
int camStubZeroB() { return 0; }
int camStubZeroC() { return 0; }
void camStubVoid() {}

std::string camStoreText(const char* text) {
  if (!text) return {};
  return std::string(text, ::strnlen(text, kStoredTextBytes));
}
