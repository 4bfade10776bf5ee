// The shadow blur skips empty stretches; it must still equal a plain Gaussian.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/graphics/blur.h"

namespace {

// A direct 2-D Gaussian with the same radius and normalisation, edges empty.
std::vector<float> reference(const std::vector<float>& in, int w, int h, double sigma) {
  const int r = gaussianRadius(sigma);
  std::vector<double> k(2 * r + 1);
  double sum = 0;
  for (int i = -r; i <= r; ++i) sum += k[i + r] = std::exp(-(i * i) / (2 * sigma * sigma));
  for (double& v : k) v /= sum;
  std::vector<float> out(in.size(), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double acc = 0;
      for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i) {
          const int xx = x + i, yy = y + j;
          if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
          acc += k[i + r] * k[j + r] * in[static_cast<size_t>(yy) * w + xx];
        }
      out[static_cast<size_t>(y) * w + x] = static_cast<float>(acc);
    }
  return out;
}

}  // namespace

TEST(GraphicsBlur, SparseMasksBlurLikeAPlainGaussian) {
  struct Case {
    const char* name;
    int w, h;
    double sigma;
    double density;
  };
  std::mt19937 rng(7);
  for (const Case& c : {Case{"ring-like sparse", 60, 40, 2.0, 0.02}, Case{"dense", 30, 30, 1.5, 0.8},
                        Case{"single pixel at the edge", 25, 25, 3.0, 0.0}, Case{"wide sigma", 40, 20, 5.0, 0.05}}) {
    std::vector<float> mask(static_cast<size_t>(c.w) * c.h, 0);
    std::uniform_real_distribution<double> u(0, 1);
    for (float& v : mask)
      if (u(rng) < c.density) v = static_cast<float>(u(rng));
    mask[0] = 1;  // a corner pixel: the kernel runs off two edges
    const std::vector<float> want = reference(mask, c.w, c.h, c.sigma);
    std::vector<float> got = mask;
    gaussianBlur(got, c.w, c.h, c.sigma);
    for (size_t i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], 1e-5) << c.name << " at " << i;
  }
}

TEST(GraphicsBlur, ZeroSigmaLeavesTheMaskAlone) {
  std::vector<float> mask = {0, 1, 0.5f, 0};
  gaussianBlur(mask, 2, 2, 0);
  EXPECT_EQ(mask, (std::vector<float>{0, 1, 0.5f, 0}));
}
