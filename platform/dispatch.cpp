#include "platform/dispatch.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <pthread.h>

#include <atomic>
#include <deque>
#include <memory>

namespace {

// The pool of short work: our own, so that Qt's internal use of its global pool and ours
// neither compete nor hide each other's threads. Never destroyed: work may still end
// while the process exits.
QThreadPool& globalPool() {
  static QThreadPool* pool = [] {
    auto* p = new QThreadPool;
    p->setObjectName(QStringLiteral("Dispatch.global"));
    return p;
  }();
  return *pool;
}

struct SyncCall {
  const std::function<void()>* fn = nullptr;
  bool done = false;
  bool ran = false;
};

// The GUI thread's inbox: main's blocks and mainSync's calls. Leaked on purpose: workers
// may still look at it during exit.
//
// main's blocks wait here, not inside Qt's event queue: Qt deletes the events still queued
// when the application object goes, with its queue's lock held, and a block that owns the
// last reference to a window would destroy it there, whose destructor takes that lock
// again: the program never ends. Qt's queue holds only a trigger that owns nothing.
struct Inbox {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<std::shared_ptr<SyncCall>> calls;
  std::deque<std::function<void()>> blocks;
  bool closed = false;  // the application is gone: waiters give up, blocks are dropped
};

Inbox& inbox() {
  static Inbox* box = new Inbox;
  return *box;
}

// When the application object goes, queued calls can no longer run: release the waiters
// of mainSync, drop main's blocks, and refuse new ones until an application exists again.
// This runs first thing in the application's destructor, while windows may still go.
void closeInbox() {
  Inbox& box = inbox();
  std::deque<std::shared_ptr<SyncCall>> abandoned;
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard<std::mutex> lock(box.mutex);
    box.closed = true;
    abandoned.swap(box.calls);
    dropped.swap(box.blocks);
    for (auto& call : abandoned) call->done = true;
  }
  box.cv.notify_all();
  // Destroyed here, outside the lock: what they own may queue blocks of its own.
  dropped.clear();
}

// GUI thread: one trigger runs one block, so blocks keep their place among other events.
void runNextBlock() {
  Inbox& box = inbox();
  std::function<void()> block;
  {
    std::lock_guard<std::mutex> lock(box.mutex);
    if (box.blocks.empty()) return;
    block = std::move(box.blocks.front());
    box.blocks.pop_front();
  }
  block();
}

// qAddPostRoutine is thread-safe; the routine runs while the application object is
// destroyed, before the global pool is waited for.
void watchApplication(QCoreApplication* app) {
  static std::atomic<QCoreApplication*> watched{nullptr};
  if (watched.exchange(app) == app) return;
  {
    std::lock_guard<std::mutex> lock(inbox().mutex);
    inbox().closed = false;
  }
  qAddPostRoutine(closeInbox);
}

constexpr std::chrono::milliseconds kDrainSlice{2};

std::function<void()>& afterQueueHook() {
  static auto* hook = new std::function<void()>;  // leaked: workers may still queue during exit
  return *hook;
}

}  // namespace

namespace Dispatch {

bool isMainThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void main(std::function<void()> fn) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || !fn) return;
  watchApplication(app);
  Inbox& box = inbox();
  {
    std::lock_guard<std::mutex> lock(box.mutex);
    // fn goes when this returns, after the lock
    if (box.closed || QCoreApplication::instance() != app) return;
    box.blocks.push_back(std::move(fn));
    if (afterQueueHook()) afterQueueHook()();
    // Queued under the lock: Qt wakes the GUI thread only after releasing its own queue, so
    // the GUI thread could run the block and destroy the application before that wake-up.
    // Closing the inbox, first thing in the application's destructor, waits for this.
    QMetaObject::invokeMethod(app, [] { runNextBlock(); }, Qt::QueuedConnection);
  }
}

bool mainSync(const std::function<void()>& fn) {
  if (!fn) return false;
  if (isMainThread()) {
    fn();
    return true;
  }
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  watchApplication(app);
  Inbox& box = inbox();
  auto call = std::make_shared<SyncCall>();
  call->fn = &fn;
  {
    std::lock_guard<std::mutex> lock(box.mutex);
    if (box.closed || QCoreApplication::instance() != app) return false;
    box.calls.push_back(call);
    QMetaObject::invokeMethod(app, [] { drainMainSync(); }, Qt::QueuedConnection);  // under the lock, as in main
  }
  std::unique_lock<std::mutex> lock(box.mutex);
  box.cv.wait(lock, [&] { return call->done; });
  return call->ran;
}

void setAfterQueueHookForTesting(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(inbox().mutex);
  afterQueueHook() = std::move(hook);
}

void drainMainSync() {
  if (!isMainThread()) return;
  watchApplication(QCoreApplication::instance());
  Inbox& box = inbox();
  for (;;) {
    std::shared_ptr<SyncCall> call;
    {
      std::lock_guard<std::mutex> lock(box.mutex);
      if (box.calls.empty()) return;
      call = box.calls.front();
      box.calls.pop_front();
    }
    (*call->fn)();
    {
      std::lock_guard<std::mutex> lock(box.mutex);
      call->ran = true;
      call->done = true;
    }
    box.cv.notify_all();
  }
}

void global(std::function<void()> fn) {
  if (!fn) return;
  globalPool().start([fn = std::move(fn)] {
    // Named once per thread, so that the pool's threads can be told from Qt's own.
    thread_local const bool named = [] {
      pthread_setname_np(pthread_self(), kGlobalThreadName);
      return true;
    }();
    (void)named;
    fn();
  });
}

bool endGlobal(std::chrono::milliseconds deadline) {
  if (!waitForGlobal(deadline)) return false;
  // Idle threads are ended and joined now, not left to their expiry.
  return globalPool().waitForDone(static_cast<int>(deadline.count()));
}

bool waitForGlobal(std::chrono::milliseconds deadline) {
  QThreadPool* pool = &globalPool();
  if (!isMainThread()) return pool->waitForDone(static_cast<int>(deadline.count()));
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    drainMainSync();
    if (pool->waitForDone(static_cast<int>(kDrainSlice.count()))) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
  }
}

void waitDraining(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                  const std::function<bool()>& done) {
  if (!isMainThread()) {
    cv.wait(lock, done);
    return;
  }
  while (!done()) {
    cv.wait_for(lock, kDrainSlice, done);
    if (done()) return;
    lock.unlock();
    drainMainSync();
    lock.lock();
  }
}

}  // namespace Dispatch
