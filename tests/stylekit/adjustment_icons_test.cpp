// Image-adjustment icons: cut-outs, the contrast glow and its restore, where the solid
// halves begin, stretching, the thermometer's bore.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;
using sktest::over;

namespace {
using K = KorvalumeStyleKit;

// The x where white begins, scanning right along the row at y (points).
qreal firstWhiteFrom(const QImage& img, qreal x0, qreal y) {
  const qreal dpr = img.devicePixelRatio();
  for (qreal x = x0; x < img.width() / dpr; x += 0.25)
    if (sktest::isWhite(at(img, x, y))) return x;
  return -1;
}
}  // namespace

TEST(AdjustmentIcons, CutOutsAndHolesShowTheGround) {
  struct Case {
    const char* what;
    StyleKitImage image;
    QPointF clear, solid;  // fractions
  };
  const QSizeF size(100, 100);
  const Case cases[] = {
      {"exposure minus", K::imageOfAdjustExposureWithSize(size), {0.65, 0.333}, {0.65, 0.2}},
      {"exposure plus", K::imageOfAdjustExposureWithSize(size), {0.25, 0.75}, {0.35833, 0.75}},
      {"contrast icon ring", K::imageOfContrastIconWithSize(size), {0.3, 0.5}, {0.15, 0.5}},
      {"contrast icon half", K::imageOfContrastIconWithSize(size), {0.48, 0.5}, {0.52, 0.5}},
      {"contrast", K::imageOfContrastWithSize(size, false), {0.3, 0.5}, {0.05, 0.5}},
      {"sharpen", K::imageOfSharpenWithSize(size), {0.5, 0.4}, {0.5, 0.1}},
      {"vibrance", K::imageOfVibranceWithSize(size), {0.3, 0.7}, {0.5, 0.95}},
      {"white balance bore", K::imageOfWhiteBalanceWithSize(size), {0.5, 0.75}, {0.5, 0.5}},
      {"white balance bulb", K::imageOfWhiteBalanceWithSize(size), {0.8, 0.2}, {0.5, 0.2}},
  };
  for (const Case& c : cases) {
    const QImage img = over(c.image, Qt::red, 2);
    EXPECT_EQ(at(img, c.clear.x() * 100, c.clear.y() * 100), QColor(Qt::red)) << c.what;
    EXPECT_TRUE(sktest::isWhite(at(img, c.solid.x() * 100, c.solid.y() * 100))) << c.what;
  }
}

TEST(AdjustmentIcons, SolidHalvesBeginOffTheCentreLine) {
  const QImage icon = K::imageOfContrastIconWithSize(QSizeF(200, 200)).render(4);
  const QImage sign = K::imageOfContrastWithSize(QSizeF(200, 200), false).render(4);
  EXPECT_NEAR(firstWhiteFrom(icon, 60, 100), 100, 0.3);           // x 0.5
  EXPECT_NEAR(firstWhiteFrom(sign, 60, 100), 0.52083 * 200, 0.3);  // x 0.52083
}

TEST(AdjustmentIcons, ContrastGlowsOnlyWhenHighlightedAndIsRestored) {
  const QImage off = K::imageOfContrastWithSize(QSizeF(100, 100), false).render(2);
  const QImage on = K::imageOfContrastWithSize(QSizeF(100, 100), true).render(2);
  // Inside the ring, just left of the solid half: the glow from the chord's edge shows.
  EXPECT_EQ(at(off, 50, 50).alpha(), 0);
  EXPECT_GT(at(on, 50, 50).alpha(), 20);
  // The circle touches the image's edges: the glow is cut there, the corners show it.
  EXPECT_TRUE(sktest::isWhite(at(on, 50, 0.2)));
  // Two points out from the circle on the diagonal: glow only when highlighted.
  EXPECT_EQ(at(off, 13.2, 13.2).alpha(), 0);
  EXPECT_GT(at(on, 13.2, 13.2).alpha(), 0);
  const QImage after = sktest::draw(60, 60, 1, [](GraphicsContext& ctx) {
    K::drawContrastWithFrame(ctx, QRectF(0, 0, 40, 40), true);
    EXPECT_FALSE(ctx.shadow().has_value());
    ctx.setFillColor(Qt::white);
    ctx.fillRect(QRectF(50, 50, 5, 5));
  });
  EXPECT_EQ(at(after, 48, 52).alpha(), 0);  // the later fill casts no glow
}

TEST(AdjustmentIcons, NonSquareFramesStretchCirclesIntoEllipses) {
  const QImage img = K::imageOfVibranceWithSize(QSizeF(200, 100)).render(2);
  const sktest::Extent e = sktest::extent(img, [](QColor c) { return c.alpha() > 127; });
  EXPECT_NEAR(e.left, 0.00242 * 200, 0.5);
  EXPECT_NEAR(e.right, 0.99758 * 200, 0.5);
  EXPECT_NEAR(e.bottom, 0.00242 * 100, 0.5);
  EXPECT_NEAR(e.top, 0.99758 * 100, 0.5);
  // The ring's width is a fraction of each side: 0.10136 of the width at the sides.
  EXPECT_TRUE(sktest::isWhite(at(img, 0.05 * 200, 50)));
  EXPECT_FALSE(sktest::isWhite(at(img, 0.12 * 200, 50)));
  const QRectF contrast = K::contrastPath(QRectF(0, 0, 200, 100)).bounds();
  EXPECT_NEAR(contrast.width(), 200, 0.05);
  EXPECT_NEAR(contrast.height(), 100, 0.05);
}
