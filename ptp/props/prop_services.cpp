#include "ptp/props/prop_services.h"

#include <mutex>

#include "ptp/props/prop_table.h"

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

uint32_t CameraServices::nikonFocusModeCode() { return propExists(0xD061) ? 0xD061 : 0x500A; }

std::shared_ptr<CameraServices> cameraServices() {
  std::lock_guard lock(I().mutex);
  return I().services;
}

void setCameraServices(std::shared_ptr<CameraServices> services) {
  if (!services) services = std::make_shared<CameraServices>();
  std::lock_guard lock(I().mutex);
  I().services = std::move(services);
}
