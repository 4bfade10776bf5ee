// Table set-up of a Fujifilm body, the image format written back, and small reads.
#include <string>

#include "ptp/camera/cam_interface.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
constexpr uint32_t kMediaRecording = 0xD20C;
constexpr uint32_t kPtpErrorStatus = 0xD21C;

// Quality of a RAW + JPEG pair from the JPEG code.
uint32_t rawQualityFor(uint32_t jpegCode) {
  switch (jpegCode) {
    case 2: return 4;
    case 3: return 5;
    case 6: return 7;
    default: return 1;
  }
}

// Sets code to value (waiting) unless it holds it already.
PtpResponseCode setIfDifferent(uint32_t code, uint32_t value) {
  const auto current = propCurrentValue(code);
  if (!current) return ERROR_GENERAL;
  if (*current == value) return PTP_RC_OK;
  return camSetPropertyValue(code, value, true);
}
}  // namespace

void propLoadFixedCodes() {
  propClearTable();
  for (uint32_t code : fujiTrackedCodes()) {
    if (propCount() >= kPropTableCapacity) return;
    if (code >= kFujiPseudoCodeFirst) {
      PropertyStruct* record = propAdd(code, true, true);
      if (!record) return;
      record->datatype = PTP_DTC_INT32;
      record->getSet = 0;
      record->value = 0;
      const PropertyLabelRow* row = fujiLabelRowFor(code);
      record->label = row ? row->label : nullptr;
      propUnlock(record);
      continue;
    }
    // Described first, added only when the body answers: a code it does not know never
    // becomes a record.
    PropertyStruct described;
    described.code = code;
    std::vector<uint8_t> desc;
    if (ptpGetDevicePropDesc(code, desc) != PTP_RC_OK || !propParseDesc(&described, desc)) continue;
    PropertyStruct* record = propAdd(code, true, true);
    if (!record) return;
    static_cast<PropertyData&>(*record) = static_cast<PropertyData&>(described);
    propUnlock(record);
  }
}

PtpResponseCode fujiInitCamera() {
  fujiState().liveViewOn = false;
  propSetLabelTable(fujiPropertyLabels(), kFujiLabelEndCode);
  propLoadFixedCodes();
  camSetPropertyValue(kMediaRecording, 1, true);
  return PTP_RC_OK;
}

PtpResponseCode fujiSetImageFormat(int64_t raw, int64_t jpeg) {
  if (raw == kFujiFormatNone && jpeg == kFujiFormatNone) return ERROR_GENERAL;
  const uint32_t rawBits = static_cast<uint32_t>(raw), jpegBits = static_cast<uint32_t>(jpeg);
  const bool rawMarked = raw != kFujiFormatNone && ((rawBits >> 16) & 0xFF) == 1;
  const uint32_t quality = rawMarked ? rawQualityFor(jpeg == kFujiFormatNone ? 0 : jpegBits & 0xFF) : jpegBits & 0xFF;
  PtpResponseCode rc = setIfDifferent(kFujiImageQuality, quality);
  if (rc != PTP_RC_OK) return rc;
  if (raw != kFujiFormatNone && propExists(kFujiRawCompression)) {
    rc = setIfDifferent(kFujiRawCompression, rawBits >> 24);
    if (rc != PTP_RC_OK) return rc;
  }
  if (jpeg == kFujiFormatNone) return PTP_RC_OK;
  const auto size = propCurrentValue(PTP_DPC_ImageSize);
  if (!size) return ERROR_GENERAL;
  const uint32_t index = (jpegBits >> 8) & 0xFF;
  if (index == *size) return PTP_RC_OK;
  const char* name = fujiImageSizeName(index);
  if (!name) return ERROR_GENERAL;
  return fujiSetStringProperty(PTP_DPC_ImageSize, name);
}

PtpResponseCode fujiGetNewObjectHandles(std::vector<uint32_t>& handles) {
  handles.clear();
  return camGetObjectHandles(0xFFFFFFFF, 0, 0, handles);
}

PtpResponseCode fujiTakePtpErrorStatus(uint16_t& out) {
  out = 0;
  if (!propExists(kPtpErrorStatus)) return ERROR_BAD_REPLY;
  if (!fujiRefreshValue(kPtpErrorStatus)) return ERROR_GENERAL;
  out = static_cast<uint16_t>(propCurrentValue(kPtpErrorStatus).value_or(0));
  return camSetPropertyValue(kPtpErrorStatus, 0, false);
}
