// Arbitrary bytes as a run of unsolicited link frames handed to the share decoder. The
// first byte picks the device generation; then each frame is {u32 total, kind, inner},
// a total that does not fit taking the rest of the input. The cache is not loaded, so
// nothing is written; watermark settings and alerts go nowhere.
#include <cstring>

#include "fuzz/fuzz_target.h"
#include "ptp/base/byte_reader.h"
#include "ptp/link/mailbox.h"
#include "share/share_decoder.h"
#include "share/watermark_settings.h"

KV_FUZZ_TARGET(share_messages) {
  ByteReader input(data, size);
  auto mode = input.u8(0);
  if (!mode) return 0;
  shareSetMode((*mode & 1) ? ShareModeGeneration1 : ShareModeGeneration2);
  ShareDecoder decoder(ShareDecoderHooks{[](const QString&) {}, [](const WatermarkSettings&) {}});
  size_t at = 1;
  while (at < size) {
    size_t rest = size - at;
    auto total = input.u32(at);
    size_t n = total && *total >= 5 && *total <= rest ? *total : rest;
    decoder.handleFrame(std::span<const uint8_t>(data + at, n));
    at += n;
  }
  shareSetMode(ShareModeNone);
  return 0;
}
