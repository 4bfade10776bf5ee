#include "tools/devsim/frames.h"

namespace devsim {

void putU16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void putU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint16_t getU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t getU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

Bytes makeHeader(uint32_t total, uint8_t kind) {
  Bytes b;
  putU32(b, total);
  b.push_back(kind);
  return b;
}

Bytes makeFrame(uint8_t kind, std::span<const uint8_t> body) {
  Bytes b = makeHeader(static_cast<uint32_t>(body.size() + 5), kind);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes makeControlRequest(uint8_t opcode, std::span<const uint8_t> payload) {
  Bytes b = makeHeader(static_cast<uint32_t>(payload.size() + 10), 12);
  putU32(b, static_cast<uint32_t>(payload.size() + 5));
  b.push_back(opcode);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

Bytes makeRelayBody(uint8_t code, std::span<const uint8_t> payload) {
  return makeRelayBody(code, payload, static_cast<uint32_t>(payload.size()));
}

Bytes makeRelayBody(uint8_t code, std::span<const uint8_t> payload, uint32_t claimed) {
  Bytes b;
  putU32(b, static_cast<uint32_t>(payload.size() + 10));
  b.push_back(161);
  b.push_back(code);
  putU32(b, claimed);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

Bytes makeControlReply(int generation, uint8_t opcode, uint16_t result, std::span<const uint8_t> payload) {
  uint32_t n = static_cast<uint32_t>(payload.size());
  Bytes b;
  if (generation == 1) {
    b = makeHeader(n + 12, 12);
    putU32(b, n + 5);
    b.push_back(opcode);
    putU16(b, 0);  // the two spare bytes
  } else {
    b = makeHeader(n + 12, 13);
    putU32(b, n + 7);
    b.push_back(opcode);
    putU16(b, result);
  }
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

}  // namespace devsim
