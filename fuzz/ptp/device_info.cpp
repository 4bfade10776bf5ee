// Arbitrary bytes as a DeviceInfo dataset and as a PTP string.
#include <cstring>
#include <memory>

#include "fuzz/fuzz_target.h"
#include "ptp/protocol/device_info.h"

KV_FUZZ_TARGET(device_info) {
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  if (ptpParseDeviceInfo(block.get(), data, size) == 0) {
    for (const PtpCodeList* list : {&block->operationsSupported, &block->eventsSupported,
                                    &block->devicePropertiesSupported, &block->captureFormats, &block->imageFormats}) {
      if (list->count > kPtpMaxCodes) __builtin_trap();
    }
    for (const char* text : {block->vendorExtensionDesc, block->manufacturer, block->model, block->deviceVersion,
                             block->serialNumber}) {
      if (::strnlen(text, kPtpTextBytes) == kPtpTextBytes) __builtin_trap();
    }
    ptpVendorFromManufacturer(block->manufacturer);
  }
  char text[16];
  size_t used = ptpReadString(data, size, text, sizeof text);
  if (used > size) __builtin_trap();
  return 0;
}
