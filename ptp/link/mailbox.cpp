#include "ptp/link/mailbox.h"

#include <atomic>
#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/object_info.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/link/commands.h"
#include "ptp/link/link.h"

namespace {
std::atomic<uint8_t> gShareMode{ShareModeNone};

constexpr uint8_t kOpcodeClientName = 160;
constexpr uint8_t kOpcodeLiveViewFrame = 136;
constexpr size_t kClientNameMaxChars = 199;
// Link header and PTP container header before a pushed object's first byte.
constexpr uint32_t kPtpObjectOffset = 5 + 12;
}  // namespace

uint8_t shareGetMode() { return gShareMode.load(); }
void shareSetMode(uint8_t mode) { gShareMode.store(mode); }

ShareSlot shareRouteTarget(const ByteBuffer& message, uint8_t expectedKind, uint32_t key) {
  ByteReader r(message.data(), message.size());
  auto kind = r.u8(4);
  if (!kind || expectedKind == 0 || (*kind & 0x0F) != expectedKind) return ShareSlot::Unsolicited;
  switch (expectedKind) {
    case 12:
    case 13: {
      auto opcode = r.u8(9);
      return opcode && *opcode == key ? ShareSlot::Response : ShareSlot::Unsolicited;
    }
    case 10: {
      auto tid = r.u32(13);
      return tid && *tid == key ? ShareSlot::Response : ShareSlot::Unsolicited;
    }
    default:
      return ShareSlot::Unsolicited;
  }
}

bool shareIsLiveViewFrame(const ByteBuffer& message) {
  ByteReader r(message.data(), message.size());
  uint8_t kind = r.u8(4).value_or(0) & 0x0F;
  if (kind == 10) {
    auto code = r.u16(11);
    return code && (*code == PTP_OC_CANON_GetViewFinderData || *code == PTP_OC_NIKON_GetLiveViewImage ||
                    *code == PTP_OC_NIKON_GetLiveViewImageEx);
  }
  if (kind == 12 || kind == 13) return r.u8(9).value_or(0) == kOpcodeLiveViewFrame;
  return false;
}

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

uint32_t shareUnsolicitedFrameLimit(const ByteBuffer& prefix) {
  ByteReader r(prefix.data(), prefix.size());
  // A whole object pushed as GetObject data: the decoder keeps none larger than what a
  // GetObject fetch would ask for.
  if ((r.u8(4).value_or(0) & 0x0F) == ShareMessageKindPtp && r.u16(11).value_or(0) == PTP_OC_GetObject)
    return kPtpObjectOffset + kDevGetObjectLimit;
  return kLinkMaxFrameBytes;
}

PtpResponseCode shareReceiveControlReply(ByteBuffer& payload) {
  ByteBuffer message;
  payload.clear();
  // From where it was bound to come when the request went out.
  PtpResponseCode rc = linkAwaitReply(message);
  if (rc != PTP_RC_OK) return rc;
  return shareUnwrapControlReply(message, payload);
}

PtpResponseCode shareSendPtp(const uint8_t* container, size_t n) {
  if (!container || n < 12) return ERROR_INVALID_INPUT;
  PtpResponseCode rc = linkBindRequest(ShareMessageKindPtp, bytesGetU32(container + 8));
  if (rc != PTP_RC_OK) return rc;
  return linkSendPtp(container, n);
}

PtpResponseCode shareReceivePtp(ByteBuffer& container) {
  container.clear();
  ByteBuffer message;
  PtpResponseCode rc = linkAwaitReply(message);
  if (rc != PTP_RC_OK) return rc;
  if (message.size() < kShareHeaderBytes || (message[4] & 0x0F) != ShareMessageKindPtp) {
    return ERROR_BAD_REPLY;
  }
  message.erase(message.begin(), message.begin() + kShareHeaderBytes);
  // A response container ends the transaction: its id no longer routes to a waiter.
  if (ByteReader(message.data(), message.size()).u16(4).value_or(0) == 3) linkClearExpectedReply();
  container.swap(message);
  return PTP_RC_OK;
}

PtpResponseCode shareSendClientName(const char* name) { return shareSendClientNameOn(0, name); }

PtpResponseCode shareSendClientNameOn(uint64_t connection, const char* name) {
  if (!name) return ERROR_INVALID_INPUT;
  size_t length = ::strnlen(name, kClientNameMaxChars + 1);
  if (length > kClientNameMaxChars) return ERROR_INVALID_INPUT;
  return linkCommandOn(connection, kOpcodeClientName, reinterpret_cast<const uint8_t*>(name), length + 1);
}

void shareWidenObjectInfo(uint8_t* record) {
  if (!record) return;
  struct Move {
    size_t from, gap;
  };
  // Generation 1 packs the record without alignment gaps and without fieldPad1/2.
  for (Move m : {Move{14, 2}, Move{46, 2}, Move{56, 4}, Move{336, 4}}) {
    std::memmove(record + m.from + m.gap, record + m.from, kObjectInfoBytes - m.from - m.gap);
  }
  record[offsetof(PtpObjectInfoStruct, orientation)] = 0;
  std::memset(record + offsetof(PtpObjectInfoStruct, rating), 0, sizeof(uint64_t));
}
