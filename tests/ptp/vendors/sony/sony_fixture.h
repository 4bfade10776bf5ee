#pragma once
// A Sony body in the library's state: vendor, model, label table, empty table and queue;
// and DevicePropDesc builders in the camera's layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_labels.h"
#include "ptp/vendors/sony/sony_models.h"
#include "ptp/vendors/sony/sony_state.h"
#include "tests/ptp/props/prop_fixture.h"

namespace kvtest {

// Resets everything the Sony module reads or keeps.
inline void resetSony() {
  propClearTable();
  propSetLabelTable({}, 0);
  evtClearQueue();
  sonyResetModelState();
  sonyResetModuleState();
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
}

// A Sony body identified by its model string, with the Sony label table installed.
inline void useSonyModel(const std::string& model) {
  resetSony();
  camSetVendor(CameraVendorSony);
  uint8_t index = 0;
  ASSERT_TRUE(sonyIdentifyModel(model, index)) << model;
  camSetModelIndex(index);
  propSetLabelTable(sonyPropertyLabels(), kSonyLabelEndCode);
}

inline void putLe(std::vector<uint8_t>& b, uint64_t v, uint32_t size) {
  for (uint32_t i = 0; i < size; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A Sony descriptor: code, datatype, a byte, settable, default, current, form, then the
// enumeration (u16 count + values) or range (min, max, step).
struct SonyDesc {
  uint16_t code = 0;
  uint16_t datatype = 4;
  uint8_t settable = 1;
  uint64_t current = 0;
  uint8_t form = 0;
  std::vector<uint64_t> values;  // enumeration values, or min/max/step for a range
  std::vector<uint8_t> tail;     // bytes after the list (direct-set second count ...)

  uint32_t size() const { return datatype <= 2 ? 1 : datatype <= 4 ? 2 : datatype <= 6 ? 4 : 8; }
  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> b;
    putLe(b, code, 2);
    putLe(b, datatype, 2);
    b.push_back(0);
    b.push_back(settable);
    putLe(b, current, size());  // default
    putLe(b, current, size());
    b.push_back(form);
    if (form == 2) putLe(b, values.size(), 2);
    for (uint64_t v : values) putLe(b, v, size());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
  }
};

// A 0x9209 reply: an 8-byte header, then the descriptors.
inline std::vector<uint8_t> sonyReply(const std::vector<SonyDesc>& descs) {
  std::vector<uint8_t> b;
  putLe(b, descs.size(), 8);
  for (const auto& d : descs) {
    auto one = d.bytes();
    b.insert(b.end(), one.begin(), one.end());
  }
  return b;
}

inline uint32_t valueOf(uint32_t code) {
  return propCurrentValue(code).value_or(0xDEADBEEF);
}

inline std::vector<uint32_t> listOf(uint32_t code) {
  std::vector<uint32_t> out;
  if (auto p = propCopy(code))
    for (auto& e : p->values) out.push_back(e.value);
  return out;
}

using proptest::putProperty;

}  // namespace kvtest

struct SonyTest : ::testing::Test {
  void SetUp() override { kvtest::resetSony(); }
  void TearDown() override { kvtest::resetSony(); }
};
