#include "ptp/vendors/filetypes_vendor.h"

#include <mutex>

#include "ptp/vendors/canon/canon_images.h"
#include "ptp/vendors/fuji/fuji_images.h"

namespace {
std::mutex hooksMutex;

FileTypesVendorHooks defaults() {
  FileTypesVendorHooks h;
  h.fujiFindEmbeddedJpeg = [](std::span<const uint8_t> d, uint32_t& offset, uint32_t& length) {
    return fujiFindEmbeddedJpeg(d.data(), d.size(), offset, length);
  };
  h.canonFindEmbeddedJpeg = [](std::span<const uint8_t> d, uint32_t& offset, uint32_t& length) {
    return canonFindEmbeddedJpeg(d.data(), d.size(), offset, length);
  };
  return h;
}

FileTypesVendorHooks& installed() {
  static FileTypesVendorHooks hooks = defaults();
  return hooks;
}
}  // namespace

void fileSetVendorHooks(FileTypesVendorHooks hooks) {
  std::lock_guard lock(hooksMutex);
  installed() = std::move(hooks);
}

FileTypesVendorHooks fileVendorHooks() {
  std::lock_guard lock(hooksMutex);
  return installed();
}
