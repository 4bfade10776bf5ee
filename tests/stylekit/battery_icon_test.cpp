// The battery: colour threshold, the bar in context points, the hollow body, the bolt.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
bool isRed(QColor c) { return c.alpha() == 255 && c.red() == 255 && c.green() == 0 && c.blue() == 0; }
bool isGrey(QColor c) { return c.alpha() == 255 && c.red() == 200 && c.green() == 200 && c.blue() == 200; }
bool isGreen(QColor c) { return c.alpha() == 255 && c.red() == 0 && c.green() == 255 && c.blue() == 0; }
}  // namespace

TEST(BatteryIcon, TwentyPercentOrLessIsRedAboveIsGrey) {
  struct Case {
    qreal percentage;
    bool red;
  };
  for (const Case& c : {Case{0, true}, Case{20, true}, Case{20.01, false}, Case{100, false}, Case{-5, true},
                        Case{std::numeric_limits<qreal>::quiet_NaN(), false}}) {
    const QImage img = KorvalumeStyleKit::imageOfBatteryWithSize(QSizeF(100, 100), c.percentage, false).render(2);
    // The left wall, between x 4.806 and 8.806.
    const QColor wall = at(img, 6.8, 50);
    EXPECT_EQ(c.red ? isRed(wall) : isGrey(wall), true) << c.percentage;
    // The bar (from x 7, y 31 to 86, in points) is painted in the body's colour.
    if (c.percentage >= 10) {
      const QColor bar = at(img, 10, 50);
      EXPECT_EQ(c.red ? isRed(bar) : isGrey(bar), true) << c.percentage;
    }
  }
}

TEST(BatteryIcon, BarStaysAtItsPointsWhereverTheFrameGoes) {
  // The body far to the right, so the bar stands alone on the left of the canvas.
  for (qreal percentage : {0.0, 40.0, 100.0, 150.0}) {
    const QImage img = sktest::draw(400, 120, 2, [&](GraphicsContext& ctx) {
      KorvalumeStyleKit::drawBatteryWithFrame(ctx, QRectF(230.5, 10, 160, 100), percentage, false);
    });
    QImage left = img.copy(0, 0, 2 * 230, img.height());
    left.setDevicePixelRatio(2);
    const sktest::Extent bar = sktest::extent(left, [](QColor c) { return c.alpha() > 127; });
    if (percentage == 0) {
      EXPECT_TRUE(bar.empty());
      continue;
    }
    EXPECT_DOUBLE_EQ(bar.left, 7) << percentage;
    EXPECT_DOUBLE_EQ(bar.right, 7 + percentage) << percentage;
    EXPECT_DOUBLE_EQ(bar.bottom, 31) << percentage;
    EXPECT_DOUBLE_EQ(bar.top, 86) << percentage;
  }
}

TEST(BatteryIcon, BodyIsAWallAroundAnEmptyInside) {
  const BezierPath body = KorvalumeStyleKit::batteryBodyPath(QRectF(0, 0, 200, 100));
  const std::vector<qreal> areas = body.subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_GT(areas[0], 0);  // inside, counter-clockwise
  EXPECT_LT(areas[1], 0);  // outside, clockwise
  const QRectF b = body.bounds();
  EXPECT_NEAR(b.left(), 0.04806 * 200, 1e-6);
  EXPECT_NEAR(b.right(), 0.94806 * 200, 1e-6);
  EXPECT_NEAR(b.top(), 0.25 * 100, 1e-6);  // QRectF's top is the smaller y: the bottom, y up
  EXPECT_NEAR(b.bottom(), 0.75 * 100, 1e-6);

  // The frame placed where the bar cannot reach: the inside shows the ground.
  const QImage img = sktest::draw(400, 220, 2, [](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawBatteryWithFrame(ctx, QRectF(150, 100, 200, 100), 50, false);
  }, Qt::blue);
  EXPECT_EQ(at(img, 250, 150), QColor(Qt::blue));
  EXPECT_EQ(at(img, 150 + 0.885 * 200, 150), QColor(Qt::blue));  // inside the cap
  EXPECT_TRUE(isGrey(at(img, 150 + 0.93 * 200, 150)));           // the cap's end wall
  EXPECT_TRUE(isGrey(at(img, 250, 100 + 0.27 * 100)));           // the bottom wall
  EXPECT_EQ(at(img, 150 + 0.96 * 200, 150), QColor(Qt::blue));  // beyond the cap
}

TEST(BatteryIcon, BoltOnlyWhenCharging) {
  for (bool charging : {false, true}) {
    const QImage img = sktest::draw(220, 120, 2, [&](GraphicsContext& ctx) {
      KorvalumeStyleKit::drawBatteryWithFrame(ctx, QRectF(10, 10, 200, 100), 50, charging);
    });
    const QColor bolt = at(img, 10 + 0.45 * 200, 10 + 0.55 * 100);  // inside the bolt
    // Over the body and the bar: the bolt is the last fill.
    const QColor overBar = at(img, 10 + 0.2 * 200, 10 + 0.53 * 100);
    EXPECT_EQ(isGreen(bolt), charging);
    EXPECT_EQ(isGreen(overBar), charging);
    if (!charging) {
      EXPECT_TRUE(isGrey(overBar));
    }
  }
}

TEST(BatteryIcon, OddPercentagesDrawWithoutFailing) {
  for (qreal p : {std::numeric_limits<qreal>::infinity(), -std::numeric_limits<qreal>::infinity(),
                  std::numeric_limits<qreal>::quiet_NaN(), 1e300, -1e300}) {
    const QImage img = KorvalumeStyleKit::imageOfBatteryWithSize(QSizeF(60, 60), p, true).render(1);
    EXPECT_TRUE(isGreen(at(img, 0.45 * 60, 0.55 * 60))) << p;
  }
}
