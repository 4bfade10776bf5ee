#pragma once
// Crafted device bytes for the vendor tests: Canon GetViewFinderData replies with their
// information blocks, YCbCr frames, and minimal JPEGs.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "ptp/base/bytes.h"

namespace vendorstest {

inline void putU32BEAt(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

inline uint32_t getU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// FF D8 FF DB, filler, FF D9: n bytes in all (n >= 6). The filler holds no FF.
inline std::vector<uint8_t> jpeg(size_t n, uint8_t filler = 0x11) {
  std::vector<uint8_t> j(n, filler);
  j[0] = 0xFF, j[1] = 0xD8, j[2] = 0xFF, j[3] = 0xDB;
  j[n - 2] = 0xFF, j[n - 1] = 0xD9;
  return j;
}

// A whole JPEG as the library measures it: SOI, a DQT segment, a scan, EOI (17 bytes);
// `app1` makes the first marker an APP1 segment instead, as in RAF previews.
inline std::vector<uint8_t> miniJpeg(bool app1 = false) {
  return {0xFF, 0xD8, 0xFF, static_cast<uint8_t>(app1 ? 0xE1 : 0xDB), 0x00, 0x04, 0x01, 0x02, 0xFF,
          0xDA, 0x00, 0x02, 0x11, 0x22, 0x33, 0xFF, 0xD9};
}

// One information block: u32 length (head included), u32 type, the payload words.
inline std::vector<uint8_t> block(uint32_t type, std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> b;
  bytesAppendU32(b, static_cast<uint32_t>(8 + 4 * words.size()));
  bytesAppendU32(b, type);
  for (uint32_t w : words) bytesAppendU32(b, w);
  return b;
}

// An AF block (type 8) declaring `count` frames and holding `entries` whole entries;
// entry i is state 0x11 + i % 2, x 100 + i, y 200 + i, width 30 + i, height 40 + i.
inline std::vector<uint8_t> afBlock(uint32_t count, uint32_t entries, size_t extraBytes = 0) {
  std::vector<uint8_t> b;
  bytesAppendU32(b, static_cast<uint32_t>(12 + 24 * entries + extraBytes));
  bytesAppendU32(b, 8);
  bytesAppendU32(b, count);
  for (uint32_t i = 0; i < entries; ++i) {
    bytesAppendU32(b, 0x11 + i % 2);
    bytesAppendU32(b, 0);
    bytesAppendU32(b, 100 + i);
    bytesAppendU32(b, 200 + i);
    bytesAppendU32(b, 30 + i);
    bytesAppendU32(b, 40 + i);
  }
  b.insert(b.end(), extraBytes, 0x22);
  return b;
}

// A GetViewFinderData reply: `lead` zero bytes, the JPEG, the blocks, then zero padding
// up to `total` bytes (no padding when the parts already reach it).
inline std::vector<uint8_t> liveViewReply(size_t lead, const std::vector<uint8_t>& image,
                                          std::initializer_list<std::vector<uint8_t>> blocks,
                                          size_t total = 4096) {
  std::vector<uint8_t> r(lead, 0);
  r.insert(r.end(), image.begin(), image.end());
  for (const auto& b : blocks) r.insert(r.end(), b.begin(), b.end());
  if (r.size() < total) r.resize(total, 0);
  return r;
}

// A YCbCr frame: header at `h` (length byte, u32 width at +12, u32 height at +16), pixel
// pairs (Cb, Y0, Cr, Y1) at (h + headerLength) % 256, padded to at least `total` bytes.
inline std::vector<uint8_t> yuvFrame(size_t h, uint8_t headerLength, uint32_t width,
                                     uint32_t height, const std::vector<uint8_t>& pairs,
                                     size_t total = 256) {
  size_t data = (h + headerLength) % 256;
  size_t size = std::max({total, h + 20, data + pairs.size()});
  std::vector<uint8_t> f(size, 0);
  f[h] = headerLength;
  bytesPutU32(f.data() + h + 12, width);
  bytesPutU32(f.data() + h + 16, height);
  if (!pairs.empty()) std::memcpy(f.data() + data, pairs.data(), pairs.size());
  return f;
}

}  // namespace vendorstest
