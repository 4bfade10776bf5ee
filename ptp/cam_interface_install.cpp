// The vendor pieces the library already has, registered behind the camera interface.
#include <string>

#include "ptp/cam_interface.h"
#include "ptp/filetypes_vendor.h"
#include "ptp/vendors/canon_fetch.h"
#include "ptp/vendors/canon_liveview.h"
#include "ptp/vendors/canon_models.h"
#include "ptp/vendors/canon_yuv.h"
#include "ptp/vendors/fuji_focus.h"
#include "ptp/vendors/sony_liveview.h"

namespace {
class CanonBuiltIn : public VendorModule {
 public:
  bool identifyModel(std::string_view model, uint8_t& index) override { return canonIdentifyModel(model, index); }
  bool parseLiveViewFrame(const uint8_t* reply, size_t n, std::vector<uint8_t>& frame) override {
    return canonParseLiveViewFrame(reply, n, frame, camModelIndex());
  }
  uint8_t getLiveViewOrientation() override { return canonGetLiveViewOrientation(); }
  bool isLiveViewAvailable() override { return canonGetModelState().liveViewAvailable; }
  PtpResponseCode getLiveViewFrame(ByteBuffer& out) override { return canonGetLiveViewFrame(out); }
};

class FujiBuiltIn : public VendorModule {
 public:
  bool isInFocus() override { return fujiIsInFocus(); }
};

class SonyBuiltIn : public VendorModule {
 public:
  uint8_t getLiveViewOrientation() override { return sonyGetLiveViewOrientation(); }
};
}  // namespace

void camInstallVendorDefaults() {
  // A module registered before (a test, a fuller vendor module) is kept.
  if (camVendorModule(CameraVendorCanon) == camVendorModule(CameraVendorUnknown))
    camRegisterVendorModule(CameraVendorCanon, std::make_shared<CanonBuiltIn>());
  if (camVendorModule(CameraVendorSony) == camVendorModule(CameraVendorUnknown))
    camRegisterVendorModule(CameraVendorSony, std::make_shared<SonyBuiltIn>());
  if (camVendorModule(CameraVendorFujifilm) == camVendorModule(CameraVendorUnknown))
    camRegisterVendorModule(CameraVendorFujifilm, std::make_shared<FujiBuiltIn>());
  FileTypesVendorHooks hooks = fileVendorHooks();
  hooks.canonDecodeYuvLiveView = [](std::span<const uint8_t> frame, std::vector<uint8_t>& out) -> uint32_t {
    return static_cast<uint32_t>(canonDecodeYuvLiveView(frame.data(), frame.size(), out, camModelIndex()));
  };
  fileSetVendorHooks(hooks);
}
