// The transaction mutex and the bracket (lock) callback, over an in-memory transport.
#include <gmock/gmock.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "ptp/base/ptp_codes.h"
#include "ptp/camera/ptp_session.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Answers every command with an OK response (with the command's transaction id).
class FakeDevice {
 public:
  FakeDevice() {
    ptpSetTransport(
        [this](const uint8_t* b, size_t n) {
          std::lock_guard lock(mutex);
          if (n >= 12) pending.push_back(devsim::makeContainer(3, result, bytesGetU32(b + 8), {}));
          sent.push_back(bytesGetU16(b + 6));
          sizes.push_back(n);
          return sendResult;
        },
        [this](ByteBuffer& c, void*, uint32_t*) {
          std::lock_guard lock(mutex);
          if (pending.empty()) return PtpResponseCode(ERROR_CONNECTION);
          c = pending.front();
          pending.pop_front();
          return PtpResponseCode(PTP_RC_OK);
        });
  }
  ~FakeDevice() { kvtest::resetSession(); }

  std::mutex mutex;
  std::deque<ByteBuffer> pending;
  std::vector<uint16_t> sent;
  std::vector<size_t> sizes;
  PtpResponseCode sendResult = PTP_RC_OK;
  uint16_t result = PTP_RC_OK;
};

}  // namespace

TEST(PtpTransactionLock, ARefusedLockStopsTheTransactionWithoutUnlocking) {
  // Both the admitted transaction and the raw one: a bracket that fails (0 or negative)
  // must neither send nor be "unlocked" afterwards.
  for (int refusal : {0, -1}) {
    for (bool raw : {false, true}) {
      SCOPED_TRACE(testing::Message() << "refusal " << refusal << (raw ? " raw" : ""));
      FakeDevice device;
      std::vector<int> calls;
      ptpSetBracketCallback([&](int flag) {
        calls.push_back(flag);
        return flag ? refusal : 1;
      });
      PtpResponseCode rc = raw ? ptpTransactionRaw(PTP_OC_GetNumObjects, nullptr, 0, nullptr, nullptr)
                               : ptpTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, true);
      EXPECT_EQ(rc, ERROR_BUSY);
      EXPECT_THAT(calls, ElementsAre(1));
      EXPECT_THAT(device.sent, IsEmpty());
      // The transaction mutex was released: the next transaction is not refused as busy.
      ptpSetBracketCallback(nullptr);
      EXPECT_EQ(ptpRunTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, false), PTP_RC_OK);
    }
  }
}

TEST(PtpTransactionLock, BracketSpansTheWholeTransaction) {
  FakeDevice device;
  std::vector<std::string> log;
  ptpSetBracketCallback([&](int flag) {
    std::lock_guard lock(device.mutex);
    log.push_back("lock " + std::to_string(flag) + " after " + std::to_string(device.sent.size()));
    return 1;
  });
  EXPECT_EQ(ptpTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, true), PTP_RC_OK);
  EXPECT_THAT(log, ElementsAre("lock 1 after 0", "lock 0 after 1"));

  log.clear();
  device.sendResult = ERROR_CONNECTION;  // a failed send still unlocks
  EXPECT_EQ(ptpTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, true), ERROR_CONNECTION);
  EXPECT_EQ(ptpTransactionRaw(PTP_OC_GetNumObjects, nullptr, 0, nullptr, nullptr), ERROR_SEND_FAILED);
  EXPECT_EQ(log.size(), 4u);
  EXPECT_EQ(log[1].substr(0, 6), "lock 0");
  EXPECT_EQ(log[3].substr(0, 6), "lock 0");
}

TEST(PtpTransactionLock, RawSkipsAdmissionOthersAreRefused) {
  FakeDevice device;
  EXPECT_EQ(ptpTransaction(0x9999, nullptr, 0, nullptr, 0, nullptr, nullptr, true), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_THAT(device.sent, IsEmpty());
  EXPECT_EQ(ptpTransactionRaw(0x9999, nullptr, 0, nullptr, nullptr), PTP_RC_OK);
  EXPECT_THAT(device.sent, ElementsAre(0x9999));
  uint32_t six[6] = {};
  EXPECT_EQ(ptpTransaction(PTP_OC_GetNumObjects, six, 6, nullptr, 0, nullptr, nullptr, true), ERROR_TOO_LARGE);
}

TEST(PtpTransactionLock, OutgoingDataPhaseOnlyWithBothDataAndLength) {
  FakeDevice device;
  const uint8_t payload[3] = {1, 2, 3};
  uint32_t param = 0x5001;
  EXPECT_EQ(ptpTransactionRaw(0x1016, &param, 1, nullptr, nullptr), PTP_RC_OK);  // sizes[0]: command only
  auto block = std::make_unique<PtpDeviceInfoStruct>();
  block->operationsSupported.count = 1;
  block->operationsSupported.codes[0] = 0x1016;
  ptpSetStoredDeviceInfo(*block);
  EXPECT_EQ(ptpTransaction(0x1016, &param, 1, payload, sizeof payload, nullptr, nullptr, true), PTP_RC_OK);
  EXPECT_EQ(ptpTransaction(0x1016, &param, 1, payload, 0, nullptr, nullptr, true), PTP_RC_OK);
  EXPECT_EQ(ptpTransaction(0x1016, &param, 1, nullptr, 3, nullptr, nullptr, true), PTP_RC_OK);
  EXPECT_THAT(device.sizes, ElementsAre(16u, 16u + 12u + 3u, 16u, 16u));
}

TEST(PtpTransactionLock, NonBlockingCallerGetsBusyWhileATransactionRuns) {
  FakeDevice device;
  std::atomic<bool> inside{false}, release{false};
  ptpSetBracketCallback([&](int flag) {
    if (flag == 1 && !inside.exchange(true)) {
      while (!release) std::this_thread::yield();
    }
    return 1;
  });
  std::thread holder([] { ptpTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, true); });
  while (!inside) std::this_thread::yield();
  EXPECT_EQ(ptpRunTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, false), ERROR_BUSY);
  release = true;
  holder.join();
}

TEST(PtpTransactionLock, ConcurrentTransactionsNeverOverlap) {
  FakeDevice device;
  std::atomic<int> active{0}, overlaps{0};
  ptpSetBracketCallback([&](int flag) {
    if (flag == 1 && active.fetch_add(1) != 0) ++overlaps;
    if (flag == 0) active.fetch_sub(1);
    return 1;
  });
  std::vector<std::thread> threads;
  std::atomic<int> ok{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        if (ptpTransaction(PTP_OC_GetNumObjects, nullptr, 0, nullptr, 0, nullptr, nullptr, true) == PTP_RC_OK) ++ok;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(ok.load(), 800);
}
