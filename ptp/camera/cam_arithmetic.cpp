#include "ptp/camera/cam_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"

namespace {
constexpr uint32_t kHalvingPasses = 100;
constexpr uint32_t kHalvingFloor = 100;

// A double as u32: truncated, NaN and negatives 0, large values saturated.
uint32_t toU32(double v) {
  if (!(v > 0)) return 0;
  if (v >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(v);
}

bool nikonWholeStepModel(uint8_t model) {
  return model == 197 || model == 200 || (model >= 210 && model <= 212) || (model >= 214 && model <= 217) ||
         (model >= 219 && model <= 231);
}

// The stepping direction runs against the list order for these codes.
bool reversedCode(uint16_t vendor, uint32_t code) {
  switch (vendor) {
    case CameraVendorFujifilm: return code != 0x5007;
    case CameraVendorCanon: return code == 0xD103;
    case CameraVendorSony: return code == 0xD21E;
    case CameraVendorNikon: return code == 0x500F || code == 0xD100 || code == 0xD0B4;
    default: return false;
  }
}

// Aperture lists run from wide to narrow, so up and down swap.
bool apertureCode(uint16_t vendor, uint32_t code) {
  switch (vendor) {
    case CameraVendorFujifilm:
    case CameraVendorNikon: return code == 0x5007;
    case CameraVendorCanon: return code == 0xD101 || code == 0xD102;
    case CameraVendorSony: return code == 0xD20D;
    default: return false;
  }
}

// Position of value in the record's list, or -1.
long positionOf(const PropertyStruct& record, uint32_t value) {
  for (size_t i = 0; i < record.values.size(); ++i) {
    if (record.values[i].value == value) return static_cast<long>(i);
  }
  return -1;
}
}  // namespace

float camStepsToEv(int steps, float ev) {
  auto services = cameraServices();
  if (camGetVendor() == CameraVendorNikon && nikonWholeStepModel(camModelIndex())) {
    if (ev > 1.9f || (ev > 0.9f && steps >= 1)) return static_cast<float>(steps);
    return static_cast<float>(steps) / 3.0f;
  }
  switch (services->evStepsPerStop()) {
    case 1: return static_cast<float>(steps);
    case 2: return static_cast<float>(steps) * 0.5f;
    default: return static_cast<float>(steps) * (1.0f / 3.0f);
  }
}

uint32_t camScaleRepeated(uint32_t value, int n, float factor) {
  for (int i = 0; i < n; ++i) {
    const uint32_t next = toU32(value * 0.5 * (2.0 - factor));
    if (next == value) break;  // a fixed point stays one: the remaining passes change nothing
    value = next;
  }
  return value;
}

uint32_t camCountHalvings(uint32_t value, int mode, float factor) {
  if (mode == 2) return 100;
  const int subtractions = factor - 2.0 > 0.01 ? 3 : factor - 1.0 > 0.01 ? 2 : 1;
  const double share = std::min(static_cast<double>(factor), 1.0);
  for (uint32_t pass = 0; pass < kHalvingPasses; ++pass) {
    for (int i = 0; i < subtractions; ++i) {
      const uint32_t cut = toU32(std::trunc(static_cast<double>(value / 2)) * share);
      value -= std::min(cut, value);
    }
    if (value < kHalvingFloor) return mode != 0 ? pass + 1 : 2 * pass + 1;
  }
  return mode != 0 ? kHalvingPasses + 1 : 2 * kHalvingPasses + 1;
}

std::vector<uint32_t> camBuildEvTable(uint32_t base, uint32_t count, float step) {
  std::vector<uint32_t> table;
  if (count > kEvTableMaxEntries) return table;
  try {
    table.resize(count);
  } catch (const std::bad_alloc&) {
    return table;
  }
  const double first = -(static_cast<double>(count) - 1.0) * 0.5 * step;
  for (uint32_t i = 0; i < count; ++i) {
    const double e = first + static_cast<double>(i) * step;
    table[i] = toU32(std::round(base * std::exp2(e)));
  }
  return table;
}

uint32_t camBatteryPercent(uint32_t level) {
  static constexpr uint32_t kFujifilm[] = {100, 0, 0, 10, 50, 100, 100, 0, 10, 20, 40, 60, 80, 100, 100};
  static constexpr uint32_t kCanon[] = {0, 50, 100, 0, 75, 25};
  switch (camGetVendor()) {
    case CameraVendorFujifilm: {
      const uint32_t index = std::max(level & 0xFF, level >> 24) + 1;
      return index < std::size(kFujifilm) ? kFujifilm[index] : 0;
    }
    case CameraVendorCanon: return level < std::size(kCanon) ? kCanon[level] : 0;
    case CameraVendorSony:
    case CameraVendorNikon: return level & 0xFF;
    default: return 0;
  }
}

uint32_t propCountSteps(uint32_t code, uint32_t value, int step, int mode) {
  const uint16_t vendor = camGetVendor();
  PropertyStruct* record = propFind(code, true);
  if (!record) return 0;
  const long n = static_cast<long>(record->values.size());
  const long p = record->count == kPropCountAnyValue ? -1 : positionOf(*record, value);
  propUnlock(record);
  if (n == 0 || p < 0) return 0;
  // A step below 1 moves nowhere: only the position itself counts.
  long up = step >= 1 ? (n - 1 - p) / step : 0;
  long down = step >= 1 ? p / step : 0;
  if (apertureCode(vendor, code)) std::swap(up, down);
  switch (mode) {
    case 2: return static_cast<uint32_t>(up + 1);
    case 1: return static_cast<uint32_t>(down + 1);
    case 0: return static_cast<uint32_t>(2 * std::min(up, down) + 1);
    default: return 1;
  }
}

std::optional<PropertyValueNamesStruct> propStepValue(uint32_t code, uint32_t value, int step, int count, int mode,
                                                      int side) {
  if (mode == side) {
    auto text = propValueText(code, value);
    if (!text) return std::nullopt;
    PropertyValueNamesStruct entry{};
    propSetText(entry.text, *text);
    entry.value = value;
    return entry;
  }
  const uint16_t vendor = camGetVendor();
  PropertyStruct* record = propFind(code, true);
  if (!record) return std::nullopt;
  std::optional<PropertyValueNamesStruct> result;
  const long p = positionOf(*record, value);
  if (p >= 0) {
    const int64_t n = mode == 0 && count != 1 ? (static_cast<int64_t>(count) - 1) / 2 + 1 : count;
    int64_t d = reversedCode(vendor, code) ? -1 : 1;
    if (side == 1) d = -d;
    const int64_t at = p + d * step * (n - 1);
    if (at >= 0 && at < static_cast<int64_t>(record->values.size())) result = record->values[static_cast<size_t>(at)];
  }
  propUnlock(record);
  return result;
}
