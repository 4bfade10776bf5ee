#pragma once
// Storages of the camera: the id list, the count and the StorageInfo dataset.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ptp/base/response_codes.h"
#include "ptp/protocol/device_info.h"

struct PtpStorageInfo {
  uint16_t storageType;
  uint16_t filesystemType;
  uint16_t accessCapability;
  uint64_t maxCapacity;
  uint64_t freeSpaceInBytes;
  uint32_t freeSpaceInImages;
  char storageDescription[kPtpTextBytes];
  char volumeLabel[kPtpTextBytes];
};

constexpr size_t kStorageInfoFixedBytes = 26;
// More storages than any camera has; a longer list is refused.
constexpr uint32_t kPtpMaxStorageIds = 4096;

// False for null arguments or fewer than the fixed 26 bytes (errno set, record untouched).
bool ptpParseStorageInfo(PtpStorageInfo* record, const uint8_t* data, size_t length);

// {u32 n, u32 ids[n]} into a list of n ids. False when the count claims more ids than
// arrived or more than kPtpMaxStorageIds.
bool ptpParseIdList(const uint8_t* data, size_t length, uint32_t cap, std::vector<uint32_t>& ids);

// GetStorageIDs (Canon's 0x9101 when listed). ids is emptied first; a reply whose count
// does not match its bytes answers 0xFF0A.
PtpResponseCode ptpGetStorageIds(std::vector<uint32_t>& ids);
// Sony 0; 1 when the list cannot be fetched; else the number of storages.
uint32_t ptpGetStorageCount();
// Sony 0xFF0F; null record 0 (errno 22); unparsable dataset 0xFF06.
PtpResponseCode ptpGetStorageInfo(uint32_t storageId, PtpStorageInfo* record);
