#pragma once
// Canon object listing through the extended object-info operations: one 96-byte record
// per object of every storage, folders walked into.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ptp/base/response_codes.h"

struct CanonObjectRecord {
  uint32_t handle;
  uint32_t storage;
  uint32_t objectFormat;
  uint32_t word24;  // the entry's word at +24, kept as it came
  uint32_t size;
  char name[64];
  uint32_t extra;  // the folder's extra-info value for this handle (0 when not asked)
  uint32_t reserved[2];
};
static_assert(sizeof(CanonObjectRecord) == 96);
static_assert(offsetof(CanonObjectRecord, handle) == 0);

// Folders deeper than this are not walked into: a camera whose folder lists itself (or
// an ancestor) must not make the walk endless.
constexpr int kCanonListMaxDepth = 16;
// Most records one listing hands out; entries beyond are dropped.
constexpr size_t kCanonListMaxRecords = 100000;

// Every object of every storage (folders included), root first and each folder's content
// after it. formatFilter 0 admits all; 0x300D admits 0xB104, 0xB105, 0x300D and 0xB982;
// any other filter admits that format; folders are always admitted. 0xFF0A for an empty
// reply; the camera's failure as it came.
PtpResponseCode canonListObjectInfos(std::vector<CanonObjectRecord>& records, bool withExtraInfo,
                                     uint16_t formatFilter);
// The same through 0x917A, whose entries carry the name as a PTP string at +44.
PtpResponseCode canonListObjectsNamed(std::vector<CanonObjectRecord>& records, bool withExtraInfo,
                                      uint16_t formatFilter);
// The entries of one listing reply: a u32 count, then entries of a u32 size each
// (ptpNames false) or with the name as a PTP string at +44 (true). Stops where the count,
// the bytes or kCanonListMaxRecords run out; false only without memory.
bool canonParseObjectList(const uint8_t* data, size_t size, bool ptpNames, std::vector<CanonObjectRecord>& found);
// Formats a Canon listing shows: 0x300D, 0x3801, 0xB103-0xB105, 0xB108 and 0xB982.
bool canonIsListableFormat(uint16_t format);
