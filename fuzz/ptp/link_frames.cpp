// Arbitrary bytes taken as one whole message by every reply parser of the link.
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"

KV_FUZZ_TARGET(link_frames) {
  const ByteBuffer frame(data, data + size);
  ByteBuffer m, out;
  uint32_t u = 0;
  m = frame;
  linkParseReply(m, out);
  m = frame;
  linkParsePtpReply(m, out);
  m = frame;
  linkParseRaw(m, out);
  linkParseRawU32(frame, &u);
  for (uint8_t mode : {ShareModeGeneration1, ShareModeGeneration2}) {
    shareSetMode(mode);
    m = frame;
    shareUnwrapControlReply(m, out);
  }
  shareSetMode(ShareModeNone);
  return 0;
}
