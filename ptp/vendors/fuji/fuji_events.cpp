#include "ptp/vendors/fuji/fuji_events.h"

#include <cstring>
#include <string>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_state.h"

namespace {
constexpr size_t kRecordHeaderBytes = 12;
constexpr size_t kMinimumRecords = 9;

struct Seen {
  uint32_t value;
  std::string text;
  uint8_t getSet;
  bool isString;
};

Seen seen(PropertyStruct* record) {
  propLock(record);
  Seen s{record->value, std::string(record->text, strnlen(record->text, sizeof record->text)), record->getSet,
         record->datatype == PTP_DTC_STR};
  propUnlock(record);
  return s;
}
}  // namespace

bool fujiPropertyChanged(PropertyStruct* record) {
  if (!record) return false;
  if (record->code >= kFujiPseudoCodeFirst && record->code <= kFujiLabelEndCode) {
    propLock(record);
    const bool marked = record->getSet != 0;
    record->getSet = 0;
    propUnlock(record);
    return marked;
  }
  const Seen before = seen(record);
  camRefreshProperty(record->code);
  const Seen after = seen(record);
  if (before.getSet != after.getSet) return true;
  return before.isString ? before.text != after.text : before.value != after.value;
}

PtpResponseCode fujiCheckEvents(std::vector<uint8_t>& data) {
  data.clear();
  const bool host = fujiIsHostMode();
  for (uint16_t i = 0; i < propCount(); ++i) {
    PropertyStruct* record = propAt(i);
    if (!record || !fujiPropertyChanged(record)) continue;
    uint8_t row[kFujiEventRowBytes] = {};
    propLock(record);
    bytesPutU16(row, PTP_EC_DEVICE_RowPropertyChanged);
    bytesPutU32(row + 2, record->code);
    bytesPutU32(row + 6, record->value);
    row[10] = host ? record->getSet : 0;
    propUnlock(record);
    try {
      data.insert(data.end(), row, row + sizeof row);
    } catch (const std::bad_alloc&) {
      data.clear();
      return ERROR_NO_MEMORY;
    }
  }
  return PTP_RC_OK;
}

bool fujiApplyPropertyRecords(std::span<const uint8_t> data) {
  if (data.size() < kMinimumRecords) return false;
  ByteReader r(data);
  size_t off = 0;
  while (off < data.size()) {
    const auto size = r.u32(off);
    if (!size) return false;
    if (*size == 0) break;
    if (*size < kRecordHeaderBytes || !r.has(off, *size)) return false;
    const uint32_t kind = *r.u32(off + 4);
    const uint32_t code = *r.u32(off + 8);
    if (kind == 0x4006 && propExists(code)) {
      const auto value = *r.bytes(off + kRecordHeaderBytes, *size - kRecordHeaderBytes);
      if (propParseCurrentValue(code, value) >= 0) evtQueuePropertyChanged(propFind(code, false), false);
    }
    off += *size;
  }
  return true;
}
