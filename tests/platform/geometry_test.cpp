// The aspect fit shared by the image views and the live-view overlay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/geometry.h"

namespace {

constexpr qreal kInf = std::numeric_limits<qreal>::infinity();
constexpr qreal kNaN = std::numeric_limits<qreal>::quiet_NaN();

// Equal to a few parts in 1e12 of the larger magnitude; exact at zero and for infinities.
bool near(qreal a, qreal b) {
  if (a == b) return true;
  if (!std::isfinite(a) || !std::isfinite(b)) return false;
  return std::abs(a - b) <= 1e-12 * std::max(std::abs(a), std::abs(b));
}
bool near(const QRectF& a, const QRectF& b) {
  return near(a.x(), b.x()) && near(a.y(), b.y()) && near(a.width(), b.width()) && near(a.height(), b.height());
}

}  // namespace

TEST(Geometry, AspectFitRect) {
  struct Case {
    const char* what;
    QSizeF content, bounds;
    QRectF expected;
  };
  const QRectF none(0, 0, 0, 0);
  const Case cases[] = {
      {"wide into square: full width, centred up and down", {400, 200}, {200, 200}, {0, 50, 200, 100}},
      {"tall into wide: full height, centred across", {100, 400}, {800, 600}, {325, 0, 150, 600}},
      {"same aspect grows to fill", {40, 30}, {800, 600}, {0, 0, 800, 600}},
      {"large image shrinks", {4000, 2000}, {800, 600}, {0, 100, 800, 400}},
      {"fractional bounds", {3, 2}, {10.5, 3.5}, {2.625, 0, 5.25, 3.5}},
      {"zero-wide image", {0, 10}, {800, 600}, none},
      {"zero-high image", {10, 0}, {800, 600}, none},
      {"zero-wide bounds", {400, 300}, {0, 600}, none},
      {"zero-high bounds", {400, 300}, {800, 0}, none},
      {"an invalid size, as a missing view gives", {400, 300}, QSizeF(), none},
      {"negative image", {-400, 300}, {800, 600}, none},
      {"negative image both ways", {-400, -300}, {800, 600}, none},
      {"negative bounds", {400, 300}, {-800, 600}, none},
      {"NaN image", {kNaN, 300}, {800, 600}, none},
      {"infinite bounds", {400, 300}, {kInf, 600}, none},
      {"huge image into small bounds", {1e300, 1e300}, {100, 50}, {25, 0, 50, 50}},
      {"small image into huge bounds", {3, 2}, {3e300, 1e300}, {0.75e300, 0, 1.5e300, 1e300}},
      {"a fitted size past the largest double", {1e-300, 1e-300}, {1e300, 1e300}, none},
  };
  for (const Case& c : cases) {
    const QRectF got = Geometry::aspectFitRect(c.content, c.bounds);
    EXPECT_TRUE(near(got, c.expected)) << c.what << ": got " << got.x() << ", " << got.y() << ", " << got.width()
                                       << " x " << got.height();
  }
}
