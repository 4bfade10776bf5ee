#pragma once
// Canon body identification by the DeviceInfo model string: the model index, the sensor
// size used for AF coordinates and live-view defaults, and the per-model flags.
#include <cstdint>
#include <string_view>

struct CanonModelState {
  double sensorWidth = 0;  // pixels; 0 until a model is identified
  double sensorHeight = 0;
  bool recentModel = false;
  bool oneStepRelease = false;
  bool movieOperation = true;
  bool liveViewAvailable = true;
  uint8_t modelByte = 10;
};

// Reads the rows in order and sets the module's Canon state. The model index (0 when the
// body has none of its own) goes to `modelIndex` for the camera interface to keep. True
// when the body is recognised.
bool canonIdentifyModel(std::string_view modelString, uint8_t& modelIndex);

bool canonIsRecentModel();
CanonModelState canonGetModelState();
// Sensor size from the last identification (0 x 0 before any).
void canonGetSensorSize(double& width, double& height);
// Back to the state before any identification.
void canonResetModelState();
