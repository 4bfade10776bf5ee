// Arbitrary frames through the mailbox's routing decision and the control-reply unwrap
// of both generations. Input: expected kind (1 byte), key (u32), then one whole frame.
#include <algorithm>
#include <cstring>

#include "fuzz/fuzz_target.h"
#include "ptp/base/object_info.h"
#include "ptp/link/mailbox.h"
#include "ptp/protocol/ptp_container.h"

KV_FUZZ_TARGET(mailbox_router) {
  if (size < 5) return 0;
  const uint8_t expectedKind = data[0];
  uint32_t key;
  std::memcpy(&key, data + 1, 4);
  const ByteBuffer frame(data + 5, data + size);
  (void)shareRouteTarget(frame, expectedKind, key);
  (void)shareIsLiveViewFrame(frame);
  ByteBuffer m, payload;
  for (uint8_t mode : {ShareModeGeneration1, ShareModeGeneration2}) {
    shareSetMode(mode);
    m = frame;
    shareUnwrapControlReply(m, payload);
  }
  shareSetMode(ShareModeNone);
  // The frame's body as a container, and as a generation-1 record to widen.
  if (frame.size() > 5) {
    ByteBuffer container(frame.begin() + 5, frame.end());
    PtpContainerHeader h;
    (void)ptpParseHeader(container, h);
  }
  uint8_t record[kObjectInfoBytes] = {};
  if (!frame.empty()) std::memcpy(record, frame.data(), std::min(frame.size(), sizeof record));
  shareWidenObjectInfo(record);
  (void)objectInfoFromBytes(std::span<const uint8_t>(record, sizeof record));
  return 0;
}
