#include "ptp/base/camera_vendor.h"

std::atomic<uint16_t> currentCameraVendor{CameraVendorUnknown};
std::atomic<uint8_t> CameraModelIndex{0};

uint16_t camGetVendor() { return currentCameraVendor.load(); }
void camSetVendor(uint16_t vendor) { currentCameraVendor = vendor; }
uint8_t camModelIndex() { return CameraModelIndex.load(); }
void camSetModelIndex(uint8_t index) { CameraModelIndex = index; }

bool camIsFujifilm() { return camGetVendor() == CameraVendorFujifilm; }
bool camIsCanon() { return camGetVendor() == CameraVendorCanon; }
bool camIsSony() { return camGetVendor() == CameraVendorSony; }
bool camIsNikon() { return camGetVendor() == CameraVendorNikon; }
