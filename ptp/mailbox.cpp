#include "ptp/mailbox.h"

#include <atomic>

#include "ptp/byte_reader.h"
#include "ptp/link.h"

namespace {
std::atomic<uint8_t> gShareMode{ShareModeNone};
}

uint8_t shareGetMode() { return gShareMode.load(); }
void shareSetMode(uint8_t mode) { gShareMode.store(mode); }

PtpResponseCode shareUnwrapControlReply(ByteBuffer& message, ByteBuffer& payload) {
  payload.clear();
  ByteReader r(message.data(), message.size());
  auto kind = r.u8(4);
  auto inner = r.u32(5);
  uint64_t total = message.size();
  uint64_t length = 0;
  PtpResponseCode result = PTP_RC_OK;
  bool generation1 = shareGetMode() == ShareModeGeneration1;
  if (generation1) {
    // Generation 1: kind 12, payload after two spare bytes, no result field.
    if (!kind || (*kind & 0x0F) != ShareMessageKindControl || !inner || *inner < 5 ||
        uint64_t(*inner) + 7 > total) {
      message.clear();
      return ERROR_BAD_REPLY;
    }
    length = uint64_t(*inner) - 5;
  } else {
    if (!kind || (*kind & 0x0F) != ShareMessageKindControlResponse || total < 12 || !inner ||
        *inner < 7 || uint64_t(*inner) > total - 5) {
      message.clear();
      return ERROR_BAD_REPLY;
    }
    length = uint64_t(*inner) - 7;
    result = *r.u16(10);
  }
  if (length == 0) {
    message.clear();
    return result;
  }
  message.erase(message.begin(), message.begin() + 12);
  message.resize(static_cast<size_t>(length));
  payload.swap(message);
  message.clear();
  return result;
}

PtpResponseCode shareReceiveControlReply(ByteBuffer& payload) {
  // Without a running share reader the reply is the next message on the stream.
  ByteBuffer message;
  payload.clear();
  PtpResponseCode rc = linkReadMessage(message);
  if (rc != PTP_RC_OK) return rc;
  return shareUnwrapControlReply(message, payload);
}
