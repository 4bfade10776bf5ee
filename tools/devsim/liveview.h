#pragma once
// Live view in demo mode: while a client's share session runs, the simulator streams the
// live picture of one maker's camera (see liveview_scene.h) at a steady frame rate. The
// streaming thread exists only while a session runs and live view is on: it starts with
// the session and is joined when the client goes or live view is stopped.
//
// A flood stays bounded: a frame the client's socket cannot take right away is skipped,
// never queued, so a client that stops reading costs the simulator no memory; it gets the
// current frame again once it reads.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

#include "tools/devsim/liveview_scene.h"
#include "tools/devsim/simulator.h"

namespace devsim {

constexpr int kLiveViewMinFps = 1, kLiveViewMaxFps = 120;
constexpr int kLiveViewDefaultFps = 20;

class LiveView {
 public:
  struct Options {
    LiveViewVendor vendor = LiveViewVendor::Canon;
    int fps = kLiveViewDefaultFps;  // kept within kLiveViewMinFps..kLiveViewMaxFps
    bool log = false;               // a line when a stream starts and ends, on stderr
  };

  // Encodes the scene and takes the simulator's session hooks: sessions that begin from
  // now on are seen. The simulator must outlive the live view.
  LiveView(Simulator& sim, Options options);
  ~LiveView();
  LiveView(const LiveView&) = delete;
  LiveView& operator=(const LiveView&) = delete;

  // On: a session seen running, or beginning later, gets the stream. Off: the stream ends
  // and its thread is joined (after at most the current frame).
  void start();
  void stop();

  // Over all sessions so far: frames sent whole, and frames skipped for want of room.
  uint32_t framesSent() const;
  uint32_t framesSkipped() const;

  // The thread's name while it streams (as /proc shows it).
  static constexpr const char* kThreadName = "devsim-liveview";

 private:
  struct State;
  std::shared_ptr<State> state_;
  Simulator& sim_;
};

}  // namespace devsim
