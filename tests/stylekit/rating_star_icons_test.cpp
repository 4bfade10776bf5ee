// Rating stars: states, glows and their clip, the five-star boxes, the context star's shadow.
#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
bool isYellow(QColor c) { return c.alpha() == 255 && c.red() == 255 && c.green() == 255 && c.blue() == 0; }
}  // namespace

TEST(RatingStars, NotHighlightedBothStarsAreTheSameGreyOutline) {
  const QImage white = KorvalumeStyleKit::imageOfStarIconWithSize(QSizeF(60, 60), false).render(2);
  const QImage yellow = KorvalumeStyleKit::imageOfYellowStarIconWithSize(QSizeF(60, 60), false).render(2);
  EXPECT_EQ(white, yellow);
  EXPECT_EQ(at(white, 30, 30).alpha(), 0);  // no fill
  // The outline is a 0.5-point grey hairline: crossing the top point's left edge finds grey.
  const sktest::Extent ink = sktest::extent(white, [](QColor c) { return c.alpha() > 0; });
  // The points' miter joins reach up to 0.81 points beyond the vertices.
  EXPECT_NEAR(ink.top, 0.965 * 60 + 0.6, 0.6);
  EXPECT_NEAR(ink.left, 0.05776 * 60 - 0.6, 0.6);
  int grey = 0;
  for (int y = 0; y < white.height(); ++y)
    for (int x = 0; x < white.width(); ++x) {
      const QColor c = white.pixelColor(x, y);
      if (c.alpha() > 0) {
        EXPECT_EQ(c.red(), c.green());
        EXPECT_EQ(c.green(), c.blue());
        grey += c.alpha() > 100;
      }
    }
  EXPECT_GT(grey, 100);
}

TEST(RatingStars, HighlightedStarsFillAndGlowInTheirColour) {
  struct Case {
    StyleKitImage image;
    std::function<bool(QColor)> fill;
  };
  for (const Case& c : {Case{KorvalumeStyleKit::imageOfStarIconWithSize(QSizeF(80, 80), true), sktest::isWhite},
                        Case{KorvalumeStyleKit::imageOfYellowStarIconWithSize(QSizeF(80, 80), true), isYellow}}) {
    const QImage img = c.image.render(2);
    EXPECT_TRUE(c.fill(at(img, 40, 40)));
    // Between two points, outside the star: only the glow (blur 10) reaches there.
    const QColor glow = at(img, 40, 0.26 * 80);
    EXPECT_GT(glow.alpha(), 20);
    EXPECT_LT(glow.alpha(), 255);
    EXPECT_TRUE(c.fill(QColor(glow.red(), glow.green(), glow.blue())));  // the glow's own colour
    EXPECT_LT(at(img, 1, 1).alpha(), 8);  // faded out by the corner
  }
}

TEST(RatingStars, FiveStarBoxesAreSnappedEdgeByEdge) {
  struct Case {
    QRectF frame;
    std::vector<QRectF> boxes;
  };
  const std::vector<Case> cases = {
      {QRectF(0, 0, 120, 120),
       {{43, 74, 38, 38}, {6, 46, 38, 38}, {80, 46, 38, 38}, {21, 4, 38, 38}, {64, 4, 38, 38}}},
      {QRectF(0, 0, 100, 100),
       {{36, 62, 32, 31}, {5, 38, 32, 32}, {67, 38, 31, 32}, {18, 3, 31, 32}, {53, 3, 32, 32}}},
      {QRectF(10.3, 20.7, 100, 100),
       {{46.3, 82.7, 32, 31}, {15.3, 58.7, 32, 32}, {77.3, 58.7, 31, 32}, {28.3, 23.7, 31, 32}, {63.3, 23.7, 32, 32}}},
  };
  for (const Case& c : cases)
    for (int i = 0; i < 5; ++i) {
      const QRectF b = KorvalumeStyleKit::fiveStarBox(c.frame, i);
      EXPECT_NEAR(b.x(), c.boxes[i].x(), 1e-9) << i;
      EXPECT_NEAR(b.y(), c.boxes[i].y(), 1e-9) << i;
      EXPECT_DOUBLE_EQ(b.width(), c.boxes[i].width()) << i;
      EXPECT_DOUBLE_EQ(b.height(), c.boxes[i].height()) << i;
    }
}

TEST(RatingStars, FiveStarGlowsAreCutAtTheirBoxes) {
  const QImage img = KorvalumeStyleKit::imageOfFiveStarWithSize(QSizeF(120, 120)).render(2);
  // Each star is white at its box's centre.
  for (int i = 0; i < 5; ++i) {
    const QRectF b = KorvalumeStyleKit::fiveStarBox(QRectF(0, 0, 120, 120), i);
    EXPECT_TRUE(sktest::isWhite(at(img, b.center().x(), b.y() + 0.5 * b.height()))) << i;
  }
  // Outside every box nothing is painted, though the glows would reach there.
  EXPECT_EQ(at(img, 3, 100).alpha(), 0);    // left of the middle-left box, above it
  EXPECT_EQ(at(img, 60, 44).alpha(), 0);    // between the middle row and the bottom row
  EXPECT_EQ(at(img, 42.5, 100).alpha(), 0);  // just left of the top box
  EXPECT_GT(at(img, 43.5, 100).alpha(), 0);  // just inside it: the glow
}

TEST(RatingStars, ContextStarIsWhiteWithAHardDropShadowOnePointRightAndDown) {
  for (qreal s : {24.0, 96.0}) {
    const QImage img = KorvalumeStyleKit::imageOfContextStarWithSize(QSizeF(s, s)).render(4);
    EXPECT_TRUE(sktest::isWhite(at(img, s / 2, s / 2)));
    const sktest::Extent white = sktest::extent(img, sktest::isWhite);
    const sktest::Extent dark =
        sktest::extent(img, [](QColor c) { return c.alpha() > 60 && c.red() < 80; });
    EXPECT_NEAR(white.right, 0.93273 * s, 0.5) << s;
    EXPECT_NEAR(white.bottom, 0.1119 * s, 0.5) << s;
    // The shadow shows one point right of and below the star, and not above it.
    EXPECT_GT(dark.right - white.right, 0.5) << s;
    EXPECT_LT(dark.right - white.right, 2) << s;
    EXPECT_GT(white.bottom - dark.bottom, 0.5) << s;
    EXPECT_LT(white.bottom - dark.bottom, 2) << s;
    EXPECT_LT(dark.top, white.top) << s;
  }
}

TEST(RatingStars, DrawingLeavesNoShadowSet) {
  const QImage img = sktest::draw(40, 40, 1, [](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawStarIconWithFrame(ctx, QRectF(0, 0, 40, 40), true);
    KorvalumeStyleKit::drawContextStarWithFrame(ctx, QRectF(0, 0, 40, 40));
    EXPECT_FALSE(ctx.shadow().has_value());
  });
  (void)img;
}
