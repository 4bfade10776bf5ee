// Arbitrary bytes as a Sony 0x9209 reply (from its ninth byte on), walked descriptor by
// descriptor and searched for single codes. The first byte picks a dialled or a
// direct-set body.
#include <span>

#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_images.h"
#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_props.h"

KV_FUZZ_TARGET(sony_descriptors) {
  if (size < 1) return 0;
  camSetVendor(CameraVendorSony);
  uint8_t index = 0;
  sonyIdentifyModel(data[0] & 1 ? "ILCE-7RM4" : "ILCE-6400", index);
  camSetModelIndex(index);
  propSetLabelTable(sonyPropertyLabels(), kSonyLabelEndCode);
  std::span<const uint8_t> reply(data + 1, size - 1);

  propClearTable();
  sonyParseReply(reply, true);
  for (uint32_t code : {0x5004u, 0xD253u, 0xD20Du, 0xD254u, 0x5010u}) sonyParseProperty(code, reply, true);
  // What a parsed record promises its readers.
  for (uint16_t i = 0; i < propCount(); ++i) {
    const PropertyStruct* r = propAt(i);
    if (r->count != r->values.size() && !(r->count == kPropCountAnyValue && r->values.empty())) __builtin_trap();
    if (r->values.size() > kSonyMaxListEntries + 75) __builtin_trap();
  }
  int64_t out = 0;
  sonyGetRawFormat(out);
  sonyGetJpegFormat(out);
  sonyImageQualityText(out);
  evtClearQueue();
  propClearTable();
  propSetLabelTable({}, 0);
  sonyResetModelState();
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
  return 0;
}
