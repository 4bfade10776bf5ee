// Event 0xC1A5: flag bits each followed by a model-dependent run of bytes; some of them
// queue {kind, value} events for the live-view focus display.
#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/props/event_queue.h"
#include "ptp/vendors/canon/canon_events.h"
#include "ptp/vendors/canon/canon_state.h"

namespace {

void queueFocusEvent(uint32_t kind, int32_t value) {
  PtpEventStruct e{};
  e.code = kCanonEventFocusInfo;
  uint8_t* payload = reinterpret_cast<uint8_t*>(&e) + offsetof(PtpEventStruct, objectHandle);
  std::memcpy(payload, &kind, 4);
  std::memcpy(payload + 4, &value, 4);
  evtPush(e, true);
}

bool hasBit(uint32_t flags, int bit) { return (flags >> bit) & 1u; }

}  // namespace

int32_t canonFocusWordValue(uint32_t word) {
  switch (word & 0xFFFFFF) {
    case 1: return 8;
    case 2: return 11;
    case 4: return 13;
    case 6: return 12;
    case 8: return 16;
    case 16: return 19;
    case 32: return 21;
    case 48: return 20;
    case 64: return 24;
    case 128: return 99999;
    case 256: return -13;
    case 512: return -11;
    case 768: return -12;
    case 1024: return -8;
    case 2048: return -5;
    case 4096: return -3;
    case 6144: return -4;
    case 16384: return 3;
    case 32768: return 5;
    case 49152: return 4;
    case 0x80000: return -99999;
    case 0x100000: return -24;
    case 0x200000: return -21;
    case 0x400000: return -19;
    case 0x600000: return -20;
    case 0x800000: return -16;
    default: return 0;  // 3, 5, 7 among them
  }
}

PtpResponseCode canonParseFocusInfo(const uint8_t* record, size_t length) {
  ByteReader whole(record, length);
  const auto size = whole.u32(8);
  const auto flagsField = whole.u32(12);
  if (!size || !flagsField || *size < 6 || *size > length) return ERROR_INVALID_INPUT;
  // The cursor counts from the size field; nothing is read past the size it gives.
  const uint32_t s = *size;
  const size_t avail = length - 8 < s ? length - 8 : s;
  ByteReader in(record + 8, avail);
  const uint32_t f = *flagsField;
  const uint8_t model = camModelIndex();
  const bool a = canonModelInGroupA(model);
  const bool b = canonModelInGroupB(model);
  const bool mid = model >= 228 && model <= 230;
  size_t c = hasBit(f, 0) && s >= 9 ? 10 : 8;
  auto byteAt = [&](size_t off) { return in.u8(off); };

  if (hasBit(f, 1) && c < s) {
    auto v = byteAt(c + (a ? 7 : 5));
    auto lead = byteAt(c);
    if (v && lead) queueFocusEvent(2, b && *lead == 0 ? 0 : *v);
    c += a ? 9 : mid ? 7 : model == 232 ? 10 : 6;
  }
  if (hasBit(f, 2) && c < s) {
    auto lead = byteAt(c);
    if (b) {
      auto v = byteAt(c + 7);
      if (lead && (*lead == 0 || v)) queueFocusEvent(4, *lead ? *v : 0);
    } else if (auto v = byteAt(c + 4)) {
      queueFocusEvent(4, *v);
    }
    c += b ? 9 : model == 232 ? 6 : 5;
  }
  if (hasBit(f, 3) && c < s) {
    if (auto v = byteAt(c + 3)) queueFocusEvent(8, *v);
    c += a ? 5 : 4;
  }
  if (hasBit(f, 4)) c += a ? 6 : 4;
  if (hasBit(f, 5)) c += 6;
  if (hasBit(f, 6)) {
    auto on = byteAt(c + 1);
    auto v = byteAt(c + 2);
    if (on && *on && v) queueFocusEvent(64, *v);
    c += 7;
  }
  if (hasBit(f, 7)) c += 4;
  if (hasBit(f, 8)) c += 7;
  const bool bit9Model = model == 229 || model == 234 || (model >= 245 && model <= 251);
  if (hasBit(f, 9) && !hasBit(f, 6) && bit9Model) {
    if (auto w = in.u32(c + 2)) queueFocusEvent(64, canonFocusWordValue(*w));
  }
  return PTP_RC_OK;
}
