#include "ptp/vendors/fuji/fuji_afpoint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/fuji/fuji_autofocus.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
constexpr uint32_t kWideTracking = 0x8003;
constexpr size_t kFocusAreaChars = 32;

bool inRange(const FujiFocusPoint& p) {
  return std::abs(p.row) <= kFujiFocusOffsetLimit && std::abs(p.column) <= kFujiFocusOffsetLimit && p.size >= 0 &&
         p.size <= 9;
}

// An offset: optional '-', one or two digits, at most 19; advances text.
std::optional<int> offset(std::string_view& text) {
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  int value = 0, digits = 0;
  while (!text.empty() && text[0] >= '0' && text[0] <= '9' && digits < 2) {
    value = value * 10 + (text[0] - '0');
    text.remove_prefix(1);
    ++digits;
  }
  if (digits == 0 || value > kFujiFocusOffsetLimit) return std::nullopt;
  return negative ? -value : value;
}

bool comma(std::string_view& text) {
  if (text.empty() || text[0] != ',') return false;
  text.remove_prefix(1);
  return true;
}

PtpResponseCode writeFocusArea(const std::string& text) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(text.size() + 1)};
  for (char c : text) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  uint32_t code = kFujiFocusArea;
  return ptpTransaction(PTP_OC_SetDevicePropValue, &code, 1, bytes.data(), bytes.size(), nullptr, nullptr, true);
}
}  // namespace

std::optional<std::string> fujiFormatFocusArea(const FujiFocusPoint& point) {
  if (!inRange(point)) return std::nullopt;
  char text[kFocusAreaChars];
  std::snprintf(text, sizeof text, "%d,%d,%d", point.column, point.row, point.size);
  return std::string(text);
}

std::optional<FujiFocusPoint> fujiParseFocusArea(std::string_view text) {
  FujiFocusPoint p;
  const auto column = offset(text);
  if (!column || !comma(text)) return std::nullopt;
  const auto row = offset(text);
  if (!row || !comma(text)) return std::nullopt;
  if (text.size() != 1 || text[0] < '0' || text[0] > '9') return std::nullopt;
  p.column = *column;
  p.row = *row;
  p.size = text[0] - '0';
  return p;
}

PtpResponseCode fujiGetFocusPoint(FujiFocusPoint& point) {
  ByteBuffer reply;
  const PtpResponseCode rc = fujiGetDevicePropValue(kFujiFocusArea, reply);
  if (rc != PTP_RC_OK) return rc;
  if (reply.size() <= 1) return ERROR_GENERAL;
  char text[kFocusAreaChars] = {};
  if (ptpReadString(reply.data(), reply.size(), text, sizeof text) == 0) return ERROR_DATASET;
  const auto parsed = fujiParseFocusArea(std::string_view(text, strnlen(text, sizeof text)));
  if (!parsed) return ERROR_DATASET;
  point = *parsed;
  return PTP_RC_OK;
}

PtpResponseCode fujiSetFocusPoint(const FujiFocusPoint& point) {
  const auto text = fujiFormatFocusArea(point);
  if (!text) return ERROR_INVALID_INPUT;
  const uint8_t model = camModelIndex();
  std::optional<uint32_t> oldMode;
  if (model != 19 && model != 24) {
    oldMode = propCurrentValue(PTP_DPC_FocusMode);
    if (oldMode && *oldMode != kFujiManualFocus) {
      const PtpResponseCode rc = camSetPropertyValue(PTP_DPC_FocusMode, kFujiManualFocus, true);
      if (rc != PTP_RC_OK) return rc;
    }
  }
  const PtpResponseCode rc = writeFocusArea(*text);
  if (rc == PTP_RC_OK && oldMode && *oldMode >= 2) camSetPropertyValue(PTP_DPC_FocusMode, *oldMode, true);
  return rc;
}

PtpResponseCode fujiMoveAfPoint(int direction) {
  FujiFocusPoint p;
  const PtpResponseCode rc = fujiGetFocusPoint(p);
  if (rc != PTP_RC_OK) return rc;
  switch (direction) {
    case 0: ++p.row; break;
    case 1: --p.row; break;
    case 2: --p.column; break;
    case 3: ++p.column; break;
    default: break;
  }
  return fujiSetFocusPoint(p);
}

PtpResponseCode fujiSetAfPoint(float x, float y) {
  const PtpResponseCode rc = camRefreshPropertyValue(kFujiFocusPoints);
  if (rc != PTP_RC_OK) return rc;
  const auto grid = propCurrentValue(kFujiFocusPoints);
  const auto metering = propCurrentValue(PTP_DPC_FocusMeteringMode);
  if (!grid || !metering || !propExists(PTP_DPC_ImageSize)) return ERROR_BAD_REPLY;
  if (*metering == kWideTracking) return PTP_RC_InvalidDevicePropValue;
  int rows, columns;
  switch (*grid) {
    case 1: rows = 6, columns = 12; break;
    case 2: rows = 12, columns = 24; break;
    case 3: rows = 8, columns = 12; break;
    case 4: rows = 16, columns = 24; break;
    default: return ERROR_BAD_REPLY;
  }
  if (!std::isfinite(x)) x = 0.5f;
  if (!std::isfinite(y)) y = 0.5f;
  const double q = (std::clamp<double>(x, 0.08, 0.92) - 0.08) * 100 / (84.0 / columns);
  const double r = (std::clamp<double>(1.0 - y, 0.167, 0.833) - 0.167) * 100 / (66.6 / rows);
  FujiFocusPoint p;
  fujiGetFocusPoint(p);  // the current size stays
  p.column = std::min<int>(columns, static_cast<int>(std::lround(q))) - columns / 2;
  p.row = std::min<int>(rows, static_cast<int>(std::lround(r))) - rows / 2;
  return fujiSetFocusPoint(p);
}

PtpResponseCode fujiSyncAfFrameProperties() {
  float frame[4];
  const PtpResponseCode rc = fujiGetAfFrame(frame[0], frame[1], frame[2], frame[3]);
  if (rc != PTP_RC_OK) return rc;
  for (int i = 0; i < 4; ++i) {
    PropertyStruct* record = propFind(kFujiAfFrameCodes[i], true);
    if (!record) continue;
    // Rounded, not cut: a value read as thousandths must come back as itself.
    const auto value = static_cast<uint32_t>(std::lround(frame[i] * 1000.0f));
    if (record->value != value) {
      record->value = value;
      record->getSet = 1;
    }
    propUnlock(record);
  }
  return PTP_RC_OK;
}
