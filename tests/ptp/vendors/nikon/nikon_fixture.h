#pragma once
// A Nikon body in the library's state: vendor, model index, label table, empty table and
// event queue, and records put straight into the table.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/nikon/nikon_labels.h"
#include "ptp/vendors/nikon/nikon_models.h"
#include "ptp/vendors/nikon/nikon_setup.h"
#include "ptp/vendors/nikon/nikon_state.h"
#include "ptp/vendors/nikon/nikon_values.h"
#include "tests/ptp/props/prop_fixture.h"

namespace kvtest {

// The property services a Nikon session installs.
class NikonTestServices : public CameraServices {
 public:
  PtpResponseCode getDevicePropDesc(uint32_t code, std::vector<uint8_t>& desc) override {
    return nikonGetDevicePropDesc(code, desc);
  }
  bool nikonModelHasWbKelvinMap() override { return ::nikonModelHasWbKelvinMap(); }
  uint32_t nikonMapWhiteBalanceKelvin(uint32_t value) override { return ::nikonMapWhiteBalanceKelvin(value); }
  bool nikonIsHostMode() override { return ::nikonIsHostMode(); }
  bool nikonModelHasIsoAuto() override { return ::nikonModelHasIsoAuto(); }
  uint32_t nikonFocusModeCode() override { return ::nikonFocusModeCode(); }
};

inline void resetNikon() {
  setCameraServices(nullptr);
  propClearTable();
  propSetLabelTable({}, 0);
  evtClearQueue();
  nikonResetModelState();
  nikonResetModuleState();
  camSetAfState(0);
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
}

// A Nikon body by model index, with the Nikon label table installed.
inline void useNikonModel(uint8_t index) {
  resetNikon();
  camSetVendor(CameraVendorNikon);
  camSetModelIndex(index);
  propSetLabelTable(nikonPropertyLabels(), kNikonLabelEndCode);
}

using proptest::putProperty;

inline uint32_t nikonValueOf(uint32_t code) {
  return propCurrentValue(code).value_or(0xDEADBEEF);
}

}  // namespace kvtest

struct NikonTest : ::testing::Test {
  void SetUp() override { kvtest::resetNikon(); }
  void TearDown() override { kvtest::resetNikon(); }
};
