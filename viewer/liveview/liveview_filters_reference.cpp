#include <vector>

#include "viewer/liveview/liveview_filter_kernels.h"
#include "viewer/liveview/liveview_filters.h"

bool liveViewFiltersReference(const std::vector<LiveViewFilterSpec>& filters, uint32_t* pixels, int width,
                              int height, ptrdiff_t strideBytes) {
  std::vector<LiveViewFilterChain::Step> steps;
  for (const LiveViewFilterSpec& spec : filters) {
    LiveViewFilterChain::Step step;
    if (!liveViewFilterStep(spec, step)) return false;
    steps.push_back(step);
  }
  if (width < 0 || height < 0) return false;
  if (width == 0 || height == 0) return true;
  if (!pixels || strideBytes % 4 != 0 || strideBytes / 4 < width) return false;
  ptrdiff_t stride = strideBytes / 4;
  auto at = [&](int x, int y) -> uint32_t& { return pixels[y * stride + x]; };
  for (const auto& s : steps) {
    if (s.kind != LiveViewFilterChain::Step::Peaking) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if (lvkernels::marksPoint(s, at(x, y))) at(x, y) = lvkernels::blend(at(x, y), s);
      continue;
    }
    std::vector<uint32_t> before;
    std::vector<int32_t> luma;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        before.push_back(at(x, y));
        luma.push_back(lvkernels::luma(at(x, y)));
      }
    auto row = [&](int y) { return luma.data() + static_cast<size_t>(std::clamp(y, 0, height - 1)) * width; };
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int32_t s2 = lvkernels::sobel(row(y - 1), row(y), row(y + 1), x, width);
        uint32_t p = before[static_cast<size_t>(y) * width + x];
        at(x, y) = s2 > s.limit ? lvkernels::blend(p, s) : p;
      }
  }
  return true;
}
