// Check and X buttons (fixed-inset disc, inner shade, outlined marks) and the default and
// capture push buttons (body, outline and veil by state).
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
bool isPainted(QColor c) { return c.alpha() > 127; }
bool isDiscColour(QColor c) { return c.alpha() > 200 && c.blue() < 60 && (c.red() > 60 || c.green() > 60) && !sktest::isWhite(c); }
}  // namespace

TEST(RoundButtons, DiscKeepsFixedInsetsWhileTheMarkScales) {
  using Draw = void (*)(GraphicsContext&, QRectF);
  for (Draw draw : {Draw(&KorvalumeStyleKit::drawCheckButtonWithFrame), Draw(&KorvalumeStyleKit::drawXButtonWithFrame)}) {
    struct Case {
      QRectF frame;
      QRectF disc;  // y up: x, bottom, width, height
    };
    for (const Case& c : {Case{{0, 0, 24, 24}, {4, 3, 17, 17}},
                          Case{{0, 0, 200, 200}, {4, 3, 193, 193}},
                          Case{{0, 0, 120, 40}, {4, 3, 113, 33}}}) {
      EXPECT_EQ(KorvalumeStyleKit::roundButtonDiscRect(c.frame), c.disc);
      const QImage img = sktest::draw(c.frame.width(), c.frame.height(), 2,
                                      [&](GraphicsContext& ctx) { draw(ctx, c.frame); });
      const sktest::Extent disc = sktest::extent(img, isDiscColour);
      EXPECT_NEAR(disc.left, c.disc.left(), 0.6) << c.frame.width();
      EXPECT_NEAR(disc.right, c.disc.right(), 0.6) << c.frame.width();
      EXPECT_NEAR(disc.bottom, c.disc.top(), 0.6) << c.frame.width();  // QRectF::top() is y min
      EXPECT_NEAR(disc.top, c.disc.bottom(), 0.6) << c.frame.width();
    }
  }
  // The mark follows the frame: in 200 points its upper right tip lies at 0.71296 x 200
  // (plus the half-point outline), far from any fixed inset.
  const QImage big = KorvalumeStyleKit::imageOfCheckButtonWithSize(QSizeF(200, 200)).render(1);
  const sktest::Extent mark = sktest::extent(big, sktest::isWhite);
  EXPECT_NEAR(mark.left, 0.19444 * 200, 1.5);
  EXPECT_NEAR(mark.bottom, 0.23148 * 200, 1.5);
}

TEST(RoundButtons, SharedShadowDarkensOnlyTheInsideOfTheRim) {
  const QImage check = KorvalumeStyleKit::imageOfCheckButtonWithSize(QSizeF(100, 100)).render(2);
  const QImage cross = KorvalumeStyleKit::imageOfXButtonWithSize(QSizeF(100, 100)).render(2);
  // Disc: x 4..97, y 3..96, centre (50.5, 49.5). Along the horizontal through the centre, the
  // rim is darker than the middle of the disc, and nothing lies outside it.
  const QColor green = at(check, 30, 49.5), greenRim = at(check, 4.6, 49.5);
  EXPECT_EQ(green, QColor(0, 255, 0));
  EXPECT_LT(greenRim.green(), 200);
  EXPECT_EQ(greenRim.alpha(), 255);
  EXPECT_EQ(at(check, 3.4, 49.5).alpha(), 0);
  EXPECT_EQ(at(check, 1, 98).alpha(), 0);
  const QColor red = at(cross, 50.5, 15), redRim = at(cross, 96.4, 49.5);
  EXPECT_EQ(red, QColor(255, 0, 0));
  EXPECT_LT(redRim.red(), 200);
  EXPECT_EQ(at(cross, 97.6, 49.5).alpha(), 0);
}

TEST(RoundButtons, MarksAreOutlinedHalfAPointBeyondTheirPolygon) {
  // Along the outward normal of a straight edge, white reaches 0.5 point beyond the polygon.
  struct Edge {
    StyleKitImage image;
    QPointF a, b;  // the edge, in fractions; the polygon lies on its left (y up)
  };
  const qreal s = 100;
  for (const Edge& e : {Edge{KorvalumeStyleKit::imageOfCheckButtonWithSize(QSizeF(s, s)), {0.39815, 0.23148}, {0.78704, 0.63889}},
                        Edge{KorvalumeStyleKit::imageOfXButtonWithSize(QSizeF(s, s)), {0.32407, 0.23148}, {0.75611, 0.65879}},
                        Edge{KorvalumeStyleKit::imageOfXButtonWithSize(QSizeF(s, s)), {0.77463, 0.32388}, {0.34121, 0.75729}}}) {
    const QImage img = e.image.render(4);
    // A fifth of the way along, clear of where the two bars of the cross meet.
    const QPointF mid = (e.a * 0.8 + e.b * 0.2) * s;
    QPointF d = e.b - e.a;
    d /= std::hypot(d.x(), d.y());
    const QPointF out(d.y(), -d.x());  // right of the direction of travel
    const QPointF inside = mid + out * 0.2, beyond = mid + out * 0.8;
    EXPECT_TRUE(sktest::isWhite(at(img, inside.x(), inside.y()))) << mid.x();
    EXPECT_FALSE(sktest::isWhite(at(img, beyond.x(), beyond.y()))) << mid.x();
    EXPECT_EQ(at(img, beyond.x(), beyond.y()).alpha(), 255);  // the disc shows there
  }
}

namespace {
using PushDraw = void (*)(GraphicsContext&, QRectF, bool, bool);
const QRectF kFrame(6, 6, 40, 30);
QImage pushButton(PushDraw draw, bool highlighted, bool enabled) {
  return sktest::draw(52, 42, 4, [&](GraphicsContext& ctx) { draw(ctx, kFrame, highlighted, enabled); });
}
}  // namespace

TEST(PushButtons, BodyOutlineAndVeilFollowTheirOwnState) {
  // Middle of the body; just inside the frame's left edge (inner half of the outline); just
  // outside it (outer half, which the veil does not reach).
  const QPointF mid(26, 21), innerEdge(6.1, 21), outerEdge(5.9, 21);
  const QRgb none = qRgba(0, 0, 0, 0);
  const QRgb white = qRgba(255, 255, 255, 255), red = qRgba(255, 0, 0, 255), grey = qRgba(200, 200, 200, 255);
  struct Case {
    PushDraw draw;
    bool highlighted, enabled;
    QRgb body, outline;  // unveiled colours
  };
  const Case cases[] = {
      {&KorvalumeStyleKit::drawDefaultButtonWithFrame, true, true, white, grey},
      {&KorvalumeStyleKit::drawDefaultButtonWithFrame, false, true, none, grey},
      {&KorvalumeStyleKit::drawCaptureButtonWithFrame, true, true, white, red},
      {&KorvalumeStyleKit::drawCaptureButtonWithFrame, false, true, red, white},
  };
  for (const Case& c : cases) {
    const QImage on = pushButton(c.draw, c.highlighted, true);
    EXPECT_EQ(at(on, mid.x(), mid.y()).rgba(), c.body) << c.highlighted;
    EXPECT_EQ(at(on, innerEdge.x(), innerEdge.y()).rgba(), c.outline) << c.highlighted;
    EXPECT_EQ(at(on, outerEdge.x(), outerEdge.y()).rgba(), c.outline) << c.highlighted;

    // Disabled: the same shade grey (0.502 at 0.588) over the whole body and the inner half
    // of the outline, whatever the highlight; the outer half is untouched.
    const QImage off = pushButton(c.draw, c.highlighted, false);
    auto veiled = [](QRgb under) {
      const qreal a = 0.588f, g = 0.502f * 255;
      const qreal ua = qAlpha(under) / 255.0;
      const qreal outA = a + ua * (1 - a);
      auto ch = [&](int u) { return (g * a + u * ua * (1 - a)) / outA; };
      return QColor(qRound(ch(qRed(under))), qRound(ch(qGreen(under))), qRound(ch(qBlue(under))), qRound(outA * 255));
    };
    const QColor body = at(off, mid.x(), mid.y()), want = veiled(c.body);
    EXPECT_NEAR(body.red(), want.red(), 2);
    EXPECT_NEAR(body.green(), want.green(), 2);
    EXPECT_NEAR(body.alpha(), want.alpha(), 2);
    EXPECT_NEAR(at(off, innerEdge.x(), innerEdge.y()).red(), veiled(c.outline).red(), 2);
    EXPECT_EQ(at(off, outerEdge.x(), outerEdge.y()).rgba(), c.outline);
  }
}

TEST(PushButtons, CornersAreRoundedByEightPointsAtAnySize) {
  for (qreal w : {30.0, 120.0}) {
    const QImage img = sktest::draw(w, 40, 2, [&](GraphicsContext& ctx) {
      KorvalumeStyleKit::drawCaptureButtonWithFrame(ctx, QRectF(0, 0, w, 40), false, true);
    });
    EXPECT_EQ(at(img, 0.5, 0.5).alpha(), 0) << w;           // cut by the corner
    EXPECT_TRUE(isPainted(at(img, 8, 0.3))) << w;          // where the bottom edge straightens
    EXPECT_TRUE(isPainted(at(img, w - 0.3, 20))) << w;
    EXPECT_EQ(at(img, w / 2, 20), QColor(Qt::red)) << w;
  }
}
