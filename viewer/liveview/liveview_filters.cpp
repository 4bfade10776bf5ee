#include "viewer/liveview/liveview_filters.h"

#include <cmath>
#include <limits>
#include <new>

#include "platform/defaults_keys.h"
#include "viewer/liveview/liveview_filter_kernels.h"
#include "viewer/liveview/liveview_filters_rows.h"

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

// One pass over the picture for the peaking step at `peak`: each row gets the pointwise
// steps [passStart, peak) as it enters the 3-row window, and the steps (peak, passEnd)
// after the peaking step has written it back. A row is written back only after the row
// below it has been read into the window, so the kernel sees no pixel it painted.
void LiveViewFilterChain::runPeakingPass(size_t passStart, size_t peak, size_t passEnd, uint32_t* pixels,
                                         int width, int height, ptrdiff_t stride) {
  const size_t w = static_cast<size_t>(width);
  auto rowAt = [&](int y) { return pixels + y * stride; };
  auto slot = [&](int y) { return windowPixels_.data() + static_cast<size_t>(y % 3) * w; };
  auto luma = [&](int y) { return windowLuma_.data() + static_cast<size_t>(y % 3) * w; };
  auto prepare = [&](int y) { lvrows::pointRow(&steps_[passStart], peak - passStart, rowAt(y), slot(y), luma(y), width); };
  prepare(0);
  if (height > 1) prepare(1);
  for (int y = 0; y < height; ++y) {
    if (y >= 1 && y + 1 < height) prepare(y + 1);
    lvrows::peakRow(steps_[peak], luma(y > 0 ? y - 1 : 0), luma(y), luma(y + 1 < height ? y + 1 : y), slot(y),
                    rowAt(y), width);
    if (passEnd > peak + 1)
      lvrows::pointRow(&steps_[peak + 1], passEnd - peak - 1, rowAt(y), rowAt(y), nullptr, width);
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
    for (int y = 0; y < height; ++y) {
      uint32_t* row = pixels + y * stride;
      lvrows::pointRow(steps_.data(), steps_.size(), row, row, nullptr, width);
    }
    return true;
  }
  try {
    if (windowPixels_.size() < 3 * w) {
      windowPixels_.resize(3 * w);
      windowLuma_.resize(3 * w);
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
