#pragma once
// Copy-based little- and big-endian access to byte buffers. The caller guarantees the
// bytes are there; untrusted data goes through ByteReader instead.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// Leaves new elements uninitialised: a 5 MB message is received straight into its
// buffer without being zeroed first.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// Messages, payloads and containers of the device conversation.
using ByteBuffer = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;

uint16_t bytesGetU16(const uint8_t* p);
uint32_t bytesGetU32(const uint8_t* p);
void bytesPutU16(uint8_t* p, uint16_t v);
void bytesPutU32(uint8_t* p, uint32_t v);
// Appended little-endian to a ByteBuffer or any other vector of bytes.
template <class Buffer>
void bytesAppendU16(Buffer& b, uint16_t v) {
  const size_t at = b.size();
  b.resize(at + 2);
  bytesPutU16(b.data() + at, v);
}
template <class Buffer>
void bytesAppendU32(Buffer& b, uint32_t v) {
  const size_t at = b.size();
  b.resize(at + 4);
  bytesPutU32(b.data() + at, v);
}
uint16_t bytesGetU16BE(const uint8_t* p);
uint32_t bytesGetU32BE(const uint8_t* p);
float bytesGetFloat(const uint8_t* p);
uint64_t bytesU64ToHost(uint64_t v);

// Copies a 5-byte message header (u32 length, kind byte) and returns the kind.
uint8_t bytesCopyHeader(uint8_t* destination, const uint8_t* source);

// False when either is null or the suffix is longer than the string.
bool bytesEndsWith(const char* string, const char* suffix);

// Tries the lock; while it is busy naps and spends the nap from budget, giving up when
// the budget runs out. Returns 0 when locked, EBUSY when given up.
int bytesLockWithin(std::mutex& mutex, timespec& budget);
