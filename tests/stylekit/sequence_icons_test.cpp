// Sequence-setting icons: the stairs' snapped steps, the fixed-point wedge, cut-outs and colours.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
using K = KorvalumeStyleKit;
bool painted(QColor c) { return c.alpha() > 127; }
}  // namespace

TEST(SequenceIcons, StairStepsAreSnappedAndMoveWithAFractionalOrigin) {
  const QRectF want[] = {{9, 28, 43, 8},  {44, 28, 8, 40},  {44, 60, 43, 8},   {79, 60, 8, 40},
                         {79, 92, 40, 8}, {111, 92, 8, 40}, {111, 124, 40, 8}};
  for (QPointF origin : {QPointF(0, 0), QPointF(0.4, 10.7)})
    for (int i = 0; i < 7; ++i) {
      const QRectF got = K::stairsRect(QRectF(origin, QSizeF(160, 160)), i);
      EXPECT_NEAR(got.x(), want[i].x() + origin.x(), 1e-9) << i;
      EXPECT_NEAR(got.y(), want[i].y() + origin.y(), 1e-9) << i;
      EXPECT_DOUBLE_EQ(got.width(), want[i].width()) << i;
      EXPECT_DOUBLE_EQ(got.height(), want[i].height()) << i;
    }
  const QImage img = K::imageOfStairsWithSize(QSizeF(160, 160)).render(1);
  EXPECT_EQ(at(img, 10, 30), QColor(76, 217, 100));
  EXPECT_EQ(at(img, 10, 40).alpha(), 0);  // above the bottom tread
}

TEST(SequenceIcons, TotalDegreesWedgeKeepsItsPointsFromTheTopLeft) {
  for (qreal s : {160.0, 320.0}) {
    const QImage img = K::imageOfTotalDegreesWithSize(QSizeF(s, s)).render(2);
    const qreal top = s;
    // Apex (82, top - 113), right corner (146, top - 49), top (82, top - 26), left (17, top - 49).
    EXPECT_TRUE(painted(at(img, 82, top - 110))) << s;
    EXPECT_FALSE(painted(at(img, 70, top - 110))) << s;
    EXPECT_TRUE(painted(at(img, 143, top - 49.5))) << s;
    EXPECT_FALSE(painted(at(img, 148, top - 49.5))) << s;
    EXPECT_TRUE(painted(at(img, 82, top - 27))) << s;
    EXPECT_FALSE(painted(at(img, 82, top - 25))) << s;
    EXPECT_TRUE(painted(at(img, 19, top - 49.5))) << s;
    EXPECT_FALSE(painted(at(img, 15, top - 49.5))) << s;
    // The arc band scales with the frame: its lowest point near (0.5125, 0.18125 to 0.225).
    EXPECT_TRUE(painted(at(img, 0.5125 * s, 0.2 * s))) << s;
    EXPECT_FALSE(painted(at(img, 0.5125 * s, 0.15 * s))) << s;
  }
}

TEST(SequenceIcons, FiguresAndHoles) {
  struct Case {
    const char* what;
    StyleKitImage image;
    QPointF solid, clear;
    QColor colour;
  };
  const QSizeF size(100, 100);
  const QColor lightBlue(90, 200, 250), redOrange(255, 59, 48), orange(255, 149, 0), amber(255, 204, 0);
  const Case cases[] = {
      {"number bar", K::imageOfNumberWithSize(size), {0.2, 0.64}, {0.2, 0.5}, orange},
      {"number slant", K::imageOfNumberWithSize(size), {0.35, 0.5}, {0.5, 0.5}, orange},
      {"start middle bar", K::imageOfStartMiddleWithSize(size), {0.5, 0.8}, {0.6, 0.8}, lightBlue},
      {"start middle arrows", K::imageOfStartMiddleWithSize(size), {0.7, 0.503}, {0.7, 0.6}, lightBlue},
      {"hourglass sand", K::imageOfHourglassWithSize(size), {0.5, 0.2}, {0.5, 0.4}, redOrange},
      {"hourglass upper sand", K::imageOfHourglassWithSize(size), {0.5, 0.6}, {0.5, 0.8}, redOrange},
      {"interval sector", K::imageOfIntervalWithSize(size), {0.6, 0.7}, {0.3, 0.3}, lightBlue},
      {"direction disc", K::imageOfDirectionSignWithSize(size), {0.5, 0.3}, {0.05, 0.05}, amber},
  };
  for (const Case& c : cases) {
    const QImage img = c.image.render(2);
    EXPECT_EQ(at(img, c.solid.x() * 100, c.solid.y() * 100), c.colour) << c.what;
    EXPECT_EQ(at(img, c.clear.x() * 100, c.clear.y() * 100).alpha(), 0) << c.what;
  }
  const QImage sign = K::imageOfDirectionSignWithSize(size).render(2);
  EXPECT_TRUE(sktest::isWhite(at(sign, 50, 50)));  // the shafts overlap in the middle
  EXPECT_TRUE(sktest::isWhite(at(sign, 19, 50.7)));  // the left tip
}
