#pragma once
// The filter chain's row loops: each reads a row once and does every step it can while the
// pixels are in registers. Results are the plain kernels' (liveview_filter_kernels.h) to
// the byte; the vector paths are chosen once, by what the processor has.
#include <cstddef>
#include <cstdint>

#include "viewer/liveview/liveview_filters.h"

namespace lvrows {

// Luma as the kernels compute it (0..1020) fits 16 bits, so the gradient's vectors hold
// twice the pixels.
using Luma = int16_t;

// Highlight and shadow steps [steps, steps + count) in order over `in`, into `out` (which
// may be `in`); with `luma`, the luma of each result pixel too.
void pointRow(const LiveViewFilterChain::Step* steps, size_t count, const uint32_t* in, uint32_t* out, Luma* luma,
              int width);

// The peaking step for one row: the Sobel magnitude from the luma of the rows above, at
// and below (columns clamped at the ends) decides which of `in` are marked into `out`.
void peakRow(const LiveViewFilterChain::Step& step, const Luma* up, const Luma* mid, const Luma* down,
             const uint32_t* in, uint32_t* out, int width);

// Turns the 8-pixel (AVX2) paths off, or back on where the processor has them, so that
// tests and benches reach the 4-pixel ones too. Answers whether they were on.
bool useAvx2ForTesting(bool on);

}  // namespace lvrows
