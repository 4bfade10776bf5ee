#include "ptp/vendors/canon/canon_events.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/object_info_dataset.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/canon/canon_labels.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_ops.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/canon/canon_values.h"

namespace {

constexpr uint32_t kObjectAdded = 0xC181;
constexpr uint32_t kObjectRemoved = 0xC182;
constexpr uint32_t kWordEventA = 0xC186;
constexpr uint32_t kWordEventB = 0xC188;
constexpr uint32_t kPropValue = 0xC189;
constexpr uint32_t kPropList = 0xC18A;
constexpr uint32_t kBusyRetry = 0xC18B;
constexpr uint32_t kObjectAddedNamed = 0xC1A7;
constexpr uint32_t kObjectAddedPtpName = 0xC1B6;
constexpr uint32_t kFocusMode = 0xD108;

bool isImageFormat(uint32_t code) { return code >= 0xD120 && code <= 0xD123; }

struct Pending {
  uint32_t code;
  std::vector<uint8_t> value;
};

// The value-name text of a value in the code's label row; empty when none.
std::string labelText(uint32_t code, uint32_t value) {
  const PropertyLabelRow* row = propLabelRowFor(code);
  if (!row || !row->valueNames) return {};
  for (const PropertyValueNamesStruct* e = row->valueNames; e->text[0] != '\0'; ++e)
    if (e->value == value) return std::string(e->text, strnlen(e->text, sizeof e->text));
  return {};
}

void storeValue(PropertyStruct* r, std::span<const uint8_t> bytes) {
  propLock(r);
  if (r->datatype == PTP_DTC_STR) {
    std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size() < kPropTextBytes ? bytes.size() : kPropTextBytes);
    propSetText(r->text, text);
  } else {
    propParseCurrentValue(r->code, bytes);
    if (r->code == kFocusMode) r->getSet = 0;
  }
  propUnlock(r);
  evtQueuePropertyChanged(r, true);
}

// The value bytes of a 0xC189 record; image formats packed into one u32 first.
bool valueBytes(uint32_t code, std::span<const uint8_t> raw, std::vector<uint8_t>& out) {
  if (!isImageFormat(code)) {
    out.assign(raw.begin(), raw.end());
    return true;
  }
  uint32_t packed = 0;
  size_t consumed = 0;
  if (canonPackImageFormat(raw, packed, consumed) != PTP_RC_OK) return false;
  out.resize(4);
  std::memcpy(out.data(), &packed, 4);
  return true;
}

void propertyValue(ByteReader rec, std::vector<Pending>& pending) {
  const auto code = rec.u32(8);
  if (!code || rec.size() <= 12) return;
  std::vector<uint8_t> value;
  if (!valueBytes(*code, std::span<const uint8_t>(rec.data() + 12, rec.size() - 12), value)) return;
  if (PropertyStruct* r = propFind(*code, false)) {
    storeValue(r, value);
    return;
  }
  for (Pending& p : pending) {
    if (p.code == *code) {
      p.value = std::move(value);
      return;
    }
  }
  if (pending.size() < kCanonMaxPendingValues) pending.push_back({*code, std::move(value)});
}

void addEntry(PropertyStruct* r, uint32_t code, uint32_t value) {
  PropertyValueNamesStruct e{};
  e.value = value;
  std::string text = labelText(code, value);
  if (text.empty()) text = std::to_string(static_cast<int32_t>(value));
  propSetText(e.text, text);
  r->values.push_back(e);
}

// 0: the record could not be created.
bool propertyList(ByteReader rec) {
  const auto codeField = rec.u32(8);
  if (!codeField) return true;
  const uint32_t code = *codeField;
  PropertyStruct* r = propFind(code, true);
  if (!r) r = propAdd(code, true, true);
  if (!r) return false;
  r->values.clear();
  r->count = 0;
  if (propLabelRowFor(code)) {
    uint32_t count = rec.u16(16).value_or(0);
    r->label = propLabelFor(code);
    r->datatype = canonPropertyDatatype(code);
    r->getSet = code == kFocusMode || count == 0 ? 0 : 1;
    const size_t listBytes = rec.size() > 20 ? rec.size() - 20 : 0;
    if (!isImageFormat(code) && listBytes / 4 < count) count = 0;
    size_t off = 20;
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t value = 0;
      if (isImageFormat(code)) {
        size_t consumed = 0;
        if (!rec.has(off, 1) ||
            canonPackImageFormat(std::span<const uint8_t>(rec.data() + off, rec.size() - off), value, consumed) !=
                PTP_RC_OK)
          break;
        off += consumed;
      } else {
        value = *rec.u32(off);
        off += 4;
      }
      addEntry(r, code, value);
    }
    r->count = static_cast<uint16_t>(r->values.size());
    r->getSet = r->count >= 2 ? 1 : 0;
    const uint8_t model = camModelIndex();
    if (model >= 245 && model <= 250 && r->count == 1 && (code == 0xD101 || code == 0xD102)) r->value = 0;
    if (model == 230 && code == 0xD1D9 && r->count == 0 && canonIsBracketingAvailable(false))
      canonFillBracketingChoices(*r);
  }
  propUnlock(r);
  evtQueuePropertyChanged(r, true);
  return true;
}

void objectAdded(uint32_t handle) {
  PtpObjectInfoStruct record{};
  if (ptpGetObjectInfo(handle, &record) != PTP_RC_OK) return;
  record.objectId = handle;
  evtQueueObjectAdded(record, true);
}

void objectAddedNamed(ByteReader rec, bool ptpName) {
  const auto handle = rec.u32(8);
  const auto format = rec.u16(16);
  const auto size = rec.u32(28);
  if (!handle || !format || !size) return;
  PtpObjectInfoStruct record{};
  record.objectId = *handle;
  record.objectFormat = *format;
  record.objectCompressedSize = *size;
  if (ptpName) {
    if (!rec.has(48, 1)) return;
    if (!ptpReadString(rec.data() + 48, rec.size() - 48, record.fileName, sizeof record.fileName)) return;
  } else {
    if (!rec.has(44, 1)) return;
    const char* name = reinterpret_cast<const char*>(rec.data() + 44);
    const size_t n = strnlen(name, std::min(rec.size() - 44, sizeof record.fileName - 1));
    std::memcpy(record.fileName, name, n);
    record.fileNameLength = static_cast<uint16_t>(n + 1);
  }
  evtQueueObjectAdded(record, true);
}

void wordEvent(uint32_t code, uint32_t word) {
  PtpEventStruct e{};
  e.code = code;
  e.objectHandle = word;
  evtPush(e, true);
}

void addFocusModeRecord(std::span<const uint8_t> value) {
  PropertyStruct* r = propAdd(kFocusMode, true, true);
  if (!r) return;
  r->label = propLabelFor(kFocusMode);
  r->datatype = PTP_DTC_UINT16;
  uint16_t v = 0;
  std::memcpy(&v, value.data(), value.size() < 2 ? value.size() : 2);
  r->value = v;
  const std::string text = labelText(kFocusMode, v);
  if (!text.empty()) propSetText(r->text, text);
  r->getSet = 0;
  static const char* const kNames[] = {"One Shot", "AI Servo", "AI Focus", "MF"};
  for (uint32_t i = 0; i < 4; ++i) {
    PropertyValueNamesStruct e{};
    e.value = i;
    propSetText(e.text, kNames[i]);
    r->values.push_back(e);
  }
  r->count = 4;
  propUnlock(r);
}

void addEvfOutputRecord() {
  PropertyStruct* r = propAdd(0xD1B0, true, true);
  if (!r) return;
  r->label = propLabelFor(0xD1B0);
  r->datatype = PTP_DTC_UINT16;
  r->getSet = 1;
  for (uint32_t i = 0; i < 4; ++i) {
    PropertyValueNamesStruct e{};
    e.value = i;
    r->values.push_back(e);
  }
  r->count = 4;
  propUnlock(r);
}

bool settlePending(const std::vector<Pending>& pending) {
  const uint8_t model = camModelIndex();
  for (const Pending& p : pending) {
    if (PropertyStruct* r = propFind(p.code, false)) {
      storeValue(r, p.value);
    } else if (p.code == kFocusMode && (canonIsRecentModel() || model == 227)) {
      addFocusModeRecord(p.value);
      if (!propExists(kFocusMode)) return false;
    } else if (p.code == 0xD1B0 && model == 251) {
      addEvfOutputRecord();
      if (!propExists(0xD1B0)) return false;
    }
  }
  return true;
}

}  // namespace

PtpResponseCode canonGetEvent(ByteBuffer& data, bool blocking) {
  data.clear();
  return ptpTransaction(kCanonOpGetEvent, nullptr, 0, nullptr, 0, &data, nullptr, blocking);
}

PtpResponseCode canonParseEvents(const uint8_t* data, size_t length) {
  if (!data || length == 0) return ERROR_INVALID_INPUT;
  std::vector<Pending> pending;
  ByteReader in(data, length);
  size_t off = 0;
  while (off < length) {
    const auto len = in.u32(off);
    const auto type = in.u32(off + 4);
    if (!len || !type || *len == 0) break;
    // A record's payload is read within its own length, cut at the data's end.
    const size_t recordBytes = *len < length - off ? *len : length - off;
    ByteReader rec(data + off, recordBytes);
    switch (*type) {
      case kObjectAdded:
        if (auto h = rec.u32(8)) objectAdded(*h);
        break;
      case kObjectAddedNamed: objectAddedNamed(rec, false); break;
      case kObjectAddedPtpName: objectAddedNamed(rec, true); break;
      case kObjectRemoved:
        if (auto h = rec.u32(8)) evtQueueObjectRemoved(*h, true);
        break;
      case kWordEventA:
      case kWordEventB:
        if (auto w = rec.u32(8)) wordEvent(*type, *w);
        break;
      case kPropValue: propertyValue(rec, pending); break;
      case kPropList:
        if (!propertyList(rec)) return 0;
        break;
      case kBusyRetry:
        if (auto w = rec.u32(8)) canonSetBusyRetryFlag(*w != 0);
        break;
      case kCanonEventFocusInfo: canonParseFocusInfo(data + off, recordBytes); break;
      default: break;
    }
    if (*len >= length - off) break;
    off += *len;
  }
  if (!settlePending(pending)) return 0;
  return PTP_RC_OK;
}
