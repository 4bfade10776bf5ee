#include "ptp/prop_services.h"

#include <mutex>

#include "ptp/cam_interface.h"
#include "ptp/prop_table.h"

namespace {
struct Installed {
  std::mutex mutex;
  std::shared_ptr<CameraServices> services = std::make_shared<CameraServices>();
};

Installed& I() {
  static Installed* i = new Installed;  // read by threads that may outlive statics
  return *i;
}
}  // namespace

PropertyStruct* CameraServices::storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) {
  return camStorePropertyValue(code, value, getSet);
}
PtpResponseCode CameraServices::refreshProperty(uint32_t code) { return camRefreshProperty(code); }
bool CameraServices::isApertureSettable(uint32_t program) { return camIsApertureSettable(program); }
bool CameraServices::isShutterSettable(uint32_t program) { return camIsShutterSettable(program); }
bool CameraServices::isExposureBiasSettable(uint32_t program) { return camIsExposureBiasSettable(program); }
int CameraServices::evStepsPerStop() { return camGetEvStepsPerStop(); }

uint32_t CameraServices::nikonFocusModeCode() {
  const uint8_t model = camModelIndex();
  if ((model >= 220 && model <= 222) || (model >= 225 && model <= 232)) return 0xD161;
  return propExists(0xD061) ? 0xD061 : 0x500A;
}

std::shared_ptr<CameraServices> cameraServices() {
  std::lock_guard lock(I().mutex);
  return I().services;
}

void setCameraServices(std::shared_ptr<CameraServices> services) {
  if (!services) services = std::make_shared<CameraServices>();
  std::lock_guard lock(I().mutex);
  I().services = std::move(services);
}
