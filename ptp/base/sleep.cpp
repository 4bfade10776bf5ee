#include "ptp/base/sleep.h"

#include <memory>
#include <mutex>
#include <thread>

namespace {
struct Hook {
  std::mutex mutex;
  std::shared_ptr<const LibSleepFn> fn;
};

Hook& H() {
  static Hook* h = new Hook;  // never destroyed: sleepers may outlive static destruction
  return *h;
}
}  // namespace

void libSleep(std::chrono::milliseconds duration) {
  std::shared_ptr<const LibSleepFn> fn;
  {
    std::lock_guard lock(H().mutex);
    fn = H().fn;
  }
  if (fn && *fn) {
    (*fn)(duration);
    return;
  }
  if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

LibSleepFn libSleepSetHook(LibSleepFn hook) {
  auto next = hook ? std::make_shared<const LibSleepFn>(std::move(hook)) : nullptr;
  std::lock_guard lock(H().mutex);
  auto previous = std::move(H().fn);
  H().fn = std::move(next);
  return previous ? *previous : LibSleepFn{};
}
