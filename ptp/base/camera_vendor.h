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

// The one source of the session's vendor and model: every vendor branch of the library
// reads these, never a copy of its own.
uint16_t camGetVendor();
void camSetVendor(uint16_t vendor);
uint8_t camModelIndex();
void camSetModelIndex(uint8_t index);

// The four vendor predicates: the only vendor tests callers outside the library make.
bool camIsFujifilm();
bool camIsCanon();
bool camIsSony();
bool camIsNikon();
