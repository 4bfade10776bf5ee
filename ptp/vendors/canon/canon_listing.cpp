#include "ptp/vendors/canon/canon_listing.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/protocol/storage_info.h"

namespace {

constexpr uint16_t kOpListObjects = 0x9109;
constexpr uint16_t kOpListObjectsNewer = 0x9170;
constexpr uint16_t kOpListObjectsNamed = 0x917A;
constexpr uint16_t kOpExtraInfo = 0x9135;
constexpr uint32_t kListFlags = 0x00200000;
constexpr uint32_t kRootParent = 0xFFFFFFFF;
constexpr uint16_t kFolder = 0x3001;
constexpr uint16_t kJpegFamily = 0x300D;
constexpr size_t kNameOffset = 36;
constexpr size_t kPtpNameOffset = 44;

enum class Layout { Sized, PtpName };

bool admitted(uint16_t format, uint16_t filter) {
  if (filter == 0 || format == kFolder) return true;
  if (filter == kJpegFamily) return format == 0xB104 || format == 0xB105 || format == kJpegFamily || format == 0xB982;
  return format == filter;
}

// The fixed fields every entry layout shares, read inside the entry only.
CanonObjectRecord fixedFields(const ByteReader& entry) {
  CanonObjectRecord r{};
  r.handle = entry.u32(4).value_or(0);
  r.storage = entry.u32(8).value_or(0);
  r.objectFormat = entry.u32(12).value_or(0);
  r.word24 = entry.u32(24).value_or(0);
  r.size = entry.u32(28).value_or(0);
  return r;
}

// Handle -> extra word from a folder's 0x9135 list; empty when the camera gives none.
std::map<uint32_t, uint32_t> extraInfo(uint32_t storage, uint32_t parent) {
  std::map<uint32_t, uint32_t> out;
  const uint32_t params[] = {storage, parent, 3, kListFlags};
  ByteBuffer reply;
  if (ptpTransaction(kOpExtraInfo, params, 4, nullptr, 0, &reply, nullptr, true) != PTP_RC_OK) return out;
  ByteReader r(reply.data(), reply.size());
  const uint32_t count = r.u32(0).value_or(0);
  const uint32_t entrySize = r.u32(4).value_or(0);
  if (entrySize < 20) return out;
  for (uint64_t i = 0, at = 8; i < count && r.has(at, entrySize); ++i, at += entrySize) {
    const uint32_t value = *r.u32(at + 16);
    out[*r.u32(at)] = value > 0xFFFFFFFEu ? 0 : value;
  }
  return out;
}

class Walker {
 public:
  Walker(Layout layout, bool withExtraInfo, uint16_t filter, std::vector<CanonObjectRecord>& out)
      : layout_(layout), extra_(withExtraInfo), filter_(filter), out_(out) {}

  PtpResponseCode list(uint32_t storage, uint32_t parent, int depth) {
    ByteBuffer reply;
    PtpResponseCode rc = fetch(storage, parent, reply);
    if (rc != PTP_RC_OK) return rc;
    if (reply.empty()) return ERROR_BAD_REPLY;
    std::vector<CanonObjectRecord> found;
    if (!canonParseObjectList(reply.data(), reply.size(), layout_ == Layout::PtpName, found)) return ERROR_NO_MEMORY;
    std::map<uint32_t, uint32_t> extras;
    if (extra_ && !found.empty()) extras = extraInfo(storage, parent);
    for (CanonObjectRecord& r : found) {
      if (!admitted(static_cast<uint16_t>(r.objectFormat), filter_)) continue;
      if (auto it = extras.find(r.handle); it != extras.end()) r.extra = it->second;
      if (out_.size() >= kCanonListMaxRecords) return PTP_RC_OK;
      try {
        out_.push_back(r);
      } catch (const std::bad_alloc&) {
        return ERROR_NO_MEMORY;
      }
      if (r.objectFormat == kFolder && depth < kCanonListMaxDepth) {
        rc = list(storage, r.handle, depth + 1);
        if (rc != PTP_RC_OK) return rc;
      }
    }
    return PTP_RC_OK;
  }

 private:
  PtpResponseCode fetch(uint32_t storage, uint32_t parent, ByteBuffer& reply) {
    const uint32_t params[] = {storage, parent, kListFlags};
    if (layout_ == Layout::PtpName)
      return ptpTransaction(kOpListObjectsNamed, params, 3, nullptr, 0, &reply, nullptr, true);
    if (ptpOperationListed(kOpListObjectsNewer) &&
        ptpTransaction(kOpListObjectsNewer, params, 3, nullptr, 0, &reply, nullptr, true) == PTP_RC_OK)
      return PTP_RC_OK;
    reply.clear();
    return ptpTransaction(kOpListObjects, params, 3, nullptr, 0, &reply, nullptr, true);
  }

  Layout layout_;
  bool extra_;
  uint16_t filter_;
  std::vector<CanonObjectRecord>& out_;
};

PtpResponseCode listAll(Layout layout, std::vector<CanonObjectRecord>& records, bool withExtraInfo,
                        uint16_t formatFilter) {
  records.clear();
  std::vector<uint32_t> storages;
  PtpResponseCode rc = ptpGetStorageIds(storages);
  if (rc != PTP_RC_OK) return rc;
  Walker walker(layout, withExtraInfo, formatFilter, records);
  for (uint32_t storage : storages) {
    rc = walker.list(storage, kRootParent, 0);
    if (rc != PTP_RC_OK) {
      records.clear();
      return rc;
    }
  }
  return PTP_RC_OK;
}

}  // namespace

bool canonParseObjectList(const uint8_t* data, size_t size, bool ptpNames, std::vector<CanonObjectRecord>& found) {
  found.clear();
  if (!data) return true;
  ByteReader r(data, size);
  const uint32_t count = r.u32(0).value_or(0);
  size_t at = 4;
  try {
    // Small entries would let a reply of a few megabytes claim millions of 96-byte records.
    for (uint32_t i = 0; i < count && at < size && found.size() < kCanonListMaxRecords; ++i) {
      const size_t left = size - at;
      if (!ptpNames) {
        const uint32_t entrySize = r.u32(at).value_or(0);
        if (entrySize < 4 || entrySize > left) break;
        ByteReader entry(data + at, entrySize);
        CanonObjectRecord rec = fixedFields(entry);
        const std::string name = entry.cstring(kNameOffset, sizeof rec.name - 1).value_or("");
        std::memcpy(rec.name, name.data(), name.size());
        found.push_back(rec);
        at += entrySize;
      } else {
        if (left <= kPtpNameOffset) break;
        ByteReader entry(data + at, left);
        CanonObjectRecord rec = fixedFields(entry);
        const size_t used = ptpReadString(data + at + kPtpNameOffset, left - kPtpNameOffset, rec.name, sizeof rec.name);
        if (used == 0) break;
        found.push_back(rec);
        at += kPtpNameOffset + used;
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

PtpResponseCode canonListObjectInfos(std::vector<CanonObjectRecord>& records, bool withExtraInfo,
                                     uint16_t formatFilter) {
  return listAll(Layout::Sized, records, withExtraInfo, formatFilter);
}

PtpResponseCode canonListObjectsNamed(std::vector<CanonObjectRecord>& records, bool withExtraInfo,
                                      uint16_t formatFilter) {
  return listAll(Layout::PtpName, records, withExtraInfo, formatFilter);
}

bool canonIsListableFormat(uint16_t format) {
  switch (format) {
    case 0x300D:
    case 0x3801:
    case 0xB103:
    case 0xB104:
    case 0xB105:
    case 0xB108:
    case 0xB982: return true;
    default: return false;
  }
}
