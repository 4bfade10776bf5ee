#pragma once
// The PTP session over a real link to the simulator, and dataset builders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/sleep.h"
#include "ptp/camera/ptp_session.h"
#include "ptp/protocol/device_info.h"
#include "tests/ptp/link/link_fixture.h"

namespace kvtest {

struct ObjectInfoFields {
  uint32_t storage = 0x00010001;
  uint16_t format = 0x3801;
  uint32_t size = 1234;
  uint16_t associationType = 0;
  std::string fileName = "IMG_0001.JPG";
  std::string captureDate = "20240131T235959";
  std::string modificationDate = "20240201T000000";
  std::string keywords = "";
  bool canonEx = false;  // Canon's 0x9170 layout: four more bytes before the strings
};

inline devsim::Bytes makeObjectInfo(const ObjectInfoFields& f) {
  devsim::Bytes b;
  devsim::putU32(b, f.storage);
  devsim::putU16(b, f.format);
  devsim::putU16(b, 0);  // protection
  devsim::putU32(b, f.size);
  devsim::putU16(b, 0x3808);  // thumb format
  devsim::putU32(b, 5000);    // thumb size
  if (f.canonEx) devsim::putU32(b, 0xCAFEF00D);
  for (uint32_t v : {160u, 120u, 6000u, 4000u, 24u, 0u}) devsim::putU32(b, v);
  devsim::putU16(b, f.associationType);
  devsim::putU32(b, 0);  // association desc
  devsim::putU32(b, 7);  // sequence number
  for (const std::string* s : {&f.fileName, &f.captureDate, &f.modificationDate, &f.keywords}) {
    auto p = devsim::makePtpString(*s);
    b.insert(b.end(), p.begin(), p.end());
  }
  return b;
}

inline devsim::Bytes makeStorageInfo(const std::string& description, const std::string& label) {
  devsim::Bytes b;
  devsim::putU16(b, 4);  // removable RAM
  devsim::putU16(b, 2);  // generic hierarchical
  devsim::putU16(b, 0);  // read-write
  for (uint64_t v : {uint64_t(64) << 30, uint64_t(10) << 30}) {
    devsim::putU32(b, static_cast<uint32_t>(v));
    devsim::putU32(b, static_cast<uint32_t>(v >> 32));
  }
  devsim::putU32(b, 999);
  for (const std::string* s : {&description, &label}) {
    auto p = devsim::makePtpString(*s);
    b.insert(b.end(), p.begin(), p.end());
  }
  return b;
}

// Back to "no camera": no DeviceInfo, unknown vendor, no transport, default hooks.
inline void resetSession() {
  ptpClearStoredDeviceInfo();
  camSetVendor(CameraVendorUnknown);
  camSetModelIndex(0);
  camSetSessionHooks({});
  ptpSetTransport(nullptr, nullptr);
  ptpSetBracketCallback(nullptr);
}

}  // namespace kvtest

class PtpSessionFixture : public LinkFixture {
 protected:
  void SetUp() override {
    kvtest::resetSession();
    connect();
    camInit([](const uint8_t* b, size_t n) { return shareSendPtp(b, n); },
            [](ByteBuffer& c, void*, uint32_t*) { return shareReceivePtp(c); }, [](int flag) { return linkLockRequests(flag); },
            nullptr);
  }
  void TearDown() override {
    kvtest::resetSession();
    LinkFixture::TearDown();
  }
  // Loads a DeviceInfo through the simulator, as camera set-up does.
  void deviceInfo(const std::string& manufacturer, std::vector<uint16_t> operations) {
    sim->setDeviceInfo(devsim::makeDeviceInfo(manufacturer, "Sim Camera", operations));
    ASSERT_EQ(ptpDetectVendor(), ptpVendorFromManufacturer(manufacturer.c_str()));
  }
  std::vector<uint16_t> codesSent() const {
    std::vector<uint16_t> codes;
    for (auto& c : sim->ptpCommands()) codes.push_back(c.code);
    return codes;
  }

  std::vector<std::chrono::milliseconds> naps;
  ScopedSleepHook noSleep{[this](std::chrono::milliseconds d) { naps.push_back(d); }};
};
