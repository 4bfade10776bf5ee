// Arbitrary bytes as a Nikon event reply of both forms (CheckEvent and GetEventEx),
// applied to a table holding the codes whose change events re-read or rebuild values,
// for bodies with and without GetEventEx and with and without the Kelvin map.
#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_table.h"
#include "ptp/protocol/device_info.h"
#include "ptp/vendors/nikon/nikon_codes.h"
#include "ptp/vendors/nikon/nikon_events.h"

namespace {
void listGetEventEx(bool listed) {
  PtpDeviceInfoStruct info{};
  if (listed) {
    info.operationsSupported.count = 1;
    info.operationsSupported.codes[0] = PTP_OC_NIKON_GetEventEx;
  }
  ptpSetStoredDeviceInfo(info);
}
}  // namespace

KV_FUZZ_TARGET(nikon_events) {
  camSetVendor(CameraVendorNikon);
  const struct {
    uint8_t model;
    bool ex;
  } kBodies[] = {{220, true}, {197, false}, {205, true}, {0, false}};
  for (const auto& body : kBodies) {
    camSetModelIndex(body.model);
    listGetEventEx(body.ex);
    propClearTable();
    const struct {
      uint32_t code;
      int32_t datatype;
    } kRecords[] = {{0x5004, PTP_DTC_UINT16}, {0x5003, PTP_DTC_UINT8},  {0xD0B6, PTP_DTC_UINT8},
                    {0x500E, PTP_DTC_UINT16}, {0x5010, PTP_DTC_INT16},  {0xD061, PTP_DTC_UINT8},
                    {0xD01E, PTP_DTC_UINT16}, {0xD100, PTP_DTC_UINT32}, {0x5011, PTP_DTC_STR}};
    for (const auto& r : kRecords) propAdd(r.code, false, true)->datatype = r.datatype;
    nikonParseEvents(data, size);
    nikonParseEventsEx(data, size);
    evtClearQueue();
  }
  propClearTable();
  ptpClearStoredDeviceInfo();
  camSetModelIndex(0);
  camSetVendor(CameraVendorUnknown);
  return 0;
}
