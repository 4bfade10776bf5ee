#pragma once
// The session's camera vendor and model index: written during camera set-up, read by
// every vendor-routed operation from any thread.
#include <atomic>
#include <cstdint>

enum CameraVendor : uint16_t {
  CameraVendorFujifilm = 12,
  CameraVendorCanon = 13,
  CameraVendorSony = 14,
  CameraVendorNikon = 15,
  CameraVendorUnknown = 255,
};

// May also hold a failure code (0xFF11 after a failed DeviceInfo), which no vendor
// branch recognises.
extern std::atomic<uint16_t> currentCameraVendor;
extern std::atomic<uint8_t> CameraModelIndex;

uint16_t camGetVendor();
void camSetVendor(uint16_t vendor);
uint8_t camModelIndex();
void camSetModelIndex(uint8_t index);
