#include "ptp/vendors/fuji/fuji_focus.h"

#include <optional>

#include "ptp/props/prop_table.h"

bool fujiIsInFocus() { return propCurrentValue(kFujiAfStatusCode) == kFujiAfStatusInFocus; }

PtpResponseCode fujiGetAfFrame(float& x, float& y, float& width, float& height) {
  float* out[4] = {&x, &y, &width, &height};
  bool all = true;
  for (int i = 0; i < 4; ++i) {
    std::optional<uint32_t> v = propCurrentValue(kFujiAfFrameCodes[i]);
    if (v)
      *out[i] = static_cast<float>(*v) / 1000.0f;
    else
      all = false;
  }
  return all ? PTP_RC_OK : ERROR_GENERAL;
}
