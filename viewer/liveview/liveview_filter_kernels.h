#pragma once
// Per-pixel pieces shared by the fused filter chain and its plain reference, inline so
// that the chain's row loops vectorise.
#include <algorithm>
#include <cstdint>

#include "viewer/liveview/liveview_filters.h"

namespace lvkernels {

// Luma at 4 x the 8-bit scale (0..1020), Rec. 709 weights in 256ths.
inline int32_t luma(uint32_t p) {
  return static_cast<int32_t>((54 * ((p >> 16) & 255) + 183 * ((p >> 8) & 255) + 19 * (p & 255)) >> 6);
}

// A black-to-white step gives |gx| = 4 x 1020: the magnitude that counts as 1.
constexpr int32_t kFullStep = 4 * 1020;

inline int32_t maxChannel(uint32_t p) {
  return static_cast<int32_t>(std::max(std::max((p >> 16) & 255, (p >> 8) & 255), p & 255));
}

// colour x alpha + pixel x (1 - alpha), per channel, rounded; alpha 255 gives the colour.
inline uint32_t blend(uint32_t p, const LiveViewFilterChain::Step& s) {
  uint32_t keep = 255 - s.alpha;
  uint32_t r = (s.red * s.alpha + ((p >> 16) & 255) * keep + 127) / 255;
  uint32_t g = (s.green * s.alpha + ((p >> 8) & 255) * keep + 127) / 255;
  uint32_t b = (s.blue * s.alpha + (p & 255) * keep + 127) / 255;
  return (p & 0xFF000000u) | r << 16 | g << 8 | b;
}

inline bool marksPoint(const LiveViewFilterChain::Step& s, uint32_t p) {
  int32_t m = maxChannel(p);
  return s.kind == LiveViewFilterChain::Step::Highlight ? m >= s.limit : m <= s.limit;
}

// gx² + gy² of the Sobel operator at column x of the middle row, columns clamped. Rows
// of luma in 32 or 16 bits.
template <typename L>
inline int32_t sobel(const L* up, const L* mid, const L* down, int x, int width) {
  int l = x > 0 ? x - 1 : 0, r = x + 1 < width ? x + 1 : width - 1;
  int32_t gx = (up[r] + 2 * mid[r] + down[r]) - (up[l] + 2 * mid[l] + down[l]);
  int32_t gy = (down[l] + 2 * down[x] + down[r]) - (up[l] + 2 * up[x] + up[r]);
  return gx * gx + gy * gy;
}

}  // namespace lvkernels
