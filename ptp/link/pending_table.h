#pragma once
// The pending request table: which relayed request is outstanding, with its relay header
// and a private copy of its relay bytes (typically the 608-byte object record).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ptp/base/bytes.h"

struct PtpObjectInfoStruct;

constexpr size_t kPendingTableSlots = 10;

// {u32 relay-header length = m + 10, u8 mode, u8 code, u32 m}
struct PendingRelayHeader {
  uint32_t length = 10;
  uint8_t mode = 0;
  uint8_t code = 0;
  uint32_t m = 0;
};

// One registration. relayBytes is the slot's own copy: a copy of the slot owns its bytes.
struct PendingRequestSlot {
  uint32_t key = 0;
  PendingRelayHeader header;
  std::optional<std::vector<uint8_t>> relayBytes;  // nullopt: none registered
};

// 1 stored (a present key is replaced), 0 refused (table full). The m relay bytes are
// copied; without relay bytes none are stored.
int msgTablePut(uint32_t key, const uint8_t* relayBytes, const PendingRelayHeader& header);
int msgTableRemove(uint32_t key);
// A deep copy of the key's slot, or nullopt.
std::optional<PendingRequestSlot> msgTableCopy(uint32_t key);
// Number of used slots.
size_t msgTableCount();
// Empties the table.
void msgTableClear();

// A GetObject (0x1009) command container for the handle with the current transaction id:
// its length (28-byte buffer), 0 on failure.
size_t msgTableBuildGetObject(uint32_t handle, ByteBuffer& out);

// Plain relay {10, 161, 0, 0} for the key, or its removal.
int msgTableSetRelay(int on, uint32_t key);
// Object-info relay {618, 161, 176, 608} with the record, under GetObject or any key.
int msgTableSetObjectRelay(int on, const PtpObjectInfoStruct* record);
int msgTableSetObjectRelayFor(int on, const PtpObjectInfoStruct* record, uint32_t key);
