#include "ptp/vendors/sony/sony_props.h"

#include <algorithm>
#include <optional>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "ptp/vendors/sony/sony_state.h"
#include "ptp/vendors/sony/sony_values.h"

namespace {

constexpr uint8_t kFormRange = 1;
constexpr uint8_t kFormEnumeration = 2;

bool isFormatPart(uint32_t code) {
  return code == kSonyImageFormatNew || code == PTP_DPC_CompressionSetting || code == kSonyImageCompression ||
         code == kSonyImageSize;
}

// A value of the datatype's size at off. Of an eight-byte value the upper half is the
// value (the lower half of 0xD254 is the live-view position).
std::optional<uint32_t> readValue(const ByteReader& r, uint64_t off, uint32_t size) {
  switch (size) {
    case 1: return r.u8(off);
    case 2: return r.u16(off);
    case 4: return r.u32(off);
    case 8: return r.u32(off + 4);
    default: return std::nullopt;
  }
}

struct Descriptor {
  uint32_t code = 0;
  int32_t datatype = 0;
  uint8_t settable = 0;
  uint32_t value = 0;
  std::optional<uint32_t> position;  // 0xD254's lower half
  uint8_t form = 0;
  bool measureOnly = false;
  std::vector<uint32_t> list;  // enumeration values
  size_t length = 0;
};

// Where the enumeration count of a few codes starts when the settable byte is 2: the
// first of up to five words after the current value that looks like a count.
std::optional<uint64_t> probedCount(const ByteReader& r, uint32_t code, uint64_t from) {
  for (uint64_t k = 0; k < 5; ++k) {
    const auto w = r.u16(from + 2 * k);
    if (!w) return std::nullopt;
    if (code == kSonyImageSize ? *w != 0 : (*w >= 10 && *w <= 50)) return from + 2 * k;
  }
  return std::nullopt;
}

std::optional<Descriptor> readDescriptor(std::span<const uint8_t> bytes) {
  const ByteReader r(bytes);
  const auto code = r.u16(0), datatype = r.u16(2);
  const auto settable = r.u8(5);
  if (!code || !datatype || !settable) return std::nullopt;
  const uint32_t s = *datatype >= 1 && *datatype <= 8 ? ptpDatatypeSize(*datatype) : 0;
  if (s == 0 || !r.has(6, 2 * s)) return std::nullopt;

  Descriptor d;
  d.code = *code;
  d.datatype = *datatype;
  d.settable = *settable;
  const uint8_t model = camModelIndex();
  if (d.code == 0x500E && (model == 167 || model == 174 || model == 175 || model == 184)) d.settable = 0;
  const uint64_t currentAt = 6 + s;
  d.value = *readValue(r, currentAt, s);
  if (d.code == 0xD254 && s == 8) d.position = r.u32(currentAt);

  const uint64_t formAt = 6 + 2 * s;
  const auto form = r.u8(formAt);
  if (!form) return std::nullopt;
  d.form = *form;
  uint64_t countAt = formAt + 1;
  if (*settable == 2 && (d.code == 0x500E || d.code == kSonyImageSize || d.code == 0x5010)) {
    if (auto at = probedCount(r, d.code, formAt)) {
      d.form = kFormEnumeration;
      countAt = *at;
    }
  }
  const bool dialled = !sonyIsDirectSetModel() && (d.code == 0xD21E || d.code == 0xD20D);
  d.measureOnly = dialled || !propLabelRowFor(d.code);

  if (d.form == kFormEnumeration) {
    const auto count = r.u16(countAt);
    if (!count || !r.has(countAt + 2, uint64_t(*count) * s)) return std::nullopt;
    uint64_t end = countAt + 2;
    for (uint32_t i = 0; i < *count; ++i, end += s) {
      if (!d.measureOnly && d.list.size() < kSonyMaxListEntries) d.list.push_back(*readValue(r, end, s));
    }
    if (*count == 0) {
      const auto next = r.u16(end);
      if (next && *next == 0) end += 2;
    }
    if (sonyIsDirectSetModel() && !dialled) {
      if (const auto second = r.u16(end)) {
        end += 2;
        if (*second < 100) {
          if (!r.has(end, uint64_t(*second) * s)) return std::nullopt;
          end += uint64_t(*second) * s;
        }
      }
    }
    d.length = end;
  } else if (d.form == kFormRange) {
    if (!r.has(formAt + 1, 3 * s)) return std::nullopt;
    d.length = formAt + 1 + 3 * s;
  } else {
    d.length = formAt + 1;
  }
  return d;
}

bool sameValues(const PropertyData& r, const std::vector<uint32_t>& list) {
  if (r.values.size() != list.size()) return false;
  for (size_t i = 0; i < list.size(); ++i)
    if (r.values[i].value != list[i]) return false;
  return true;
}

void fillList(PropertyStruct& r, const std::vector<uint32_t>& list) {
  r.values.clear();
  for (size_t i = 0; i < list.size() && i < kSonyMaxListEntries; ++i) {
    PropertyValueNamesStruct e{};
    e.value = list[i];
    propSetText(e.text, sonyDisplayText(r.code, list[i], r.datatype));
    r.values.push_back(e);
  }
  r.count = static_cast<uint16_t>(r.values.size());
}

bool lowByteOnly(uint32_t code) { return code == kSonyImageFormatNew || code == PTP_DPC_CompressionSetting; }

}  // namespace

std::mutex& sonyRefreshLock() {
  static std::mutex lock;
  return lock;
}

PtpResponseCode sonyParseDescriptor(std::span<const uint8_t> bytes, size_t& length, bool& changed,
                                    PropertyStruct** recordOut) {
  changed = false;
  if (recordOut) *recordOut = nullptr;
  const auto d = readDescriptor(bytes);
  if (!d) return ERROR_INVALID_INPUT;
  length = d->length;

  bool created = false;
  PropertyStruct* r = propFind(d->code, true);
  if (!r) {
    r = propAdd(d->code, true, true);
    if (!r) return PTP_RC_OK;  // table full: the descriptor is skipped
    created = true;
  }
  const uint32_t mask = lowByteOnly(d->code) ? 0xFF : 0xFFFFFFFF;
  changed = created || r->getSet != d->settable || (r->value & mask) != (d->value & mask);
  r->datatype = d->datatype;
  r->label = propLabelFor(d->code);
  r->getSet = d->settable;
  r->value = d->value;
  propSetText(r->text, sonyDisplayText(d->code, d->value, d->datatype));
  if (d->position) sonySetLiveViewPosition(*d->position);

  if (!d->measureOnly) {
    if (d->form == kFormEnumeration) {
      // Rebuilt when any value differs, not only the count: a mode change can swap the
      // choices for as many others.
      if (!sameValues(*r, d->list)) fillList(*r, d->list);
    } else if (d->form == kFormRange) {
      if (d->code == 0xD20F) {
        if (r->values.empty()) fillList(*r, sonyColorTemperatureList());
      } else {
        r->values.clear();
        r->count = kPropCountAnyValue;
      }
    }
  }
  propUnlock(r);
  if (isFormatPart(d->code)) sonyRebuildQualityValue();
  if (recordOut) *recordOut = r;
  return PTP_RC_OK;
}

PtpResponseCode sonyParseProperty(uint32_t code, std::span<const uint8_t> reply, bool queueEvent) {
  std::optional<int32_t> datatype;
  if (PropertyStruct* existing = propFind(code, true)) {
    datatype = existing->datatype;
    propUnlock(existing);
  }
  const ByteReader r(reply);
  for (size_t at = std::min<size_t>(8, reply.size()); at + 4 <= reply.size(); ++at) {
    if (*r.u16(at) != code || (datatype && *datatype != 0 && *r.u16(at + 2) != *datatype)) continue;
    size_t length = 0;
    bool changed = false;
    PropertyStruct* record = nullptr;
    const PtpResponseCode rc = sonyParseDescriptor(reply.subspan(at), length, changed, &record);
    if (rc != PTP_RC_OK) return rc;
    if (queueEvent && changed && record) evtQueuePropertyChanged(record, false);
    return PTP_RC_OK;
  }
  return PTP_RC_Undefined;
}

PtpResponseCode sonyParseAllProperties(std::span<const uint8_t> reply) {
  {
    std::lock_guard lock(sonyRefreshLock());
    for (const PropertyLabelRow& row : sonyPropertyLabels())
      if (row.code != 0) sonyParseProperty(row.code, reply, true);
  }
  evtRunAfterEvents();
  return PTP_RC_OK;
}

PtpResponseCode sonyParseReply(std::span<const uint8_t> reply, bool queueEvents) {
  PtpResponseCode result = PTP_RC_OK;
  bool queued = false;
  {
    std::lock_guard lock(sonyRefreshLock());
    size_t at = 8;
    while (at < reply.size()) {
      size_t length = 0;
      bool changed = false;
      PropertyStruct* record = nullptr;
      result = sonyParseDescriptor(reply.subspan(at), length, changed, &record);
      if (result != PTP_RC_OK || length == 0) break;
      if (queueEvents && changed && record) queued |= evtQueuePropertyChanged(record, false);
      at += length;
    }
  }
  if (queued) evtRunAfterEvents();
  return result;
}

bool sonySetValueList(uint32_t code, const std::vector<uint32_t>& values) {
  PropertyStruct* r = propFind(code, true);
  if (!r) return false;
  fillList(*r, values);
  propUnlock(r);
  return true;
}

PropertyStruct* sonyStorePropertyValue(uint32_t code, uint32_t value, uint8_t settable) {
  PropertyStruct* r = propFind(code, true);
  if (!r) return nullptr;
  const uint32_t old = r->value;
  r->value = value;
  r->getSet = settable;
  propSetText(r->text, sonyDisplayText(code, value, r->datatype));
  propUnlock(r);

  if (isFormatPart(code)) {
    sonyRebuildQualityValue();
    if (PropertyStruct* format = propFind(sonyImageFormatCode(), false)) evtQueuePropertyChanged(format, false);
  }
  if (code == 0x500E && old != value) {
    // Non-blocking: an event parse that stores here already holds the event lock.
    evtPoll(false, false);
    if (sonyHasModelCapabilityB()) {
      if (sonyIsFocusEngaged()) {
        sonySetControlDevice(0xD2D2, 1, 2);
        sonySetControlDevice(0xD2D2, 2, 2);
      }
      propLock(r);
      r->getSet = 0;
      propUnlock(r);
    }
  }
  return r;
}
