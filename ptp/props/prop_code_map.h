#pragma once
// Which property code plays which role for the current vendor (0: the vendor has none).
#include <cstdint>

struct VendorPropertyCodeMap {
  uint32_t aperture = 0;
  uint32_t shutterSpeed = 0;
  uint32_t iso = 0;
  uint32_t imageQuality = 0;
  uint32_t focusMode = 0;
  uint32_t exposureProgram = 0;
  uint32_t batteryLevel = 0;
  uint32_t driveMode = 0;
  uint32_t meteringMode = 0;
  uint32_t whiteBalance = 0;
  uint32_t availableShots = 0;
  uint32_t exposureBias = 0;
  uint32_t bracketing = 0;
  uint32_t colourTemperature = 0;
};

// Fills the map for the current vendor; a vendor code outside 12-15 leaves it as it was.
void propBuildVendorCodeMap();
// A copy of the map.
VendorPropertyCodeMap propVendorCodeMap();
// Empties the map (camera set-up of a new session).
void propResetVendorCodeMap();

// Shots left: Sony 0; Fujifilm its own count; otherwise the value of the available-shots
// record (0 when absent).
uint32_t camGetAvailableShots();
