#include "platform/worker_threads.h"

#include <condition_variable>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/dispatch.h"

namespace {

struct Worker {
  std::thread thread;
  bool finished = false;
};

// Never destroyed: a let-go worker may still say it has finished while the process exits.
struct Registry {
  std::mutex mutex;
  std::condition_variable finished;
  std::list<Worker> workers;
};

Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

constexpr std::chrono::milliseconds kSlice{5};

}  // namespace

namespace WorkerThreads {

// Their last act was to say they have finished: the join is short.
void joinFinished() {
  std::list<Worker> done;
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto& all = registry().workers;
    for (auto it = all.begin(); it != all.end();) {
      auto next = std::next(it);
      if (it->finished) done.splice(done.end(), all, it);
      it = next;
    }
  }
  for (Worker& w : done)
    if (w.thread.joinable()) w.thread.join();
}

bool start(std::function<void()> fn) {
  if (!fn) return false;
  joinFinished();
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.workers.emplace_back();
  Worker* slot = &r.workers.back();
  try {
    slot->thread = std::thread([slot, fn = std::move(fn)]() mutable {
      fn();
      fn = nullptr;  // what the work holds goes on this thread, before the join
      {
        std::lock_guard<std::mutex> lock(registry().mutex);
        slot->finished = true;
      }
      registry().finished.notify_all();
    });
  } catch (const std::system_error&) {
    r.workers.pop_back();
    return false;
  }
  return true;
}

bool joinAll(std::chrono::milliseconds deadline, bool letGo) {
  Registry& r = registry();
  const auto end = std::chrono::steady_clock::now() + deadline;
  bool allDone = false;
  {
    std::unique_lock<std::mutex> lock(r.mutex);
    auto done = [&r] {
      for (const Worker& w : r.workers)
        if (!w.finished) return false;
      return true;
    };
    while (!(allDone = done()) && std::chrono::steady_clock::now() < end) {
      r.finished.wait_for(lock, kSlice);
      // A worker may be waiting for the GUI thread, which may be this one.
      lock.unlock();
      Dispatch::drainMainSync();
      lock.lock();
    }
    if (!allDone && letGo) {
      for (auto it = r.workers.begin(); it != r.workers.end();) {
        auto next = std::next(it);
        // Its slot stays, where the thread will still say it has finished.
        if (!it->finished && it->thread.joinable()) it->thread.detach();
        it = next;
      }
    }
  }
  joinFinished();
  return allDone;
}

size_t running() {
  std::lock_guard<std::mutex> lock(registry().mutex);
  size_t n = 0;
  for (const Worker& w : registry().workers)
    if (!w.finished) ++n;
  return n;
}

}  // namespace WorkerThreads
