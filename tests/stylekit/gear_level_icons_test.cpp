// The settings gear and the electronic level.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;
using sktest::over;

TEST(GearIcon, OutlineOnlyWithHoleAndInsideClear) {
  for (qreal dpr : {1.0, 2.0}) {
    const QImage img = over(KorvalumeStyleKit::imageOfGearWithSize(QSizeF(30, 30)), Qt::red, dpr);
    EXPECT_EQ(at(img, 15, 15), QColor(Qt::red)) << dpr;            // the hole
    EXPECT_EQ(at(img, 15, 0.75 * 30), QColor(Qt::red)) << dpr;     // between hole and teeth
    EXPECT_EQ(at(img, 0.25 * 30, 15), QColor(Qt::red)) << dpr;
    EXPECT_EQ(at(img, 1, 1), QColor(Qt::red)) << dpr;              // outside
    EXPECT_TRUE(sktest::isWhite(at(img, 0.94444 * 30, 15))) << dpr;  // the right tooth's tip
    EXPECT_TRUE(sktest::isWhite(at(img, 15, 0.94444 * 30))) << dpr;  // the top tooth's tip
    EXPECT_TRUE(sktest::isWhite(at(img, 10, 15))) << dpr;            // the hole's rim at x 0.33333
  }
}

TEST(GearIcon, StrokeIsOneAndAHalfPointsWide) {
  const QImage img = KorvalumeStyleKit::imageOfGearWithSize(QSizeF(30, 30)).render(4);
  // Across the right tooth's flat tip at x 0.94444 * 30 = 28.33: 0.75 on each side.
  int painted = 0;
  for (int x = 0; x < img.width(); ++x)
    if (qAlpha(img.pixel(x, img.height() / 2)) > 127) painted = x;
  EXPECT_NEAR((painted + 1) / 4.0, 28.33 + 0.75, 0.3);
}

TEST(ElectronicLevel, MiddleIsClearAndOnlyTheBandAndTicksArePainted) {
  const qreal s = 100;
  const QImage img = over(KorvalumeStyleKit::imageOfElectronicLevelWithSize(QSizeF(s, s)), Qt::blue, 2);
  EXPECT_EQ(at(img, 50, 50), QColor(Qt::blue));
  EXPECT_EQ(at(img, 50, 70), QColor(Qt::blue));
  // The band between radius 0.42333 and 0.46667, away from the ticks: the veil grey over blue.
  const QColor band = at(img, 50 + 44.5 * std::cos(0.4), 50 + 44.5 * std::sin(0.4));
  EXPECT_NE(band, QColor(Qt::blue));
  EXPECT_GT(band.red(), 40);
  // The top tick runs beyond the outer circle almost to the frame's edge.
  EXPECT_TRUE(sktest::isWhite(at(img, 50.1, 98.5)));
  EXPECT_TRUE(sktest::isWhite(at(img, 50.1, 90)));
  // Outside the dial, the ground shows (the strokes' shadows fade within a few points).
  EXPECT_EQ(at(img, 5, 95), QColor(Qt::blue));
}

TEST(ElectronicLevel, RingContoursRunOppositeWays) {
  const BezierPath ring = KorvalumeStyleKit::electronicLevelRingPath(QRectF(0, 0, 60, 60));
  const std::vector<qreal> a = ring.subpathSignedAreas();
  ASSERT_EQ(a.size(), 2u);
  EXPECT_GT(a[0], 0);  // inner, counter-clockwise
  EXPECT_LT(a[1], 0);  // outer, clockwise
  const QRectF b = ring.bounds();
  EXPECT_NEAR(b.left(), 0.03333 * 60, 0.01);
  EXPECT_NEAR(b.right(), 0.96667 * 60, 0.01);
}

TEST(ElectronicLevel, ShadowTouchesOnlyTheStrokes) {
  // Without its strokes' shadows, the band fill alone leaves the ground beside the ring;
  // with them, only a faint dark halo is added close to the hairlines.
  const QImage img = over(KorvalumeStyleKit::imageOfElectronicLevelWithSize(QSizeF(100, 100)), Qt::white, 2);
  const QColor nearRing = at(img, 50 + 47.5 * std::cos(0.4), 50 + 47.5 * std::sin(0.4));
  const QColor farOut = at(img, 50 + 49.9 * std::cos(0.4), 50 + 49.9 * std::sin(0.4));
  EXPECT_LT(nearRing.red(), 255);  // the hairline's shadow
  EXPECT_GT(nearRing.red(), 150);
  EXPECT_GT(farOut.red(), nearRing.red());
}
