// Arbitrary bytes as a live picture through the live view's worker step. Byte 0 picks the
// warning filters (bits 0-2), the Canon crop (bit 3) and the histogram (bit 4); byte 1 the
// display orientation; the rest is the picture. One filter chain serves every input, as
// the worker's does, so its kept buffers meet pictures of every size.
#include <atomic>
#include <span>

#include "fuzz/fuzz_target.h"
#include "viewer/liveview/live_view_render.h"

KV_FUZZ_TARGET(live_view_render) {
  if (size < 2) return 0;
  static LiveViewFilterChain chain;
  LiveViewRenderSettings settings;
  const auto& defaults = liveViewFilterDefaults();
  for (size_t i = 0; i < defaults.size() && i < 3; ++i)
    if (data[0] & (1u << i)) settings.filters.push_back(defaults[i].spec);
  settings.canonCrop = (data[0] & 8) != 0;
  settings.histogram = (data[0] & 16) != 0;
  settings.orientation = uint8_t(1 + data[1] % 8);
  const std::atomic<bool> cancel{false};
  const LiveViewRendered r = renderLiveViewPicture(std::span(data + 2, size - 2), settings, chain, cancel);
  if (!r.image.isNull()) {
    volatile QRgb sink = r.image.pixel(r.image.width() - 1, r.image.height() - 1);
    (void)sink;
  }
  if (!r.histogram.isNull() && r.histogram.size() != QSize(kLiveViewHistogramSide, kLiveViewHistogramSide))
    __builtin_trap();
  return 0;
}
