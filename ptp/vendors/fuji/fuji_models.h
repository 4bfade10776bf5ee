#pragma once
// Fujifilm body identification by the DeviceInfo model text.
#include <cstdint>
#include <string_view>

// The model parameter byte a Fujifilm body gets (camGetModelParamA).
constexpr uint8_t kFujiModelParam = 20;

// Case-insensitive search for the known names in a fixed order, the first match winning;
// sets `index` and answers true. No match: false, `index` untouched.
bool fujiIdentifyModel(std::string_view model, uint8_t& index);
// Whether a model index is a GFX (medium-format) body.
bool fujiIsGfxModelIndex(uint8_t index);
// The same for the session's model index.
bool fujiIsGfxModel();
