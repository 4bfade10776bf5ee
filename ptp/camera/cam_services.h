#pragma once
// The camera interface's answers to the property services: what a session gives before
// (and beneath) any vendor's own. camInit installs them in place of the "no camera" ones.
#include <memory>

#include "ptp/props/prop_services.h"

class CamInterfaceServices : public CameraServices {
 public:
  PropertyStruct* storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) override;
  PtpResponseCode refreshProperty(uint32_t code) override;
  bool isApertureSettable(uint32_t program) override;
  bool isShutterSettable(uint32_t program) override;
  bool isExposureBiasSettable(uint32_t program) override;
  int evStepsPerStop() override;
  uint32_t nikonFocusModeCode() override;
};

// True for the services nobody chose on purpose (the "no camera" ones and the camera
// interface's): set-up may replace those.
bool camServicesArePlainDefaults(const CameraServices& services);
