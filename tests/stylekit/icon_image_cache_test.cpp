// The kit's images are made anew on every call; they share their renders through the draw
// method and state arguments they carry, and only what changes the drawing draws again.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/graphics/stylekit_image_cache.h"
#include "stylekit/gear_level_icons.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/rating_star_icons.h"

namespace {

int gIconCacheRuns = 0;

void drawCountedBadge(GraphicsContext& ctx, QRectF frame, bool on, double fontSize, QColor colour,
                      QString text) {
  ++gIconCacheRuns;
  ctx.setFillColor(on ? colour : Qt::gray);
  ctx.fillRect(frame.adjusted(1, 1, -fontSize / 10, -1));
  Q_UNUSED(text);
}

void drawOtherCountedBadge(GraphicsContext& ctx, QRectF frame, bool on, double fontSize, QColor colour,
                           QString text) {
  drawCountedBadge(ctx, frame.adjusted(1, 0, 0, 0), on, fontSize, colour, text);
}

void drawCountedWithData(GraphicsContext& ctx, QRectF frame, const int* data) {
  ++gIconCacheRuns;
  ctx.setFillColor(*data ? Qt::white : Qt::black);
  ctx.fillRect(frame);
}

class IconImageCache : public ::testing::Test {
 protected:
  void SetUp() override {
    stylekit_image_cache::setLimit(stylekit_image_cache::kDefaultLimit);
    stylekit_image_cache::clear();
    gIconCacheRuns = 0;
  }
  void TearDown() override { stylekit_image_cache::clear(); }
};

// Paints an image the way a view does: into a painter at a device pixel ratio.
void paintIcon(const StyleKitImage& img, qreal dpr) {
  QImage canvas(QSize(40, 40) * dpr, QImage::Format_ARGB32_Premultiplied);
  canvas.setDevicePixelRatio(dpr);
  canvas.fill(Qt::transparent);
  QPainter p(&canvas);
  img.draw(p, QRectF(QPointF(2, 2), img.size()));
}

}  // namespace

TEST_F(IconImageCache, SameIconAndArgumentsDrawOnceAndEachArgumentCounts) {
  const QSizeF size(24, 24);
  auto badge = [&](bool on, double font, QColor colour, QString text, qreal dpr = 2,
                   decltype(&drawCountedBadge) draw = &drawCountedBadge) {
    paintIcon(imageOfDrawMethod(size, draw, on, font, colour, text), dpr);
  };
  badge(true, 21.6, QColor(255, 0, 0), "RAW");
  badge(true, 21.6, QColor(255, 0, 0), "RAW");
  EXPECT_EQ(gIconCacheRuns, 1);

  struct Case {
    const char* what;
    std::function<void()> paint;
  } cases[] = {
      {"the flag", [&] { badge(false, 21.6, QColor(255, 0, 0), "RAW"); }},
      {"the font size", [&] { badge(true, 21.7, QColor(255, 0, 0), "RAW"); }},
      {"the colour", [&] { badge(true, 21.6, QColor(254, 0, 0), "RAW"); }},
      {"the colour's alpha", [&] { badge(true, 21.6, QColor(255, 0, 0, 254), "RAW"); }},
      {"the text", [&] { badge(true, 21.6, QColor(255, 0, 0), "TIF"); }},
      {"the ratio", [&] { badge(true, 21.6, QColor(255, 0, 0), "RAW", 1); }},
      {"the draw method", [&] { badge(true, 21.6, QColor(255, 0, 0), "RAW", 2, &drawOtherCountedBadge); }},
  };
  for (const Case& c : cases) {
    const int before = gIconCacheRuns;
    c.paint();
    c.paint();
    EXPECT_EQ(gIconCacheRuns, before + 1) << c.what;
  }
}

TEST_F(IconImageCache, AnArgumentAKeyCannotHoldLeavesEachImageToItself) {
  int value = 0;
  const StyleKitImage img = imageOfDrawMethod(QSizeF(8, 8), &drawCountedWithData, static_cast<const int*>(&value));
  img.render(1);
  img.render(1);
  EXPECT_EQ(gIconCacheRuns, 1);
  // Another image with the same pointer may see other data: it draws.
  value = 1;
  const QImage other = imageOfDrawMethod(QSizeF(8, 8), &drawCountedWithData, static_cast<const int*>(&value)).render(1);
  EXPECT_EQ(gIconCacheRuns, 2);
  EXPECT_EQ(other.pixelColor(4, 4), QColor(Qt::white));
}

TEST_F(IconImageCache, ThumbnailStarsAndGearAreKeptAcrossPaints) {
  // A rated cell paints five stars, each a new image of the same icon, on every paint.
  for (int paint = 0; paint < 3; ++paint)
    for (int i = 0; i < 5; ++i) paintIcon(KorvalumeRatingStarIcons::imageOfYellowStarIconWithSize(QSizeF(14, 14), true), 2);
  auto s = stylekit_image_cache::stats();
  EXPECT_EQ(s.misses, 1u);
  EXPECT_EQ(s.hits, 14u);
  // The unhighlighted star is another drawing.
  paintIcon(KorvalumeRatingStarIcons::imageOfYellowStarIconWithSize(QSizeF(14, 14), false), 2);
  EXPECT_EQ(stylekit_image_cache::stats().misses, 2u);

  const QImage gear = KorvalumeGearLevelIcons::imageOfGearWithSize(QSizeF(96, 96)).render(2);
  const QImage again = KorvalumeGearLevelIcons::imageOfGearWithSize(QSizeF(96, 96)).render(2);
  EXPECT_EQ(stylekit_image_cache::stats().misses, 3u);
  stylekit_image_cache::setLimit(0);
  EXPECT_EQ(again, KorvalumeGearLevelIcons::imageOfGearWithSize(QSizeF(96, 96)).render(2));
  EXPECT_EQ(gear, again);
}
