// Arbitrary bytes as the property-description blob a Nikon body's set-up loads: (u32
// length, DevicePropDesc) pairs. Every record that lands in the table came from the blob
// (or is the image-size record the load adds itself), and the table stays within bounds.
#include "fuzz/fuzz_target.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/nikon/nikon_setup.h"

KV_FUZZ_TARGET(nikon_property_blob) {
  camSetVendor(CameraVendorNikon);
  for (uint8_t model : {220, 197, 0}) {
    camSetModelIndex(model);
    nikonLoadPropertyTable(data, size);
    if (propCount() > kPropTableCapacity) __builtin_trap();
    for (uint16_t i = 0; i < propCount(); ++i) {
      const PropertyStruct* r = propAt(i);
      if (!r || r->code == 0 || r->code > 0xFFFF) __builtin_trap();
    }
    evtClearQueue();
  }
  propClearTable();
  camSetModelIndex(0);
  camSetVendor(CameraVendorUnknown);
  return 0;
}
