#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "ptp/base/sleep.h"
#include "ptp/base/timing.h"
#include "ptp/base/timing.h"
#include "ptp/props/event_testing.h"
#include "ptp/props/prop_set_lock.h"
#include "tests/ptp/props/prop_fixture.h"

using namespace proptest;
using namespace std::chrono_literals;

namespace {
// Waits (bounded) until cond holds.
template <class F>
bool eventually(F cond) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!cond()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

struct EventPoll : PropTest {
  ScopedTiming timingGuard;
  void SetUp() override {
    PropTest::SetUp();
    timing().waitSlice = 2ms;
    timing().pollPeriod = 1ms;
    timing().setLockWait = 50ms;
  }
};

std::vector<uint8_t> sonyRow(uint32_t code, uint32_t value) {
  std::vector<uint8_t> row(38, 0);
  row[0] = 0xF1;
  row[1] = 0x4F;
  std::memcpy(row.data() + 2, &code, 4);
  std::memcpy(row.data() + 6, &value, 4);
  return row;
}
}  // namespace

TEST_F(EventPoll, OnePass) {
  EXPECT_EQ(evtPoll(true, false), ERROR_GENERAL);  // no fetch callback
  std::vector<uint8_t> data;
  EXPECT_EQ(evtFetchPending(data), ERROR_GENERAL);

  camera->vendorCode = CameraVendorSony;
  PropertyStruct* iso = propAdd(0xD21E, false, false);
  std::atomic<int> fetches{0};
  camSetEventFetchCallback([&](std::vector<uint8_t>& out, bool) {
    out = ++fetches == 1 ? sonyRow(0xD21E, 400) : std::vector<uint8_t>{};
    return PTP_RC_OK;
  });
  EXPECT_EQ(evtPoll(true, false), PTP_RC_OK);
  EXPECT_EQ(iso->value, 400u);
  EXPECT_EQ(evtPop().property, iso);
  EXPECT_EQ(evtPoll(true, false), PTP_RC_OK);  // nothing pending
  EXPECT_EQ(evtQueueSize(), 0u);

  // A fetch already running elsewhere: a non-blocking pass is busy, a locked caller goes on.
  ASSERT_TRUE(evtLockFetch(true));
  std::thread other([] { EXPECT_EQ(evtPoll(false, false), ERROR_BUSY); });
  other.join();
  EXPECT_EQ(evtPoll(false, true), PTP_RC_OK);
  evtUnlockFetch();

  camSetEventFetchCallback([](std::vector<uint8_t>&, bool) { return PTP_RC_DeviceBusy; });
  EXPECT_EQ(evtPoll(true, false), PTP_RC_DeviceBusy);
  EXPECT_EQ(evtFetchPending(data), PTP_RC_DeviceBusy);
}

TEST_F(EventPoll, ThreadReportsFailuresEveryPass) {
  std::atomic<int> reports{0};
  std::atomic<PtpResponseCode> last{0};
  evtStartPollThread([&](PtpResponseCode rc) {
    last = rc;
    ++reports;
  });
  EXPECT_TRUE(evtPollThreadRunning());
  ASSERT_TRUE(eventually([&] { return reports >= 3; }));
  EXPECT_EQ(last, ERROR_GENERAL);
  EXPECT_TRUE(evtStopPollThread(true));
  EXPECT_FALSE(evtPollThreadRunning());
  EXPECT_EQ(evtLivePollThreads(), 0);
}

TEST_F(EventPoll, StopWithoutAThreadOnlySetsTheFlags) {
  EXPECT_TRUE(evtStopPollThread(false));
  EXPECT_TRUE(evtStopPollThread(true));
  EXPECT_FALSE(evtPollThreadRunning());
}

// Start, stop without waiting, start again at once: the first poller must still end, so
// there is never more than one poller at work.
TEST_F(EventPoll, StartStopStartLeavesOnePoller) {
  std::atomic<int> inside{0}, most{0}, fetches{0};
  camSetEventFetchCallback([&](std::vector<uint8_t>&, bool) {
    int now = ++inside;
    int seen = most;
    while (now > seen && !most.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::sleep_for(100us);
    ++fetches;
    --inside;
    return PTP_RC_OK;
  });
  for (int round = 0; round < 20; ++round) {
    evtStartPollThread(nullptr);
    EXPECT_TRUE(evtStopPollThread(false));
    evtStartPollThread(nullptr);
    ASSERT_TRUE(eventually([] { return evtLivePollThreads() == 1; })) << round;
  }
  const int before = fetches;
  ASSERT_TRUE(eventually([&] { return fetches > before + 3; }));
  EXPECT_EQ(evtLivePollThreads(), 1);
  EXPECT_TRUE(evtStopPollThread(true));
  EXPECT_EQ(evtLivePollThreads(), 0);
  EXPECT_EQ(most, 1);
}

// Each pass holds the property-set lock: while a set holds it no fetch runs, and a
// waiting stop does not need the lock.
TEST_F(EventPoll, PassesHoldThePropertySetLock) {
  std::atomic<int> fetches{0};
  camSetEventFetchCallback([&](std::vector<uint8_t>&, bool) {
    ++fetches;
    return PTP_RC_OK;
  });
  ASSERT_TRUE(propLockForSet());
  evtStartPollThread(nullptr);
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(fetches, 0);
  EXPECT_TRUE(evtStopPollThread(true));  // while the lock is still held here
  EXPECT_EQ(evtLivePollThreads(), 0);
  EXPECT_TRUE(propUnlockForSet());

  evtStartPollThread(nullptr);
  ASSERT_TRUE(eventually([&] { return fetches > 0; }));
  ASSERT_TRUE(propLockForSet());  // between passes
  const int held = fetches;
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(fetches, held);
  EXPECT_TRUE(propUnlockForSet());
  EXPECT_TRUE(evtStopPollThread(true));
}

// A second start while the poller runs frees the lock an aborted set left taken.
TEST_F(EventPoll, StartWhileRunningReleasesAnAbandonedSet) {
  evtStartPollThread(nullptr);
  std::thread aborted([] { ASSERT_TRUE(propLockForSet()); });
  aborted.join();
  EXPECT_TRUE(propIsSetBusy());
  evtStartPollThread(nullptr);
  EXPECT_FALSE(propIsSetBusy());
  EXPECT_EQ(evtLivePollThreads(), 1);
  EXPECT_TRUE(evtStopPollThread(true));
}

// The error callback runs on the poll thread; a waiting stop from there must not join
// its own thread.
TEST_F(EventPoll, StopFromTheErrorCallback) {
  std::atomic<bool> answered{false};
  evtStartPollThread([&](PtpResponseCode) { answered = evtStopPollThread(true); });
  ASSERT_TRUE(eventually([] { return evtLivePollThreads() == 0; }));
  EXPECT_TRUE(answered);
  EXPECT_FALSE(evtPollThreadRunning());
  evtStartPollThread(nullptr);  // the ended thread is joined here
  EXPECT_TRUE(evtPollThreadRunning());
  EXPECT_TRUE(evtStopPollThread(true));
}

TEST_F(EventPoll, NikonRefreshesTheBatteryEvery31Passes) {
  camera->vendorCode = CameraVendorNikon;
  propBuildVendorCodeMap();
  std::atomic<int> fetches{0};
  camSetEventFetchCallback([&](std::vector<uint8_t>&, bool) {
    ++fetches;
    return PTP_RC_OK;
  });
  evtStartPollThread(nullptr);
  ASSERT_TRUE(eventually([&] { return fetches >= 65; }));
  EXPECT_TRUE(evtStopPollThread(true));
  const auto calls = camera->takeCalls();
  ASSERT_GE(calls.size(), 2u);
  for (const auto& c : calls) EXPECT_EQ(c, "refresh 20481");  // 0x5001
  EXPECT_LE(calls.size(), static_cast<size_t>(fetches / 31 + 1));
}

TEST(LibSleep, TestsReplaceTheSleep) {
  std::vector<std::chrono::milliseconds> asked;
  {
    ScopedSleepHook hook([&](std::chrono::milliseconds d) { asked.push_back(d); });
    libSleep(500ms);
    libSleep(100ms);
  }
  EXPECT_EQ(asked, (std::vector<std::chrono::milliseconds>{500ms, 100ms}));
  libSleep(0ms);  // the real one again
  EXPECT_EQ(asked.size(), 2u);
}
