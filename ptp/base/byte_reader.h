#pragma once
// The one bounded reader for untrusted bytes. Every read names its offset and is checked
// against the span; a failed read returns std::nullopt and never touches memory outside.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
  explicit ByteReader(std::span<const uint8_t> s) : ByteReader(s.data(), s.size()) {}

  size_t size() const { return size_; }
  const uint8_t* data() const { return data_; }

  // True when [offset, offset + n) lies inside the span (no overflow).
  bool has(uint64_t offset, uint64_t n) const { return offset <= size_ && n <= size_ - offset; }

  std::optional<uint8_t> u8(uint64_t off) const {
    if (!has(off, 1)) return std::nullopt;
    return data_[off];
  }
  std::optional<uint16_t> u16(uint64_t off) const { return le<uint16_t>(off); }
  std::optional<uint32_t> u32(uint64_t off) const { return le<uint32_t>(off); }
  std::optional<uint64_t> u64(uint64_t off) const { return le<uint64_t>(off); }
  std::optional<uint16_t> u16be(uint64_t off) const { return be<uint16_t>(off); }
  std::optional<uint32_t> u32be(uint64_t off) const { return be<uint32_t>(off); }

  // The bytes [off, off + n) as a sub-span, or nullopt.
  std::optional<std::span<const uint8_t>> bytes(uint64_t off, uint64_t n) const {
    if (!has(off, n)) return std::nullopt;
    return std::span<const uint8_t>(data_ + off, static_cast<size_t>(n));
  }

  // A NUL-terminated 8-bit string starting at off, at most maxLen bytes long, ending at
  // the span's end when no NUL comes first.
  std::optional<std::string> cstring(uint64_t off, size_t maxLen) const {
    if (off > size_) return std::nullopt;
    size_t avail = size_ - static_cast<size_t>(off);
    size_t limit = avail < maxLen ? avail : maxLen;
    const uint8_t* p = data_ + off;
    const void* nul = limit ? std::memchr(p, 0, limit) : nullptr;
    size_t len = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) : limit;
    return std::string(reinterpret_cast<const char*>(p), len);
  }

  // Offset of the first occurrence of needle at or after from, or nullopt.
  std::optional<size_t> find(std::span<const uint8_t> needle, size_t from = 0) const {
    if (needle.empty() || from > size_ || needle.size() > size_ - from) return std::nullopt;
    for (size_t i = from; i + needle.size() <= size_; ++i) {
      if (data_[i] == needle[0] && std::memcmp(data_ + i, needle.data(), needle.size()) == 0)
        return i;
    }
    return std::nullopt;
  }

 private:
  template <typename T>
  std::optional<T> le(uint64_t off) const {
    if (!has(off, sizeof(T))) return std::nullopt;
    T v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(static_cast<T>(data_[off + i]) << (8 * i));
    return v;
  }
  template <typename T>
  std::optional<T> be(uint64_t off) const {
    if (!has(off, sizeof(T))) return std::nullopt;
    T v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v = static_cast<T>((v << 8) | data_[off + i]);
    return v;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};
