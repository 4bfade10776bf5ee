#pragma once
// Nikon body identification by the DeviceInfo model string: the model index, the live-view
// zoom map, the model byte and the per-model flags.
#include <array>
#include <cstdint>
#include <string_view>

using NikonZoomMap = std::array<uint8_t, 5>;

struct NikonModelState {
  NikonZoomMap zoomMap{0, 2, 4, 6, 7};
  uint8_t modelByte = 20;
  bool afDuringLiveView = false;     // autofocus switches the live-view AF mode around a drive
  bool saveStillCaptureMode = false; // live view saves and restores 0x5013
  bool liveViewOn = false;           // mirrorless: live view is always on
};

// Tests the rows in order; the first match sets the state and the model index and answers
// true. No match answers false with index 0 and the default state.
bool nikonIdentifyModel(std::string_view modelString, uint8_t& modelIndex);

NikonModelState nikonGetModelState();
// Back to the state before any identification.
void nikonResetModelState();
