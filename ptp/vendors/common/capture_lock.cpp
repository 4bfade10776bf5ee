#include "ptp/vendors/common/capture_lock.h"

std::mutex& vendorCaptureMutex() {
  static std::mutex* m = new std::mutex;  // used by threads that may outlive statics
  return *m;
}
