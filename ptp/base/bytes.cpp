#include "ptp/base/bytes.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include "ptp/base/timing.h"

uint16_t bytesGetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t bytesGetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void bytesPutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void bytesPutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t bytesGetU16BE(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t bytesGetU32BE(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

float bytesGetFloat(const uint8_t* p) {
  uint32_t bits = bytesGetU32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

uint64_t bytesU64ToHost(uint64_t v) { return v; }

uint8_t bytesCopyHeader(uint8_t* destination, const uint8_t* source) {
  std::memcpy(destination, source, 5);
  return source[4];
}

bool bytesEndsWith(const char* string, const char* suffix) {
  if (!string || !suffix) return false;
  size_t n = std::strlen(string), m = std::strlen(suffix);
  if (m > n) return false;
  return std::memcmp(string + n - m, suffix, m) == 0;
}

int bytesLockWithin(std::mutex& mutex, timespec& budget) {
  // Keeps trying while any budget is left: a budget under one second still buys retries.
  for (;;) {
    if (mutex.try_lock()) return 0;
    if (budget.tv_sec < 0 || (budget.tv_sec == 0 && budget.tv_nsec <= 0)) return EBUSY;
    auto nap = timing().lockRetryDelay.load();
    std::this_thread::sleep_for(nap);  // resumes after signals on its own
    long napNs = static_cast<long>(std::chrono::nanoseconds(nap).count());
    budget.tv_sec -= napNs / 1000000000L;
    budget.tv_nsec -= napNs % 1000000000L;
    if (budget.tv_nsec < 0) {
      budget.tv_nsec += 1000000000L;
      budget.tv_sec -= 1;
    }
  }
}
