// Trash, compare, labelled faces, save disk, media and view icons, and the logo.
#include <gtest/gtest.h>

#include "stylekit/korvalume_style_kit.h"
#include "tests/stylekit/stylekit_test_support.h"

using sktest::at;
using sktest::draw;

namespace {
using DrawFn = void (*)(GraphicsContext&, QRectF);

QImage onGround(DrawFn fn, QRectF frame, QColor ground, qreal dpr = 2, QSizeF canvas = {}) {
  if (canvas.isEmpty()) canvas = QSizeF(frame.right() + 4, frame.top() + 4);
  return draw(canvas.width(), canvas.height(), dpr, [&](GraphicsContext& ctx) { fn(ctx, frame); }, ground);
}

}  // namespace

TEST(TrashCompareIcons, HolesShowTheGroundAndBodiesAreWhite) {
  // (icon, point that must show the ground, point that must be white), fractions of a 100 x 100 frame.
  struct Case {
    const char* name;
    DrawFn fn;
    QPointF hole, solid;
  } cases[] = {
      {"trash slot", &KorvalumeStyleKit::drawWhiteTrashWithFrame, {0.675, 0.4}, {0.59, 0.4}},
      {"compare pane", &KorvalumeStyleKit::drawCompareWithFrame, {0.3, 0.3}, {0.5, 0.3}},
      {"compare outer pane", &KorvalumeStyleKit::drawCompareWithFrame, {0.7, 0.7}, {0.1, 0.5}},
      {"labelled trash slot", &KorvalumeStyleKit::drawWhiteTrashWithTextWithFrame,
       {0.14324 + 0.69872 * 0.675, 0.28475 + 0.69872 * 0.4}, {0.14324 + 0.69872 * 0.59, 0.28475 + 0.69872 * 0.4}},
      {"labelled compare pane", &KorvalumeStyleKit::drawCompareWithTextWithFrame,
       {0.12949 + 0.75383 * 0.3, 0.24487 + 0.75383 * 0.3}, {0.12949 + 0.75383 * 0.5, 0.24487 + 0.75383 * 0.3}},
  };
  for (const Case& c : cases) {
    const QImage img = onGround(c.fn, QRectF(0, 0, 100, 100), Qt::red, 2, QSizeF(100, 100));
    EXPECT_EQ(at(img, 100 * c.hole.x(), 100 * c.hole.y()), QColor(Qt::red)) << c.name;
    EXPECT_TRUE(sktest::isWhite(at(img, 100 * c.solid.x(), 100 * c.solid.y()))) << c.name;
  }
}

TEST(TrashCompareIcons, TrashImageSpansTheCanBoxAndItsShadowIsAbsolute) {
  // The can alone, below the lid (which is wider): rows under y 29 points.
  const QImage full = KorvalumeStyleKit::imageOfWhiteTrashWithSize(QSizeF(40, 40)).render(4);
  QImage img = full.copy(0, full.height() - 4 * 29, full.width(), 4 * 29);
  img.setDevicePixelRatio(4);
  const sktest::Extent white = sktest::extent(img, sktest::isWhite);
  EXPECT_NEAR(white.left, 9, 0.3);
  EXPECT_NEAR(white.right, 31.333, 0.3);
  EXPECT_NEAR(white.bottom, 2, 0.3);
  // The shadow is one point right and down at 20 and at 200 points alike.
  for (qreal s : {20.0, 200.0}) {
    const QImage big = onGround(&KorvalumeStyleKit::drawWhiteTrashWithFrame, QRectF(0, 0, s, s), Qt::white, 2,
                                QSizeF(s, s));
    const qreal right = 0.78333 * s;
    const qreal y = 0.4 * s;
    EXPECT_LT(at(big, right + 1.0, y).red(), 200) << s;   // shadow beside the right side
    EXPECT_EQ(at(big, right + 3.5, y), QColor(Qt::white)) << s;
  }
}

TEST(TrashCompareIcons, StretchedFrameScalesAxesApart) {
  const QImage img = onGround(&KorvalumeStyleKit::drawCompareWithFrame, QRectF(0, 0, 100, 50), Qt::black, 2,
                              QSizeF(100, 50));
  // The upper-right pane spans x 52.5 to 85.8 and y 26.25 to 42.9.
  EXPECT_EQ(at(img, 70, 34), QColor(Qt::black));
  EXPECT_TRUE(sktest::isWhite(at(img, 70, 25)));  // the cross between the panes
  EXPECT_TRUE(sktest::isWhite(at(img, 70, 44.5)));
}

TEST(TrashCompareIcons, LabelsFillTheirWordBoxes) {
  struct Case {
    DrawFn fn;
    qreal left, right, bottom, top;
  } cases[] = {{&KorvalumeStyleKit::drawWhiteTrashWithTextWithFrame, 0.16573, 0.84258, 0.0611, 0.23856},
               {&KorvalumeStyleKit::drawCompareWithTextWithFrame, 0.01154, 0.97754, 0.00872, 0.23164}};
  for (const Case& c : cases) {
    // Only the label lies below y 0.24 of the frame.
    QImage img = onGround(c.fn, QRectF(0, 0, 200, 200), Qt::transparent, 2, QSizeF(200, 200));
    QImage low = img.copy(0, img.height() - 2 * 200 * 0.24, img.width(), 2 * 200 * 0.24);
    low.setDevicePixelRatio(2);
    const sktest::Extent e = sktest::extent(low, [](QColor q) { return q.alpha() > 127; });
    EXPECT_NEAR(e.left, 200 * c.left, 1.0);
    EXPECT_NEAR(e.right, 200 * c.right, 1.0);
    EXPECT_NEAR(e.bottom, 200 * c.bottom, 1.0);
    EXPECT_NEAR(e.top, 200 * c.top, 1.0);
  }
  // The labelled trash casts no shadow: beside the can, the ground stays as it was.
  const QImage t = onGround(&KorvalumeStyleKit::drawWhiteTrashWithTextWithFrame, QRectF(0, 0, 100, 100), Qt::white,
                            2, QSizeF(100, 100));
  EXPECT_EQ(at(t, (0.14324 + 0.69872 * 0.78333) * 100 + 1.0, 60), QColor(Qt::white));
}

TEST(TrashCompareIcons, SaveDiskInsetAndTranslucentBlue) {
  struct Case {
    QRectF frame, inset;
  } cases[] = {{{0, 0, 48, 48}, {4, 4, 40, 40}},
               {{0, 0, 40, 40}, {3, 3, 34, 34}},
               {{0, 0, 24, 24}, {2, 2, 20, 20}},
               {{0, 0, 100, 100}, {7, 7, 86, 86}},
               {{10.5, 0, 48, 48}, {14.5, 4, 40, 40}}};
  for (const Case& c : cases) EXPECT_EQ(KorvalumeStyleKit::saveDiskInsetFrame(c.frame), c.inset) << c.frame.x();

  const QRectF frame(0, 0, 100, 100);
  const QImage onWhite = onGround(&KorvalumeStyleKit::drawSaveDiskWithFrame, frame, Qt::white, 1, QSizeF(100, 100));
  const QImage onBlack = onGround(&KorvalumeStyleKit::drawSaveDiskWithFrame, frame, Qt::black, 1, QSizeF(100, 100));
  const qreal x = 7 + 86 * 0.1, y = 7 + 86 * 0.3;  // body, left of the label area
  EXPECT_GT(at(onWhite, x, y).red(), at(onBlack, x, y).red() + 40);  // alpha 0.784 lets the ground through
  EXPECT_GT(at(onBlack, x, y).blue(), 150);
  // The label area between its lines, the shutter's gap and the cut corner show the ground.
  EXPECT_EQ(at(onWhite, 7 + 86 * 0.5, 7 + 86 * 0.29), QColor(Qt::white));
  EXPECT_EQ(at(onWhite, 7 + 86 * 0.3, 7 + 86 * 0.8), QColor(Qt::white));
  EXPECT_EQ(at(onWhite, 7 + 86 * 0.98, 7 + 86 * 0.98), QColor(Qt::white));
  EXPECT_NE(at(onWhite, 7 + 86 * 0.5, 7 + 86 * 0.8), QColor(Qt::white));  // the shutter
  EXPECT_NE(at(onWhite, 7 + 86 * 0.5, 7 + 86 * 0.357), QColor(Qt::white));  // the upper line
}

TEST(MediaViewIcons, PauseBarsSnapRelativeToTheOrigin) {
  struct Case {
    qreal size;
    QRectF left, right;
  } cases[] = {{40, {7, 5, 11, 30}, {22, 5, 11, 30}},
               {83, {15, 11, 22, 61}, {46, 11, 22, 61}},
               {20, {4, 3, 5, 14}, {11, 3, 5, 14}}};
  for (const Case& c : cases) {
    const QRectF frame(0, 0, c.size, c.size);
    EXPECT_EQ(KorvalumeStyleKit::pauseLeftBar(frame), c.left) << c.size;
    EXPECT_EQ(KorvalumeStyleKit::pauseRightBar(frame), c.right) << c.size;
  }
  EXPECT_EQ(KorvalumeStyleKit::pauseLeftBar(QRectF(0.5, 0.5, 40, 40)), QRectF(7.5, 5.5, 11, 30));
}

TEST(MediaViewIcons, HardShadowsAndShrinkShadowsOnlyOneArrow) {
  // Play and pause: a hard copy two points right and two down.
  const QImage pause = onGround(&KorvalumeStyleKit::drawPauseWithFrame, QRectF(0, 0, 40, 40), Qt::white, 2,
                                QSizeF(44, 44));
  EXPECT_EQ(at(pause, 19.5, 20), QColor(Qt::black));  // right of the left bar's edge at 18
  EXPECT_EQ(at(pause, 20.5, 20), QColor(Qt::white));
  EXPECT_EQ(at(pause, 10, 4), QColor(Qt::black));     // below the bars' foot at 5
  // Shrink: a shadow beside the lower-right arrow only; expand: beside every arrow.
  auto darkNear = [](const QImage& img, QPointF p) { return at(img, p.x(), p.y()).red() < 230; };
  const QImage shrink = onGround(&KorvalumeStyleKit::drawShrinkWithFrame, QRectF(0, 0, 100, 100), Qt::white, 2,
                                 QSizeF(100, 100));
  EXPECT_TRUE(darkNear(shrink, {84.667 + 1.2, 37}));   // right of the lower-right arrow's arm
  EXPECT_FALSE(darkNear(shrink, {83.667 + 1.2, 63}));  // right of the upper-right arrow's arm
  EXPECT_FALSE(darkNear(shrink, {41.333 + 1.2, 37}));
  const QImage expand = onGround(&KorvalumeStyleKit::drawExpandWithFrame, QRectF(0, 0, 100, 100), Qt::white, 2,
                                 QSizeF(100, 100));
  EXPECT_TRUE(darkNear(expand, {93.333 + 1.2, 80}));
  EXPECT_TRUE(darkNear(expand, {32 + 1.2, 90}));
}

TEST(MediaViewIcons, PlayCircleRingIsOpenAndCircleFillsAStretchedFrame) {
  const QImage ring = onGround(&KorvalumeStyleKit::drawPlayCircleWithFrame, QRectF(0, 0, 70, 70), Qt::black, 2,
                               QSizeF(70, 70));
  // Inside the ring, above the triangle: only the white glow reaches there, no green.
  const QColor inside = at(ring, 35, 35 + 0.30 * 70);
  EXPECT_EQ(inside.red(), inside.green());
  EXPECT_LT(inside.green(), 100);
  EXPECT_GT(at(ring, 35, 35 + 0.385 * 70).green(), 150);        // the band
  EXPECT_GT(at(ring, 35, 35 + 0.47 * 70).red(), 20);            // the glow beyond the ring
  const QImage oval = onGround(&KorvalumeStyleKit::drawCircleWithFrame, QRectF(0, 0, 60, 30), Qt::black, 2,
                               QSizeF(60, 30));
  EXPECT_TRUE(sktest::isWhite(at(oval, 1, 15)));
  EXPECT_TRUE(sktest::isWhite(at(oval, 30, 29)));
  EXPECT_EQ(at(oval, 3, 3), QColor(Qt::black));
}

TEST(LogoIcon, FillsItsBandOnceInTheGivenColour) {
  for (QSizeF size : {QSizeF(200, 200), QSizeF(200, 100)}) {
    const QImage img = KorvalumeStyleKit::imageOfKorvalumeLogo2WithSize(size, QColor(0, 0, 255, 128)).render(2);
    const sktest::Extent e = sktest::extent(img, [](QColor q) { return q.alpha() > 0; });
    EXPECT_NEAR(e.left, 0.02465 * size.width(), 0.6);
    EXPECT_NEAR(e.right, 0.97449 * size.width(), 0.6);
    EXPECT_NEAR(e.bottom, 0.39048 * size.height(), 0.6);
    EXPECT_NEAR(e.top, 0.60833 * size.height(), 0.6);
    // One fill: no pixel is more opaque than the colour itself.
    int maxAlpha = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) maxAlpha = std::max(maxAlpha, qAlpha(img.pixel(x, y)));
    EXPECT_LE(maxAlpha, 129);
  }
  // Without a colour the context's fill colour is used.
  const QImage img = draw(100, 100, 1, [](GraphicsContext& ctx) {
    ctx.setFillColor(Qt::green);
    KorvalumeStyleKit::drawKorvalumeLogo2WithFrame(ctx, QRectF(0, 0, 100, 100), std::nullopt);
  });
  const sktest::Extent green = sktest::extent(img, [](QColor q) { return q.green() > 200 && q.alpha() > 200; });
  EXPECT_FALSE(green.empty());
}
