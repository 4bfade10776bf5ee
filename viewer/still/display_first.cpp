#include "viewer/still/display_first.h"

#include <condition_variable>
#include <mutex>

namespace DisplayFirst {
namespace {
struct State {
  std::mutex mutex;
  std::condition_variable quiet;
  int running = 0;
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
  return s.quiet.wait_for(lock, bound, [&] { return s.running == 0; });
}

}  // namespace DisplayFirst
