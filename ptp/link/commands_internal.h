#pragma once
// Shared by the command wrappers' files only.
#include <cstring>
#include <string_view>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"
#include "ptp/link/link.h"

namespace devdetail {

// A request whose successful reply must be exactly `expected` bytes (else 0xFF0A).
inline PtpResponseCode requestExact(uint8_t opcode, const uint8_t* payload, size_t n, size_t expected,
                                    ByteBuffer& reply) {
  PtpResponseCode rc = linkRequest(opcode, payload, n, reply);
  if (rc != PTP_RC_OK) return rc;
  if (reply.size() != expected) {
    reply.clear();
    return ERROR_BAD_REPLY;
  }
  return PTP_RC_OK;
}

inline PtpResponseCode requestByte(uint8_t opcode, const uint8_t* payload, size_t n, uint8_t* value) {
  ByteBuffer reply;
  PtpResponseCode rc = requestExact(opcode, payload, n, 1, reply);
  if (rc == PTP_RC_OK) *value = reply[0];
  return rc;
}

inline PtpResponseCode commandByte(uint8_t opcode, uint8_t value) { return linkCommand(opcode, &value, 1); }

// Whether name is at most maxChars characters long (looks no further than that).
inline bool nameFits(const char* name, size_t maxChars) { return ::strnlen(name, maxChars + 1) <= maxChars; }

// The string with its terminating NUL.
inline ByteBuffer withNul(std::string_view s) {
  ByteBuffer b(s.size() + 1);
  std::memcpy(b.data(), s.data(), s.size());
  b[s.size()] = 0;
  return b;
}

}  // namespace devdetail
