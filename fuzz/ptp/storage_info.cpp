// Arbitrary bytes as a StorageInfo dataset and as a storage-id list.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/protocol/storage_info.h"

KV_FUZZ_TARGET(storage_info) {
  PtpStorageInfo record{};
  if (ptpParseStorageInfo(&record, data, size)) {
    if (::strnlen(record.storageDescription, kPtpTextBytes) == kPtpTextBytes) __builtin_trap();
    if (::strnlen(record.volumeLabel, kPtpTextBytes) == kPtpTextBytes) __builtin_trap();
  }
  std::vector<uint32_t> ids;
  if (ptpParseIdList(data, size, kPtpMaxStorageIds, ids) && (ids.size() > kPtpMaxStorageIds || 4 + 4 * ids.size() > size))
    __builtin_trap();
  return 0;
}
