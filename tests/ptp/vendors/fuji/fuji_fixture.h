#pragma once
// A Fujifilm body on the simulator: properties with their descriptions, answering
// GetDevicePropDesc, GetDevicePropValue and SetDevicePropValue; and the Fujifilm module
// plugged behind the camera interface as the library wires it.
#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_parse.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/cam_interface_vendors.h"
#include "ptp/vendors/fuji/fuji_events.h"
#include "ptp/vendors/fuji/fuji_focus.h"
#include "ptp/vendors/fuji/fuji_labels.h"
#include "ptp/vendors/fuji/fuji_liveview.h"
#include "ptp/vendors/fuji/fuji_props.h"
#include "ptp/vendors/fuji/fuji_state.h"
#include "ptp/vendors/fuji/fuji_values.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

namespace kvtest {

// One property of the simulated body.
struct FakeProperty {
  uint16_t datatype = PTP_DTC_UINT16;
  uint8_t getSet = 1;
  uint32_t value = 0;
  std::string text;                 // strings
  std::vector<uint32_t> list;       // integer enumeration
  std::vector<std::string> texts;   // string enumeration
};

inline void putValue(devsim::Bytes& b, uint16_t datatype, uint32_t v, const std::string& text) {
  if (datatype == PTP_DTC_STR) {
    auto s = devsim::makePtpString(text);
    b.insert(b.end(), s.begin(), s.end());
    return;
  }
  const uint32_t size = ptpDatatypeSize(datatype);
  for (uint32_t i = 0; i < size; ++i) b.push_back(i < 4 ? static_cast<uint8_t>(v >> (8 * i)) : 0);
}

// The Fujifilm body: its properties and what the host wrote.
class FakeFujiBody {
 public:
  struct Write {
    uint32_t code;
    devsim::Bytes data;
  };

  void install(devsim::Simulator& sim) {
    using Cmd = devsim::Simulator::PtpCommand;
    using Reply = devsim::Simulator::PtpReply;
    sim.setPtpHandler(0x1014, [this](const Cmd& c) {
      std::lock_guard lock(mutex);
      Reply r;
      auto it = c.params.empty() ? props.end() : props.find(c.params[0]);
      if (it == props.end()) return Reply{0x200A, std::nullopt, {}};
      const FakeProperty& p = it->second;
      devsim::Bytes b;
      devsim::putU16(b, static_cast<uint16_t>(it->first));
      devsim::putU16(b, p.datatype);
      b.push_back(p.getSet);
      putValue(b, p.datatype, p.value, p.text);
      putValue(b, p.datatype, p.value, p.text);
      const size_t n = p.datatype == PTP_DTC_STR ? p.texts.size() : p.list.size();
      b.push_back(n ? 2 : 0);
      if (n) {
        devsim::putU16(b, static_cast<uint16_t>(n));
        for (size_t i = 0; i < n; ++i)
          putValue(b, p.datatype, i < p.list.size() ? p.list[i] : 0, i < p.texts.size() ? p.texts[i] : "");
      }
      r.data = b;
      return r;
    });
    sim.setPtpHandler(0x1015, [this](const Cmd& c) {
      std::lock_guard lock(mutex);
      auto it = c.params.empty() ? props.end() : props.find(c.params[0]);
      if (it == props.end()) return Reply{0x200A, std::nullopt, {}};
      Reply r;
      devsim::Bytes b;
      putValue(b, it->second.datatype, it->second.value, it->second.text);
      r.data = b;
      return r;
    });
    sim.setPtpHandler(0x1016, [this](const Cmd& c) {
      std::lock_guard lock(mutex);
      const uint32_t code = c.params.empty() ? 0 : c.params[0];
      writes.push_back({code, c.data});
      if (busyWrites > 0) {
        --busyWrites;
        return Reply{0x2019, std::nullopt, {}};
      }
      if (setResult != 0x2001) return Reply{setResult, std::nullopt, {}};
      auto it = props.find(code);
      if (it != props.end() && it->second.datatype != PTP_DTC_STR) {
        uint32_t v = 0;
        for (size_t i = 0; i < c.data.size() && i < 4; ++i) v |= uint32_t(c.data[i]) << (8 * i);
        it->second.value = v;
      } else if (it != props.end() && !c.data.empty()) {
        std::string t;
        for (size_t i = 1; i + 1 < c.data.size(); i += 2)
          if (c.data[i]) t.push_back(static_cast<char>(c.data[i]));
        it->second.text = t;
      }
      return Reply{};
    });
  }

  void set(uint32_t code, FakeProperty p) {
    std::lock_guard lock(mutex);
    props[code] = std::move(p);
  }
  void setValue(uint32_t code, uint32_t v) {
    std::lock_guard lock(mutex);
    props[code].value = v;
  }
  void setText(uint32_t code, const std::string& t) {
    std::lock_guard lock(mutex);
    props[code].text = t;
  }
  std::vector<Write> written() {
    std::lock_guard lock(mutex);
    return writes;
  }
  void clearWrites() {
    std::lock_guard lock(mutex);
    writes.clear();
  }

  std::mutex mutex;
  std::map<uint32_t, FakeProperty> props;
  std::vector<Write> writes;
  uint16_t setResult = 0x2001;
  int busyWrites = 0;
};

}  // namespace kvtest

// A Fujifilm session on the simulator with the module wired behind the camera interface.
class FujiSessionFixture : public PtpSessionFixture {
 protected:
  void SetUp() override {
    PtpSessionFixture::SetUp();
    deviceInfo("FUJIFILM", {0x1001, 0x1002, 0x1007, 0x100E, 0x1014, 0x1015, 0x1016, 0x101C});
    camRegisterVendorModule(CameraVendorFujifilm, camMakeFujiModule());
    setCameraServices(camMakeVendorServices());
    camSetModelIndex(22);
    fujiResetState();
    propClearTable();
    propSetLabelTable(fujiPropertyLabels(), kFujiLabelEndCode);
    evtClearQueue();
    body.install(*sim);
  }
  void TearDown() override {
    propClearTable();
    propSetLabelTable({}, 0);
    evtClearQueue();
    fujiResetState();
    fujiSetLiveViewStopCallback(nullptr);
    setCameraServices(nullptr);
    camResetVendorModules();
    PtpSessionFixture::TearDown();
  }
  // Adds a record described by the body, or describes it again.
  void track(uint32_t code) {
    PropertyStruct* r = propFind(code, false);
    if (!r) r = propAdd(code, false, true);
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(propRefresh(r)) << std::hex << code;
  }
  uint32_t valueOf(uint32_t code) {
    return propCurrentValue(code).value_or(0xDEADBEEF);
  }
  std::vector<uint32_t> queuedCodes() {
    std::vector<uint32_t> codes;
    for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop())
      if (e.code == PTP_EC_DevicePropChanged && e.property) codes.push_back(e.property->code);
    return codes;
  }
  size_t commandsOf(uint16_t op) {
    size_t n = 0;
    for (auto& c : sim->ptpCommands()) n += c.code == op;
    return n;
  }

  kvtest::FakeFujiBody body;
};
