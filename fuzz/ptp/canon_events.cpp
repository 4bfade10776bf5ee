// Arbitrary bytes as Canon GetEvent data, applied to a table holding a few properties of
// each kind, for bodies of each focus-information layout.
#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/canon/canon_events.h"
#include "ptp/vendors/canon/canon_labels.h"

KV_FUZZ_TARGET(canon_events) {
  camSetVendor(CameraVendorCanon);
  propSetLabelTable(canonPropertyLabels(), kCanonLabelEndCode);
  for (uint8_t model : {0, 228, 232, 245, 251}) {
    camSetModelIndex(model);
    propClearTable();
    const struct {
      uint32_t code;
      int32_t datatype;
    } kRecords[] = {{0xD101, PTP_DTC_UINT16}, {0xD104, PTP_DTC_INT8}, {0xD115, PTP_DTC_STR},
                    {0xD120, PTP_DTC_UINT32}, {0xD108, PTP_DTC_UINT16}};
    for (const auto& r : kRecords) propAdd(r.code, false, true)->datatype = r.datatype;
    canonParseEvents(data, size);
    canonParseFocusInfo(data, size);
    evtClearQueue();
  }
  propClearTable();
  propSetLabelTable({}, 0);
  camSetModelIndex(0);
  camSetVendor(CameraVendorUnknown);
  return 0;
}
