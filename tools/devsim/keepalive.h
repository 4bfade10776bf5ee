#pragma once
// A device that keeps talking: pushes a small unsolicited frame (kind 9, which nothing
// decodes) every period while it lives, whether or not it answers anything else.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tools/devsim/simulator.h"

namespace devsim {

class KeepAlive {
 public:
  KeepAlive(Simulator& sim, std::chrono::milliseconds period) : sim_(sim), period_(period) {
    thread_ = std::thread([this] {
      std::unique_lock lock(mutex_);
      while (!cv_.wait_for(lock, period_, [this] { return stop_; })) {
        lock.unlock();
        sim_.sendFrame(9, Bytes(4, 0x4B));
        sent_++;
        lock.lock();
      }
    });
  }
  ~KeepAlive() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  KeepAlive(const KeepAlive&) = delete;
  KeepAlive& operator=(const KeepAlive&) = delete;

  int sent() const { return sent_.load(); }

 private:
  Simulator& sim_;
  std::chrono::milliseconds period_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool stop_ = false;
  std::atomic<int> sent_{0};
  std::thread thread_;
};

}  // namespace devsim
