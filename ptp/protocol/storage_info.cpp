#include "ptp/protocol/storage_info.h"

#include <cerrno>
#include <memory>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/protocol/ptp_transaction.h"

bool ptpParseStorageInfo(PtpStorageInfo* record, const uint8_t* data, size_t length) {
  if (!record || !data) {
    errno = EINVAL;
    return false;
  }
  ByteReader r(data, length);
  if (!r.has(0, kStorageInfoFixedBytes)) {
    errno = EINVAL;
    return false;
  }
  PtpStorageInfo s = *record;
  s.storageType = *r.u16(0);
  s.filesystemType = *r.u16(2);
  s.accessCapability = *r.u16(4);
  s.maxCapacity = *r.u64(6);
  s.freeSpaceInBytes = *r.u64(14);
  s.freeSpaceInImages = *r.u32(22);
  size_t at = kStorageInfoFixedBytes;
  // A description that does not fit consumes nothing: the label is read from its place.
  at += ptpReadString(data + at, length - at, s.storageDescription, sizeof s.storageDescription);
  if (at < length) ptpReadString(data + at, length - at, s.volumeLabel, sizeof s.volumeLabel);
  s.storageDescription[kPtpTextBytes - 1] = '\0';
  s.volumeLabel[kPtpTextBytes - 1] = '\0';
  *record = s;
  return true;
}

bool ptpParseIdList(const uint8_t* data, size_t length, uint32_t cap, std::vector<uint32_t>& ids) {
  ids.clear();
  ByteReader r(data, length);
  auto n = r.u32(0);
  if (!n || *n > cap || !r.has(4, uint64_t(*n) * 4)) return false;
  ids.reserve(*n);
  for (uint32_t i = 0; i < *n; ++i) ids.push_back(*r.u32(4 + 4 * uint64_t(i)));
  return true;
}

PtpResponseCode ptpGetStorageIds(std::vector<uint32_t>& ids) {
  ids.clear();
  uint16_t op = PTP_OC_GetStorageIDs;
  if (camGetVendor() == CameraVendorCanon && ptpOperationListed(PTP_OC_CANON_GetStorageIDs))
    op = PTP_OC_CANON_GetStorageIDs;
  ByteBuffer data;
  PtpResponseCode rc = ptpTransaction(op, nullptr, 0, nullptr, 0, &data, nullptr, true);
  if (rc != PTP_RC_OK || data.empty()) return rc;
  if (!ptpParseIdList(data.data(), data.size(), kPtpMaxStorageIds, ids)) return ERROR_BAD_REPLY;
  return PTP_RC_OK;
}

uint32_t ptpGetStorageCount() {
  if (camGetVendor() == CameraVendorSony) return 0;
  std::vector<uint32_t> ids;
  if (ptpGetStorageIds(ids) != PTP_RC_OK) return 1;
  return static_cast<uint32_t>(ids.size());
}

PtpResponseCode ptpGetStorageInfo(uint32_t storageId, PtpStorageInfo* record) {
  if (camGetVendor() == CameraVendorSony) return ERROR_CAMERA_NOT_SUPPORTED;
  if (!record) {
    errno = EINVAL;
    return 0;
  }
  ByteBuffer data;
  PtpResponseCode rc = ptpTransaction(PTP_OC_GetStorageInfo, &storageId, 1, nullptr, 0, &data, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  if (!ptpParseStorageInfo(record, data.data(), data.size())) return ERROR_DATASET;
  return PTP_RC_OK;
}
