// The vendor pieces the library already has, registered behind the camera interface.
#include <string>
#include <typeinfo>

#include "ptp/camera/cam_interface.h"
#include "ptp/camera/cam_services.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/link/command_vendor.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/camera/cam_predicates.h"
#include "ptp/vendors/canon/canon_events.h"
#include "ptp/vendors/canon/canon_fetch.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_yuv.h"
#include "ptp/vendors/filetypes_vendor.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "ptp/vendors/fuji/fuji_lens.h"
#include "ptp/vendors/fuji/fuji_models.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"
#include "ptp/vendors/nikon/nikon_events.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_liveview.h"
#include "ptp/vendors/nikon/nikon_liveview_ops.h"
#include "ptp/vendors/nikon/nikon_props.h"
#include "ptp/vendors/nikon/nikon_setup.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_values.h"

namespace {
// Each hook answers for the session's vendor only; the others get the base answer.
class VendorServices : public CamInterfaceServices {
 public:
  PtpResponseCode getDevicePropDesc(uint32_t code, std::vector<uint8_t>& desc) override {
    switch (camGetVendor()) {
      case CameraVendorFujifilm: return fujiGetDevicePropDesc(code, desc);
      case CameraVendorNikon: return nikonGetDevicePropDesc(code, desc);
      default: return CamInterfaceServices::getDevicePropDesc(code, desc);
    }
  }
  std::optional<std::string> vendorValueText(uint32_t code, uint32_t value) override {
    if (camIsFujifilm()) return fujiValueText(code, value);
    if (camIsSony()) return sonyValueText(code, value);
    return std::nullopt;
  }
  uint32_t fujiImageSizeIndexFromName(const std::string& name) override {
    return camIsFujifilm() ? ::fujiImageSizeIndexFromName(name) : CamInterfaceServices::fujiImageSizeIndexFromName(name);
  }
  uint32_t fujiGetAvailableShots() override { return camIsFujifilm() ? ::fujiGetAvailableShots() : 0; }
  bool nikonModelHasWbKelvinMap() override { return camIsNikon() && ::nikonModelHasWbKelvinMap(); }
  uint32_t nikonMapWhiteBalanceKelvin(uint32_t value) override {
    return camIsNikon() ? ::nikonMapWhiteBalanceKelvin(value) : value;
  }
  bool nikonIsHostMode() override { return camIsNikon() && ::nikonIsHostMode(); }
  bool nikonModelHasIsoAuto() override { return camIsNikon() && ::nikonModelHasIsoAuto(); }
  uint32_t nikonFocusModeCode() override {
    return camIsNikon() ? ::nikonFocusModeCode() : CamInterfaceServices::nikonFocusModeCode();
  }
  PtpResponseCode canonParseEvents(std::span<const uint8_t> data) override {
    if (!camIsCanon()) return CamInterfaceServices::canonParseEvents(data);
    return ::canonParseEvents(data.data(), data.size());
  }
  PtpResponseCode nikonParseEvents(std::span<const uint8_t> data) override {
    if (!camIsNikon()) return CamInterfaceServices::nikonParseEvents(data);
    // The poller fetches with GetEventEx when the body lists it: parse the form it got.
    return ::nikonParseEventsEx(data.data(), data.size());
  }
  PtpResponseCode sonyReadAllProperties(int queueEvents) override {
    if (!camIsSony()) return CamInterfaceServices::sonyReadAllProperties(queueEvents);
    return ::sonyReadAllProperties(queueEvents);
  }
};

bool unregistered(uint16_t vendor) { return camVendorModule(vendor) == camVendorModule(CameraVendorUnknown); }

void installCommandHooks() {
  CommandVendorHooks hooks = devVendorHooks();
  hooks.fujiIsGfxBody = [] { return fujiIsGfxModel(); };
  hooks.fujiDriveFocus = [](int16_t step) { return fujiDriveFocus(step); };
  hooks.sonyDriveFocus = [](int16_t step) { return sonyDriveFocus(step); };
  hooks.nikonLensTypeZero = [] { return nikonIsLensTypeZero(); };
  hooks.nikonDriveFocus = [](int16_t direction, uint16_t count) {
    return nikonDriveFocus(static_cast<uint32_t>(direction), count);
  };
  hooks.liveViewOpcode = [] { return camIsNikon() ? uint32_t(nikonLiveViewOpcode()) : uint32_t(0); };
  hooks.nikonReadEvents = [](ByteBuffer& out, uint8_t blocking) { return nikonGetEvents(out, blocking != 0); };
  hooks.nikonPropCodes = [] {
    std::vector<uint32_t> codes;
    nikonGetVendorPropCodes(codes);
    return codes;
  };
  hooks.loadPropDescs = [](const ByteBuffer& blob) { return nikonLoadPropertyTable(blob.data(), blob.size()); };
  hooks.rebuildVendorCodeMap = [] { propBuildVendorCodeMap(); };
  hooks.canonIsRecentModel = [] { return canonIsRecentModel(); };
  hooks.canonFocusDriveMessage = [](int16_t stepSize, uint16_t count) {
    std::vector<uint8_t> message;
    if (camBuildFocusDriveRequest(stepSize, count, message) != PTP_RC_OK) return ByteBuffer();
    return ByteBuffer(message.begin(), message.end());
  };
  hooks.canonReadEvents = [](ByteBuffer& out, uint8_t blocking) { return canonGetEvent(out, blocking != 0); };
  auto otherLiveViewOpcode = hooks.liveViewOpcode;
  hooks.liveViewOpcode = [otherLiveViewOpcode] {
    return camIsCanon() ? uint32_t(canonLiveViewOpcode()) : otherLiveViewOpcode();
  };
  hooks.isManualFocus = [] { return uint8_t(camIsManualFocus() ? 1 : 0); };
  hooks.setManualFocus = [](int manual, int post) { camSetManualFocus(manual, post != 0); };
  hooks.setEventFetchCallback = [](DevEventFetchFn fetch) {
    if (!fetch) return camSetEventFetchCallback(nullptr);
    camSetEventFetchCallback([fetch](std::vector<uint8_t>& data, bool blocking) {
      ByteBuffer events;
      const PtpResponseCode rc = fetch(events, blocking ? 1 : 0);
      data.assign(events.begin(), events.end());
      return rc;
    });
  };
  devSetVendorHooks(std::move(hooks));
}
}  // namespace

std::shared_ptr<CameraServices> camMakeVendorServices() { return std::make_shared<VendorServices>(); }

void camInstallVendorDefaults() {
  // A module registered before (a test, a fuller vendor module) is kept.
  if (unregistered(CameraVendorCanon)) camRegisterVendorModule(CameraVendorCanon, camMakeCanonModule());
  if (unregistered(CameraVendorSony)) camRegisterVendorModule(CameraVendorSony, camMakeSonyModule());
  if (unregistered(CameraVendorFujifilm)) camRegisterVendorModule(CameraVendorFujifilm, camMakeFujiModule());
  if (unregistered(CameraVendorNikon)) camRegisterVendorModule(CameraVendorNikon, camMakeNikonModule());
  // Without a stop, switching Fujifilm live view off (and any set made while it is on)
  // would fail.
  if (!fujiLiveViewStopCallback()) fujiSetLiveViewStopCallback(camFujiStopLiveView);
  // Services someone installed on purpose are kept; only the plain defaults are replaced.
  if (camServicesArePlainDefaults(*cameraServices())) setCameraServices(camMakeVendorServices());
  camSetDefaultCanonThumb([](uint32_t handle, ByteBuffer& data, uint8_t* orientation) {
    return canonGetThumb(handle, data, orientation);
  });
  installCommandHooks();
  FileTypesVendorHooks hooks = fileVendorHooks();
  hooks.canonDecodeYuvLiveView = [](std::span<const uint8_t> frame, std::vector<uint8_t>& out) -> uint32_t {
    return static_cast<uint32_t>(canonDecodeYuvLiveView(frame.data(), frame.size(), out, camModelIndex()));
  };
  fileSetVendorHooks(hooks);
}
