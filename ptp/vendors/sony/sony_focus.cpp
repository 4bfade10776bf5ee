#include "ptp/vendors/sony/sony_focus.h"

#include "ptp/props/prop_table.h"

bool sonyGetFocusPoint(int32_t& x, int32_t& y) {
  // Locked: the event thread rewrites the record while the viewer reads it.
  auto value = propCurrentValue(kSonyFocusPointCode);
  if (!value) value = propCurrentValue(kSonyLiveViewLocationCode);
  if (!value) return false;
  x = static_cast<int32_t>(*value >> 16);
  y = static_cast<int32_t>(*value & 0xFFFF);
  return true;
}
