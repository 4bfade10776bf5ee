#pragma once
// The routing rule shared by the camera interface's files: the vendor code read once, and
// the vendor's module when the operation reaches that vendor.
#include <memory>

#include "ptp/base/camera_vendor.h"
#include "ptp/camera/vendor_module.h"

namespace camroute {

// Which vendors an operation reaches.
enum : unsigned { F = 1u << 0, C = 1u << 1, S = 1u << 2, N = 1u << 3, FCSN = F | C | S | N };

inline unsigned vendorBit(uint16_t vendor) {
  return vendor >= CameraVendorFujifilm && vendor <= CameraVendorNikon ? 1u << (vendor - CameraVendorFujifilm) : 0u;
}

struct Route {
  uint16_t vendor = camGetVendor();
  std::shared_ptr<VendorModule> module;
  explicit Route(unsigned reaches) {
    if (vendorBit(vendor) & reaches) module = camVendorModule(vendor);
  }
  explicit operator bool() const { return module != nullptr; }
  VendorModule* operator->() const { return module.get(); }
};

}  // namespace camroute

// The maximum bracketing EV back to "not yet computed" (camResetCameraState).
void camResetBracketingCache();
