#include "viewer/liveview/liveview_filters.h"

#include <cmath>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/defaults_keys.h"
#include "viewer/liveview/liveview_filter_kernels.h"

namespace {

using Step = LiveViewFilterChain::Step;

constexpr std::string_view kHighlightKernel = "HighlightKernel";
constexpr std::string_view kShadowKernel = "ShadowKernel";
constexpr std::string_view kFocusPeakingKernel = "FocusPeakingKernel";

uint32_t toByte(double v) {
  if (!(v > 0)) return 0;  // NaN too
  if (v >= 1) return 255;
  return static_cast<uint32_t>(std::lround(v * 255));
}

// The integer limits are the thresholds' comparisons made exact on whole channel values:
// c >= x exactly when c >= ceil(x); a NaN threshold marks nothing.
int32_t highlightLimit(double t) {
  double x = std::ceil(t * 255);
  if (std::isnan(x) || x > 255) return 256;
  return x < 0 ? 0 : static_cast<int32_t>(x);
}

int32_t shadowLimit(double t) {
  double x = std::floor(t * 255);
  if (std::isnan(x) || x < 0) return -1;
  return x > 255 ? 255 : static_cast<int32_t>(x);
}

// magnitude / kFullStep > t  <=>  gx² + gy² > (t x kFullStep)², whole on the left.
int32_t peakingLimit(double t) {
  if (std::isnan(t)) return std::numeric_limits<int32_t>::max();
  if (t < 0) return -1;
  double x = t * lvkernels::kFullStep;
  x *= x;
  if (x >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::floor(x));
}

bool validGeometry(const uint32_t* pixels, int width, int height, ptrdiff_t strideBytes) {
  if (width < 0 || height < 0) return false;
  if (width == 0 || height == 0) return true;
  return pixels && strideBytes % 4 == 0 && strideBytes / 4 >= width;
}

#if defined(__SSE2__)
// Marks of 4 pixels at once, from saturating byte subtraction: a byte of
// subs(channel, k) is non-zero exactly when channel > k.
template <Step::Kind kind>
int pointRowOpaqueSse2(int32_t limit, uint32_t colour, uint32_t* row, int width) {
  if (kind == Step::Highlight ? limit > 255 : limit < 0) return width;  // marks nothing
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i paint = _mm_set1_epi32(static_cast<int>(colour));
  // Highlight: some channel > limit - 1; shadow: no channel > limit.
  const __m128i k = _mm_set1_epi8(static_cast<char>(kind == Step::Highlight ? (limit > 0 ? limit - 1 : 0) : limit));
  const bool all = kind == Step::Highlight && limit == 0;
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    __m128i over = _mm_and_si128(_mm_subs_epu8(p, k), rgb);
    __m128i none = _mm_cmpeq_epi32(over, _mm_setzero_si128());
    __m128i hit = kind == Step::Highlight ? (all ? _mm_cmpeq_epi32(none, none) : _mm_andnot_si128(none, _mm_cmpeq_epi32(none, none)))
                                          : none;
    __m128i painted = _mm_or_si128(_mm_and_si128(p, top), paint);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x),
                     _mm_or_si128(_mm_and_si128(hit, painted), _mm_andnot_si128(hit, p)));
  }
  return x;
}
#endif

// The default colours are opaque: the marked pixel takes the colour, a select. Blends
// take the general path.
template <Step::Kind kind>
void pointRow(const Step& s, uint32_t* row, int width) {
  const int32_t limit = s.limit;
  if (s.alpha == 255) {
    const uint32_t colour = s.red << 16 | s.green << 8 | s.blue;
    int x = 0;
#if defined(__SSE2__)
    x = pointRowOpaqueSse2<kind>(limit, colour, row, width);
#endif
    for (; x < width; ++x) {
      uint32_t p = row[x];
      int32_t m = lvkernels::maxChannel(p);
      bool hit = kind == Step::Highlight ? m >= limit : m <= limit;
      row[x] = hit ? (p & 0xFF000000u) | colour : p;
    }
    return;
  }
  const Step step = s;
  for (int x = 0; x < width; ++x) {
    uint32_t p = row[x];
    int32_t m = lvkernels::maxChannel(p);
    bool hit = kind == Step::Highlight ? m >= limit : m <= limit;
    if (hit) row[x] = lvkernels::blend(p, step);
  }
}

void lumaRow(const uint32_t* row, int32_t* luma, int width) {
  int x = 0;
#if defined(__SSE2__)
  // Bytes b, g, r, a widened to 16 bits; madd with (19, 183, 54, 0) gives 19b + 183g and
  // 54r per pixel, added across the pair.
  const __m128i weights = _mm_setr_epi16(19, 183, 54, 0, 19, 183, 54, 0);
  const __m128i zero = _mm_setzero_si128();
  for (; x + 4 <= width; x += 4) {
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(p, zero), weights);  // pixels 0, 1
    __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(p, zero), weights);  // pixels 2, 3
    // (lo0 lo1 lo2 lo3), (hi0 hi1 hi2 hi3) -> (lo0 + lo1, lo2 + lo3, hi0 + hi1, hi2 + hi3)
    __m128i even = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(2, 0, 2, 0)));
    __m128i odd = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(3, 1, 3, 1)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(luma + x), _mm_srli_epi32(_mm_add_epi32(even, odd), 6));
  }
#endif
  for (; x < width; ++x) luma[x] = lvkernels::luma(row[x]);
}

void gradientRow(const int32_t* up, const int32_t* mid, const int32_t* down, int32_t* out, int width) {
  out[0] = lvkernels::sobel(up, mid, down, 0, width);
  int x = 1;
#if defined(__SSE2__)
  // |gx|, |gy| <= 4080 fit 16 bits: interleaved, one madd gives gx² + gy².
  auto at = [](const int32_t* row, int i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)); };
  for (; x + 4 < width; x += 4) {
    __m128i ul = at(up, x - 1), uc = at(up, x), ur = at(up, x + 1);
    __m128i ml = at(mid, x - 1), mr = at(mid, x + 1);
    __m128i dl = at(down, x - 1), dc = at(down, x), dr = at(down, x + 1);
    __m128i right = _mm_add_epi32(_mm_add_epi32(ur, dr), _mm_slli_epi32(mr, 1));
    __m128i left = _mm_add_epi32(_mm_add_epi32(ul, dl), _mm_slli_epi32(ml, 1));
    __m128i below = _mm_add_epi32(_mm_add_epi32(dl, dr), _mm_slli_epi32(dc, 1));
    __m128i above = _mm_add_epi32(_mm_add_epi32(ul, ur), _mm_slli_epi32(uc, 1));
    __m128i gx = _mm_sub_epi32(right, left), gy = _mm_sub_epi32(below, above);
    __m128i g16 = _mm_packs_epi32(gx, gy);  // gx0..gx3, gy0..gy3
    __m128i pairs = _mm_unpacklo_epi16(g16, _mm_unpackhi_epi64(g16, g16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_madd_epi16(pairs, pairs));
  }
#endif
  for (; x + 1 < width; ++x) {
    int32_t gx = (up[x + 1] + 2 * mid[x + 1] + down[x + 1]) - (up[x - 1] + 2 * mid[x - 1] + down[x - 1]);
    int32_t gy = (down[x - 1] + 2 * down[x] + down[x + 1]) - (up[x - 1] + 2 * up[x] + up[x + 1]);
    out[x] = gx * gx + gy * gy;
  }
  if (width > 1) out[width - 1] = lvkernels::sobel(up, mid, down, width - 1, width);
}

void peakRow(const Step& s, const int32_t* gradient, const uint32_t* in, uint32_t* out, int width) {
  // A limit of -1 marks everything; gx² + gy² is never negative (at most 2 x 4080²).
  const int32_t limit = s.limit;
  if (s.alpha == 255) {
    const uint32_t colour = s.red << 16 | s.green << 8 | s.blue;
    for (int x = 0; x < width; ++x) {
      uint32_t p = in[x];
      out[x] = gradient[x] > limit ? (p & 0xFF000000u) | colour : p;
    }
    return;
  }
  const Step step = s;
  for (int x = 0; x < width; ++x) out[x] = gradient[x] > limit ? lvkernels::blend(in[x], step) : in[x];
}

}  // namespace

const std::vector<LiveViewFilterDefault>& liveViewFilterDefaults() {
  static const std::vector<LiveViewFilterDefault> defaults = {
      {kDefaultsHighlights, {std::string(kHighlightKernel), {1, 0, 0, 1}, 0.99}},
      {kDefaultsShadows, {std::string(kShadowKernel), {0, 0, 1, 1}, 0.001}},
      {kDefaultsFocusPeaking, {std::string(kFocusPeakingKernel), {1, 0, 0, 1}, 0.1}},
  };
  return defaults;
}

bool liveViewFilterRegistered(std::string_view name) {
  return name == kHighlightKernel || name == kShadowKernel || name == kFocusPeakingKernel;
}

bool liveViewFilterStep(const LiveViewFilterSpec& spec, Step& step) {
  if (spec.name == kHighlightKernel) {
    step.kind = Step::Highlight;
    step.limit = highlightLimit(spec.threshold);
  } else if (spec.name == kShadowKernel) {
    step.kind = Step::Shadow;
    step.limit = shadowLimit(spec.threshold);
  } else if (spec.name == kFocusPeakingKernel) {
    step.kind = Step::Peaking;
    step.limit = peakingLimit(spec.threshold);
  } else {
    return false;
  }
  step.red = toByte(spec.color.red);
  step.green = toByte(spec.color.green);
  step.blue = toByte(spec.color.blue);
  step.alpha = toByte(spec.color.alpha);
  return true;
}

void LiveViewFilterChain::runPointwise(size_t first, size_t last, uint32_t* row, int width) const {
  for (size_t i = first; i < last; ++i) {
    if (steps_[i].kind == Step::Highlight)
      pointRow<Step::Highlight>(steps_[i], row, width);
    else
      pointRow<Step::Shadow>(steps_[i], row, width);
  }
}

// One pass over the picture for the peaking step at `peak`: each row gets the pointwise
// steps [passStart, peak) as it enters the 3-row window, and the steps (peak, passEnd)
// after the peaking step has written it back. A row is written back only after the row
// below it has been read into the window, so the kernel sees no pixel it painted.
void LiveViewFilterChain::runPeakingPass(size_t passStart, size_t peak, size_t passEnd, uint32_t* pixels,
                                         int width, int height, ptrdiff_t stride) {
  size_t w = static_cast<size_t>(width);
  auto rowAt = [&](int y) { return pixels + y * stride; };
  auto prepare = [&](int y) {
    uint32_t* slot = windowPixels_.data() + static_cast<size_t>(y % 3) * w;
    std::copy(rowAt(y), rowAt(y) + w, slot);
    runPointwise(passStart, peak, slot, width);
    lumaRow(slot, windowLuma_.data() + static_cast<size_t>(y % 3) * w, width);
  };
  auto luma = [&](int y) { return windowLuma_.data() + static_cast<size_t>(y % 3) * w; };
  prepare(0);
  if (height > 1) prepare(1);
  for (int y = 0; y < height; ++y) {
    if (y >= 1 && y + 1 < height) prepare(y + 1);
    const int32_t* up = luma(y > 0 ? y - 1 : 0);
    const int32_t* down = luma(y + 1 < height ? y + 1 : y);
    gradientRow(up, luma(y), down, gradient_.data(), width);
    peakRow(steps_[peak], gradient_.data(), windowPixels_.data() + static_cast<size_t>(y % 3) * w, rowAt(y),
            width);
    runPointwise(peak + 1, passEnd, rowAt(y), width);
  }
}

bool LiveViewFilterChain::apply(const std::vector<LiveViewFilterSpec>& filters, uint32_t* pixels, int width,
                                int height, ptrdiff_t strideBytes) {
  steps_.clear();
  bool peaking = false;
  for (const LiveViewFilterSpec& spec : filters) {
    Step step;
    if (!liveViewFilterStep(spec, step)) return false;
    try {
      steps_.push_back(step);
    } catch (const std::bad_alloc&) {
      return false;
    }
    peaking = peaking || step.kind == Step::Peaking;
  }
  if (!validGeometry(pixels, width, height, strideBytes)) return false;
  if (width == 0 || height == 0 || steps_.empty()) return true;
  ptrdiff_t stride = strideBytes / 4;
  size_t w = static_cast<size_t>(width);
  if (!peaking) {
    for (int y = 0; y < height; ++y) runPointwise(0, steps_.size(), pixels + y * stride, width);
    return true;
  }
  try {
    if (windowPixels_.size() < 3 * w) {
      windowPixels_.resize(3 * w);
      windowLuma_.resize(3 * w);
      gradient_.resize(w);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  // A pass per peaking step: the pointwise steps before it ride along as rows enter its
  // window; those after the last one as rows leave it.
  size_t passStart = 0;
  for (size_t i = 0; i < steps_.size(); ++i) {
    if (steps_[i].kind != Step::Peaking) continue;
    size_t next = i + 1;
    while (next < steps_.size() && steps_[next].kind != Step::Peaking) ++next;
    size_t passEnd = next == steps_.size() ? next : i + 1;
    runPeakingPass(passStart, i, passEnd, pixels, width, height, stride);
    passStart = i + 1;
  }
  return true;
}
