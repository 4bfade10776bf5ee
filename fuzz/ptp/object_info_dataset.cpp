// Arbitrary bytes as an ObjectInfo dataset, in both layouts, for each vendor branch.
#include <cstring>

#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/protocol/object_info_dataset.h"

KV_FUZZ_TARGET(object_info_dataset) {
  const uint16_t previous = camGetVendor();
  for (uint16_t vendor : {CameraVendorNikon, CameraVendorFujifilm, CameraVendorSony}) {
    camSetVendor(vendor);
    for (uint16_t op : {PTP_OC_GetObjectInfo, PTP_OC_CANON_GetObjectInfoEx}) {
      PtpObjectInfoStruct record;
      std::memset(&record, 0xA5, sizeof record);
      if (ptpParseObjectInfo(&record, data, size, op)) {
        if (::strnlen(record.fileName, kObjectNameBytes) == kObjectNameBytes) __builtin_trap();
        if (::strnlen(record.keywords, kObjectNameBytes) == kObjectNameBytes) __builtin_trap();
      }
    }
  }
  camSetVendor(previous);
  return 0;
}
