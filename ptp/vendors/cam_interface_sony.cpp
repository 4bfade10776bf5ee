// The Sony module behind the camera interface.
#include "ptp/camera/cam_interface.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/sony/sony_liveview.h"

namespace {
class SonyModule : public VendorModule {
 public:
  uint8_t getLiveViewOrientation() override { return sonyGetLiveViewOrientation(); }
};
}  // namespace

std::shared_ptr<VendorModule> camMakeSonyModule() { return std::make_shared<SonyModule>(); }
