#include "platform/dispatch_queue.h"

#include <pthread.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/dispatch.h"

struct DispatchQueue::State {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<std::function<void()>> blocks;
  bool stopping = false;
  bool finished = false;
  std::thread::id worker;
};

namespace {
constexpr size_t kMaxThreadName = 15;

// Marks a sync call done when the queued wrapper is destroyed, whether it ran or was
// dropped by a stop, so the waiter never waits for a block that will not come.
struct SyncDone {
  std::shared_ptr<std::mutex> mutex;
  std::shared_ptr<std::condition_variable> cv;
  std::shared_ptr<int> state;  // 0 waiting, 1 ran, 2 dropped
  bool ran = false;
  ~SyncDone() {
    {
      std::lock_guard<std::mutex> lock(*mutex);
      *state = ran ? 1 : 2;
    }
    cv->notify_all();
  }
};
}  // namespace

std::string DispatchQueue::threadName(const std::string& label) {
  std::string name = label;
  while (name.size() > kMaxThreadName) {
    size_t dot = name.find('.');
    if (dot == std::string::npos || dot + 1 >= name.size()) break;
    name.erase(0, dot + 1);
  }
  if (name.size() > kMaxThreadName) name.erase(0, name.size() - kMaxThreadName);
  return name;
}

DispatchQueue::DispatchQueue(std::string label)
    : label_(std::move(label)), state_(std::make_shared<State>()) {
  thread_ = std::thread(&DispatchQueue::run, state_, threadName(label_));
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->worker = thread_.get_id();
}

DispatchQueue::~DispatchQueue() { stop(Pending::run); }

void DispatchQueue::run(const std::shared_ptr<State>& state, const std::string& name) {
  pthread_setname_np(pthread_self(), name.c_str());
  for (;;) {
    std::function<void()> block;
    {
      std::unique_lock<std::mutex> lock(state->mutex);
      state->cv.wait(lock, [&] { return !state->blocks.empty() || state->stopping; });
      if (state->blocks.empty()) break;
      block = std::move(state->blocks.front());
      state->blocks.pop_front();
    }
    block();
  }
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    state->finished = true;
  }
  state->cv.notify_all();
}

bool DispatchQueue::async(std::function<void()> block) {
  if (!block) return false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->stopping) return false;
    state_->blocks.push_back(std::move(block));
  }
  state_->cv.notify_all();
  return true;
}

bool DispatchQueue::sync(const std::function<void()>& block) {
  if (!block) return false;
  if (isCurrent()) {
    block();
    return true;
  }
  auto mutex = std::make_shared<std::mutex>();
  auto cv = std::make_shared<std::condition_variable>();
  auto state = std::make_shared<int>(0);
  {
    auto done = std::make_shared<SyncDone>();
    done->mutex = mutex;
    done->cv = cv;
    done->state = state;
    // The wrapper owns `done`; the block reference stays valid because we wait below.
    if (!async([done, &block] {
          block();
          done->ran = true;
        })) {
      return false;
    }
  }
  std::unique_lock<std::mutex> lock(*mutex);
  Dispatch::waitDraining(lock, *cv, [&] { return *state != 0; });
  return *state == 1;
}

void DispatchQueue::stop(Pending pending) {
  std::deque<std::function<void()>> dropped;
  bool self = isCurrent();
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
    if (pending == Pending::discard) dropped.swap(state_->blocks);
  }
  state_->cv.notify_all();
  dropped.clear();  // captures released outside the lock
  if (!thread_.joinable()) return;
  if (self) {
    // A thread cannot join itself; it ends after the block that asked.
    thread_.detach();
    return;
  }
  {
    std::unique_lock<std::mutex> lock(state_->mutex);
    Dispatch::waitDraining(lock, state_->cv, [&] { return state_->finished; });
  }
  thread_.join();
}

bool DispatchQueue::isCurrent() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->worker == std::this_thread::get_id();
}

bool DispatchQueue::isStopping() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->stopping;
}
