#include "ptp/camera/cam_services.h"

#include <typeinfo>

#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"

PropertyStruct* CamInterfaceServices::storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) {
  return camStorePropertyValue(code, value, getSet);
}
PtpResponseCode CamInterfaceServices::refreshProperty(uint32_t code) { return camRefreshProperty(code); }
bool CamInterfaceServices::isApertureSettable(uint32_t program) { return camIsApertureSettable(program); }
bool CamInterfaceServices::isShutterSettable(uint32_t program) { return camIsShutterSettable(program); }
bool CamInterfaceServices::isExposureBiasSettable(uint32_t program) { return camIsExposureBiasSettable(program); }
int CamInterfaceServices::evStepsPerStop() { return camGetEvStepsPerStop(); }

uint32_t CamInterfaceServices::nikonFocusModeCode() {
  const uint8_t model = camModelIndex();
  if ((model >= 220 && model <= 222) || (model >= 225 && model <= 232)) return 0xD161;
  return CameraServices::nikonFocusModeCode();
}

bool camServicesArePlainDefaults(const CameraServices& services) {
  return typeid(services) == typeid(CameraServices) || typeid(services) == typeid(CamInterfaceServices);
}
