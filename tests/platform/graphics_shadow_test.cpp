// Shadows, clips, alpha and the inner shadow.
#include <gtest/gtest.h>

#include "platform/graphics/text.h"
#include "tests/platform/graphics_test_support.h"

using gfxtest::alphaAt;

namespace {

// A small square under a hard or blurred shadow; `frame` scales the canvas and the square.
QImage squareWithShadow(qreal frame, qreal dpr, Shadow s, bool restoreFirst = false) {
  return gfxtest::draw(frame, frame, dpr, [&](GraphicsContext& ctx) {
    const qreal k = frame / 24;
    ctx.saveGraphicsState();
    ctx.setShadow(s);
    if (restoreFirst) ctx.restoreGraphicsState();
    ctx.setFillColor(Qt::white);
    ctx.fillRect(QRectF(8 * k, 8 * k, 8 * k, 8 * k));
    if (!restoreFirst) ctx.restoreGraphicsState();
  });
}

int blackPixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c.alpha() > 0 && c.red() < 60) ++n;
    }
  return n;
}

}  // namespace

TEST(GraphicsShadow, HardOffsetLandsRightAndDownAtTheSamePixelOffsetAtAnySize) {
  const Shadow drop(QColor::fromRgbF(0, 0, 0, 0.75f), QSizeF(1, -1), 0);
  for (qreal frame : {24.0, 240.0}) {
    const QImage img = squareWithShadow(frame, 1, drop);
    const qreal k = frame / 24;
    const qreal right = 16 * k, bottom = 8 * k;  // the square's right and bottom edges
    // One point right of the right edge, just above the bottom edge: shadow, at 75 %.
    const QColor beside = gfxtest::at(img, right + 0.5, bottom + 1.5);
    EXPECT_EQ(beside.alpha(), 191) << frame;
    EXPECT_EQ(beside.red(), 0) << frame;
    // One point below the bottom edge: shadow; two points away: nothing.
    EXPECT_EQ(alphaAt(img, right - 1, bottom - 0.5), 191) << frame;
    EXPECT_EQ(alphaAt(img, right + 1.5, bottom + 1.5), 0) << frame;
    EXPECT_EQ(alphaAt(img, right - 1, bottom - 1.5), 0) << frame;
    // Nothing above or to the left of the square.
    EXPECT_EQ(alphaAt(img, 8 * k - 0.5, 12 * k), 0) << frame;
    // The square itself stays white over its own shadow.
    EXPECT_EQ(gfxtest::at(img, 12 * k, 12 * k), QColor(Qt::white)) << frame;
  }
}

TEST(GraphicsShadow, OffsetIsInDevicePixelsTimesTheRatioNotTheTransform) {
  const Shadow drop(Qt::black, QSizeF(1, -1), 0);
  const QImage img = gfxtest::draw(24, 24, 2, [&](GraphicsContext& ctx) {
    ctx.scale(2, 2);  // the transform does not scale the shadow
    ctx.setShadow(drop);
    ctx.setFillColor(Qt::white);
    ctx.fillRect(QRectF(4, 4, 4, 4));  // 8..16 points
  });
  EXPECT_EQ(alphaAt(img, 16.5, 8.5), 255);  // one point right
  EXPECT_EQ(alphaAt(img, 17.5, 8.5), 0);    // not two
}

TEST(GraphicsShadow, NoShadowAfterRestore) {
  const QImage img = squareWithShadow(24, 2, Shadow(Qt::black, QSizeF(1, -1), 2), true);
  EXPECT_EQ(blackPixels(img), 0);
  EXPECT_DOUBLE_EQ(gfxtest::totalAlpha(img), 64 * 4);
}

TEST(GraphicsShadow, BlurSpreadsWithSigmaHalfTheRadius) {
  const Shadow glow(Qt::black, QSizeF(0, 0), 4);  // sigma 2 points
  const QImage img = squareWithShadow(24, 1, glow);
  // Beside an edge of the 8-point square a Gaussian of sigma 2 leaves
  // 0.5 * erfc(d / (2 * sqrt 2)) at distance d, times erf(4 / (2 * sqrt 2)) across the square.
  const double across = std::erf(4 / (2 * std::sqrt(2.0)));
  for (double d : {0.5, 1.5, 2.5, 6.5}) {
    const double expected = 255 * across * 0.5 * std::erfc(d / (2 * std::sqrt(2.0)));
    EXPECT_NEAR(alphaAt(img, 16 + d, 12), expected, 4) << d;  // right of the square
    EXPECT_NEAR(alphaAt(img, 8 - d, 12), expected, 4) << d;   // left of it
  }
}

TEST(GraphicsShadow, TranslucentFillCastsAFainterShadow) {
  const Shadow hard(Qt::black, QSizeF(2, 0), 0);
  const QImage img = gfxtest::draw(24, 24, 1, [&](GraphicsContext& ctx) {
    ctx.setShadow(hard);
    ctx.setFillColor(QColor(255, 255, 255, 128));
    ctx.fillRect(QRectF(4, 4, 8, 8));
  });
  EXPECT_NEAR(alphaAt(img, 13, 8), 128, 2);
}

TEST(GraphicsShadow, ClipCutsTheGlowAndNothingElseDoes) {
  const Shadow glow(Qt::white, QSizeF(0, 0), 5);
  auto disc = [&](bool clip) {
    return gfxtest::draw(40, 40, 1, [&](GraphicsContext& ctx) {
      if (clip) ctx.clipToRect(QRectF(10, 10, 20, 20));
      ctx.setShadow(glow);
      ctx.setFillColor(Qt::white);
      ctx.fill(BezierPath::bezierPathWithOvalInRect(QRectF(12, 12, 16, 16)));
    });
  };
  const QImage open = disc(false), clipped = disc(true);
  EXPECT_GT(alphaAt(open, 20, 9.5), 30);  // the glow reaches beyond the box
  EXPECT_EQ(alphaAt(clipped, 20, 9.5), 0);
  EXPECT_EQ(alphaAt(clipped, 30.5, 20), 0);
  EXPECT_EQ(alphaAt(clipped, 20, 20), 255);
  EXPECT_GT(alphaAt(clipped, 20, 10.5), 30);  // inside the box the glow stays
  // The canvas edge does not cut a glow short: its inside part is the same either way.
  EXPECT_EQ(alphaAt(open, 20, 10.5), alphaAt(clipped, 20, 10.5));
}

TEST(GraphicsShadow, TextCastsTheCurrentShadow) {
  const Shadow drop(Qt::black, QSizeF(1, -1), 0);
  TextAttributes a;
  a.font = Font(FontFace::Bold, 30);
  a.foregroundColor = Qt::white;
  const QImage img = gfxtest::draw(40, 40, 2, [&](GraphicsContext& ctx) {
    ctx.setShadow(drop);
    drawInRect(ctx, QStringLiteral("I"), QRectF(0, 0, 40, 40), a);
  });
  // The shadow shows as black one point right of the letter's white stem.
  int whiteRight = -1;
  const int row = img.height() / 2;
  for (int x = 0; x < img.width(); ++x)
    if (img.pixelColor(x, row) == QColor(Qt::white)) whiteRight = x;
  ASSERT_GE(whiteRight, 0);
  EXPECT_EQ(img.pixelColor(whiteRight + 2, row), QColor(Qt::black));
  EXPECT_EQ(img.pixelColor(whiteRight + 4, row).alpha(), 0);
}

TEST(GraphicsClip, FractionalRectEdgesAreAntialiased) {
  for (qreal dpr : {1.0, 1.25, 1.5, 2.0}) {
    const QImage img = gfxtest::draw(20, 20, dpr, [](GraphicsContext& ctx) {
      ctx.clipToRect(QRectF(0, 0, 10.5 / 1.0, 20));
      ctx.setFillColor(Qt::white);
      ctx.fillRect(QRectF(0, 0, 20, 20));
    });
    // Total coverage equals the clip's area whatever the pixel grid.
    EXPECT_NEAR(gfxtest::totalAlpha(img) / (dpr * dpr), 10.5 * 20, 0.5 * 20 / dpr + 1) << dpr;
    if (dpr == 1.0) {
      EXPECT_NEAR(img.pixelColor(10, 5).alpha(), 128, 2);
    }
  }
}

TEST(GraphicsClip, RestoreLiftsTheClip) {
  const QImage img = gfxtest::draw(20, 20, 1, [](GraphicsContext& ctx) {
    ctx.saveGraphicsState();
    ctx.clipToRect(QRectF(0, 0, 5, 5));
    ctx.restoreGraphicsState();
    ctx.fillRect(QRectF(0, 0, 20, 20));
  });
  EXPECT_DOUBLE_EQ(gfxtest::totalAlpha(img), 400);
}

TEST(GraphicsAlpha, ContextAlphaMultipliesFillAndShadow) {
  const QImage img = gfxtest::draw(24, 24, 1, [](GraphicsContext& ctx) {
    ctx.setAlpha(0.5);
    ctx.setShadow(Shadow(Qt::black, QSizeF(4, 0), 0));
    ctx.setFillColor(Qt::white);
    ctx.fillRect(QRectF(4, 4, 8, 8));
  });
  EXPECT_NEAR(alphaAt(img, 8, 8), 128, 2);
  EXPECT_NEAR(alphaAt(img, 14, 8), 128, 2);
}

TEST(GraphicsInnerShadow, DarkensOnlyInsideItsPath) {
  const Shadow inner(Qt::darkGray, QSizeF(0, 0), 5);
  const QImage img = gfxtest::draw(40, 40, 2, [&](GraphicsContext& ctx) {
    ctx.setFillColor(Qt::white);
    const BezierPath disc = BezierPath::bezierPathWithOvalInRect(QRectF(5, 5, 30, 30));
    ctx.fill(disc);
    ctx.drawInnerShadow(disc, inner);
  }, Qt::transparent);
  // Outside the disc (inside its bounding box too) nothing is painted.
  EXPECT_EQ(alphaAt(img, 6, 6), 0);
  EXPECT_EQ(alphaAt(img, 2, 20), 0);
  // Just inside the edge it is darker than white; the middle stays white.
  const QColor edge = gfxtest::at(img, 6, 20), middle = gfxtest::at(img, 20, 20);
  EXPECT_LT(edge.red(), 220);
  EXPECT_EQ(middle, QColor(Qt::white));
  // Darkest at the edge, fading inward.
  EXPECT_LT(gfxtest::at(img, 5.5, 20).red(), gfxtest::at(img, 8, 20).red());
}

TEST(GraphicsInnerShadow, OffsetShiftsTheBand) {
  // An offset (0, -3) shifts the shape's own copy down: the band shows along the top edge.
  const Shadow s(Qt::black, QSizeF(0, -3), 1);
  const QImage img = gfxtest::draw(40, 40, 1, [&](GraphicsContext& ctx) {
    ctx.setFillColor(Qt::white);
    const BezierPath box = BezierPath::bezierPathWithRect(QRectF(5, 5, 30, 30));
    ctx.fill(box);
    ctx.drawInnerShadow(box, s);
  });
  EXPECT_LT(gfxtest::at(img, 20, 34).red(), 100);
  EXPECT_EQ(gfxtest::at(img, 20, 6).red(), 255);
}

TEST(GraphicsNested, DrawsInAClippedTranslatedBox) {
  QRectF got;
  const QImage img = gfxtest::draw(40, 40, 1, [&](GraphicsContext& ctx) {
    ctx.drawNested(QRectF(10, 10, 10, 10), [&](GraphicsContext& c, QRectF frame) {
      got = frame;
      c.fillRect(QRectF(-5, -5, 30, 30));  // spills beyond the box: cut off
    });
    ctx.fillRect(QRectF(30, 30, 2, 2));  // after restore: neither moved nor clipped
  });
  EXPECT_EQ(got, QRectF(0, 0, 10, 10));
  EXPECT_DOUBLE_EQ(gfxtest::totalAlpha(img), 104);
  EXPECT_EQ(alphaAt(img, 15, 15), 255);
  EXPECT_EQ(alphaAt(img, 31, 31), 255);
}
