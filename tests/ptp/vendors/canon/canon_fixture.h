#pragma once
// A Canon body: the module behind the camera interface as the library wires it, records
// put straight into the table, GetEvent records built in code, and (on the simulator) a
// body that reports each SetDevicePropValueEx back through its event stream.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/camera/cam_interface.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_labels.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_set_lock.h"
#include "ptp/props/prop_table.h"
#include "ptp/vendors/canon/canon_capture.h"
#include "ptp/vendors/canon/canon_events.h"
#include "ptp/vendors/canon/canon_labels.h"
#include "ptp/vendors/canon/canon_liveview_ops.h"
#include "ptp/vendors/canon/canon_models.h"
#include "ptp/vendors/canon/canon_ops.h"
#include "ptp/vendors/canon/canon_state.h"
#include "ptp/vendors/canon/canon_values.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/props/prop_fixture.h"

namespace kvtest {

class CanonTestModule : public VendorModule {
 public:
  PtpResponseCode setPropertyValue(uint32_t code, uint32_t value) override { return canonSetPropertyValue(code, value); }
  bool waitPropertyValue(uint32_t code, uint32_t value) override { return canonWaitPropertyValue(code, value); }
  bool isLiveViewAvailable() override { return canonIsLiveViewAvailable(); }
  bool isMirrorUp() override { return canonIsMirrorUp(); }
};

class CanonTestServices : public CameraServices {
 public:
  PtpResponseCode canonParseEvents(std::span<const uint8_t> data) override {
    return ::canonParseEvents(data.data(), data.size());
  }
};

using Bytes = std::vector<uint8_t>;

// One GetEvent record: length, type, payload.
inline Bytes record(uint32_t type, const Bytes& payload) {
  Bytes b;
  bytesAppendU32(b, static_cast<uint32_t>(8 + payload.size()));
  bytesAppendU32(b, type);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}
inline Bytes words(std::initializer_list<uint32_t> ws) {
  Bytes b;
  for (uint32_t w : ws) bytesAppendU32(b, w);
  return b;
}
inline Bytes valueRecord(uint32_t code, uint32_t value) { return record(0xC189, words({code, value})); }
// 0xC18A: code, (u32 unused), u16 count at 16 (and two spare bytes), values from 20.
inline Bytes listRecord(uint32_t code, std::vector<uint32_t> values, int countOverride = -1) {
  Bytes p = words({code, 0});
  bytesAppendU16(p, static_cast<uint16_t>(countOverride >= 0 ? countOverride : static_cast<int>(values.size())));
  bytesAppendU16(p, 0);
  for (uint32_t v : values) bytesAppendU32(p, v);
  return record(0xC18A, p);
}
inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}
// The terminating record that GetEvent data ends with.
inline Bytes endRecord() { return words({8, 0}); }

using proptest::putProperty;

inline uint32_t canonValueOf(uint32_t code) {
  return propCurrentValue(code).value_or(0xDEADBEEF);
}

inline std::vector<PtpEventStruct> drainEvents() {
  std::vector<PtpEventStruct> out;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) out.push_back(e);
  return out;
}

inline void resetCanon() {
  setCameraServices(nullptr);
  camSetEventFetchCallback(nullptr);
  camResetVendorModules();
  propClearTable();
  propSetLabelTable({}, 0);
  evtClearQueue();
  canonResetModelState();
  canonResetModuleState();
  camSetAfState(0);
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
  while (propUnlockForSet()) {
  }
}

// A Canon body by model index with the Canon label table and module installed.
inline void useCanonModel(uint8_t index) {
  resetCanon();
  camSetVendor(CameraVendorCanon);
  camSetModelIndex(index);
  propSetLabelTable(canonPropertyLabels(), kCanonLabelEndCode);
  camRegisterVendorModule(CameraVendorCanon, std::make_shared<CanonTestModule>());
  setCameraServices(std::make_shared<CanonTestServices>());
}

// The body on the simulator: GetEvent hands out queued records; every property written
// with 0x9110 is reported back as a 0xC189 record unless `echo` is off.
class FakeCanonBody {
 public:
  void install(devsim::Simulator& sim) {
    using Cmd = devsim::Simulator::PtpCommand;
    using Reply = devsim::Simulator::PtpReply;
    // Plain Canon commands the body accepts.
    for (uint16_t op : {0x910F, 0x9114, 0x9115, 0x911A, 0x911B, 0x911C, 0x911D, 0x9125, 0x9126, 0x9128, 0x9129,
                        0x9133, 0x9134, 0x913D, 0x913E, 0x9140, 0x9154, 0x9155, 0x9158, 0x9159, 0x9160})
      sim.setPtpHandler(op, [](const Cmd&) { return Reply{}; });
    sim.setPtpHandler(0x9116, [this](const Cmd&) {
      std::lock_guard lock(mutex);
      Bytes data;
      if (!events.empty()) {
        data = events.front();
        events.pop_front();
      }
      Bytes end = endRecord();
      data.insert(data.end(), end.begin(), end.end());
      return Reply{0x2001, devsim::Bytes(data.begin(), data.end()), {}};
    });
    sim.setPtpHandler(0x9110, [this](const Cmd& c) {
      std::lock_guard lock(mutex);
      writes.push_back(Bytes(c.data.begin(), c.data.end()));
      if (busyWrites > 0) {
        --busyWrites;
        return Reply{0x2019, std::nullopt, {}};
      }
      if (echo && c.data.size() >= 12) events.push_back(valueEcho(c.data));
      return Reply{};
    });
  }
  static Bytes valueEcho(const devsim::Bytes& d) {
    uint32_t code = 0, value = 0;
    for (int i = 0; i < 4; ++i) {
      code |= uint32_t(d[4 + i]) << (8 * i);
      value |= uint32_t(d[8 + i]) << (8 * i);
    }
    return valueRecord(code, value);
  }
  void queueEvent(Bytes data) {
    std::lock_guard lock(mutex);
    events.push_back(std::move(data));
  }
  std::vector<Bytes> written() {
    std::lock_guard lock(mutex);
    return writes;
  }

  std::mutex mutex;
  std::deque<Bytes> events;
  std::vector<Bytes> writes;
  int busyWrites = 0;
  bool echo = true;
};

}  // namespace kvtest

struct CanonTest : ::testing::Test {
  void SetUp() override { kvtest::useCanonModel(0); }
  void TearDown() override { kvtest::resetCanon(); }
};

// A Canon session on the simulator with the module wired behind the camera interface.
class CanonSessionFixture : public PtpSessionFixture {
 protected:
  void SetUp() override {
    PtpSessionFixture::SetUp();
    kvtest::useCanonModel(0);
    body.install(*sim);
    camSetEventFetchCallback([](std::vector<uint8_t>& data, bool blocking) {
      ByteBuffer in;
      PtpResponseCode rc = canonGetEvent(in, blocking);
      data.assign(in.begin(), in.end());
      return rc;
    });
    timing().busyRetryDelay = std::chrono::milliseconds(1);
  }
  void TearDown() override {
    kvtest::resetCanon();
    PtpSessionFixture::TearDown();
  }
  // The DeviceInfo of a Canon body listing these operations (the basics added).
  void canonDevice(std::vector<uint16_t> ops, const std::string& model = "Canon EOS 5D Mark IV") {
    ops.insert(ops.end(), {0x1001, 0x1002, 0x1008, 0x9110, 0x9116, 0x9114, 0x9115});
    sim->setDeviceInfo(devsim::makeDeviceInfo("Canon Inc.", model, ops));
    ASSERT_EQ(ptpDetectVendor(), CameraVendorCanon);
  }
  std::vector<devsim::Simulator::PtpCommand> commands(uint16_t code) const {
    std::vector<devsim::Simulator::PtpCommand> out;
    for (auto& c : sim->ptpCommands())
      if (c.code == code) out.push_back(c);
    return out;
  }

  kvtest::FakeCanonBody body;
  ScopedTiming restoreTiming;
};
