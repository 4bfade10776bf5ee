#include "ptp/filetypes_vendor.h"

#include <mutex>

namespace {
std::mutex hooksMutex;
FileTypesVendorHooks& installed() {
  static FileTypesVendorHooks hooks;
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
