// Setting a property through the camera interface: the table checks, the property-set
// lock on every path, the wait for the value, the events, Fujifilm's live-view restart,
// and a set racing the event poller.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "ptp/base/timing.h"
#include "ptp/camera/cam_services.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_poll.h"
#include "ptp/props/event_queue.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_set_lock.h"
#include "tests/ptp/camera/cam_interface_fixture.h"

using namespace camtest;
using namespace std::chrono_literals;

namespace {

struct SetModule : VendorModule {
  PtpResponseCode setAnswer = PTP_RC_OK;
  bool waitAnswer = true;
  bool directSet = false;
  bool stopsLiveView = false;
  PtpResponseCode liveViewAnswer = PTP_RC_OK;
  std::vector<std::string> calls;
  bool busyDuringSet = false, busyDuringWait = false;

  PtpResponseCode setPropertyValue(uint32_t, uint32_t) override {
    calls.push_back("set");
    busyDuringSet = propIsSetBusy();
    return setAnswer;
  }
  bool waitPropertyValue(uint32_t, uint32_t) override {
    calls.push_back("wait");
    busyDuringWait = propIsSetBusy();
    return waitAnswer;
  }
  void waitSetPropertyIdle() override { calls.push_back("idle"); }
  bool isDirectSetModel() override { return directSet; }
  bool takeLiveViewStoppedForSet() override { return std::exchange(stopsLiveView, false); }
  PtpResponseCode setLiveView(int on) override {
    calls.push_back("liveView " + std::to_string(on));
    return liveViewAnswer;
  }
};

// Codes of the queued DevicePropChanged events (0 for a record not in the table).
std::vector<uint32_t> drainEvents() {
  std::vector<uint32_t> codes;
  for (PtpEventStruct e = evtPop(); e.code != 0; e = evtPop()) {
    EXPECT_EQ(e.code, PTP_EC_DevicePropChanged);
    codes.push_back(e.property ? e.property->code : 0);
  }
  return codes;
}

void addProp(uint32_t code, std::vector<uint32_t> allowed = {}) {
  PropertyStruct* r = propAdd(code, true, false);
  ASSERT_NE(r, nullptr);
  r->datatype = PTP_DTC_UINT32;
  for (uint32_t v : allowed) r->values.push_back(PropertyValueNamesStruct{{}, v});
  r->count = static_cast<uint16_t>(r->values.size());
  propUnlock(r);
}

// Free: a set can take it at once (and gives it back).
bool lockIsFree() {
  if (propIsSetBusy() || !propSetLockAcquireFor(0ms)) return false;
  return propSetLockRelease();
}

struct CamSetTest : CamInterfaceTest {
  ScopedTiming timingGuard;
  std::shared_ptr<SetModule> module = std::make_shared<SetModule>();
  std::atomic<int> afterEvents{0};

  void SetUp() override {
    CamInterfaceTest::SetUp();
    evtClearQueue();
    evtSetAfterEventsCallback([this] { ++afterEvents; });
    timing().setLockWait = 20ms;
    for (uint16_t v : {12, 13, 14, 15, 255}) camRegisterVendorModule(v, module);
    addProp(0x500E);
    addProp(0x5010);
    addProp(0x5007, {100, 200});
  }
  void TearDown() override {
    evtSetAfterEventsCallback(nullptr);
    evtClearQueue();
    while (propIsSetBusy()) propUnlockForSet();
    CamInterfaceTest::TearDown();
  }
};
}  // namespace

TEST_F(CamSetTest, StepsPerVendorAndOutcome) {
  using Calls = std::vector<std::string>;
  struct Row {
    const char* what;
    uint16_t vendor;
    uint32_t code, value;
    bool wait;
    PtpResponseCode setAnswer;
    bool waitAnswer;
    bool directSet;
    PtpResponseCode expected;
    Calls calls;
    std::vector<uint32_t> events;
  };
  const std::vector<Row> rows = {
      {"unknown vendor", 255, 0x5007, 100, true, PTP_RC_OK, true, false, 0xFFFF, {}, {}},
      {"unknown vendor, code not in table", 255, 0xD001, 1, true, PTP_RC_OK, true, false, 0x2006, {}, {}},
      {"not in table", 13, 0xD001, 1, true, PTP_RC_OK, true, false, 0x2006, {}, {}},
      {"value not allowed", 13, 0x5007, 300, true, PTP_RC_OK, true, false, 0x2006, {}, {}},
      {"Fujifilm skips the table", 12, 0xD001, 1, true, PTP_RC_OK, true, false, 0x2001, {"set", "wait"}, {0}},
      {"setter fails", 13, 0x5007, 100, true, PTP_RC_GeneralError, true, false, PTP_RC_GeneralError, {"set"}, {}},
      {"Fujifilm setter fails", 12, 0x5007, 100, true, PTP_RC_GeneralError, true, false, PTP_RC_GeneralError,
       {"set"}, {}},
      {"wait fails", 13, 0x5007, 100, true, PTP_RC_OK, false, false, 0xFF0D, {"set", "wait"}, {}},
      {"confirmed", 13, 0x5007, 200, true, PTP_RC_OK, true, false, 0x2001, {"set", "wait"}, {}},
      {"busy setter still waits", 15, 0x5007, 200, true, 0x2019, true, false, 0x2001, {"set", "wait"}, {}},
      {"no wait keeps the setter's answer", 15, 0x5007, 200, false, 0x2019, false, false, 0x2019, {"set"}, {}},
      {"Nikon exposure program", 15, 0x500E, 3, true, PTP_RC_OK, true, false, 0x2001, {"set", "wait"},
       {0x500E, 0x5010}},
      {"Nikon exposure program, wait failed", 15, 0x500E, 3, true, PTP_RC_OK, false, false, 0xFF0D,
       {"set", "wait"}, {0x500E, 0x5010}},
      {"Fujifilm", 12, 0x5010, 3, true, PTP_RC_OK, true, false, 0x2001, {"set", "wait"}, {0x5010}},
      {"Fujifilm without wait", 12, 0x5010, 3, false, PTP_RC_OK, false, false, 0x2001, {"set"}, {0x5010}},
      {"Sony without direct set", 14, 0x5007, 100, true, PTP_RC_OK, false, false, 0x2001, {"idle", "set"}, {}},
      {"Sony direct set", 14, 0x5007, 100, true, PTP_RC_OK, false, true, 0xFF0D, {"idle", "set", "wait"}, {}},
      {"Sony movie program", 14, 0x500E, 0x78050, true, PTP_RC_OK, false, true, 0x2001, {"idle", "set"}, {}},
      {"Sony program below movie", 14, 0x500E, 0x7804F, true, PTP_RC_OK, true, true, 0x2001,
       {"idle", "set", "wait"}, {}},
      {"Sony not in table", 14, 0xD001, 1, true, PTP_RC_OK, true, true, 0x2006, {}, {}},
  };
  for (const Row& r : rows) {
    camSetVendor(r.vendor);
    module->calls.clear();
    module->setAnswer = r.setAnswer;
    module->waitAnswer = r.waitAnswer;
    module->directSet = r.directSet;
    module->busyDuringSet = module->busyDuringWait = false;
    afterEvents = 0;
    EXPECT_EQ(camSetPropertyValue(r.code, r.value, r.wait), r.expected) << r.what;
    EXPECT_EQ(module->calls, r.calls) << r.what;
    EXPECT_TRUE(lockIsFree()) << r.what;
    if (!module->calls.empty() && module->calls.back() != "idle") {
      EXPECT_EQ(module->busyDuringSet, r.wait) << r.what;  // the lock is held around the setter
    }
    if (std::find(r.calls.begin(), r.calls.end(), "wait") != r.calls.end()) {
      EXPECT_TRUE(module->busyDuringWait) << r.what;
    }
    EXPECT_EQ(drainEvents(), r.events) << r.what;
    EXPECT_EQ(afterEvents, static_cast<int>(r.events.size())) << r.what;
  }
}

// Another set holding the lock: 0xFF13, nothing reaches the camera, the other set's
// lock is left as it was.
TEST_F(CamSetTest, LockHeldElsewhereAnswersBusy) {
  camSetVendor(CameraVendorCanon);
  ASSERT_TRUE(propLockForSet());
  EXPECT_EQ(camSetPropertyValue(0x5007, 100, true), ERROR_BUSY);
  EXPECT_TRUE(module->calls.empty());
  EXPECT_TRUE(propIsSetBusy());
  EXPECT_TRUE(propUnlockForSet());
  // Without waiting the lock is not needed.
  ASSERT_TRUE(propLockForSet());
  EXPECT_EQ(camSetPropertyValue(0x5007, 100, false), PTP_RC_OK);
  EXPECT_EQ(module->calls, std::vector<std::string>{"set"});
  EXPECT_TRUE(propUnlockForSet());
}

// Live view stopped for a Fujifilm set runs again on every path, and a failure of the
// set is not hidden by a successful restart.
TEST_F(CamSetTest, FujifilmRestartsLiveViewStoppedForTheSet) {
  camSetVendor(CameraVendorFujifilm);
  struct Row {
    const char* what;
    PtpResponseCode setAnswer;
    bool waitAnswer;
    PtpResponseCode liveViewAnswer;
    PtpResponseCode expected;
  };
  for (const Row& r : {Row{"restart answered", PTP_RC_OK, true, 0x2019, 0x2019},
                       Row{"both fine", PTP_RC_OK, true, PTP_RC_OK, PTP_RC_OK},
                       Row{"wait failed", PTP_RC_OK, false, PTP_RC_OK, 0xFF0D},
                       Row{"setter failed", PTP_RC_GeneralError, true, PTP_RC_OK, PTP_RC_GeneralError}}) {
    module->calls.clear();
    module->stopsLiveView = true;
    module->setAnswer = r.setAnswer;
    module->waitAnswer = r.waitAnswer;
    module->liveViewAnswer = r.liveViewAnswer;
    EXPECT_EQ(camSetPropertyValue(0x5007, 100, true), r.expected) << r.what;
    EXPECT_EQ(module->calls.back(), "liveView 1") << r.what;
    EXPECT_FALSE(module->stopsLiveView) << r.what;
    EXPECT_TRUE(lockIsFree()) << r.what;
    drainEvents();
  }
  // Not stopped: not started either.
  module->calls.clear();
  module->setAnswer = PTP_RC_OK;
  module->waitAnswer = true;
  EXPECT_EQ(camSetPropertyValue(0x5007, 100, true), PTP_RC_OK);
  EXPECT_EQ(module->calls, (std::vector<std::string>{"set", "wait"}));
}

// The lock a set took but lost (camera set-up or a poller start freed it) is not released
// again by that set once a poll pass holds it.
TEST_F(CamSetTest, ASetNeverReleasesAPollPassHold) {
  ASSERT_TRUE(propLockForSet());
  ASSERT_TRUE(propUnlockForSet());  // freed for the set, as set-up does
  ASSERT_TRUE(propSetLockAcquireFor(0ms));  // a poll pass
  EXPECT_FALSE(propUnlockForSet());  // the stale set's release
  EXPECT_FALSE(propSetLockAcquireFor(0ms));  // the pass still holds it
  EXPECT_TRUE(propSetLockRelease());
  EXPECT_TRUE(lockIsFree());
}

// Events parsed from the camera store their values through the vendor module: the
// camera interface is the one path from the event parser to the vendor.
TEST_F(CamSetTest, EventStoresAndRefreshesReachTheModule) {
  struct StoreModule : VendorModule {
    std::vector<std::string> calls;
    PropertyStruct* storePropertyValue(uint32_t code, uint32_t value, uint8_t getSet) override {
      calls.push_back("store " + std::to_string(code) + "=" + std::to_string(value) + "/" + std::to_string(getSet));
      return propFind(code, false);
    }
    PtpResponseCode refreshProperty(uint32_t code) override {
      calls.push_back("refresh " + std::to_string(code));
      return PTP_RC_OK;
    }
  };
  auto store = std::make_shared<StoreModule>();
  camRegisterVendorModule(CameraVendorFujifilm, store);
  setCameraServices(std::make_shared<CamInterfaceServices>());  // the camera interface's own
  camSetVendor(CameraVendorFujifilm);
  std::vector<uint8_t> row(kEventRowBytes, 0);
  row[0] = 0xF1;
  row[1] = 0x4F;
  row[2] = 0x0E;  // 0x500E
  row[3] = 0x50;
  row[6] = 3;
  row[10] = 1;
  EXPECT_EQ(camParseEvents(row), PTP_RC_OK);
  EXPECT_EQ(store->calls, (std::vector<std::string>{"store 20494=3/1", "refresh 20487", "refresh 20493",
                                                    "refresh 20496"}));
  EXPECT_EQ(drainEvents(), std::vector<uint32_t>{0x500E});
}

// A waiting set and the poller share the lock: no setter or wait runs during a poll
// pass, and neither side hangs. Run under ThreadSanitizer too.
TEST_F(CamSetTest, SetsRaceThePoller) {
  timing().setLockWait = 10s;  // bounded, never reached
  timing().pollPeriod = 1ms;
  std::atomic<bool> inPass{false};
  std::atomic<int> passes{0}, overlaps{0};
  camSetEventFetchCallback([&](std::vector<uint8_t>&, bool) {
    inPass = true;
    for (int i = 0; i < 50; ++i) std::this_thread::yield();
    inPass = false;
    ++passes;
    return PTP_RC_OK;
  });
  struct RaceModule : VendorModule {
    std::atomic<bool>* inPass;
    std::atomic<int>* overlaps;
    PtpResponseCode setPropertyValue(uint32_t, uint32_t) override {
      if (*inPass) ++*overlaps;
      std::this_thread::yield();
      return PTP_RC_OK;
    }
    bool waitPropertyValue(uint32_t, uint32_t) override {
      if (*inPass) ++*overlaps;
      return true;
    }
  };
  auto race = std::make_shared<RaceModule>();
  race->inPass = &inPass;
  race->overlaps = &overlaps;
  camRegisterVendorModule(CameraVendorCanon, race);
  camSetVendor(CameraVendorCanon);
  evtStartPollThread(nullptr);
  for (int i = 0; passes == 0 && i < 5000; ++i) std::this_thread::sleep_for(1ms);
  ASSERT_GT(passes, 0);
  std::atomic<int> failures{0};
  auto setter = [&] {
    for (int i = 0; i < 200; ++i)
      if (camSetPropertyValue(0x5007, i % 2 ? 100 : 200, true) != PTP_RC_OK) ++failures;
  };
  std::thread other(setter);
  setter();
  other.join();
  ASSERT_TRUE(evtStopPollThread(true));
  camSetEventFetchCallback(nullptr);
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(overlaps, 0);
  EXPECT_TRUE(lockIsFree());
}

// A set called back from inside a poll pass (after-events) runs on the thread that holds
// the lock: a waiting set is refused at once instead of waiting for its own lock, and a
// set without waiting goes through.
TEST_F(CamSetTest, ASetCalledBackFromAPollPassDoesNotWaitForItsOwnLock) {
  timing().setLockWait = 10s;  // reached only if the set waited for its own lock
  timing().pollPeriod = 1ms;
  camSetVendor(CameraVendorFujifilm);
  std::atomic<int> tries{0};
  std::atomic<bool> inPass{false};
  std::atomic<PtpResponseCode> waited{0}, direct{0};
  evtSetAfterEventsCallback([&] {
    if (tries++ != 0) return;
    inPass = evtInPollPass();
    waited = camSetPropertyValue(0x5007, 100, true);
    direct = camSetPropertyValue(0x5007, 100, false);
  });
  camSetEventFetchCallback([](std::vector<uint8_t>& data, bool) {
    data.assign(kEventRowBytes, 0);  // one row the parser skips
    return PTP_RC_OK;
  });
  evtStartPollThread(nullptr);
  for (int i = 0; direct == 0 && i < 5000; ++i) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(evtStopPollThread(true));
  camSetEventFetchCallback(nullptr);
  EXPECT_TRUE(inPass);
  EXPECT_FALSE(evtInPollPass());
  EXPECT_EQ(waited, ERROR_BUSY);
  EXPECT_EQ(direct, PTP_RC_OK);
  EXPECT_EQ(module->calls, std::vector<std::string>{"set"});
  EXPECT_TRUE(lockIsFree());
}
