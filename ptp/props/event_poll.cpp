#include "ptp/props/event_poll.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "ptp/base/camera_vendor.h"
#include "ptp/base/timing.h"
#include "ptp/base/timing.h"
#include "ptp/props/event_parse.h"
#include "ptp/props/event_testing.h"
#include "ptp/props/prop_code_map.h"
#include "ptp/props/prop_services.h"
#include "ptp/props/prop_set_lock.h"

namespace {
// Each poll thread has its own stop token, so a thread told to stop can never be revived
// by the start of its successor.
struct PollToken {
  std::mutex mutex;
  std::condition_variable wake;
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};

  void requestStop() {
    {
      std::lock_guard lock(mutex);
      stop = true;
    }
    wake.notify_all();
  }
  // Waits d unless a stop comes first; true when stopped.
  bool sleep(std::chrono::milliseconds d) {
    std::unique_lock lock(mutex);
    return wake.wait_for(lock, d, [&] { return stop.load(); });
  }
};

struct PollThread {
  std::thread thread;
  std::shared_ptr<PollToken> token;
};

struct Poller {
  std::mutex fetchMutex;  // the event lock
  std::mutex callbackMutex;
  std::shared_ptr<const EventFetchCallback> fetch;

  std::mutex threadsMutex;
  PollThread current;
  std::vector<PollThread> retired;  // told to stop, not yet joined
  std::atomic<int> live{0};
};

Poller& P() {
  static Poller* p = new Poller;  // never destroyed: a poll thread may outlive statics
  return *p;
}

std::shared_ptr<const EventFetchCallback> fetchCallback() {
  std::lock_guard lock(P().callbackMutex);
  return P().fetch;
}

PtpResponseCode fetch(std::vector<uint8_t>& data, bool blocking) {
  auto callback = fetchCallback();
  if (!callback || !*callback) return ERROR_GENERAL;
  return (*callback)(data, blocking);
}

constexpr uint32_t kNikonBatteryEvery = 30;

// Set on a poll thread while its pass holds the property-set lock.
thread_local bool inPollPass = false;

void pollBody(std::shared_ptr<PollToken> token, EventPollErrorCallback errorCallback) {
  uint32_t passes = 0;
  for (;;) {
    bool locked = false;
    while (!token->stop && !(locked = propSetLockAcquireFor(timing().waitSlice.load()))) {
    }
    if (!locked) break;
    if (token->stop) {
      propSetLockRelease();
      break;
    }
    inPollPass = true;
    auto services = cameraServices();
    if (camGetVendor() == CameraVendorNikon) {
      if (passes >= kNikonBatteryEvery) {
        services->refreshProperty(propVendorCodeMap().batteryLevel);
        passes = 0;
      } else {
        ++passes;
      }
    }
    services.reset();
    const PtpResponseCode result = evtPoll(false, false);
    inPollPass = false;
    propSetLockRelease();
    if (token->stop) break;
    if (result != PTP_RC_OK && result != ERROR_BUSY && errorCallback) errorCallback(result);
    if (token->sleep(timing().pollPeriod.load())) break;
  }
  token->finished = true;
  --P().live;
}

bool running(const PollThread& t) { return t.token && !t.token->stop && !t.token->finished; }

// Joins the retired threads that have already ended (never the calling thread).
void reapFinished(std::vector<PollThread>& threads) {
  const auto self = std::this_thread::get_id();
  std::erase_if(threads, [&](PollThread& t) {
    if (!t.token->finished || t.thread.get_id() == self) return false;
    t.thread.join();
    return true;
  });
}
}  // namespace

void camSetEventFetchCallback(EventFetchCallback callback) {
  auto next = callback ? std::make_shared<const EventFetchCallback>(std::move(callback)) : nullptr;
  std::lock_guard lock(P().callbackMutex);
  P().fetch = std::move(next);
}

bool evtLockFetch(bool blocking) {
  if (blocking) {
    P().fetchMutex.lock();
    return true;
  }
  return P().fetchMutex.try_lock();
}

void evtUnlockFetch() { P().fetchMutex.unlock(); }

PtpResponseCode evtPoll(bool blocking, bool alreadyLocked) {
  if (!alreadyLocked && !evtLockFetch(blocking)) return ERROR_BUSY;
  std::vector<uint8_t> data;
  const PtpResponseCode result = fetch(data, blocking);
  if (!alreadyLocked) evtUnlockFetch();
  if (result != PTP_RC_OK) return result;
  if (!data.empty()) camParseEvents(data);
  return PTP_RC_OK;
}

PtpResponseCode evtFetchPending(std::vector<uint8_t>& data) {
  std::lock_guard lock(P().fetchMutex);
  return fetch(data, true);
}

void evtStartPollThread(EventPollErrorCallback errorCallback) {
  Poller& p = P();
  std::lock_guard lock(p.threadsMutex);
  if (running(p.current)) {
    if (propIsSetBusy()) propUnlockForSet();
    return;
  }
  if (p.current.thread.joinable()) p.retired.push_back(std::move(p.current));
  p.current = {};
  reapFinished(p.retired);
  auto token = std::make_shared<PollToken>();
  try {
    ++p.live;
    p.current.thread = std::thread(pollBody, token, std::move(errorCallback));
    p.current.token = std::move(token);
  } catch (const std::system_error&) {
    --p.live;
  }
}

bool evtStopPollThread(bool join) {
  Poller& p = P();
  std::vector<PollThread> toJoin;
  {
    std::lock_guard lock(p.threadsMutex);
    if (p.current.token) p.current.token->requestStop();
    if (!join) return true;
    if (p.current.thread.joinable()) p.retired.push_back(std::move(p.current));
    p.current = {};
    const auto self = std::this_thread::get_id();
    for (auto it = p.retired.begin(); it != p.retired.end();) {
      if (it->thread.get_id() == self) {
        ++it;  // the caller is this poll thread: it ends when the caller returns
      } else {
        toJoin.push_back(std::move(*it));
        it = p.retired.erase(it);
      }
    }
  }
  for (auto& t : toJoin) t.thread.join();
  return true;
}

bool evtInPollPass() { return inPollPass; }

bool evtPollThreadRunning() {
  std::lock_guard lock(P().threadsMutex);
  return running(P().current);
}

int evtLivePollThreads() { return P().live.load(); }
