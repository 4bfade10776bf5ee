#pragma once
// A one-slot scheduler for work where only the latest request matters (decoding the image
// the user selected last): newest first, at most one job in flight and one pending.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Runs jobs one at a time on a thread of its own, newest first: at most one in flight and
// one pending. A job submitted while another is pending replaces it (the replaced one never
// runs); advancing the generation cancels the job in flight and drops the pending one.
//
// Submitting advances the generation too, so a new job also cancels the one in flight: the
// newest wins. A job is told its generation and a cancel flag; it should poll the flag and
// publish its result only while isCurrent(generation) holds (checked where it publishes).
// The thread starts with the first submit and is joined by stop() or the destructor. A job
// that ignores its cancel flag is waited for: stop() returns when that job returns. stop()
// must not be called from a job. After stop(), submitted jobs are dropped.
class NewestJobRunner {
 public:
  using Job = std::function<void(uint64_t generation, const std::atomic<bool>& cancelled)>;

  explicit NewestJobRunner(std::string threadName);
  ~NewestJobRunner();  // stop()
  NewestJobRunner(const NewestJobRunner&) = delete;
  NewestJobRunner& operator=(const NewestJobRunner&) = delete;

  uint64_t submit(Job job);  // advances the generation; returns the job's generation
  uint64_t advance();        // cancels in flight, drops pending; returns the new generation
  uint64_t generation() const;
  bool isCurrent(uint64_t generation) const;
  size_t jobsAlive() const;  // in flight + pending (<= 2)
  void stop();               // cancels, drops, joins (bounded by the job's own end)

 private:
  struct Pending {
    Job job;
    uint64_t generation = 0;
  };
  void run();
  // Under mutex_: a new generation, the job in flight told to stop. Answers the pending job
  // it drops, for the caller to destroy outside the lock.
  std::optional<Pending> advanceLocked(uint64_t& generation);

  const std::string threadName_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<uint64_t> generation_{0};
  std::optional<Pending> pending_;
  bool inFlight_ = false;
  bool stopping_ = false;
  std::atomic<bool> cancelInFlight_{false};
  std::thread thread_;
};
