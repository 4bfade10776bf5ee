#pragma once
// A Sony body behind the simulator: its properties answered as a 0x9209 reply, and what
// the host wrote with 0x9205 / 0x9207 read back from the frames the simulator received.
#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "ptp/props/prop_table.h"
#include "ptp/vendors/sony/sony_ops.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/vendors/sony/sony_fixture.h"

namespace kvtest {

// One host write: the operation, its property code and the data phase.
struct SonyWrite {
  uint16_t op = 0;
  uint32_t code = 0;
  std::vector<uint8_t> data;
  uint32_t value() const {
    uint32_t v = 0;
    for (size_t i = 0; i < data.size() && i < 4; ++i) v |= uint32_t(data[i]) << (8 * i);
    return v;
  }
};

}  // namespace kvtest

class SonySimTest : public PtpSessionFixture {
 protected:
  void SetUp() override {
    PtpSessionFixture::SetUp();
    kvtest::resetSony();
    deviceInfo("Sony Corporation", {0x1001, 0x1002, 0x1008, 0x1009, 0x9204, 0x9205, 0x9207, 0x9209});
    sim->setPtpHandler(kSonyGetAllDevicePropData, [this](const devsim::Simulator::PtpCommand&) {
      applyNewWrites();
      devsim::Simulator::PtpReply reply;
      std::lock_guard lock(mutex);
      std::vector<kvtest::SonyDesc> list;
      for (auto& [code, d] : camera) list.push_back(d);
      auto bytes = kvtest::sonyReply(list);
      reply.data = devsim::Bytes(bytes.begin(), bytes.end());
      ++reads;
      return reply;
    });
    for (uint16_t op : {kSonySetControlDeviceA, PTP_OC_SONY_SetControlDeviceB}) {
      sim->setPtpHandler(op, [this](const devsim::Simulator::PtpCommand& c) {
        devsim::Simulator::PtpReply reply;
        if (!c.params.empty() && c.params[0] == failCode) reply.result = 0x2002;
        return reply;
      });
    }
  }
  void TearDown() override {
    kvtest::resetSony();
    PtpSessionFixture::TearDown();
  }

  // The body: model string, then every descriptor the camera reports; the table is read.
  void body(const std::string& model, std::vector<kvtest::SonyDesc> descs) {
    kvtest::useSonyModel(model);
    {
      std::lock_guard lock(mutex);
      camera.clear();
      for (auto& d : descs) camera[d.code] = d;
    }
    ASSERT_EQ(sonyReadAllProperties(0), PTP_RC_OK);
  }
  void setCamera(uint16_t code, uint64_t value) {
    std::lock_guard lock(mutex);
    camera[code].current = value;
  }

  // Every 0x9205 / 0x9207 the host sent so far, with its data (the data container rides
  // in the same message as the command).
  std::vector<kvtest::SonyWrite> writes() const {
    std::vector<kvtest::SonyWrite> out;
    for (const auto& f : sim->received()) {
      if (f.kind() != 10 || f.bytes.size() < 5 + 12) continue;
      const uint8_t* c = f.bytes.data() + 5;
      const size_t n = f.bytes.size() - 5;
      const uint16_t type = devsim::getU16(c + 4), op = devsim::getU16(c + 6);
      if (type != 1 || (op != kSonySetControlDeviceA && op != PTP_OC_SONY_SetControlDeviceB)) continue;
      kvtest::SonyWrite w;
      w.op = op;
      const uint32_t commandLength = devsim::getU32(c);
      w.code = commandLength >= 16 && n >= 16 ? devsim::getU32(c + 12) : 0;
      if (commandLength + 12 <= n && devsim::getU16(c + commandLength + 4) == 2) {
        const uint32_t dataLength = std::min<uint32_t>(devsim::getU32(c + commandLength), n - commandLength);
        if (dataLength >= 12) w.data.assign(c + commandLength + 12, c + commandLength + dataLength);
      }
      out.push_back(w);
    }
    return out;
  }
  std::vector<kvtest::SonyWrite> writesOf(uint32_t code) const {
    std::vector<kvtest::SonyWrite> out;
    for (auto& w : writes())
      if (w.code == code) out.push_back(w);
    return out;
  }

  // How the camera reacts to a write (runs on the simulator's thread under `mutex`).
  std::function<void(const kvtest::SonyWrite&)> onWrite;
  std::mutex mutex;
  std::map<uint16_t, kvtest::SonyDesc> camera;
  int reads = 0;
  // Writes of this property code are refused with GeneralError.
  std::atomic<uint32_t> failCode{0};

 private:
  void applyNewWrites() {
    const auto all = writes();
    std::lock_guard lock(mutex);
    for (; applied < all.size(); ++applied) {
      if (onWrite) onWrite(all[applied]);
    }
  }
  size_t applied = 0;
};
