#include "ptp/base/newest_job_runner.h"

#include <pthread.h>

#include <utility>

NewestJobRunner::NewestJobRunner(std::string threadName) : threadName_(std::move(threadName)) {}

NewestJobRunner::~NewestJobRunner() { stop(); }

std::optional<NewestJobRunner::Pending> NewestJobRunner::advanceLocked(uint64_t& generation) {
  generation = generation_.fetch_add(1, std::memory_order_acq_rel) + 1;
  if (inFlight_) cancelInFlight_.store(true, std::memory_order_release);
  std::optional<Pending> dropped = std::move(pending_);
  pending_.reset();
  return dropped;
}

uint64_t NewestJobRunner::submit(Job job) {
  uint64_t generation = 0;
  std::optional<Pending> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped = advanceLocked(generation);
    if (!stopping_ && job) {
      pending_ = Pending{std::move(job), generation};
      if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
      wake_.notify_one();
    }
  }
  // The replaced job's captures (image bytes) are released outside the lock.
  dropped.reset();
  return generation;
}

uint64_t NewestJobRunner::advance() {
  uint64_t generation = 0;
  std::optional<Pending> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped = advanceLocked(generation);
  }
  dropped.reset();
  return generation;
}

uint64_t NewestJobRunner::generation() const { return generation_.load(std::memory_order_acquire); }

bool NewestJobRunner::isCurrent(uint64_t generation) const {
  return generation == generation_.load(std::memory_order_acquire);
}

size_t NewestJobRunner::jobsAlive() const {
  std::lock_guard lock(mutex_);
  return (inFlight_ ? 1u : 0u) + (pending_ ? 1u : 0u);
}

void NewestJobRunner::stop() {
  std::optional<Pending> dropped;
  std::thread worker;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    uint64_t generation = 0;
    dropped = advanceLocked(generation);
    worker = std::move(thread_);
    wake_.notify_all();
  }
  dropped.reset();
  if (worker.joinable()) worker.join();
}

void NewestJobRunner::run() {
  // Linux keeps at most 15 characters of a thread's name.
  pthread_setname_np(pthread_self(), threadName_.substr(0, 15).c_str());
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
    if (stopping_) return;
    Pending next = std::move(*pending_);
    pending_.reset();
    inFlight_ = true;
    cancelInFlight_.store(false, std::memory_order_release);
    lock.unlock();
    next.job(next.generation, cancelInFlight_);
    next.job = nullptr;  // captures go before the slot is given back
    lock.lock();
    inFlight_ = false;
  }
}
