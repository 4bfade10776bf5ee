#pragma once
// The library's vendor modules and the property services of every vendor the
// library implements, as camInstallVendorDefaults registers them.
#include <memory>

#include "ptp/camera/vendor_module.h"
#include "ptp/props/prop_services.h"

std::shared_ptr<VendorModule> camMakeCanonModule();
std::shared_ptr<VendorModule> camMakeFujiModule();
std::shared_ptr<VendorModule> camMakeNikonModule();
std::shared_ptr<VendorModule> camMakeSonyModule();

// Services that answer for the vendor of the current session (camGetVendor()).
std::shared_ptr<CameraServices> camMakeVendorServices();

// TerminateOpenCapture for the live view the Fujifilm module opened last.
PtpResponseCode camFujiStopLiveView();
