// Thumbnail badges: box, letter placement and clip, fractional frames, the unknown thumbnail.
#include <gtest/gtest.h>

#include "platform/graphics/named_colors.h"
#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;

namespace {
bool isRed(QColor c) { return c.alpha() == 255 && c.red() == 255 && c.green() == 0 && c.blue() == 0; }
bool isGreen(QColor c) { return c.alpha() == 255 && c.red() == 0 && c.green() == 255 && c.blue() == 0; }
bool isYellow(QColor c) { return c.alpha() > 127 && c.red() > 127 && c.green() > 127 && c.blue() < 100; }
}  // namespace

TEST(BadgeIcons, BrowserBadgesFillTheImageAndCentreTheirLetter) {
  struct Case {
    StyleKitImage image;
    std::function<bool(QColor)> ground;
  };
  for (qreal dpr : {1.0, 2.0}) {
    for (const Case& c : {Case{KorvalumeStyleKit::imageOfRawWithSize(QSizeF(24, 24), 21.6), isRed},
                          Case{KorvalumeStyleKit::imageOfTiffWithSize(QSizeF(24, 24), 21.6), isGreen}}) {
      const QImage img = c.image.render(dpr);
      ASSERT_EQ(img.width(), qRound(24 * dpr));
      // The rounded square fills the image; only its corners (radius 2) are cut.
      EXPECT_TRUE(c.ground(at(img, 12, 0.2)));
      EXPECT_TRUE(c.ground(at(img, 23.8, 12)));
      EXPECT_TRUE(c.ground(at(img, 1.2, 1.2)));
      EXPECT_LT(at(img, 0.1, 0.1).alpha(), 255);
      const sktest::Extent letter = sktest::extent(img, sktest::isWhite);
      ASSERT_FALSE(letter.empty());
      EXPECT_NEAR(letter.centreX(), 12, 1.0) << dpr;
      EXPECT_NEAR(letter.centreY(), 12, 1.5) << dpr;
      EXPECT_GT(letter.top - letter.bottom, 13);  // a capital of a 21.6-point bold face
    }
  }
}

TEST(BadgeIcons, TallTextStaysCentredAndClippedToTheBadge) {
  // At font size 40 the line is far taller than the 24-point badge.
  const QImage img = sktest::draw(40, 40, 2, [](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawRawWithFrame(ctx, QRectF(8, 8, 24, 24), 40);
  });
  const sktest::Extent all = sktest::extent(img, [](QColor c) { return c.alpha() > 0; });
  EXPECT_GE(all.left, 8);
  EXPECT_LE(all.right, 32);
  EXPECT_GE(all.bottom, 8);
  EXPECT_LE(all.top, 32);
  // The letter still sits on the badge's middle: white on both sides of the centre lines.
  const sktest::Extent letter = sktest::extent(img, sktest::isWhite);
  EXPECT_LT(letter.left, 20);
  EXPECT_GT(letter.right, 20);
  EXPECT_LT(letter.bottom, 20);
  EXPECT_GT(letter.top, 20);
}

TEST(BadgeIcons, FractionalFrameRoundsTheBadgeButNotTheMovieFigure) {
  const QRectF frame(0, 0, 24.6, 24.4);
  const QImage raw = sktest::draw(30, 30, 1, [&](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawRawWithFrame(ctx, frame, 21.6);
  });
  const sktest::Extent badge = sktest::extent(raw, [](QColor c) { return c.alpha() > 127; });
  EXPECT_EQ(badge.right - badge.left, 25);
  EXPECT_EQ(badge.top - badge.bottom, 24);
  const QImage movie = sktest::draw(30, 30, 4, [&](GraphicsContext& ctx) {
    KorvalumeStyleKit::drawMovieIconWithFrame(ctx, frame);
  });
  const sktest::Extent blue = sktest::extent(movie, [](QColor c) { return c.alpha() > 127; });
  EXPECT_EQ(blue.right - blue.left, 25);
  // The lens's right edge at 0.925 of the unrounded width, the body's left at 0.1.
  const sktest::Extent white = sktest::extent(movie, sktest::isWhite);
  EXPECT_NEAR(white.right, 0.925 * 24.6, 0.3);
  EXPECT_NEAR(white.left, 0.1 * 24.6, 0.3);
  EXPECT_NEAR(white.top, 0.85 * 24.4, 0.3);
  EXPECT_NEAR(white.bottom, 0.175 * 24.4, 0.3);
}

TEST(BadgeIcons, MovieBadgeBodyAndLensAreSeparateWhiteShapes) {
  const QImage img = KorvalumeStyleKit::imageOfMovieIconWithSize(QSizeF(24, 24)).render(2);
  EXPECT_TRUE(sktest::isWhite(at(img, 0.33 * 24, 0.5 * 24)));   // body
  EXPECT_TRUE(sktest::isWhite(at(img, 0.85 * 24, 0.51 * 24)));  // lens
  EXPECT_EQ(at(img, 0.6 * 24, 0.5 * 24), QColor(Qt::blue));     // the gap between them
  EXPECT_EQ(at(img, 0.9 * 24, 0.75 * 24), QColor(Qt::blue));    // above the lens
}

TEST(BadgeIcons, UnknownThumbnailMarkBoxAndMark) {
  const QRectF box = KorvalumeStyleKit::unknownThumbnailMarkBox(QRectF(0, 0, 24, 24));
  EXPECT_DOUBLE_EQ(box.x(), 7);
  EXPECT_NEAR(box.y(), 2.87, 1e-9);
  EXPECT_NEAR(box.width(), 10.53, 1e-9);
  EXPECT_NEAR(box.height(), 18.13, 1e-9);
  const QImage img = KorvalumeStyleKit::imageOfUnknownThumbnailWithSize(QSizeF(24, 24)).render(4);
  EXPECT_EQ(at(img, 1, 1).rgba(), qRgba(100, 100, 100, 255));  // 0.392 of 255
  EXPECT_EQ(at(img, 23.9, 23.9).alpha(), 255);  // a plain rectangle: square corners
  const sktest::Extent mark = sktest::extent(img, isYellow);
  // Hook, stem and dot span the box.
  EXPECT_NEAR(mark.left, box.left(), 0.3);
  EXPECT_NEAR(mark.right, box.right(), 0.3);
  EXPECT_NEAR(mark.bottom, box.top(), 0.3);    // y up: QRectF::top() is the bottom edge
  EXPECT_NEAR(mark.top, box.bottom(), 0.3);
  // The dot stands apart below the stem's foot (y 0.16346 to 0.25962 of the box is clear).
  EXPECT_TRUE(isYellow(at(img, box.x() + 0.48741 * box.width(), box.y() + 0.08 * box.height())));
  EXPECT_FALSE(isYellow(at(img, box.x() + 0.48741 * box.width(), box.y() + 0.21 * box.height())));
  EXPECT_TRUE(isYellow(at(img, box.x() + 0.48 * box.width(), box.y() + 0.28 * box.height())));
}
