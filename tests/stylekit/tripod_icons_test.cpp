// Tripod button (colours, snapped bar) and joystick (selection by exact code, glowing
// outlines that no clip cuts, the ring's opposite contours).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
// Red under the white glow of its own outline, which tints a small arrowhead's middle.
bool isRed(QColor c) { return c.alpha() == 255 && c.red() == 255 && c.green() < 190 && std::abs(c.green() - c.blue()) < 3; }

// The centre of each arrowhead (the mean of its corners), in the table's order.
struct Head {
  const char* name;
  QPointF centre;
  qreal code;
};
const Head kHeads[] = {
    {"up", {0.505, 0.88833}, 1},           {"down", {0.495, 0.11167}, 2},
    {"right", {0.88818, 0.50492}, 8},      {"left", {0.11108, 0.50492}, 4},
    {"upper right", {0.78332, 0.76471}, 9}, {"upper left", {0.22284, 0.76471}, 5},
    {"lower right", {0.78332, 0.23317}, 10}, {"lower left", {0.22284, 0.23317}, 6},
};
}  // namespace

TEST(TripodJoystick, OnlyTheExactCodeTurnsItsArrowheadRed) {
  const qreal s = 200;
  auto render = [&](qreal code) {
    return sktest::draw(s, s, 1, [&](GraphicsContext& ctx) {
      KorvalumeStyleKit::drawTripodJoystickWithFrame(ctx, QRectF(0, 0, s, s), code);
    });
  };
  for (const Head& selected : kHeads) {
    const QImage img = render(selected.code);
    for (const Head& h : kHeads) {
      const QColor c = at(img, h.centre.x() * s, h.centre.y() * s);
      if (&h == &selected)
        EXPECT_TRUE(isRed(c)) << selected.name;
      else
        EXPECT_TRUE(sktest::isWhite(c)) << selected.name << " / " << h.name;
    }
  }
  for (qreal code : {0.0, 3.0, 12.0, 2.5, 1.0000001, -1.0, std::numeric_limits<qreal>::quiet_NaN()}) {
    const QImage img = render(code);
    for (const Head& h : kHeads) EXPECT_TRUE(sktest::isWhite(at(img, h.centre.x() * s, h.centre.y() * s))) << code << h.name;
  }
}

TEST(TripodJoystick, RingIsAGreyBandWithGlowingOutlines) {
  const BezierPath ring = KorvalumeStyleKit::tripodJoystickRingPath(QRectF(0, 0, 100, 100));
  const std::vector<qreal> areas = ring.subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_GT(areas[0], 0);
  EXPECT_LT(areas[1], 0);
  EXPECT_NEAR(ring.bounds().left(), 4, 0.01);
  EXPECT_NEAR(ring.bounds().right(), 96, 0.01);

  // Drawn at (20, 20, 100, 100) in a 140-point canvas, with nothing selected.
  const QImage img = sktest::draw(140, 140, 2, [](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawTripodJoystickWithFrame(ctx, QRectF(20, 20, 100, 100), 0);
  });
  const QPointF c(70, 70);
  auto onRay = [&](qreal r, qreal deg) {
    return at(img, c.x() + r * std::cos(deg * M_PI / 180), c.y() + r * std::sin(deg * M_PI / 180));
  };
  // Mid-band, away from arrowheads (at 22.5 degrees): veil grey, half transparent.
  const QColor band = onRay(39.3, 22.5);
  EXPECT_NEAR(band.red(), 128, 12);
  EXPECT_LT(band.alpha(), 200);
  EXPECT_GT(band.alpha(), 100);
  // The outlines are white lines of width 1 on both circles.
  EXPECT_TRUE(sktest::isWhite(onRay(46, 22.5)));
  EXPECT_TRUE(sktest::isWhite(onRay(32.56, 22.5)));
  // The glow shows inside the hole and outside the ring, and is not cut at the frame's
  // edge, 4 points outside the outer circle.
  EXPECT_GT(onRay(28.5, 22.5).alpha(), 10);
  EXPECT_EQ(onRay(20, 22.5).alpha(), 0);  // deep in the hole: clear
  EXPECT_GT(at(img, 18.5, 70).alpha(), 0);  // left of the frame (x 20), beside the left arrowhead
  EXPECT_GT(onRay(50.5, 22.5).alpha(), 0);
  EXPECT_GT(onRay(50.5, 22.5).red(), 200);
}

TEST(TripodJoystick, NoShadowOutlivesTheCall) {
  const QImage img = sktest::draw(200, 100, 2, [](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawTripodJoystickWithFrame(ctx, QRectF(0, 0, 100, 100), 8);
    EXPECT_FALSE(ctx.shadow().has_value());
    ctx.setFillColor(Qt::white);
    ctx.fillRect(QRectF(150, 40, 20, 20));
  });
  EXPECT_EQ(at(img, 148.5, 50).alpha(), 0);
  EXPECT_EQ(at(img, 171.5, 50).alpha(), 0);
}

TEST(TripodIcon, ColourAndBarByState) {
  struct Case {
    qreal height, bar;
  };
  for (const Case& c : {Case{10, 0}, Case{18, 0}, Case{24, 0}, Case{30, 0}, Case{31, 0}, Case{40, 1}, Case{100, 2}})
    EXPECT_EQ(KorvalumeStyleKit::tripodBarRect(QRectF(0, 0, c.height, c.height)).height(), c.bar) << c.height;

  const qreal s = 100;
  // Single elements: the centre column, a leg, the arc's lowest part, an arrowhead.
  const QPointF probes[] = {{0.505 * s, 0.6 * s}, {0.328 * s, 0.55 * s}, {0.51 * s, 0.11 * s}, {0.19 * s, 0.2 * s}};
  for (bool highlighted : {false, true}) {
    const QImage img = KorvalumeStyleKit::imageOfTripodWithSize(QSizeF(s, s), highlighted).render(2);
    for (QPointF p : probes) {
      const QColor c = at(img, p.x(), p.y());
      if (highlighted)
        EXPECT_TRUE(c.alpha() == 200 && c.red() == 0 && std::abs(c.green() - 90) <= 1 && std::abs(c.blue() - 220) <= 1)
            << p.x() << "," << p.y();
      else
        EXPECT_EQ(c.rgba(), qRgba(200, 200, 200, 255)) << p.x() << "," << p.y();
    }
    // The bar: x 6 to 95, y 3 to 5 at 100 points, only while highlighted.
    EXPECT_EQ(at(img, 50, 4).alpha(), highlighted ? 200 : 0);
    EXPECT_EQ(at(img, 5.5, 4).alpha(), 0);
    EXPECT_EQ(at(img, 50, 5.5).alpha(), 0);
    // Open between the legs and below the head's corners.
    EXPECT_EQ(at(img, 0.4 * s, 0.4 * s).alpha(), 0);
    EXPECT_EQ(at(img, 0.5 * s, 0.2 * s).alpha(), 0);  // above the arc, below the column
  }
}
