#pragma once
// A fake camera behind the property table and a builder of DevicePropDesc datasets.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/camera/cam_services.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_table.h"

namespace proptest {

// Writes go to the library's one vendor and model globals, so tests keep saying
// camera->vendorCode = CameraVendorCanon.
struct VendorSlot {
  VendorSlot& operator=(uint16_t v) {
    camSetVendor(v);
    return *this;
  }
  operator uint16_t() const { return camGetVendor(); }
};
struct ModelSlot {
  ModelSlot& operator=(uint8_t v) {
    camSetModelIndex(v);
    return *this;
  }
  operator uint8_t() const { return camModelIndex(); }
};

struct FakeCamera : CamInterfaceServices {
  VendorSlot vendorCode;
  ModelSlot model;
  std::atomic<int> stepsPerStop{0};
  std::atomic<bool> hostMode{false};
  std::atomic<bool> isoAuto{false};
  std::atomic<bool> kelvinMap{false};
  std::map<uint32_t, std::vector<uint8_t>> descs;
  std::map<std::pair<uint32_t, uint32_t>, std::string> texts;
  std::function<bool(uint32_t)> settable;  // the three exposure-program tests
  std::mutex callsMutex;
  std::vector<std::string> calls;

  void note(const std::string& call) {
    std::lock_guard lock(callsMutex);
    calls.push_back(call);
  }
  std::vector<std::string> takeCalls() {
    std::lock_guard lock(callsMutex);
    return std::move(calls);
  }

  PtpResponseCode getDevicePropDesc(uint32_t code, std::vector<uint8_t>& desc) override {
    auto it = descs.find(code);
    if (it == descs.end()) return PTP_RC_GeneralError;
    desc = it->second;
    return PTP_RC_OK;
  }
  // A plain store into the table, as the vendor stores do.
  PropertyStruct* storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) override {
    note("store " + std::to_string(code) + "=" + std::to_string(value) + "/" + std::to_string(getSet));
    PropertyStruct* r = propFind(code, true);
    if (!r) return nullptr;
    r->value = value;
    r->getSet = getSet;
    propUnlock(r);
    return r;
  }
  PtpResponseCode refreshProperty(uint32_t code) override {
    note("refresh " + std::to_string(code));
    return PTP_RC_OK;
  }
  bool isApertureSettable(uint32_t p) override { return settable && settable(p); }
  bool isShutterSettable(uint32_t p) override { return settable && settable(p); }
  bool isExposureBiasSettable(uint32_t p) override { return settable && settable(p); }
  int evStepsPerStop() override { return stepsPerStop; }
  std::optional<std::string> vendorValueText(uint32_t code, uint32_t value) override {
    auto it = texts.find({code, value});
    if (it == texts.end()) return std::nullopt;
    return it->second;
  }
  uint32_t fujiImageSizeIndexFromName(const std::string& name) override {
    return name == "L 3:2" ? 7 : name == "M 3:2" ? 8 : 0xFFFF;
  }
  bool nikonModelHasWbKelvinMap() override { return kelvinMap; }
  uint32_t nikonMapWhiteBalanceKelvin(uint32_t value) override { return value * 10; }
  bool nikonIsHostMode() override { return hostMode; }
  bool nikonModelHasIsoAuto() override { return isoAuto; }
  PtpResponseCode canonParseEvents(std::span<const uint8_t> data) override {
    note("canon " + std::to_string(data.size()));
    return PTP_RC_OK;
  }
  PtpResponseCode nikonParseEvents(std::span<const uint8_t> data) override {
    note("nikon " + std::to_string(data.size()));
    return PTP_RC_GeneralError;
  }
  PtpResponseCode sonyReadAllProperties(int flag) override {
    note("sony read all " + std::to_string(flag));
    return PTP_RC_OK;
  }
};

inline void resetLibraryState() {
  evtStopPollThread(true);
  camSetEventFetchCallback(nullptr);
  evtSetAfterEventsCallback(nullptr);
  evtClearQueue();
  propClearTable();
  propSetLabelTable({}, 0);
  propResetVendorCodeMap();
  setCameraServices(nullptr);
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
}

// Every test starts and ends with an empty table and queue and the fake camera installed.
struct PropTest : ::testing::Test {
  std::shared_ptr<FakeCamera> camera = std::make_shared<FakeCamera>();
  void SetUp() override {
    resetLibraryState();
    setCameraServices(camera);
  }
  void TearDown() override { resetLibraryState(); }
};

// A DevicePropDesc dataset, written field by field.
class Desc {
 public:
  Desc(uint16_t code, uint16_t datatype, uint8_t getSet = 1) : datatype_(datatype) {
    u16(code);
    u16(datatype);
    u8(getSet);
  }
  Desc& u8(uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  Desc& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  // One value of the datatype's size.
  Desc& num(uint64_t v) {
    for (uint32_t i = 0; i < ptpDatatypeSize(datatype_); ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Desc& str(const std::string& s) {
    if (s.empty()) return u8(0);
    u8(static_cast<uint8_t>(s.size() + 1));
    for (char c : s) u16(static_cast<uint8_t>(c));
    return u16(0);
  }
  Desc& noForm() { return u8(0); }
  Desc& range(uint64_t min, uint64_t max, uint64_t step) { return u8(1).num(min).num(max).num(step); }
  Desc& enumeration(const std::vector<uint64_t>& values) {
    u8(2).u16(static_cast<uint16_t>(values.size()));
    for (uint64_t v : values) num(v);
    return *this;
  }
  Desc& strings(const std::vector<std::string>& texts) {
    u8(2).u16(static_cast<uint16_t>(texts.size()));
    for (const auto& t : texts) str(t);
    return *this;
  }
  std::vector<uint8_t> bytes;

 private:
  uint16_t datatype_;
};

// Adds a record with a value (and an optional list) straight into the table, or rewrites
// the one there.
inline void putProperty(uint32_t code, uint32_t value, std::vector<uint32_t> list = {}, uint8_t getSet = 1,
                        int32_t datatype = PTP_DTC_UINT16) {
  PropertyStruct* r = propFind(code, true);
  if (!r) r = propAdd(code, true, true);
  ASSERT_NE(r, nullptr);
  r->datatype = datatype;
  r->value = value;
  r->getSet = getSet;
  r->values.clear();
  for (uint32_t v : list) {
    PropertyValueNamesStruct e{};
    e.value = v;
    r->values.push_back(e);
  }
  r->count = static_cast<uint16_t>(r->values.size());
  propUnlock(r);
}

inline std::vector<uint32_t> listValues(const PropertyData& r) {
  std::vector<uint32_t> v;
  for (const auto& e : r.values) v.push_back(e.value);
  return v;
}

inline std::vector<std::string> listTexts(const PropertyData& r) {
  std::vector<std::string> v;
  for (const auto& e : r.values) v.emplace_back(e.text);
  return v;
}

}  // namespace proptest
