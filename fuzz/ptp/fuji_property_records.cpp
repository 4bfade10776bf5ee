// Arbitrary bytes as the property records a Fujifilm body relays, applied to a table that
// holds one property of each datatype, and as the "Focus Area" text.
#include <string_view>

#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/fuji/fuji_afpoint.h"
#include "ptp/vendors/fuji/fuji_events.h"

KV_FUZZ_TARGET(fuji_property_records) {
  camSetVendor(CameraVendorFujifilm);
  propClearTable();
  const struct {
    uint32_t code;
    int32_t datatype;
  } kRecords[] = {{0x500F, PTP_DTC_UINT16}, {0x5010, PTP_DTC_INT16}, {0x500D, PTP_DTC_UINT32},
                  {0x5003, PTP_DTC_STR},    {0xD209, PTP_DTC_UINT8}, {0xD171, PTP_DTC_INT64}};
  for (const auto& r : kRecords) propAdd(r.code, false, true)->datatype = r.datatype;
  fujiApplyPropertyRecords(std::span<const uint8_t>(data, size));
  evtClearQueue();

  const auto point = fujiParseFocusArea(std::string_view(reinterpret_cast<const char*>(data), size));
  // A parsed point can be written back, and reads back as itself.
  if (point) {
    const auto text = fujiFormatFocusArea(*point);
    const auto again = text ? fujiParseFocusArea(*text) : std::nullopt;
    if (!again || again->row != point->row || again->column != point->column || again->size != point->size)
      __builtin_trap();
  }
  propClearTable();
  return 0;
}
