#pragma once
// What the property table, the event queue and the exposure arithmetic need from the
// session layer (transactions) and from the vendor modules.
// Those install their implementation at set-up (camInit installs the camera interface's,
// the vendors theirs); until then every answer is the one for "no camera yet". Install
// before any poller runs: the object is read from every thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

class CameraServices {
 public:
  virtual ~CameraServices() = default;

  // The vendor and model are not asked here: camGetVendor() and camModelIndex() answer.
  // GetDevicePropDesc 0x1014 (Fujifilm through its own request): the dataset into desc.
  virtual PtpResponseCode getDevicePropDesc(uint32_t, std::vector<uint8_t>&) {
    return PTP_ERROR_UNSUPPORTED_COMMAND;
  }

  // Camera interface: camStorePropertyValue and camRefreshProperty, which reach the
  // vendor module. Vendors implement those in their VendorModule, not here.
  virtual PropertyStruct* storePropertyValue(uint32_t, uint32_t, uint8_t) { return nullptr; }
  virtual PtpResponseCode refreshProperty(uint32_t) { return 0; }
  virtual bool isApertureSettable(uint32_t) { return false; }
  virtual bool isShutterSettable(uint32_t) { return false; }
  virtual bool isExposureBiasSettable(uint32_t) { return false; }
  virtual int evStepsPerStop() { return 0; }

  // Vendor modules. vendorValueText is the current vendor's own text for a value
  // (nullopt for codes it does not serve).
  virtual std::optional<std::string> vendorValueText(uint32_t, uint32_t) { return std::nullopt; }
  virtual uint32_t fujiImageSizeIndexFromName(const std::string&) { return 0xFFFF; }
  virtual uint32_t fujiGetAvailableShots() { return 0; }
  virtual bool nikonModelHasWbKelvinMap() { return false; }
  virtual uint32_t nikonMapWhiteBalanceKelvin(uint32_t value) { return value; }
  virtual bool nikonIsHostMode() { return false; }
  virtual bool nikonModelHasIsoAuto() { return false; }
  virtual uint32_t nikonFocusModeCode();
  virtual PtpResponseCode canonParseEvents(std::span<const uint8_t>) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode nikonParseEvents(std::span<const uint8_t>) { return ERROR_CAMERA_NOT_SUPPORTED; }
  virtual PtpResponseCode sonyReadAllProperties(int) { return ERROR_CAMERA_NOT_SUPPORTED; }
};

// The installed services (never null).
std::shared_ptr<CameraServices> cameraServices();
// Installs services; null restores the defaults.
void setCameraServices(std::shared_ptr<CameraServices> services);
