#include "ptp/base/timing.h"

LibraryTiming& timing() {
  static LibraryTiming* t = new LibraryTiming;  // never destroyed: threads may outlive main
  return *t;
}

ScopedTiming::ScopedTiming() {
  auto& t = timing();
#define KV_TIMING_SAVE(name, value) saved_.push_back(t.name.load());
  KV_LIBRARY_TIMING(KV_TIMING_SAVE)
#undef KV_TIMING_SAVE
}

ScopedTiming::~ScopedTiming() {
  auto& t = timing();
  size_t i = 0;
#define KV_TIMING_RESTORE(name, value) t.name = saved_[i++];
  KV_LIBRARY_TIMING(KV_TIMING_RESTORE)
#undef KV_TIMING_RESTORE
}
