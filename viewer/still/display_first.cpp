#include "viewer/still/display_first.h"

#include <condition_variable>
#include <mutex>

namespace DisplayFirst {
namespace {
struct State {
  std::mutex mutex;
  std::condition_variable quiet;
  int running = 0;
  int waiting = 0;
};
State& state() {
  static State s;
  return s;
}
}  // namespace

Scope::Scope() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  ++s.running;
}

Scope::~Scope() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  if (--s.running == 0) s.quiet.notify_all();
}

bool waitForDisplay(std::chrono::milliseconds bound) {
  State& s = state();
  std::unique_lock lock(s.mutex);
  if (s.running == 0) return true;
  // One waiter at a time: in a flood the pane is never idle, and waiters piling up would
  // hold every shot's bytes until their bounds ran out.
  if (s.waiting > 0) return false;
  ++s.waiting;
  const bool quiet = s.quiet.wait_for(lock, bound, [&] { return s.running == 0; });
  --s.waiting;
  return quiet;
}

int waiters() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  return s.waiting;
}

}  // namespace DisplayFirst
