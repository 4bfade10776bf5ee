#pragma once
// A session with the simulator and a fresh object cache in a temporary folder.
#include <filesystem>
#include <set>
#include <string>

#include "ptp/base/camera_vendor.h"
#include "ptp/cache/cache.h"
#include "ptp/cache/fetch.h"
#include "tests/ptp/camera/ptp_session_fixture.h"
#include "tests/ptp/link/mailbox_fixture.h"

class FetchTest : public MailboxFixture {
 protected:
  void SetUp() override {
    char t[] = "/tmp/kv-fetch-test-XXXXXX";
    ASSERT_NE(::mkdtemp(t), nullptr);
    root = t;
    std::filesystem::create_directory(root + "/c");
    std::filesystem::create_directory(root + "/d");
    ASSERT_EQ(cacheLoad((root + "/c").c_str(), (root + "/d").c_str()), 1);
    startSession(2);
  }
  void TearDown() override {
    kvtest::resetSession();
    MailboxFixture::TearDown();
    cacheLoad(nullptr, nullptr);
    std::filesystem::remove_all(root);
  }

  // A PTP session whose camera lists these operations.
  void camera(const std::string& manufacturer, std::vector<uint16_t> operations) {
    camInit([](const uint8_t* b, size_t n) { return shareSendPtp(b, n); },
            [](ByteBuffer& c, void*, uint32_t*) { return shareReceivePtp(c); },
            [](int flag) { return linkLockRequests(flag); }, nullptr);
    sim->setDeviceInfo(devsim::makeDeviceInfo(manufacturer, "Sim Camera", operations));
    ASSERT_EQ(ptpDetectVendor(), ptpVendorFromManufacturer(manufacturer.c_str()));
  }

  // Every file in the cache and download folders.
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const char* sub : {"/c", "/d"})
      for (auto& e : std::filesystem::directory_iterator(root + sub))
        names.insert(sub + 1 + ("/" + e.path().filename().string()));
    return names;
  }

  // How many control requests of this opcode reached the simulator, relayed or not.
  size_t requests(uint8_t opcode) const {
    size_t n = 0;
    for (const auto& f : sim->received()) {
      const auto& b = f.bytes;
      size_t at = 0;
      if (f.kind() == 15) at = 15 + bytesGetU32(b.data() + 11);
      if (b.size() >= at + 10 && b[at + 4] == 12 && b[at + 9] == opcode) ++n;
    }
    return n;
  }

  static PtpObjectInfoStruct record(uint32_t handle, const std::string& name, uint16_t format, uint32_t size) {
    PtpObjectInfoStruct r{};
    r.objectId = handle;
    r.objectFormat = format;
    r.objectCompressedSize = size;
    r.imagePixWidth = 6000;  // known: no ObjectInfo refresh
    r.imagePixHeight = 4000;
    r.captureDate = 1700000000;
    r.orientation = 1;
    objectInfoSetFileName(r, name);
    return r;
  }

  std::string root;
};
