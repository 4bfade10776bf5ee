#include "viewer/liveview/liveview_filters_rows.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LV_X86 1
#endif

#include "viewer/liveview/liveview_filter_kernels.h"

namespace lvrows {
namespace {

using Step = LiveViewFilterChain::Step;

uint32_t pointPixel(const Step* steps, size_t count, uint32_t p) {
  for (size_t i = 0; i < count; ++i)
    if (lvkernels::marksPoint(steps[i], p)) p = lvkernels::blend(p, steps[i]);
  return p;
}

// Each pixel in turn, any colour: the blends, the ends of rows, machines without vectors.
void pointPixels(const Step* steps, size_t count, const uint32_t* in, uint32_t* out, Luma* luma, int from,
                 int width) {
  for (int x = from; x < width; ++x) {
    const uint32_t p = pointPixel(steps, count, in[x]);
    out[x] = p;
    if (luma) luma[x] = static_cast<Luma>(lvkernels::luma(p));
  }
}

void peakPixels(const Step& s, const Luma* up, const Luma* mid, const Luma* down, const uint32_t* in, uint32_t* out,
                int from, int to, int width) {
  for (int x = from; x < to; ++x)
    out[x] = lvkernels::sobel(up, mid, down, x, width) > s.limit ? lvkernels::blend(in[x], s) : in[x];
}

bool opaque(const Step* steps, size_t count) {
  return std::all_of(steps, steps + count, [](const Step& s) { return s.alpha == 255; });
}

// What a highlight or shadow step compares, as byte lanes: a byte of subs(channel, k) is
// non-zero exactly when channel > k. A highlight marks where some channel > limit - 1, a
// shadow where none > limit; `flip` turns "none" into "some"; a step that marks every
// pixel looks at no channel (mask 0); one that marks none is left out.
struct PointLanes {
  uint8_t k;
  uint32_t mask, flip, paint;
};

size_t pointLanes(const Step* steps, size_t count, PointLanes* lanes) {
  size_t n = 0;
  for (size_t i = 0; i < count; ++i) {
    const Step& s = steps[i];
    PointLanes l{0, 0x00FFFFFFu, 0, s.red << 16 | s.green << 8 | s.blue};
    if (s.kind == Step::Highlight) {
      if (s.limit > 255) continue;
      if (s.limit <= 0) l.mask = 0;
      else l.k = static_cast<uint8_t>(s.limit - 1), l.flip = 0xFFFFFFFFu;
    } else {
      if (s.limit < 0) continue;
      l.k = static_cast<uint8_t>(std::min(s.limit, 255));
    }
    lanes[n++] = l;
  }
  return n;
}

constexpr size_t kLanesAtOnce = 8;

#if LV_X86
// ---- 4 pixels a vector (SSE2, every x86-64)

inline __m128i lumaSse2(__m128i p) {
  // Bytes b, g, r, a widened to 16 bits; madd with (19, 183, 54, 0) gives 19b + 183g and
  // 54r per pixel, added across the pair.
  const __m128i weights = _mm_setr_epi16(19, 183, 54, 0, 19, 183, 54, 0), zero = _mm_setzero_si128();
  const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(p, zero), weights);  // pixels 0, 1
  const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(p, zero), weights);  // pixels 2, 3
  const __m128 l = _mm_castsi128_ps(lo), h = _mm_castsi128_ps(hi);
  const __m128i even = _mm_castps_si128(_mm_shuffle_ps(l, h, _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(l, h, _MM_SHUFFLE(3, 1, 3, 1)));
  return _mm_srli_epi32(_mm_add_epi32(even, odd), 6);
}

struct PointSse2 {
  __m128i k, mask, flip, paint;
};

inline __m128i markSse2(const PointSse2& l, __m128i p) {
  const __m128i top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i none = _mm_cmpeq_epi32(_mm_and_si128(_mm_subs_epu8(p, l.k), l.mask), _mm_setzero_si128());
  const __m128i hit = _mm_xor_si128(none, l.flip);
  return _mm_or_si128(_mm_and_si128(hit, _mm_or_si128(_mm_and_si128(p, top), l.paint)), _mm_andnot_si128(hit, p));
}

int pointRowSse2(const PointLanes* lanes, size_t n, const uint32_t* in, uint32_t* out, Luma* luma, int width) {
  PointSse2 v[kLanesAtOnce];
  for (size_t i = 0; i < n; ++i)
    v[i] = {_mm_set1_epi8(static_cast<char>(lanes[i].k)), _mm_set1_epi32(static_cast<int>(lanes[i].mask)),
            _mm_set1_epi32(static_cast<int>(lanes[i].flip)), _mm_set1_epi32(static_cast<int>(lanes[i].paint))};
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + 4));
    for (size_t i = 0; i < n; ++i) {
      a = markSse2(v[i], a);
      b = markSse2(v[i], b);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), b);
    if (luma) _mm_storeu_si128(reinterpret_cast<__m128i*>(luma + x), _mm_packs_epi32(lumaSse2(a), lumaSse2(b)));
  }
  return x;
}

// gx and gy of 8 pixels from x on, in 16 bits (each at most 4 x 1020 either way).
inline void gradientSse2(const Luma* up, const Luma* mid, const Luma* down, int x, __m128i& gx, __m128i& gy) {
  auto at = [](const Luma* row, int i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)); };
  const __m128i ul = at(up, x - 1), uc = at(up, x), ur = at(up, x + 1);
  const __m128i ml = at(mid, x - 1), mr = at(mid, x + 1);
  const __m128i dl = at(down, x - 1), dc = at(down, x), dr = at(down, x + 1);
  gx = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(ur, dr), _mm_slli_epi16(mr, 1)),
                     _mm_add_epi16(_mm_add_epi16(ul, dl), _mm_slli_epi16(ml, 1)));
  gy = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(dl, dr), _mm_slli_epi16(dc, 1)),
                     _mm_add_epi16(_mm_add_epi16(ul, ur), _mm_slli_epi16(uc, 1)));
}

// Columns [1, returned) of an opaque peaking step.
int peakRowSse2(const Step& s, const Luma* up, const Luma* mid, const Luma* down, const uint32_t* in, uint32_t* out,
                int width) {
  const __m128i limit = _mm_set1_epi32(s.limit), top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i paint = _mm_set1_epi32(static_cast<int>(s.red << 16 | s.green << 8 | s.blue));
  int x = 1;
  for (; x + 8 < width; x += 8) {  // reads up to x + 8, the last column being width - 1
    __m128i gx, gy;
    gradientSse2(up, mid, down, x, gx, gy);
    const __m128i lo = _mm_unpacklo_epi16(gx, gy), hi = _mm_unpackhi_epi16(gx, gy);
    const __m128i g[2] = {_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi)};  // gx² + gy², 4 + 4
    for (int h = 0; h < 2; ++h) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + 4 * h));
      const __m128i hit = _mm_cmpgt_epi32(g[h], limit);
      const __m128i marked = _mm_or_si128(_mm_and_si128(p, top), paint);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4 * h),
                       _mm_or_si128(_mm_and_si128(hit, marked), _mm_andnot_si128(hit, p)));
    }
  }
  return x;
}

// ---- 8 pixels a vector (AVX2, where the processor has it)

__attribute__((target("avx2"))) inline __m256i lumaAvx2(__m256i p) {
  const __m256i weights = _mm256_setr_epi16(19, 183, 54, 0, 19, 183, 54, 0, 19, 183, 54, 0, 19, 183, 54, 0);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi8(p, zero), weights);  // pixels 0, 1 | 4, 5
  const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi8(p, zero), weights);  // pixels 2, 3 | 6, 7
  const __m256 l = _mm256_castsi256_ps(lo), h = _mm256_castsi256_ps(hi);
  const __m256i even = _mm256_castps_si256(_mm256_shuffle_ps(l, h, _MM_SHUFFLE(2, 0, 2, 0)));
  const __m256i odd = _mm256_castps_si256(_mm256_shuffle_ps(l, h, _MM_SHUFFLE(3, 1, 3, 1)));
  return _mm256_srli_epi32(_mm256_add_epi32(even, odd), 6);
}

struct PointAvx2 {
  __m256i k, mask, flip, paint;
};

__attribute__((target("avx2"))) inline __m256i markAvx2(const PointAvx2& l, __m256i p) {
  const __m256i top = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i none =
      _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_subs_epu8(p, l.k), l.mask), _mm256_setzero_si256());
  const __m256i hit = _mm256_xor_si256(none, l.flip);
  return _mm256_blendv_epi8(p, _mm256_or_si256(_mm256_and_si256(p, top), l.paint), hit);
}

__attribute__((target("avx2"))) int pointRowAvx2(const PointLanes* lanes, size_t n, const uint32_t* in,
                                                 uint32_t* out, Luma* luma, int width) {
  PointAvx2 v[kLanesAtOnce];
  for (size_t i = 0; i < n; ++i)
    v[i] = {_mm256_set1_epi8(static_cast<char>(lanes[i].k)), _mm256_set1_epi32(static_cast<int>(lanes[i].mask)),
            _mm256_set1_epi32(static_cast<int>(lanes[i].flip)), _mm256_set1_epi32(static_cast<int>(lanes[i].paint))};
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x + 8));
    for (size_t i = 0; i < n; ++i) {
      a = markAvx2(v[i], a);
      b = markAvx2(v[i], b);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), a);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x + 8), b);
    if (luma) {
      // The pack works within 128-bit halves: 0-3 8-11 4-7 12-15, put back in order.
      const __m256i packed = _mm256_packs_epi32(lumaAvx2(a), lumaAvx2(b));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(luma + x), _mm256_permute4x64_epi64(packed, 0xD8));
    }
  }
  return x;
}

__attribute__((target("avx2"))) inline __m256i at(const Luma* row, int i) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
}

__attribute__((target("avx2"))) int peakRowAvx2(const Step& s, const Luma* up, const Luma* mid, const Luma* down,
                                                const uint32_t* in, uint32_t* out, int width) {
  const __m256i limit = _mm256_set1_epi32(s.limit), top = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i paint = _mm256_set1_epi32(static_cast<int>(s.red << 16 | s.green << 8 | s.blue));
  int x = 1;
  for (; x + 16 < width; x += 16) {  // reads up to x + 16, the last column being width - 1
    const __m256i ul = at(up, x - 1), uc = at(up, x), ur = at(up, x + 1);
    const __m256i ml = at(mid, x - 1), mr = at(mid, x + 1);
    const __m256i dl = at(down, x - 1), dc = at(down, x), dr = at(down, x + 1);
    const __m256i gx = _mm256_sub_epi16(_mm256_add_epi16(_mm256_add_epi16(ur, dr), _mm256_slli_epi16(mr, 1)),
                                        _mm256_add_epi16(_mm256_add_epi16(ul, dl), _mm256_slli_epi16(ml, 1)));
    const __m256i gy = _mm256_sub_epi16(_mm256_add_epi16(_mm256_add_epi16(dl, dr), _mm256_slli_epi16(dc, 1)),
                                        _mm256_add_epi16(_mm256_add_epi16(ul, ur), _mm256_slli_epi16(uc, 1)));
    // Interleaving works within halves: lo holds pixels 0-3 | 8-11, hi 4-7 | 12-15.
    const __m256i lo = _mm256_unpacklo_epi16(gx, gy), hi = _mm256_unpackhi_epi16(gx, gy);
    const __m256i g2lo = _mm256_madd_epi16(lo, lo), g2hi = _mm256_madd_epi16(hi, hi);
    const __m256i g[2] = {_mm256_permute2x128_si256(g2lo, g2hi, 0x20), _mm256_permute2x128_si256(g2lo, g2hi, 0x31)};
    for (int h = 0; h < 2; ++h) {
      const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x + 8 * h));
      const __m256i hit = _mm256_cmpgt_epi32(g[h], limit);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x + 8 * h),
                          _mm256_blendv_epi8(p, _mm256_or_si256(_mm256_and_si256(p, top), paint), hit));
    }
  }
  return x;
}

bool processorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

std::atomic<bool> useAvx2{processorHasAvx2()};

bool hasAvx2() { return useAvx2.load(std::memory_order_relaxed); }
#endif

}  // namespace

void pointRow(const Step* steps, size_t count, const uint32_t* in, uint32_t* out, Luma* luma, int width) {
  if (!opaque(steps, count)) {
    pointPixels(steps, count, in, out, luma, 0, width);
    return;
  }
  // The vector paths take up to kLanesAtOnce steps a row; a longer chain goes on in place.
  size_t done = 0;
  do {
    PointLanes lanes[kLanesAtOnce];
    const size_t take = std::min(count - done, kLanesAtOnce);
    const size_t n = pointLanes(steps + done, take, lanes);
    const bool last = done + take == count;
    Luma* rowLuma = last ? luma : nullptr;
    int x = 0;
    if (n == 0 && in == out && !rowLuma) {
      x = width;  // in place, marking nothing and no luma wanted: nothing to do
    } else {
#if LV_X86
      x = hasAvx2() ? pointRowAvx2(lanes, n, in, out, rowLuma, width) : pointRowSse2(lanes, n, in, out, rowLuma, width);
#endif
    }
    pointPixels(steps + done, take, in, out, rowLuma, x, width);
    in = out;
    done += take;
  } while (done < count);
}

void peakRow(const Step& s, const Luma* up, const Luma* mid, const Luma* down, const uint32_t* in, uint32_t* out,
             int width) {
  if (width <= 0) return;
  peakPixels(s, up, mid, down, in, out, 0, 1, width);
  int x = 1;
#if LV_X86
  if (s.alpha == 255)
    x = hasAvx2() ? peakRowAvx2(s, up, mid, down, in, out, width) : peakRowSse2(s, up, mid, down, in, out, width);
#endif
  peakPixels(s, up, mid, down, in, out, x, width, width);
}

bool useAvx2ForTesting(bool on) {
#if LV_X86
  const bool had = useAvx2.load();
  useAvx2.store(on && processorHasAvx2());
  return had;
#else
  (void)on;
  return false;
#endif
}

}  // namespace lvrows
