// Edit, key, plus and minus: the cut-out signs and hole, stretching, the edit sign's shadow.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;
using sktest::over;

namespace {
using K = KorvalumeStyleKit;

bool isGrey(QColor c) { return c.alpha() == 255 && c.red() == 200 && c.green() == 200 && c.blue() == 200; }
}  // namespace

TEST(EditIcons, PlusAndMinusAreCutOutOfTheDisc) {
  const QImage plus = over(K::imageOfPlusWithSize(QSizeF(40, 40)), Qt::red, 4);
  const QImage minus = over(K::imageOfMinusWithSize(QSizeF(40, 40)), Qt::red, 4);
  for (const QImage* img : {&plus, &minus}) {
    const sktest::Extent disc = sktest::extent(*img, [](QColor c) { return c.green() > 100; });
    EXPECT_NEAR(disc.left, 2, 0.3);
    EXPECT_NEAR(disc.right, 38, 0.3);
    EXPECT_NEAR(disc.bottom, 2, 0.3);
    EXPECT_NEAR(disc.top, 38, 0.3);
    // The horizontal bar, x 4 to 36 and y 18 to 22, shows the ground.
    EXPECT_EQ(at(*img, 20, 20), QColor(Qt::red));
    EXPECT_EQ(at(*img, 4.3, 20), QColor(Qt::red));
    EXPECT_EQ(at(*img, 35.7, 20), QColor(Qt::red));
    EXPECT_TRUE(isGrey(at(*img, 3.5, 20)));
    EXPECT_TRUE(isGrey(at(*img, 12, 22.3)));
    EXPECT_TRUE(isGrey(at(*img, 12, 17.7)));
  }
  // Only the plus has the vertical bar.
  EXPECT_EQ(at(plus, 20, 30), QColor(Qt::red));
  EXPECT_TRUE(isGrey(at(minus, 20, 30)));
  EXPECT_TRUE(isGrey(at(plus, 25, 30)));

  const std::vector<qreal> areas = K::plusPath(QRectF(0, 0, 40, 40)).subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_GT(areas[0], 0);
  EXPECT_LT(areas[1], 0);
}

TEST(EditIcons, StretchedFrameMakesEllipsesAndKeepsBarsInFractions) {
  const QImage img = sktest::draw(100, 50, 4, [](GraphicsContext& ctx) {
    K::drawPlusWithFrame(ctx, QRectF(0, 0, 100, 50));
  }, Qt::red);
  const sktest::Extent disc = sktest::extent(img, [](QColor c) { return c.green() > 100; });
  EXPECT_NEAR(disc.right - disc.left, 90, 0.3);
  EXPECT_NEAR(disc.top - disc.bottom, 45, 0.3);
  // Horizontal bar 5 points tall, vertical bar 10 points wide.
  EXPECT_EQ(at(img, 30, 22.7), QColor(Qt::red));
  EXPECT_EQ(at(img, 30, 27.3), QColor(Qt::red));
  EXPECT_TRUE(isGrey(at(img, 30, 27.8)));
  EXPECT_EQ(at(img, 45.3, 40), QColor(Qt::red));
  EXPECT_EQ(at(img, 54.7, 40), QColor(Qt::red));
  EXPECT_TRUE(isGrey(at(img, 44.7, 40)));
  EXPECT_TRUE(isGrey(at(img, 55.3, 40)));
}

TEST(EditIcons, KeyBowHasAHole) {
  const QImage img = over(K::imageOfKeyWithSize(QSizeF(100, 100)), Qt::blue, 2);
  EXPECT_EQ(at(img, 24, 76), QColor(Qt::blue));          // the hole
  EXPECT_TRUE(sktest::isWhite(at(img, 35, 80)));         // the bow round it
  EXPECT_TRUE(sktest::isWhite(at(img, 75, 30)));         // the blade
  EXPECT_EQ(at(img, 70, 10), QColor(Qt::blue));          // below the teeth
  const std::vector<qreal> areas = K::keyPath(QRectF(0, 0, 100, 100)).subpathSignedAreas();
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_LT(areas[0], 0);  // outline, clockwise
  EXPECT_GT(areas[1], 0);  // hole, counter-clockwise
}

TEST(EditIcons, EditShadowIsOnePointRightAndDownAtEverySize) {
  for (qreal s : {24.0, 240.0}) {
    const QImage img = K::imageOfEditWithSize(QSizeF(s, s)).render(4);
    auto dark = [](QColor c) { return c.alpha() > 40 && c.red() < 100; };
    // Below the frame's bottom bar and right of its right bar: shadow. Above the top bar and
    // left of the left bar: nothing.
    EXPECT_TRUE(dark(at(img, 0.5 * s, 0.09167 * s - 0.6))) << s;
    EXPECT_TRUE(dark(at(img, 0.90833 * s + 0.6, 0.4 * s))) << s;
    EXPECT_EQ(at(img, 0.4 * s, 0.91667 * s + 0.6).alpha(), 0) << s;
    EXPECT_EQ(at(img, 0.08333 * s - 0.6, 0.5 * s).alpha(), 0) << s;
    // Two points out, the 1-point blur has faded.
    EXPECT_LT(at(img, 0.5 * s, 0.09167 * s - 2.5).alpha(), 10) << s;
    EXPECT_TRUE(sktest::isWhite(at(img, 0.12 * s, 0.5 * s))) << s;
  }
}

TEST(EditIcons, EditFrameIsOpenAtItsUpperRightAndLeavesNoShadowSet) {
  const QImage img = sktest::draw(120, 120, 2, [](GraphicsContext& ctx) {
    K::drawEditWithFrame(ctx, QRectF(0, 0, 120, 120));
    EXPECT_FALSE(ctx.shadow().has_value());
  });
  EXPECT_TRUE(sktest::isWhite(at(img, 0.5 * 120, 0.88 * 120)));   // top bar
  EXPECT_TRUE(sktest::isWhite(at(img, 0.87 * 120, 0.5 * 120)));   // right bar
  EXPECT_FALSE(sktest::isWhite(at(img, 0.87 * 120, 0.7 * 120)));  // the open corner
  EXPECT_FALSE(sktest::isWhite(at(img, 0.7 * 120, 0.88 * 120)));
  EXPECT_TRUE(sktest::isWhite(at(img, 0.45 * 120, 0.47 * 120)));  // the tip
  EXPECT_TRUE(sktest::isWhite(at(img, 0.65 * 120, 0.65 * 120)));  // the pencil body
}
