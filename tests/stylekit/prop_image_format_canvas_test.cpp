// Image-format marks, the canvas resizing rule and the canvas and text icons.
#include <gtest/gtest.h>

#include "stylekit/korvalume_properties_style_kit.h"
#include "tests/stylekit/prop_pixel_measure.h"

using K = KorvalumePropertiesStyleKit;
using propmeasure::regionExtent;
using sktest::at;

namespace {

QImage mark(void (*draw)(GraphicsContext&, QRectF, double, double, double), QSizeF size, QColor ground = Qt::transparent) {
  return sktest::draw(size.width(), size.height(), 4,
                      [&](GraphicsContext& ctx) { draw(ctx, QRectF(QPointF(0, 0), size), 1, 1, 1); }, ground);
}

}  // namespace

TEST(ImageFormatMarks, SmoothMarkIsAQuarterDiscThatStretchesWithTheFrame) {
  const sktest::Extent square = regionExtent(mark(&K::drawImageFormat_SmoothWithFrame, {20, 20}), {0, 0, 20, 20});
  EXPECT_EQ(square.left, 1.0);
  EXPECT_EQ(square.right, 19.0);
  EXPECT_NEAR(square.bottom, 0.70, 0.25);
  EXPECT_NEAR(square.top, 19.30, 0.25);
  // The arc passes through (0.25321, 0.62289): filled just right of it, empty just left.
  const QImage big = mark(&K::drawImageFormat_SmoothWithFrame, {100, 100});
  EXPECT_EQ(at(big, 27, 62.3).alpha(), 255);
  EXPECT_EQ(at(big, 23.5, 62.3).alpha(), 0);
  const sktest::Extent wide = regionExtent(mark(&K::drawImageFormat_SmoothWithFrame, {40, 20}), {0, 0, 40, 20});
  EXPECT_EQ(wide.left, 2.0);
  EXPECT_EQ(wide.right, 38.0);
  EXPECT_NEAR(wide.top, 19.30, 0.25);
}

TEST(ImageFormatMarks, CompressedMarkRisesInSixSteps) {
  const QImage img = mark(&K::drawImageFormat_CompressedWithFrame, {100, 100});
  // Just right of each riser the step is filled up to its top; just left only to the step below.
  const qreal risers[][3] = {{5.347, 3.509, 18.301}, {20.29, 18.301, 33.094}, {35.232, 33.094, 47.887},
                             {50.174, 47.887, 66.906}, {65.116, 66.906, 81.699}, {80.058, 81.699, 96.491}};
  for (const auto& [x, from, to] : risers) {
    EXPECT_EQ(at(img, x + 0.5, to - 0.5).alpha(), 255) << x;
    EXPECT_EQ(at(img, x - 0.5, to - 0.5).alpha(), 0) << x;
    EXPECT_EQ(at(img, x - 0.5, from - 0.5).alpha(), x < 6 ? 0 : 255) << x;
  }
  EXPECT_EQ(at(img, 94.5, 50).alpha(), 255);
  EXPECT_EQ(at(img, 95.5, 50).alpha(), 0);
}

TEST(ImageFormatMarks, RawLettersShowTheGroundThroughThePlate) {
  const QColor ground(40, 40, 40);
  const QImage img = mark(&K::drawImageFormat_RAWWithFrame, {200, 100}, ground);
  EXPECT_EQ(at(img, 100, 30).rgb(), QColor(Qt::white).rgb());  // plate below the letters
  EXPECT_EQ(at(img, 100, 72).rgb(), QColor(Qt::white).rgb());  // and above them
  EXPECT_EQ(at(img, 100, 20).rgb(), ground.rgb());             // outside the plate
  int holes = 0, total = 0;
  for (qreal x = 28; x < 177; x += 0.5)
    for (qreal y = 40.5; y < 63.5; y += 0.5, ++total) holes += at(img, x, y).rgb() == ground.rgb();
  EXPECT_GT(holes, total / 5);
  EXPECT_LT(holes, total * 4 / 5);
  EXPECT_EQ(at(img, 0.148 * 200, 50).rgb(), ground.rgb());  // the stem of the R
}

TEST(CanvasResizing, MapsTheCanvasByMode) {
  const QRectF canvas(0, 0, 240, 120);
  struct Case {
    int64_t mode;
    QRectF target, expected;
  };
  const Case cases[] = {
      {0, {0, 0, 480, 120}, {120, 0, 240, 120}},     // aspect fit
      {1, {0, 0, 480, 120}, {0, -60, 480, 240}},     // aspect fill
      {2, {0, 0, 480, 120}, {0, 0, 480, 120}},       // stretch
      {3, {0, 0, 480, 120}, {120, 0, 240, 120}},     // natural size, centred
      {7, {0, 0, 480, 120}, {0, 0, 480, 120}},       // any other value stretches
      {0, {10, 20, 120, 120}, {10, 50, 120, 60}},
      {2, {0, 0, -480, 120}, {-480, 0, 480, 120}},   // absolute ratios
      {0, {0, 0, 0, 50}, {0, 25, 0, 0}},             // zero width is not the zero rectangle
      {1, {0, 0, 0, 0}, {0, 0, 240, 120}},           // the zero rectangle: unchanged
      {2, {0, 0, 240, 120}, {0, 0, 240, 120}},       // equal: unchanged
  };
  for (const Case& c : cases)
    EXPECT_EQ(propmeasure::text(applyResizingMode(c.mode, canvas, c.target)), propmeasure::text(c.expected))
        << c.mode << " " << propmeasure::text(c.target);
  // A source with a negative size is standardised first.
  EXPECT_EQ(applyResizingMode(3, QRectF(240, 120, -240, -120), QRectF(0, 0, 480, 120)), QRectF(120, 0, 240, 120));
}

TEST(CanvasResizing, CanvasOneLeavesTheContextAsItFoundItAndPaintsNothing) {
  const QImage img = sktest::draw(300, 300, 1, [](GraphicsContext& ctx) {
    const QTransform before = ctx.currentTransform();
    K::drawCanvas1(ctx);
    K::drawCanvas1WithFrame(ctx, QRectF(10, 10, 480, 120), 1);
    EXPECT_EQ(ctx.currentTransform(), before);
    EXPECT_FALSE(ctx.hasClip());
  });
  EXPECT_EQ(gfxtest::totalAlpha(img), 0);
}

TEST(CanvasTextIcons, RingFigureLabelIsPinnedInPointsToTheTopLeftAndUnclipped) {
  // The ring scales with the frame; the label box (97, height - 143, 46, 37) does not, and it
  // is drawn even though it lies right of this narrow frame.
  const QImage img = sktest::draw(200, 200, 2, [](GraphicsContext& ctx) {
    K::drawCanvas2WithFrame(ctx, QRectF(0, 0, 90, 200), 1, 1, 1, 20);
  });
  const sktest::Extent label = regionExtent(img, QRectF(92, 0, 108, 200));
  const qreal ascender = Font::fontWithName(QStringLiteral("Arial-BoldMT"), 20).ascender();
  EXPECT_NEAR(label.bottom, 200 - 143 + 37 + 3 - ascender, 0.75);
  EXPECT_NEAR(label.centreX(), 120, 1.0);  // "10" centred; the tab adds no ink
  const sktest::Extent ring = regionExtent(img, QRectF(0, 0, 91, 200));
  EXPECT_NEAR(ring.left, 0.01449 * 90, 0.5);
  EXPECT_NEAR(ring.right, 0.68116 * 90, 0.5);
  EXPECT_NEAR(ring.top, 0.98551 * 200, 0.5);
}

TEST(CanvasTextIcons, CustomStringIsCentredInTheSnappedFrameAndClippedToIt) {
  const QImage img = sktest::draw(80, 80, 2, [](GraphicsContext& ctx) {
    K::drawCustomStringWithFrame(ctx, QRectF(20, 30, 40.4, 20.4), 1, 1, 1, 60, QStringLiteral("ISO"));
  });
  const sktest::Extent ink = regionExtent(img, QRectF(0, 0, 80, 80));
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.right, 60);  // floor(40.4 + 0.5) wide
  EXPECT_GE(ink.bottom, 30);
  EXPECT_LE(ink.top, 50);
  const QImage small = sktest::draw(80, 80, 2, [](GraphicsContext& ctx) {
    K::drawCustomStringWithFrame(ctx, QRectF(0, 0, 80, 80), 1, 1, 1, 20, QStringLiteral("I"));
  });
  // One line of text centred in the box and raised 1.5 points.
  const Font f = Font::fontWithName(QStringLiteral("Arial-BoldMT"), 20);
  const qreal lineTop = 40 + f.lineHeight() / 2 + 1.5;
  EXPECT_NEAR(regionExtent(small, QRectF(0, 0, 80, 80)).bottom, lineTop - f.ascender(), 0.5);
  const QImage none = sktest::draw(40, 40, 1, [](GraphicsContext& ctx) {
    K::drawCustomStringWithFrame(ctx, QRectF(0, 0, 40, 40), 1, 1, 1, 20, QString());
  });
  EXPECT_EQ(gfxtest::totalAlpha(none), 0);
}

TEST(CanvasTextIcons, FujiBadgeCarriesBlackTextInAFixedBox) {
  auto fuji = [](QSizeF size, const QString& text) {
    return K::imageOfImageFormate_FujiWithSize(size, 0.2, 0.4, 0.6, 24, text).render(2);
  };
  auto blackInk = [](const QImage& img) {
    return sktest::extent(img, [](QColor c) { return c.alpha() == 255 && c.red() < 40 && c.green() < 40 && c.blue() < 40; });
  };
  const QImage square = fuji({120, 120}, QStringLiteral("FINE"));
  EXPECT_EQ(at(square, 60, 40).rgb(), QColor(51, 102, 153).rgb());  // the badge in the icon colour
  const sktest::Extent text = blackInk(square);
  ASSERT_FALSE(text.empty());
  EXPECT_NEAR(text.centreX(), 7 + 107 / 2.0, 1.5);
  EXPECT_GT(text.bottom, 120 - 86);
  EXPECT_LT(text.top, 120 - 86 + 51 + 1);
  // The box keeps its place from the top-left corner while the badge stretches.
  const sktest::Extent wideText = blackInk(fuji({240, 120}, QStringLiteral("FINE")));
  EXPECT_NEAR(wideText.centreX(), text.centreX(), 0.01);
  // A nil text leaves the badge alone.
  const QImage bare = fuji({120, 120}, QString());
  EXPECT_TRUE(blackInk(bare).empty());
  EXPECT_GT(gfxtest::totalAlpha(bare), 120 * 120 / 3);
}
