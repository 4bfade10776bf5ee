#pragma once
// Framing of the device link, from the device's side.
#include <cstdint>
#include <span>
#include <vector>

#include "ptp/base/bytes.h"

namespace devsim {

using Bytes = ::ByteBuffer;  // the same buffers as the link, so tests compare them directly

void putU16(Bytes& b, uint16_t v);
void putU32(Bytes& b, uint32_t v);
uint16_t getU16(const uint8_t* p);
uint32_t getU32(const uint8_t* p);

// A whole message: 5-byte header {total, kind} and body.
Bytes makeFrame(uint8_t kind, std::span<const uint8_t> body);
// A control request as a client sends it: {n + 10, 12}{n + 5, opcode} payload.
Bytes makeControlRequest(uint8_t opcode, std::span<const uint8_t> payload);
// A control reply as the device sends it: generation 1 is kind 12 with two spare bytes,
// generation 2 is kind 13 with the result.
Bytes makeControlReply(int generation, uint8_t opcode, uint16_t result, std::span<const uint8_t> payload);
// The body of a relayed push (sent in a kind-15 frame): {n + 10}{161, code}{claimed}
// payload. claimed is the payload length the push announces, its real length by default;
// tests make it lie.
Bytes makeRelayBody(uint8_t code, std::span<const uint8_t> payload);
Bytes makeRelayBody(uint8_t code, std::span<const uint8_t> payload, uint32_t claimed);
// A header that announces total bytes; the body is up to the caller.
Bytes makeHeader(uint32_t total, uint8_t kind);

// One message as received, header included.
struct Frame {
  Bytes bytes;
  uint32_t total() const { return bytes.size() >= 4 ? getU32(bytes.data()) : 0; }
  uint8_t kind() const { return bytes.size() >= 5 ? bytes[4] : 0; }
  // Control requests (kind 12): opcode and payload.
  int opcode() const { return kind() == 12 && bytes.size() >= 10 ? bytes[9] : -1; }
  Bytes controlPayload() const { return bytes.size() > 10 ? Bytes(bytes.begin() + 10, bytes.end()) : Bytes(); }
};

}  // namespace devsim
