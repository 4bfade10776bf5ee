#pragma once
// Demo mode: the simulator behaves like a device whose camera keeps shooting. Once a
// client's share session runs (it has sent its name, or a second heartbeat), a new shot is
// pushed right away and then one every interval, for as long as that client stays; a
// client that connects again gets the stream again, with the shots that follow.
//
// A shot is pushed as the device announces a capture to the share viewer: the object's
// record (relay 176), its thumbnail, then the whole object (PTP GetObject data). A
// generation-1 device's record has no orientation, so there the thumbnail comes as a
// thumbnail-by-name reply, whose first byte carries it; generation 2 sends a GetThumb
// data container. Every shot is also registered with the simulator, by handle and by
// name, so that a later download of it is answered.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tools/devsim/demo_images.h"
#include "tools/devsim/simulator.h"

namespace devsim {

// Shots whose bytes the simulator keeps for downloads; older ones are let go.
constexpr size_t kDemoKeptShots = 100;
// How long a stop waits for a push to a client that does not read before closing it.
constexpr std::chrono::milliseconds kDemoStopGrace{1000};

class Demo {
 public:
  struct Options {
    std::chrono::milliseconds interval{3000};
    uint64_t seed = 1;
    // Capture time of the first shot, later ones one interval apart; 0: the clock at
    // each shot.
    int64_t firstCaptureTime = 0;
    bool log = false;  // one line per shot on stderr
  };

  // Installs its answers on the simulator; the simulator must outlive the demo.
  Demo(Simulator& sim, Options options);
  ~Demo();
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  void start();
  // Ends the pushing thread; a push stuck on a client that does not read is cut off by
  // closing that client after kDemoStopGrace.
  void stop();

  // Shots pushed whole so far, over all clients.
  uint32_t shotsPushed() const { return pushed_.load(); }

  // The record as relayed for a device of this generation: 608 bytes, or the packed
  // generation-1 layout (584 bytes, without orientation and rating).
  static Bytes relayedRecord(const PtpObjectInfoStruct& record, int generation);

 private:
  void run();
  // Whether the frames from scanned up to upTo show a running session; scanned := upTo.
  bool sessionRunning(size_t& scanned, size_t upTo, int& heartbeats);
  bool push(const DemoShot& shot);
  // What a download of a kept shot needs beyond what the simulator holds. Shared with
  // the simulator's answers, which may outlive the demo.
  struct Kept {
    uint32_t handle = 0;
    std::string fileName;
    Bytes jpeg;
  };
  struct KeptShots {
    std::mutex mutex;
    std::deque<std::shared_ptr<const Kept>> shots;
    std::shared_ptr<const Kept> byHandle(uint32_t handle);
    std::shared_ptr<const Kept> byName(const std::string& name);
  };
  void keep(const DemoShot& shot);
  void installAnswers();
  // Sleeps until the deadline or a stop; false on a stop.
  bool napUntil(std::chrono::steady_clock::time_point deadline);

  Simulator& sim_;
  Options options_;
  std::thread thread_;
  std::atomic<uint32_t> pushed_{0};

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool done_ = false;  // the thread has ended
  std::shared_ptr<KeptShots> kept_ = std::make_shared<KeptShots>();
};

}  // namespace devsim
