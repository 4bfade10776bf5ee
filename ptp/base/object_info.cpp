#include "ptp/base/object_info.h"

#include <cstring>

void ptpObjectInfoToHostOrder(PtpObjectInfoStruct&) {}
void ptpObjectInfoHook(PtpObjectInfoStruct&) {}

void objectInfoTerminateStrings(PtpObjectInfoStruct& record) {
  record.fileName[kObjectNameBytes - 1] = '\0';
  record.keywords[kObjectNameBytes - 1] = '\0';
}

std::optional<PtpObjectInfoStruct> objectInfoFromBytes(std::span<const uint8_t> bytes) {
  if (bytes.size() != kObjectInfoBytes) return std::nullopt;
  PtpObjectInfoStruct record;
  std::memcpy(&record, bytes.data(), kObjectInfoBytes);
  ptpObjectInfoToHostOrder(record);
  objectInfoTerminateStrings(record);
  return record;
}

std::string objectInfoFileName(const PtpObjectInfoStruct& record) {
  return std::string(record.fileName, ::strnlen(record.fileName, kObjectNameBytes));
}

void objectInfoSetFileName(PtpObjectInfoStruct& record, const std::string& name) {
  size_t n = std::min(name.size(), kObjectNameBytes - 1);
  n = ::strnlen(name.c_str(), n);
  std::memset(record.fileName, 0, kObjectNameBytes);
  std::memcpy(record.fileName, name.data(), n);
  record.fileNameLength = static_cast<uint16_t>(n);
}

bool objectInfoHasHandle(const PtpObjectInfoStruct& record) { return record.objectId != kObjectIdNone; }

bool objectInfoSameObject(const PtpObjectInfoStruct& a, const PtpObjectInfoStruct& b) {
  if (objectInfoHasHandle(a) || objectInfoHasHandle(b)) return a.objectId == b.objectId;
  return std::strncmp(a.fileName, b.fileName, kObjectNameBytes) == 0;
}

bool objectInfoOrientationIsSet(const PtpObjectInfoStruct& record) { return record.orientation >= 2; }
