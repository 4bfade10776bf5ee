#include "ptp/link/pending_table.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "ptp/base/object_info.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/link/link.h"
#include "ptp/protocol/ptp_container.h"

namespace {

struct Table {
  std::mutex mutex;
  std::vector<PendingRequestSlot> slots;  // in order of insertion
};

Table& T() {
  static Table* t = new Table;
  return *t;
}

std::vector<PendingRequestSlot>::iterator find(uint32_t key) {
  return std::find_if(T().slots.begin(), T().slots.end(), [key](const PendingRequestSlot& s) { return s.key == key; });
}
}  // namespace

int msgTablePut(uint32_t key, const uint8_t* relayBytes, const PendingRelayHeader& header) {
  PendingRequestSlot slot{key, header, std::nullopt};
  if (relayBytes && header.m > 0) {
    try {
      slot.relayBytes.emplace(relayBytes, relayBytes + header.m);
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  std::lock_guard lock(T().mutex);
  auto it = find(key);
  if (it != T().slots.end()) {
    *it = std::move(slot);
    return 1;
  }
  if (T().slots.size() >= kPendingTableSlots) return 0;
  T().slots.push_back(std::move(slot));
  return 1;
}

int msgTableRemove(uint32_t key) {
  std::lock_guard lock(T().mutex);
  auto it = find(key);
  if (it == T().slots.end()) return 0;
  T().slots.erase(it);
  return 1;
}

std::optional<PendingRequestSlot> msgTableCopy(uint32_t key) {
  std::lock_guard lock(T().mutex);
  auto it = find(key);
  if (it == T().slots.end()) return std::nullopt;
  return *it;
}

size_t msgTableCount() {
  std::lock_guard lock(T().mutex);
  return T().slots.size();
}

void msgTableClear() {
  std::lock_guard lock(T().mutex);
  T().slots.clear();
}

size_t msgTableBuildGetObject(uint32_t handle, ByteBuffer& out) {
  out.assign(28, 0);
  size_t n = ptpBuildContainer(PTP_OC_GetObject, &handle, 1, nullptr, 0, out.data(), out.size());
  if (n == 0) {
    out.clear();
    return 0;
  }
  out.resize(n);
  return n;
}

int msgTableSetRelay(int on, uint32_t key) {
  if (on != 1) return msgTableRemove(key);
  return msgTablePut(key, nullptr, PendingRelayHeader{10, RelayModeRelayAndKeep, 0, 0});
}

int msgTableSetObjectRelayFor(int on, const PtpObjectInfoStruct* record, uint32_t key) {
  if (on != 1) return msgTableRemove(key);
  if (!record) return 0;
  return msgTablePut(key, reinterpret_cast<const uint8_t*>(record),
                     PendingRelayHeader{kObjectInfoBytes + 10, RelayModeRelayAndKeep, RelayCodeObjectInfo,
                                        static_cast<uint32_t>(kObjectInfoBytes)});
}

int msgTableSetObjectRelay(int on, const PtpObjectInfoStruct* record) {
  return msgTableSetObjectRelayFor(on, record, PTP_OC_GetObject);
}
