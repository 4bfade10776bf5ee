#include "ptp/vendors/fuji/fuji_lens.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "ptp/base/decimal_text.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
constexpr uint32_t kLensZoomPosition = 0xD38C;
constexpr uint32_t kLensFStop = 0xD38D;
constexpr uint32_t kFocalLength = 0xD38E;
constexpr size_t kLensFStopChars = 128;
constexpr std::chrono::milliseconds kTouchRetry{500};
// A body that reports position 0 is still settling.
constexpr std::chrono::seconds kSettle{5};

// Comma-separated decimal numbers; nullopt when a field is not one.
std::optional<std::vector<uint32_t>> numbers(std::string_view text, size_t cap) {
  std::vector<uint32_t> out;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view field = text.substr(0, comma);
    uint32_t n = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), n);
    if (ec != std::errc() || end != field.data() + field.size() || out.size() >= cap) return std::nullopt;
    out.push_back(n);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return out;
}

}  // namespace

PtpResponseCode fujiLoadApertureList() {
  camSetPropertyValue(kLensZoomPosition, 1, false);
  ByteBuffer reply;
  char text[kLensFStopChars + 1] = {};
  if (fujiGetDevicePropValue(kLensFStop, reply) != PTP_RC_OK || reply.empty() ||
      ptpReadString(reply.data(), reply.size(), text, sizeof text) == 0)
    return ERROR_DATASET;
  const auto stops = numbers(std::string_view(text, strnlen(text, sizeof text)), kFujiMaxLensStops);
  if (!stops) return ERROR_DATASET;
  std::vector<PropertyValueNamesStruct> list;
  try {
    list.reserve(stops->size());
  } catch (const std::bad_alloc&) {
    return ERROR_NO_MEMORY;
  }
  for (uint32_t n : *stops) {
    PropertyValueNamesStruct entry{};
    std::snprintf(entry.text, sizeof entry.text, "%s", textFixed(n / 100.0, 1).c_str());
    entry.value = n;
    list.push_back(entry);
  }
  PropertyStruct* record = propFind(PTP_DPC_FNumber, true);
  if (!record) return ERROR_GENERAL;
  record->values = std::move(list);
  record->count = static_cast<uint16_t>(record->values.size());
  propUnlock(record);
  return PTP_RC_OK;
}

PtpResponseCode fujiGetFocalLength(float& out) {
  if (!propExists(kFocalLength) || !fujiRefreshValue(kFocalLength)) return ERROR_BAD_REPLY;
  const auto p = propCopy(kFocalLength);
  if (!p) return ERROR_BAD_REPLY;
  const auto n = numbers(std::string_view(p->text, strnlen(p->text, sizeof p->text)), 2);
  if (!n || n->size() != 2) return ERROR_BAD_REPLY;
  out = static_cast<float>((*n)[1]) / 100.0f;
  return PTP_RC_OK;
}

PtpResponseCode fujiTouchColorSpace() {
  const auto value = propCurrentValue(kFujiColorSpace);
  if (!value) return PTP_ERROR_UNSUPPORTED_COMMAND;
  PtpResponseCode rc = camSetPropertyValue(kFujiColorSpace, *value, false);
  for (int retry = 0; rc == PTP_RC_DeviceBusy && retry < kFujiTouchBusyRetries; ++retry) {
    libSleep(kTouchRetry);
    rc = camSetPropertyValue(kFujiColorSpace, *value, false);
  }
  return rc;
}

PtpResponseCode fujiDriveFocus(int step) {
  fujiTouchColorSpace();
  if (!propExists(kFujiFocusPosition)) return ERROR_INVALID_INPUT;
  PtpResponseCode rc = camRefreshPropertyValue(kFujiFocusPosition);
  if (rc != PTP_RC_OK) return rc;
  if (propCurrentValue(kFujiFocusPosition).value_or(0) == 0) {
    libSleep(kSettle);
    rc = camRefreshPropertyValue(kFujiFocusPosition);
    if (rc != PTP_RC_OK) return rc;
  }
  const int32_t position = static_cast<int32_t>(propCurrentValue(kFujiFocusPosition).value_or(0));
  const auto target = static_cast<int16_t>(position + step);
  return camSetPropertyValue(kFujiFocusPosition, static_cast<uint32_t>(static_cast<int32_t>(target)), false);
}

PtpResponseCode fujiSetFocusPosition(uint32_t position) {
  return camSetPropertyValue(kFujiFocusPosition, position, false);
}

PtpResponseCode fujiGetFocusPosition(uint16_t& out, bool refresh) {
  if (!propExists(kFujiFocusPosition)) return ERROR_CAMERA_NOT_SUPPORTED;
  if (refresh) {
    const PtpResponseCode rc = camRefreshPropertyValue(kFujiFocusPosition);
    if (rc != PTP_RC_OK) return rc;
  }
  out = static_cast<uint16_t>(propCurrentValue(kFujiFocusPosition).value_or(0));
  return PTP_RC_OK;
}
