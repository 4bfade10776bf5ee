// Arbitrary bytes as a DevicePropDesc dataset and as a current value. The first byte
// picks the vendor (and with it the Nikon adjustments and Fujifilm name lookups); the
// record's code is taken from the dataset itself.
#include <memory>
#include <span>

#include "fuzz/fuzz_target.h"
#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"

namespace {
struct FuzzCamera : CameraServices {
  bool nikonModelHasWbKelvinMap() override { return true; }
  uint32_t nikonMapWhiteBalanceKelvin(uint32_t v) override { return v * 10; }
};
}  // namespace

KV_FUZZ_TARGET(prop_desc) {
  if (size < 1) return 0;
  static const uint16_t kVendors[] = {CameraVendorUnknown, CameraVendorFujifilm, CameraVendorCanon,
                                      CameraVendorSony, CameraVendorNikon};
  camSetVendor(kVendors[data[0] % 5]);
  camSetModelIndex(196);
  setCameraServices(std::make_shared<FuzzCamera>());
  std::span<const uint8_t> desc(data + 1, size - 1);

  propClearTable();
  const uint32_t code = ByteReader(desc).u16(0).value_or(0x5001);
  PropertyStruct* record = propAdd(code, false, false);
  if (propParseDesc(record, desc)) {
    // What a parsed record promises its readers.
    if (record->count != record->values.size() || record->values.size() > kPropRangeListCap) __builtin_trap();
    propValueAllowed(code, record->value);
    propValueName(code, record->value);
  }
  propParseCurrentValue(code, desc.size() > 5 ? desc.subspan(5) : desc);
  uint32_t out = 0;
  ptpReadValue(record->datatype, desc, out);
  propClearTable();
  setCameraServices(nullptr);
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
  return 0;
}
