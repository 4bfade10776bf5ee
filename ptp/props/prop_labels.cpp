#include "ptp/props/prop_labels.h"

#include <cstring>
#include <mutex>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"

namespace {
struct Labels {
  std::mutex mutex;
  std::span<const PropertyLabelRow> rows;
  uint32_t endCode = 0;
};

Labels& L() {
  static Labels* l = new Labels;
  return *l;
}
}  // namespace

void propSetLabelTable(std::span<const PropertyLabelRow> rows, uint32_t endCode) {
  std::lock_guard lock(L().mutex);
  L().rows = rows;
  L().endCode = endCode;
}

const PropertyLabelRow* propLabelRowFor(uint32_t code) {
  std::lock_guard lock(L().mutex);
  for (const PropertyLabelRow& row : L().rows) {
    if (row.code == code) return &row;
    if (row.code == L().endCode) break;
  }
  return nullptr;
}

const char* propLabelFor(uint32_t code) {
  const PropertyLabelRow* row = propLabelRowFor(code);
  return row ? row->label : nullptr;
}

std::optional<std::string> propValueText(uint32_t code, uint32_t value) {
  auto services = cameraServices();
  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorNikon && code == 0xD0B5) return "ISO " + std::to_string(static_cast<int32_t>(value));
  if (vendor >= CameraVendorFujifilm && vendor <= CameraVendorNikon) {
    if (auto text = services->vendorValueText(code, value)) return text;
  }
  const PropertyLabelRow* row = propLabelRowFor(code);
  if (!row || !row->valueNames) return std::nullopt;
  const auto datatype = static_cast<int32_t>(row->datatype);
  for (const PropertyValueNamesStruct* name = row->valueNames; name->text[0] != '\0'; ++name) {
    if (name->value == value) return std::string(name->text, strnlen(name->text, kPropValueTextBytes));
  }
  return propFormatValue(datatype, value);
}
