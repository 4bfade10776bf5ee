#include "tools/devsim/liveview.h"

#include <pthread.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace devsim {

// Shared with the simulator's session hooks, which may run a moment after the LiveView
// has gone; `closed` makes them do nothing then.
struct LiveView::State {
  State(Simulator& s, Options o) : sim(s), options(o), scene(o.vendor) {}

  Simulator& sim;
  const Options options;
  const LiveViewScene scene;

  std::mutex mutex;
  std::condition_variable wake;
  bool on = false, session = false, closed = false;
  struct Streamer {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> cancel;
  } streamer;

  // Frame numbers run on across sessions, so that the picture moves on.
  std::atomic<uint32_t> frame{0};
  std::atomic<uint32_t> sent{0}, skipped{0};

  // With the mutex held.
  void launch(const std::shared_ptr<State>& self) {
    if (closed || !on || !session || streamer.thread.joinable()) return;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    streamer = {std::thread([self, cancel] { self->stream(*cancel); }), cancel};
  }
  // With the mutex held: the thread to join once it is released.
  std::thread halt() {
    if (streamer.cancel) *streamer.cancel = true;
    wake.notify_all();
    Streamer s = std::move(streamer);
    streamer = {};
    return std::move(s.thread);
  }

  void stream(const std::atomic<bool>& cancel);
};

void LiveView::State::stream(const std::atomic<bool>& cancel) {
  using Clock = std::chrono::steady_clock;
  ::pthread_setname_np(::pthread_self(), kThreadName);
  const auto period = std::chrono::nanoseconds(1'000'000'000 / options.fps);
  const uint32_t sentBefore = sent, skippedBefore = skipped;
  if (options.log)
    std::fprintf(stderr, "devsim: live view (%s) streams at %d fps\n", liveViewVendorName(options.vendor),
                 options.fps);
  Clock::time_point next = Clock::now();
  while (!cancel) {
    const Bytes message = scene.message(frame++, sim.takePushTransactionId());
    const Simulator::Offer result = sim.offer(message, cancel);
    if (result == Simulator::Offer::NoClient) break;
    ++(result == Simulator::Offer::Sent ? sent : skipped);
    // A late frame does not make the next one early.
    next = std::max(next + period, Clock::now());
    std::unique_lock lock(mutex);
    wake.wait_until(lock, next, [&] { return cancel.load(); });
  }
  if (options.log)
    std::fprintf(stderr, "devsim: live view ended: %u frames sent, %u skipped\n", sent - sentBefore,
                 skipped - skippedBefore);
}

LiveView::LiveView(Simulator& sim, Options options) : sim_(sim) {
  options.fps = std::clamp(options.fps, kLiveViewMinFps, kLiveViewMaxFps);
  state_ = std::make_shared<State>(sim, options);
  std::weak_ptr<State> weak = state_;
  sim_.setSessionHooks(
      [weak] {
        auto self = weak.lock();
        if (!self) return;
        std::lock_guard lock(self->mutex);
        self->session = true;
        self->launch(self);
      },
      [weak] {
        auto self = weak.lock();
        if (!self) return;
        std::thread done;
        {
          std::lock_guard lock(self->mutex);
          self->session = false;
          done = self->halt();
        }
        if (done.joinable()) done.join();
      });
}

LiveView::~LiveView() {
  sim_.setSessionHooks(nullptr, nullptr);
  std::thread done;
  {
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
    done = state_->halt();
  }
  if (done.joinable()) done.join();
}

void LiveView::start() {
  std::lock_guard lock(state_->mutex);
  state_->on = true;
  state_->launch(state_);
}

void LiveView::stop() {
  std::thread done;
  {
    std::lock_guard lock(state_->mutex);
    state_->on = false;
    done = state_->halt();
  }
  if (done.joinable()) done.join();
}

uint32_t LiveView::framesSent() const { return state_->sent; }
uint32_t LiveView::framesSkipped() const { return state_->skipped; }

}  // namespace devsim
