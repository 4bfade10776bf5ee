#pragma once
// Sony body identification by the DeviceInfo model string, and the per-model answers the
// module keeps for the connection: direct set, capability B, the RAW+JPEG quality code.
#include <cstdint>
#include <string_view>

struct SonyModelState {
  bool directSet = false;     // F-number, shutter and ISO are set directly, not dialled
  bool capabilityB = false;
  uint8_t rawJpegCode = 0;    // 19 on bodies that take it for RAW+JPEG, else 0
};

// Searches the model string (case-insensitively) for each key in table order; the first
// hit sets the module state and `modelIndex` (160-189). The flags are cleared first. True
// when recognised.
bool sonyIdentifyModel(std::string_view modelString, uint8_t& modelIndex);

SonyModelState sonyGetModelState();
void sonyResetModelState();

bool sonyIsDirectSetModel();
bool sonyHasModelCapabilityA();
bool sonyHasModelCapabilityB();
bool sonyHasModelCapabilityC();
bool sonyCanZoomLiveView();
bool sonyCanRecordMovie();
bool sonyHasMovieMode();
// The code that stands for RAW+JPEG on this body (0: none).
uint8_t sonyRawJpegQualityCode();
