#include "ptp/props/prop_code_map.h"

#include <mutex>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"

namespace {
struct Map {
  std::mutex mutex;
  VendorPropertyCodeMap map;
};

Map& M() {
  static Map* m = new Map;
  return *m;
}

VendorPropertyCodeMap fujifilm() {
  return {0x5007, 0x500D, 0x500F, 0xD018, 0x500A, 0x500E, 0xD36A, 0, 0x500B, 0x5005, 0xD20D, 0x5010, 0, 0xD017};
}

VendorPropertyCodeMap canon() {
  const uint32_t exposureMode = propExists(0xD138) ? 0xD138 : 0xD105;
  return {0xD101, 0xD102, 0xD103, 0xD120, 0xD108, exposureMode, 0xD111,
          0xD106, 0xD107, 0xD109, 0xD11B, 0xD104, 0xD1D9, 0xD10A};
}

VendorPropertyCodeMap sony() {
  const uint32_t quality = propExists(0xD253) ? 0xD253 : 0x5004;
  return {0x5007, 0xD20D, 0xD21E, quality, 0x500A, 0x500E, 0xD218, 0x5013, 0x500B, 0x5005, 0, 0x5010, 0, 0xD20F};
}

VendorPropertyCodeMap nikon(CameraServices& services) {
  const uint32_t iso = propExists(0xD0B4) ? 0xD0B4 : 0x500F;
  return {0x5007, 0xD100, iso, 0x5004, services.nikonFocusModeCode(), 0x500E, 0x5001,
          0x5013, 0x500B, 0x5005, 0xD1F1, 0x5010, 0xD0C1, 0xD01E};
}
}  // namespace

void propBuildVendorCodeMap() {
  auto services = cameraServices();
  VendorPropertyCodeMap map;
  switch (camGetVendor()) {
    case CameraVendorFujifilm: map = fujifilm(); break;
    case CameraVendorCanon: map = canon(); break;
    case CameraVendorSony: map = sony(); break;
    case CameraVendorNikon: map = nikon(*services); break;
    default: return;
  }
  std::lock_guard lock(M().mutex);
  M().map = map;
}

VendorPropertyCodeMap propVendorCodeMap() {
  std::lock_guard lock(M().mutex);
  return M().map;
}

void propResetVendorCodeMap() {
  std::lock_guard lock(M().mutex);
  M().map = {};
}

uint32_t camGetAvailableShots() {
  auto services = cameraServices();
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorSony) return 0;
  if (vendor == CameraVendorFujifilm) return services->fujiGetAvailableShots();
  return propCurrentValue(propVendorCodeMap().availableShots).value_or(0);
}
