#include "ptp/vendors/fuji/fuji_focus.h"

#include <optional>

#include "ptp/props/prop_table.h"

namespace {
// The record's value, read under its lock: event threads rewrite records at any time.
std::optional<uint32_t> lockedValue(uint32_t code) {
  PropertyStruct* record = propFind(code, true);
  if (!record) return std::nullopt;
  const uint32_t value = record->value;
  propUnlock(record);
  return value;
}
}  // namespace

bool fujiIsInFocus() { return lockedValue(kFujiAfStatusCode) == kFujiAfStatusInFocus; }

PtpResponseCode fujiGetAfFrame(float& x, float& y, float& width, float& height) {
  float* out[4] = {&x, &y, &width, &height};
  bool all = true;
  for (int i = 0; i < 4; ++i) {
    std::optional<uint32_t> v = lockedValue(kFujiAfFrameCodes[i]);
    if (v)
      *out[i] = static_cast<float>(*v) / 1000.0f;
    else
      all = false;
  }
  return all ? PTP_RC_OK : ERROR_GENERAL;
}
