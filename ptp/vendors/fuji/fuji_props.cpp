#include "ptp/vendors/fuji/fuji_props.h"

#include <cstring>
#include <initializer_list>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_lens.h"
#include "ptp/vendors/fuji/fuji_liveview.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"

namespace {
constexpr uint32_t kPriorityMode = 0xD207;
constexpr uint32_t kUserComment = 0xD100;
constexpr int kWaitPasses = 10;
constexpr std::chrono::milliseconds kWaitPause{100};

bool isExposureRecord(uint32_t code) {
  return code == PTP_DPC_ExposureBiasCompensation || code == PTP_DPC_ExposureTime || code == PTP_DPC_FNumber;
}

bool settableUnder(uint32_t code, uint32_t program) {
  if (code == PTP_DPC_ExposureBiasCompensation) return camIsExposureBiasSettable(program);
  if (code == PTP_DPC_ExposureTime) return camIsShutterSettable(program);
  return camIsApertureSettable(program);
}

void setGetSet(PropertyStruct* record, uint8_t getSet) {
  propLock(record);
  record->getSet = getSet;
  propUnlock(record);
}

PtpResponseCode sendValue(uint32_t code, const uint8_t* data, size_t size) {
  return ptpTransaction(PTP_OC_SetDevicePropValue, &code, 1, data, size, nullptr, nullptr, true);
}
}  // namespace

PtpResponseCode fujiGetDevicePropValue(uint32_t code, ByteBuffer& data) {
  data.clear();
  return ptpTransaction(PTP_OC_GetDevicePropValue, &code, 1, nullptr, 0, &data, nullptr, true);
}

PtpResponseCode fujiGetDevicePropDesc(uint32_t code, std::vector<uint8_t>& data) {
  data.clear();
  ByteBuffer reply;
  const PtpResponseCode rc = ptpTransaction(PTP_OC_GetDevicePropDesc, &code, 1, nullptr, 0, &reply, nullptr, true);
  if (rc == PTP_RC_OK) data.assign(reply.begin(), reply.end());
  return rc;
}

PtpResponseCode fujiSetPropertyValue(uint32_t code, uint32_t value) {
  int32_t datatype;
  if (const auto p = propCopy(code)) {
    datatype = p->datatype;
  } else if (const PropertyLabelRow* row = fujiLabelRowFor(code)) {
    datatype = static_cast<int32_t>(row->datatype);
  } else {
    return PTP_ERROR_UNSUPPORTED_COMMAND;
  }
  // A text goes as a PTP string (fujiSetStringProperty); its bytes are not in `value`.
  const uint32_t size = datatype == PTP_DTC_STR ? 0 : ptpDatatypeSize(datatype);
  if (size == 0) return ERROR_INVALID_INPUT;
  const uint8_t model = camModelIndex();
  if (fujiState().liveViewOn && model != 35 && model != 36 && model != 37) {
    const PtpResponseCode rc = fujiStopLiveViewForSet();
    if (rc != PTP_RC_OK) return rc;
    fujiState().liveViewStopped = true;
  }
  uint8_t bytes[8] = {};
  for (uint32_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  return sendValue(code, bytes, size);
}

bool fujiTakeLiveViewStoppedForSet() { return fujiState().liveViewStopped.exchange(false); }

PtpResponseCode fujiSetStringProperty(uint32_t code, const char* text) {
  if (!propExists(code)) return PTP_ERROR_UNSUPPORTED_COMMAND;
  if (!text || !*text) return ERROR_INVALID_INPUT;
  const size_t length = strnlen(text, kFujiMaxStringLength + 1);
  if (length > kFujiMaxStringLength) return ERROR_INVALID_INPUT;
  std::vector<uint8_t> bytes;
  bytes.reserve(2 * length + 3);
  bytes.push_back(static_cast<uint8_t>(length + 1));
  for (size_t i = 0; i < length; ++i) {
    bytes.push_back(static_cast<uint8_t>(text[i]));
    bytes.push_back(0);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return sendValue(code, bytes.data(), bytes.size());
}

PtpResponseCode fujiSetUserComment(const char* text) { return fujiSetStringProperty(kUserComment, text); }

PtpResponseCode fujiSetHostMode(bool on) {
  const PtpResponseCode rc = camSetPropertyValue(kPriorityMode, on ? 2 : 1, false);
  if (rc == PTP_RC_OK) {
    fujiState().hostMode = on;
    camRefreshAllProperties();
  }
  return rc;
}

bool fujiRefreshProperty(uint32_t code) {
  PropertyStruct* record = propFind(code, false);
  if (!record || !propRefresh(record)) return false;
  const auto program = propCurrentValue(PTP_DPC_ExposureProgramMode);
  if (isExposureRecord(code)) {
    if (program) setGetSet(record, settableUnder(code, *program) ? 1 : 0);
    if (code == PTP_DPC_FNumber) fujiLoadApertureList();
  } else if (code == PTP_DPC_ExposureProgramMode && program) {
    for (uint32_t dependent : {PTP_DPC_FNumber, PTP_DPC_ExposureTime, PTP_DPC_ExposureBiasCompensation}) {
      PropertyStruct* d = propFind(dependent, false);
      if (!d) continue;
      setGetSet(d, settableUnder(dependent, *program) ? 1 : 0);
      evtQueuePropertyChanged(d, false);
    }
  }
  if (!fujiIsHostMode()) setGetSet(record, 0);
  evtQueuePropertyChanged(record, true);
  return true;
}

PtpResponseCode fujiRefreshAllProperties() {
  for (uint16_t i = 0; i < propCount(); ++i) {
    PropertyStruct* record = propAt(i);
    if (!record) break;
    // The AF-frame pseudo-properties are kept here; the body has nothing to re-read.
    if (record->code >= kFujiPseudoCodeFirst) continue;
    if (camRefreshProperty(record->code) != PTP_RC_OK) return ERROR_GENERAL;
  }
  return PTP_RC_OK;
}

bool fujiRefreshValue(uint32_t code) {
  PropertyStruct* record = propFind(code, true);
  if (!record) return false;
  ByteBuffer data;
  const bool ok = fujiGetDevicePropValue(code, data) == PTP_RC_OK &&
                  propParseCurrentValue(code, std::span<const uint8_t>(data.data(), data.size())) >= 0;
  propUnlock(record);
  return ok;
}

bool fujiWaitPropertyValue(uint32_t code, uint32_t value) {
  for (int pass = 0; pass < kWaitPasses; ++pass) {
    if (!fujiRefreshValue(code)) return false;
    if (propCurrentValue(code) == value) return true;
    libSleep(kWaitPause);
  }
  return false;
}

PropertyStruct* fujiStorePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) {
  PropertyStruct* record = propFind(code, true);
  if (!record) return nullptr;
  if (record->datatype == PTP_DTC_STR) {
    fujiRefreshValue(code);
  } else {
    record->value = value;
    propSetText(record->text, propValueText(code, value).value_or(propFormatValue(record->datatype, value)));
  }
  record->getSet = fujiIsHostMode() ? getSet : 0;
  propUnlock(record);
  return record;
}

PtpResponseCode fujiGetPropertyValues(std::span<const uint32_t> codes, std::vector<uint8_t>& data) {
  data.clear();
  for (uint32_t code : codes) {
    ByteBuffer value;
    const PtpResponseCode rc = camGetDevicePropValue(code, value);
    if (rc != PTP_RC_OK) return rc;
    uint8_t head[8];
    bytesPutU32(head, code);
    bytesPutU32(head + 4, static_cast<uint32_t>(value.size()));
    data.insert(data.end(), head, head + 8);
    data.insert(data.end(), value.begin(), value.end());
  }
  return PTP_RC_OK;
}

PtpResponseCode fujiSetLiveViewQuality(uint32_t value) { return camSetPropertyValue(0xD173, value, false); }
PtpResponseCode fujiSetLiveViewSize(uint32_t value) { return camSetPropertyValue(0xD174, value, false); }
