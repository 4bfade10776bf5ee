#include "ptp/camera/vendor_module.h"

#include <map>
#include <mutex>

#include "ptp/camera/cam_interface.h"
#include "ptp/protocol/ptp_transaction.h"

namespace {
std::mutex modulesMutex;

std::map<uint16_t, std::shared_ptr<VendorModule>>& modules() {
  static auto* m = new std::map<uint16_t, std::shared_ptr<VendorModule>>();
  return *m;
}

const std::shared_ptr<VendorModule>& defaultModule() {
  static const auto* m = new std::shared_ptr<VendorModule>(std::make_shared<VendorModule>());
  return *m;
}
}  // namespace

void camRegisterVendorModule(uint16_t vendor, std::shared_ptr<VendorModule> module) {
  std::lock_guard lock(modulesMutex);
  if (module) modules()[vendor] = std::move(module);
  else modules().erase(vendor);
}

std::shared_ptr<VendorModule> camVendorModule(uint16_t vendor) {
  std::lock_guard lock(modulesMutex);
  auto it = modules().find(vendor);
  return it == modules().end() ? defaultModule() : it->second;
}

void camResetVendorModules() {
  std::lock_guard lock(modulesMutex);
  modules().clear();
}

PtpResponseCode VendorModule::getDevicePropValue(uint32_t code, ByteBuffer& data) {
  return ptpGetDevicePropValue(code, data);
}

PtpResponseCode VendorModule::refreshPropertyValue(uint32_t code) { return camRefreshPropertyValueGeneric(code); }
