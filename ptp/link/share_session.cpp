#include "ptp/link/share_session.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "ptp/base/timing.h"
#include "ptp/link/commands.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"

namespace {

// The session whose thread this is (null on every other thread).
thread_local const void* tSessionRun = nullptr;

// Linux keeps 15 characters of a thread name: leading reverse-domain parts go first.
void nameThread(const std::string& label) {
  std::string name = label;
  while (name.size() > 15 && name.find('.') != std::string::npos) name.erase(0, name.find('.') + 1);
  if (name.size() > 15) name.erase(0, name.size() - 15);
  pthread_setname_np(pthread_self(), name.c_str());
}

}  // namespace

// Everything one session's threads share. Each session has its own: a late thread of an
// ended session can neither stop nor report for the next one.
struct ShareSession::Run {
  ShareSessionHooks hooks;
  uint64_t connection = 0;
  std::atomic<bool> stopped{false};  // the watchdog's stop flag
  std::atomic<bool> quiet{false};    // replaced or never started: reports nothing more
  std::atomic<bool> lossReported{false};
  std::atomic<bool> loopRunning{false};

  std::mutex mutex;
  std::condition_variable cv;
  std::deque<ByteBuffer> pending;  // taken, not yet decoded
  size_t pendingBytes = 0;
  bool liveViewPending = false;  // one of pending is a live-view frame
  bool loopEnded = false;
  int threadsLeft = 0;

  std::recursive_mutex joinMutex;  // one joiner at a time (recursive: see lifecycle_)
  // Each holds the run alive, so one let go inside a hook still finds it when it returns.
  std::thread loop, worker, watchdog;

  ~Run() {
    // Only a thread let go at a bounded join is still joinable here, and the last
    // reference may be its own.
    for (std::thread* t : {&loop, &worker, &watchdog})
      if (t->joinable()) t->detach();
  }

  // A lost session is reported once, by whichever of the loop and the watchdog sees it first.
  void reportLoss() {
    if (quiet.load() || lossReported.exchange(true)) return;
    if (hooks.status) hooks.status(kShareStatusLost);
  }

  void finish() {
    {
      std::lock_guard lock(mutex);
      threadsLeft--;
    }
    cv.notify_all();
  }

  // Queues one message for the worker, keeping the mailbox's promises: a newer live-view
  // frame replaces one still queued, nothing else is dropped, and past the byte cap the
  // message is refused (false).
  bool enqueue(ByteBuffer&& message) {
    {
      std::lock_guard lock(mutex);
      bool liveView = shareIsLiveViewFrame(message);
      if (liveView && liveViewPending) {
        auto it = std::find_if(pending.begin(), pending.end(), [](const ByteBuffer& m) { return shareIsLiveViewFrame(m); });
        pendingBytes -= it->size();
        pending.erase(it);
        liveViewPending = false;
      }
      if (!pending.empty() && pendingBytes + message.size() > hooks.maxQueuedBytes) return false;
      liveViewPending = liveViewPending || liveView;
      pendingBytes += message.size();
      pending.push_back(std::move(message));
    }
    cv.notify_all();
    return true;
  }

  // Takes every message nobody asked for and queues it for the worker, until the reader ends.
  void loopBody() {
    tSessionRun = this;
    ByteBuffer message;
    while (shareTakeUnsolicited(message)) {
      // The decoder has stopped keeping up: the link is lost rather than a message.
      if (!enqueue(std::move(message))) break;
      message = ByteBuffer();
    }
    linkDisconnectConnection(connection);
    {
      std::lock_guard lock(mutex);
      loopEnded = true;
    }
    cv.notify_all();
    loopRunning = false;
    reportLoss();
    finish();
  }

  // The serial decoding queue: one message at a time, in arrival order; what was queued
  // before the end is still handed on.
  void workerBody() {
    tSessionRun = this;
    nameThread(hooks.queueLabel);
    for (;;) {
      ByteBuffer message;
      {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return !pending.empty() || loopEnded; });
        if (pending.empty()) break;
        message = std::move(pending.front());
        pending.pop_front();
        pendingBytes -= message.size();
        if (shareIsLiveViewFrame(message)) liveViewPending = false;
      }
      if (hooks.message) hooks.message(message);
    }
    finish();
  }

  // The client name once, then a heartbeat every period until the session is stopped or
  // the device no longer answers.
  void watchdogBody() {
    tSessionRun = this;
    // Both go out only on this session's own connection, never on one opened after it.
    if (!stopped.load() && hooks.clientName) shareSendClientNameOn(connection, hooks.clientName().c_str());
    for (;;) {
      {
        std::unique_lock lock(mutex);
        if (cv.wait_for(lock, timing().heartbeatPeriod.load(), [&] { return stopped.load(); })) break;
      }
      PtpResponseCode rc = devHeartbeatOn(connection);
      if (stopped.load()) break;
      double tolerance = std::chrono::duration<double>(timing().readerStopTolerance.load()).count();
      if (rc == PTP_RC_OK || (rc == ERROR_CANCELLED && linkSecondsSinceLastReceive() <= tolerance)) continue;
      linkDisconnectConnection(connection);
      reportLoss();
      break;
    }
    finish();
  }
};

ShareSession::ShareSession(ShareSessionHooks hooks) : hooks_(std::move(hooks)) {}

ShareSession::~ShareSession() {
  stop();
  // What is still inside a hook now is let go; its run lives on until the hook returns.
  std::lock_guard life(lifecycle_);
  stragglers_.clear();
}

std::shared_ptr<ShareSession::Run> ShareSession::current() const {
  std::lock_guard lock(mutex_);
  return run_;
}

void ShareSession::kill(Run& run) {
  {
    std::lock_guard lock(run.mutex);  // a watchdog about to sleep sees the flag or the wake
    run.stopped = true;
  }
  run.cv.notify_all();
  linkDisconnectConnection(run.connection);
}

bool ShareSession::join(const std::shared_ptr<Run>& run, bool collectReader) {
  std::lock_guard joining(run->joinMutex);
  const auto deadline = std::chrono::steady_clock::now() + timing().sessionEndWait.load();
  bool ended;
  {
    std::unique_lock lock(run->mutex);
    auto done = [&] { return run->threadsLeft == 0; };
    ended = hooks_.wait ? hooks_.wait(lock, run->cv, done, deadline) : run->cv.wait_until(lock, deadline, done);
  }
  if (!ended) {
    // A hook that does not return must not hold a stop or a quit: try again later.
    if (std::find(stragglers_.begin(), stragglers_.end(), run) == stragglers_.end()) stragglers_.push_back(run);
    return false;
  }
  for (std::thread* t : {&run->loop, &run->worker, &run->watchdog})
    if (t->joinable()) t->join();
  stragglers_.remove(run);
  // The loop ended once the reader had ended its slots; the reader may still be finishing.
  // Only this session's: a straggler's reader was collected by the next start.
  if (collectReader) shareStopReader();
  return true;
}

void ShareSession::collectStragglers(std::chrono::steady_clock::time_point deadline) {
  auto waiting = stragglers_;
  for (const auto& run : waiting) {
    std::unique_lock lock(run->mutex);
    if (!run->cv.wait_until(lock, deadline, [&] { return run->threadsLeft == 0; })) continue;
    lock.unlock();
    join(run, false);
  }
}

bool ShareSession::start() {
  if (tSessionRun) return false;  // a session's own thread cannot wait for that session
  if (begin()) return true;
  // Posted once the failed session has ended, with nothing held.
  if (hooks_.status) hooks_.status(kShareStatusStartFailed);
  return false;
}

bool ShareSession::begin() {
  std::lock_guard life(lifecycle_);
  collectStragglers(std::chrono::steady_clock::now());
  if (auto previous = current()) {
    // Started once per connection: a second start on the link the session already runs on
    // leaves it as it is rather than put a second reader on the same stream.
    if (previous->loopRunning.load() && !previous->stopped.load() && previous->connection == linkConnectionId())
      return true;
    previous->quiet = true;
    kill(*previous);
    join(previous, true);
  }
  auto run = std::make_shared<Run>();
  run->hooks = hooks_;
  run->connection = linkConnectionId();
  {
    std::lock_guard lock(mutex_);
    run_ = run;
  }
  shareSetUnsolicitedCallback([weak = std::weak_ptr<Run>(run)] {
    auto r = weak.lock();
    if (r && !r->quiet.load() && r->hooks.incomingOob) r->hooks.incomingOob();
  });

  PtpResponseCode rc = shareStartReader();
  if (rc == PTP_RC_OK) {
    run->loopRunning = true;
    {
      std::lock_guard lock(run->mutex);
      run->threadsLeft = 2;
    }
    run->loop = std::thread([run] { run->loopBody(); });
    run->worker = std::thread([run] { run->workerBody(); });
    rc = devHeartbeat();
  }
  if (rc != PTP_RC_OK) {
    // Nothing will use a link that answers no heartbeat: end it now rather than leave its
    // reader and loop running until some later connect closes it.
    run->quiet = true;
    kill(*run);
    join(run, true);
    {
      std::lock_guard lock(mutex_);
      if (run_ == run) run_.reset();
    }
    return false;
  }
  {
    std::lock_guard lock(run->mutex);
    run->threadsLeft++;
  }
  run->watchdog = std::thread([run] { run->watchdogBody(); });
  return true;
}

void ShareSession::kill() {
  if (auto run = current()) kill(*run);
}

void ShareSession::stop() {
  auto run = current();
  if (run) kill(*run);
  if (tSessionRun) return;  // on a session thread: the others end by themselves
  std::lock_guard life(lifecycle_);
  if (run) {
    join(run, true);
    std::lock_guard lock(mutex_);
    if (run_ == run) run_.reset();
  }
  collectStragglers(std::chrono::steady_clock::now() + timing().sessionEndWait.load());
}

bool ShareSession::running() const {
  auto run = current();
  return run && run->loopRunning.load();
}
