#include "ptp/protocol/object_info_dataset.h"

#include <cerrno>
#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_date.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transaction.h"

namespace {
constexpr size_t kDateScratchBytes = 128;  // at most 127 characters of a date are kept

// A PTP date string at `at` into `date`: empty gives 0, one that does not fit leaves it.
size_t readDate(const ByteReader& r, size_t at, uint64_t& date) {
  if (at >= r.size()) return 0;
  char text[kDateScratchBytes] = {};
  size_t used = ptpReadString(r.data() + at, r.size() - at, text, sizeof text);
  if (used) date = static_cast<uint64_t>(static_cast<int64_t>(ptpParseDateTime(text)));
  return used;
}
}  // namespace

bool ptpParseObjectInfo(PtpObjectInfoStruct* record, const uint8_t* data, size_t length, uint16_t op) {
  if (!record || !data) {
    errno = EINVAL;
    return false;
  }
  ByteReader r(data, length);
  const size_t shift = op == PTP_OC_CANON_GetObjectInfoEx ? 4 : 0;
  if (!r.has(0, kObjectInfoFixedBytes + shift)) return false;
  PtpObjectInfoStruct& o = *record;
  o.objectId = *r.u32(0);
  o.objectFormat = *r.u16(4);
  o.protectionStatus = *r.u16(6);
  o.objectCompressedSize = *r.u32(8);
  o.thumbFormat = *r.u16(12);
  o.thumbCompressedSize = *r.u32(14);
  o.thumbPixWidth = *r.u32(18 + shift);
  o.thumbPixHeight = *r.u32(22 + shift);
  o.imagePixWidth = *r.u32(26 + shift);
  o.imagePixHeight = *r.u32(30 + shift);
  o.imageBitDepth = *r.u32(34 + shift);
  o.parentObject = *r.u32(38 + shift);
  o.associationType = *r.u16(42 + shift);
  o.associationDesc = *r.u32(44 + shift);
  o.sequenceNumber = *r.u32(48 + shift);

  size_t at = kObjectInfoFixedBytes + shift;
  char name[kObjectNameBytes];
  size_t used = at < length ? ptpReadString(data + at, length - at, name, sizeof name) : 0;
  if (used) {
    std::memcpy(o.fileName, name, sizeof name);
    o.fileName[kObjectNameBytes - 1] = '\0';
    o.fileNameLength = static_cast<uint16_t>(::strnlen(o.fileName, kObjectNameBytes) + 1);
  } else {
    o.fileNameLength = 0;
  }
  at += used;

  const uint16_t vendor = camGetVendor();
  if (vendor == CameraVendorSony) {
    o.captureDate = 0;
    o.modificationDate = 0;
    o.orientation = 0;
    o.keywords[0] = '\0';
  } else {
    at += readDate(r, at, o.captureDate);
    if (vendor == CameraVendorFujifilm) {
      o.orientation = 0;
      o.modificationDate = 0;
      o.keywords[0] = '\0';
    } else {
      at += readDate(r, at, o.modificationDate);
      char keywords[kObjectNameBytes] = {};
      if (at >= length || ptpReadString(data + at, length - at, keywords, sizeof keywords) == 0) keywords[0] = '\0';
      std::memcpy(o.keywords, keywords, sizeof keywords);
      o.orientation = 0;
      o.rating = 0;
    }
  }
  objectInfoTerminateStrings(o);
  return true;
}

uint8_t ptpFujiOrientationFromAssociation(uint16_t a) {
  switch (a) {
    case 1: case 7: return 1;
    case 769: case 775: return 3;
    case 1537: case 1543: return 8;
    case 2049: case 2055: return 6;
    default: return 0;
  }
}

PtpResponseCode ptpGetObjectInfo(uint32_t handle, PtpObjectInfoStruct* record) {
  if (!record) {
    errno = EINVAL;
    return ERROR_INVALID_INPUT;
  }
  const uint16_t vendor = camGetVendor();
  uint16_t op = PTP_OC_GetObjectInfo;
  if (vendor == CameraVendorCanon && ptpOperationListed(PTP_OC_CANON_GetObjectInfoEx))
    op = PTP_OC_CANON_GetObjectInfoEx;
  ByteBuffer data;
  PtpResponseCode rc = ptpTransaction(op, &handle, 1, nullptr, 0, &data, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  // Parsed into a copy: a refused dataset leaves the caller's record as it was.
  PtpObjectInfoStruct parsed = *record;
  if (!ptpParseObjectInfo(&parsed, data.data(), data.size(), op)) return ERROR_DATASET;
  parsed.objectId = handle;
  if (vendor == CameraVendorFujifilm) parsed.orientation = ptpFujiOrientationFromAssociation(parsed.associationType);
  *record = parsed;
  return PTP_RC_OK;
}
