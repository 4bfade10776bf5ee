// The tiled image view: which tiles cover an exposed rectangle, which crop each shows
// (counted from the image's bottom, drawn in a top-down widget), and whole renders.
#include "viewer/still/tiled_image_view.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

// Every pixel tells where it came from.
QImage tiledFixture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)));
  return image;
}

QImage renderTiled(TiledImageView& view, const QRegion& region = QRegion()) {
  QImage out(view.size(), QImage::Format_RGB32);
  out.fill(Qt::magenta);
  // A source region is drawn at the target offset: put it back where it lies in the view.
  const QRegion source = region.isEmpty() ? QRegion(view.rect()) : region;
  view.render(&out, source.boundingRect().topLeft(), source, QWidget::DrawChildren);
  return out;
}

}  // namespace

TEST(TiledImageView, TilesAreCutAtTheRightAndTopEdgesAndCropFromTheBottom) {
  const auto tiles = TiledImageView::tilesForRect(QSize(1100, 700), QRectF(0, 0, 1100, 700));
  ASSERT_EQ(tiles.size(), 6u);
  struct Expect {
    QRect rect, source;
  };
  // y-up tiles; their crops count rows from the image's top: row 0 of tiles is the bottom.
  const Expect expected[] = {
      {{0, 0, 512, 512}, {0, 188, 512, 512}},   {{512, 0, 512, 512}, {512, 188, 512, 512}},
      {{1024, 0, 76, 512}, {1024, 188, 76, 512}}, {{0, 512, 512, 188}, {0, 0, 512, 188}},
      {{512, 512, 512, 188}, {512, 0, 512, 188}}, {{1024, 512, 76, 188}, {1024, 0, 76, 188}},
  };
  for (size_t i = 0; i < tiles.size(); ++i) {
    EXPECT_EQ(tiles[i].rect, expected[i].rect) << i;
    EXPECT_EQ(tiles[i].source, expected[i].source) << i;
  }
  // Only what the clip reaches; nothing beyond the image, nothing for an empty clip.
  const auto corner = TiledImageView::tilesForRect(QSize(1100, 700), QRectF(1050, 600, 500, 500));
  ASSERT_EQ(corner.size(), 1u);
  EXPECT_EQ(corner[0].rect, QRect(1024, 512, 76, 188));
  EXPECT_TRUE(TiledImageView::tilesForRect(QSize(1100, 700), QRectF(1200, 0, 100, 100)).empty());
  EXPECT_TRUE(TiledImageView::tilesForRect(QSize(1100, 700), QRectF()).empty());
  EXPECT_TRUE(TiledImageView::tilesForRect(QSize(), QRectF(0, 0, 10, 10)).empty());
}

TEST(TiledImageView, DrawsTheImagePixelForPixelAtZoomOneAndTwo) {
  const QImage image = tiledFixture(1100, 700);
  for (int zoom : {1, 2}) {
    TiledImageView view(QRect(0, 0, 1100 * zoom, 700 * zoom), image);
    view.setZoom(float(zoom));
    const QImage out = renderTiled(view);
    EXPECT_EQ(view.lastTiles().size(), 6u) << zoom;
    int wrong = 0;
    for (int y = 0; y < out.height(); ++y)
      for (int x = 0; x < out.width(); ++x)
        if (out.pixel(x, y) != image.pixel(x / zoom, y / zoom) && ++wrong < 5)
          ADD_FAILURE() << "zoom " << zoom << " at " << x << "," << y;
    EXPECT_EQ(wrong, 0) << zoom;
  }
}

TEST(TiledImageView, AnExposedCornerDrawsOnlyItsTileWithTheRightCrop) {
  const QImage image = tiledFixture(1100, 700);
  TiledImageView view(QRect(0, 0, 1100, 700), image);
  // The widget's top-right corner is the image's top-right: the cut tile of the top row.
  const QRect exposed(1030, 10, 60, 60);
  const QImage out = renderTiled(view, QRegion(exposed));
  ASSERT_EQ(view.lastTiles().size(), 1u);
  EXPECT_EQ(view.lastTiles()[0].rect, QRect(1024, 512, 76, 188));
  EXPECT_EQ(out.pixel(1040, 20), image.pixel(1040, 20));
  EXPECT_EQ(out.pixel(1089, 69), image.pixel(1089, 69));
  EXPECT_EQ(out.pixel(10, 690), QColor(Qt::magenta).rgb()) << "outside the exposed part nothing is drawn";
}

TEST(TiledImageView, ARejectedZoomKeepsTheLastOne) {
  TiledImageView view(QRect(0, 0, 10, 10), tiledFixture(10, 10));
  view.setZoom(2);
  for (float z : {0.0f, -1.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    view.setZoom(z);
    EXPECT_EQ(view.zoom(), 2.0f) << z;
  }
}
