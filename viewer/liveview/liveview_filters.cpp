#include "viewer/liveview/liveview_filters.h"

#include <cmath>
#include <limits>
#include <new>

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

template <Step::Kind kind>
void pointRow(const Step& s, uint32_t* row, int width) {
  for (int x = 0; x < width; ++x) {
    uint32_t p = row[x];
    int32_t m = lvkernels::maxChannel(p);
    bool hit = kind == Step::Highlight ? m >= s.limit : m <= s.limit;
    uint32_t q = lvkernels::blend(p, s);
    row[x] = hit ? q : p;
  }
}

void lumaRow(const uint32_t* row, int32_t* luma, int width) {
  for (int x = 0; x < width; ++x) luma[x] = lvkernels::luma(row[x]);
}

void gradientRow(const int32_t* up, const int32_t* mid, const int32_t* down, uint32_t* out, int width) {
  out[0] = static_cast<uint32_t>(lvkernels::sobel(up, mid, down, 0, width));
  for (int x = 1; x + 1 < width; ++x) {
    int32_t gx = (up[x + 1] + 2 * mid[x + 1] + down[x + 1]) - (up[x - 1] + 2 * mid[x - 1] + down[x - 1]);
    int32_t gy = (down[x - 1] + 2 * down[x] + down[x + 1]) - (up[x - 1] + 2 * up[x] + up[x + 1]);
    out[x] = static_cast<uint32_t>(gx * gx + gy * gy);
  }
  if (width > 1) out[width - 1] = static_cast<uint32_t>(lvkernels::sobel(up, mid, down, width - 1, width));
}

void peakRow(const Step& s, const uint32_t* gradient, const uint32_t* in, uint32_t* out, int width) {
  // A limit of -1 marks everything; gx² + gy² is never negative.
  int64_t limit = s.limit;
  for (int x = 0; x < width; ++x) {
    uint32_t p = in[x];
    uint32_t q = lvkernels::blend(p, s);
    out[x] = int64_t{gradient[x]} > limit ? q : p;
  }
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
