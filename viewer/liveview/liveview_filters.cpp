#include "viewer/liveview/liveview_filters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using Kernel = void (*)(const LiveViewFilterSpec&, uint32_t*, int, int, ptrdiff_t, std::vector<uint8_t>&);

uint32_t packColor(const LiveViewFilterColor& c) {
  auto channel = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return 0xFF000000u | channel(c.red) << 16 | channel(c.green) << 8 | channel(c.blue);
}

// A pixel over the marking colour by its alpha.
uint32_t blend(uint32_t pixel, uint32_t color, double alpha) {
  if (alpha >= 1) return color;
  const int a = int(std::lround(std::clamp(alpha, 0.0, 1.0) * 256));
  auto mix = [&](int shift) {
    const int p = int(pixel >> shift & 0xFF), c = int(color >> shift & 0xFF);
    return uint32_t((p * (256 - a) + c * a) >> 8) << shift;
  };
  return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

uint32_t* row(uint32_t* pixels, ptrdiff_t stride, int y) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) + stride * y);
}

int brightest(uint32_t p) { return std::max({int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)}); }

// Any channel at or above the threshold: clipped highlights.
void highlights(const LiveViewFilterSpec& f, uint32_t* pixels, int w, int h, ptrdiff_t stride, std::vector<uint8_t>&) {
  const double limit = f.threshold * 255;
  const uint32_t color = packColor(f.color);
  for (int y = 0; y < h; ++y) {
    uint32_t* line = row(pixels, stride, y);
    for (int x = 0; x < w; ++x)
      if (brightest(line[x]) >= limit) line[x] = blend(line[x], color, f.color.alpha);
  }
}

// Every channel at or below the threshold: crushed shadows.
void shadows(const LiveViewFilterSpec& f, uint32_t* pixels, int w, int h, ptrdiff_t stride, std::vector<uint8_t>&) {
  const double limit = f.threshold * 255;
  const uint32_t color = packColor(f.color);
  for (int y = 0; y < h; ++y) {
    uint32_t* line = row(pixels, stride, y);
    for (int x = 0; x < w; ++x)
      if (brightest(line[x]) <= limit) line[x] = blend(line[x], color, f.color.alpha);
  }
}

// A luma step to the right or below larger than the threshold: an edge in focus.
void peaking(const LiveViewFilterSpec& f, uint32_t* pixels, int w, int h, ptrdiff_t stride,
             std::vector<uint8_t>& luma) {
  luma.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    const uint32_t* line = row(pixels, stride, y);
    uint8_t* out = luma.data() + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = line[x];
      out[x] = uint8_t((int(p >> 16 & 0xFF) * 77 + int(p >> 8 & 0xFF) * 150 + int(p & 0xFF) * 29) >> 8);
    }
  }
  const int limit = int(std::lround(f.threshold * 255));
  const uint32_t color = packColor(f.color);
  for (int y = 0; y + 1 < h; ++y) {
    uint32_t* line = row(pixels, stride, y);
    const uint8_t* l = luma.data() + size_t(y) * size_t(w);
    const uint8_t* below = l + w;
    for (int x = 0; x + 1 < w; ++x) {
      const int g = std::abs(l[x + 1] - l[x]) + std::abs(below[x] - l[x]);
      if (g > limit) line[x] = blend(line[x], color, f.color.alpha);
    }
  }
}

struct Registered {
  std::string_view name;
  Kernel kernel;
};
constexpr Registered kKernels[] = {
    {"HighlightKernel", highlights},
    {"ShadowKernel", shadows},
    {"FocusPeakingKernel", peaking},
};

Kernel find(std::string_view name) {
  for (const Registered& r : kKernels)
    if (r.name == name) return r.kernel;
  return nullptr;
}

}  // namespace

const std::vector<LiveViewFilterDefault>& liveViewFilterDefaults() {
  static const std::vector<LiveViewFilterDefault> table = {
      {"Highlights", {"HighlightKernel", {1, 0, 0, 1}, 0.99}},
      {"Shadows", {"ShadowKernel", {0, 0, 1, 1}, 0.001}},
      {"FocusPeaking", {"FocusPeakingKernel", {1, 0, 0, 1}, 0.1}},
  };
  return table;
}

bool liveViewFilterRegistered(std::string_view name) { return find(name) != nullptr; }

bool LiveViewFilterChain::apply(const std::vector<LiveViewFilterSpec>& filters, uint32_t* pixels, int width,
                                int height, ptrdiff_t strideBytes) {
  for (const LiveViewFilterSpec& f : filters) {
    const Kernel k = find(f.name);
    if (!k) return false;
    if (pixels && width > 0 && height > 0) k(f, pixels, width, height, strideBytes, luma_);
  }
  return true;
}
