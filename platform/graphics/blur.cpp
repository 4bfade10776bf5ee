#include "platform/graphics/blur.h"

#include <algorithm>
#include <cmath>
#include <utility>

int gaussianRadius(double sigma) {
  if (sigma <= 0) return 0;
  return static_cast<int>(std::ceil(3.0 * sigma));
}

namespace {

std::vector<float> kernel(double sigma, int radius) {
  std::vector<float> k(2 * radius + 1);
  double sum = 0;
  for (int i = -radius; i <= radius; ++i) {
    const double w = std::exp(-(i * i) / (2.0 * sigma * sigma));
    k[i + radius] = static_cast<float>(w);
    sum += w;
  }
  for (float& w : k) w = static_cast<float>(w / sum);
  return k;
}

// One pass along `count` lines of `length` samples (`step` apart, lines `lineStep` apart).
// Only samples within `radius` of a painted one can become non-zero, so the pass visits
// just those stretches: thin strokes and rings in a large box cost little.
void pass(const std::vector<float>& in, std::vector<float>& out, int count, int length, int step,
          int lineStep, const std::vector<float>& k, int radius) {
  std::vector<std::pair<int, int>> spans;
  for (int line = 0; line < count; ++line) {
    const float* src = in.data() + static_cast<size_t>(line) * lineStep;
    float* dst = out.data() + static_cast<size_t>(line) * lineStep;
    spans.clear();
    for (int i = 0; i < length; ++i) {
      dst[static_cast<size_t>(i) * step] = 0.0f;
      if (src[static_cast<size_t>(i) * step] == 0.0f) continue;
      const int from = std::max(0, i - radius), to = std::min(length - 1, i + radius);
      if (!spans.empty() && from <= spans.back().second + 1)
        spans.back().second = to;
      else
        spans.emplace_back(from, to);
    }
    for (const auto& [from, to] : spans) {
      for (int i = from; i <= to; ++i) {
        const int lo = std::max(0, radius - i);
        const int hi = std::min(2 * radius, length - 1 - i + radius);
        float acc = 0;
        for (int j = lo; j <= hi; ++j) acc += k[j] * src[static_cast<size_t>(i - radius + j) * step];
        dst[static_cast<size_t>(i) * step] = acc;
      }
    }
  }
}


// The vertical pass row by row, so that memory is read in order: each output row is the
// weighted sum of the input rows around it, over the columns those rows have painted.
void verticalPass(const std::vector<float>& in, std::vector<float>& out, int width, int height,
                  const std::vector<float>& k, int radius) {
  std::vector<std::pair<int, int>> painted(height, {-1, -1});
  for (int y = 0; y < height; ++y) {
    const float* row = in.data() + static_cast<size_t>(y) * width;
    int first = 0;
    while (first < width && row[first] == 0.0f) ++first;
    if (first == width) continue;
    int last = width - 1;
    while (row[last] == 0.0f) --last;
    painted[y] = {first, last};
  }
  std::fill(out.begin(), out.end(), 0.0f);
  for (int y = 0; y < height; ++y) {
    float* dst = out.data() + static_cast<size_t>(y) * width;
    for (int j = 0; j <= 2 * radius; ++j) {
      const int yy = y - radius + j;
      if (yy < 0 || yy >= height || painted[yy].first < 0) continue;
      const float* src = in.data() + static_cast<size_t>(yy) * width;
      const float w = k[j];
      for (int x = painted[yy].first; x <= painted[yy].second; ++x) dst[x] += w * src[x];
    }
  }
}

}  // namespace

void gaussianBlur(std::vector<float>& values, int width, int height, double sigma) {
  const int radius = gaussianRadius(sigma);
  if (radius == 0 || width <= 0 || height <= 0) return;
  const std::vector<float> k = kernel(sigma, radius);
  std::vector<float> tmp(values.size());
  pass(values, tmp, height, width, 1, width, k, radius);
  verticalPass(tmp, values, width, height, k, radius);
}
