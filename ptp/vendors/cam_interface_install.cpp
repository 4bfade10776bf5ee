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
#include "ptp/vendors/canon/canon_fetch.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_values.h"
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
#include "ptp/vendors/nikon/nikon_setup.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "ptp/vendors/sony/sony_liveview.h"

namespace {
constexpr uint32_t kCanonImageFormat = 0xD120;

class CanonBuiltIn : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return canonIdentifyModel(model, index); }
  bool parseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame) override {
    return canonParseLiveViewFrame(reply, n, frame, camModelIndex());
  }
  uint8_t getLiveViewOrientation() override { return canonGetLiveViewOrientation(); }
  bool isLiveViewAvailable() override { return canonGetModelState().liveViewAvailable; }
  PtpResponseCode getLiveViewFrame(ByteBuffer& out) override { return canonGetLiveViewFrame(out); }

  // Value rules.
  PtpResponseCode getImageFormatChoices(uint8_t kind, std::vector<int64_t>& choices) override {
    return canonGetImageFormatChoices(kind, choices);
  }
  int64_t getRawFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = canonGetRawFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  int64_t getJpegFormat() override {
    int64_t packed = -1;
    const PtpResponseCode rc = canonGetJpegFormat(packed);
    return rc == PTP_RC_OK ? packed : rc;
  }
  PtpResponseCode setImageFormat(int64_t raw, int64_t jpeg) override {
    uint32_t value = 0;
    const PtpResponseCode rc = canonComposeImageFormat(raw, jpeg, value);
    if (rc != PTP_RC_OK) return rc;
    return camSetPropertyValue(kCanonImageFormat, value, true);
  }
  PtpResponseCode decodeImageFormat(uint32_t packed, uint8_t kind, uint16_t& sizeCode, uint8_t& quality) override {
    return canonDecodeImageFormat(packed, kind, sizeCode, quality);
  }
  bool qualityIncludesJpeg(uint32_t value) override { return canonQualityIncludesJpeg(value); }
  float exposureBiasToEv(uint32_t value) override { return canonExposureBiasToEv(value); }
  uint32_t evToExposureBias(float ev) override { return canonEvToExposureBias(ev); }
  int getEvStepsPerStop() override { return canonGetEvStepsPerStop(); }
  float getExposureBiasMax() override { return canonGetExposureBiasMax(); }
  float getExposureBiasMin() override { return canonGetExposureBiasMin(); }
  bool isExposureBiasAdjustable() override { return canonIsExposureBiasAdjustable(); }
  bool isBracketingAvailable() override { return canonIsBracketingAvailable(true); }
  int bracketingCount() override { return canonGetBracketingShots(); }
  int getBracketingSequence(std::vector<float>& offsets, bool, float ev) override {
    offsets = canonGetBracketingSequence(ev);
    return static_cast<int>(offsets.size());
  }
  float getMaxBracketingEv() override { return canonMaxBracketingEvFromTable().value_or(0.0f); }
  bool isBulbSelected() override { return canonIsBulbSelected(); }
  bool isContinuousDriveValue(uint32_t value) override { return canonIsContinuousDriveValue(value); }
  float isoCodeToValue(uint32_t code) override { return canonIsoCodeToValue(code); }
  uint32_t shutterSpeedToMs(uint32_t value) override { return canonShutterSpeedToMs(value); }
  bool getFixedRange(uint32_t code, uint32_t& first, uint32_t& second) override {
    return canonGetFixedRange(code, first, second);
  }
};

class SonyBuiltIn : public VendorModule {
 public:
  uint8_t getLiveViewOrientation() override { return sonyGetLiveViewOrientation(); }
};

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
  PtpResponseCode nikonParseEvents(std::span<const uint8_t> data) override {
    if (!camIsNikon()) return CamInterfaceServices::nikonParseEvents(data);
    return ::nikonParseEvents(data.data(), data.size());
  }
};

bool unregistered(uint16_t vendor) { return camVendorModule(vendor) == camVendorModule(CameraVendorUnknown); }

void installCommandHooks() {
  CommandVendorHooks hooks = devVendorHooks();
  hooks.fujiIsGfxBody = [] { return fujiIsGfxModel(); };
  hooks.fujiDriveFocus = [](int16_t step) { return fujiDriveFocus(step); };
  hooks.nikonLensTypeZero = [] { return nikonIsLensTypeZero(); };
  hooks.nikonDriveFocus = [](int16_t direction, uint16_t count) {
    return nikonDriveFocus(static_cast<uint32_t>(direction), count);
  };
  hooks.liveViewOpcode = [] { return camIsNikon() ? uint32_t(nikonLiveViewOpcode()) : uint32_t(0); };
  hooks.nikonReadEvents = [](ByteBuffer& out, uint8_t blocking) { return nikonGetEvents(out, blocking != 0); };
  hooks.nikonPropCodes = [] {
    const auto codes = nikonVendorPropertyCodes();
    return std::vector<uint32_t>(codes.begin(), codes.end());
  };
  hooks.loadPropDescs = [](const ByteBuffer& blob) { return nikonLoadPropertyTable(blob.data(), blob.size()); };
  hooks.rebuildVendorCodeMap = [] { propBuildVendorCodeMap(); };
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
  if (unregistered(CameraVendorCanon)) camRegisterVendorModule(CameraVendorCanon, std::make_shared<CanonBuiltIn>());
  if (unregistered(CameraVendorSony)) camRegisterVendorModule(CameraVendorSony, std::make_shared<SonyBuiltIn>());
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
