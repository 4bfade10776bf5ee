#include "viewer/strip/thumbnail_matching.h"

#include <cstring>

namespace {

constexpr uint32_t kNoHandle = 0xFFFFFFFF;

// Names compare up to their NUL, bounded by the field, so an unterminated record cannot
// be read past its end.
bool sameName(const PtpObjectInfoStruct& a, const PtpObjectInfoStruct& b) {
  const size_t la = strnlen(a.fileName, kObjectNameBytes);
  const size_t lb = strnlen(b.fileName, kObjectNameBytes);
  return la == lb && std::memcmp(a.fileName, b.fileName, la) == 0;
}

}  // namespace

bool thumbnailMatchesByItem(const PtpObjectInfoStruct& item, const PtpObjectInfoStruct& wanted) {
  return item.objectId < kNoHandle ? item.objectId == wanted.objectId : sameName(item, wanted);
}

bool thumbnailMatchesByWanted(const PtpObjectInfoStruct& item, const PtpObjectInfoStruct& wanted) {
  return wanted.objectId < kNoHandle ? item.objectId == wanted.objectId : sameName(item, wanted);
}

bool thumbnailMatchesForDelete(const PtpObjectInfoStruct& item, const PtpObjectInfoStruct& wanted) {
  if (item.objectId == kNoHandle && wanted.objectId == kNoHandle) return sameName(item, wanted);
  return item.objectId == wanted.objectId;
}
