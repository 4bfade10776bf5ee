// Images with drawing handlers, their icon and their view.
#include <gtest/gtest.h>

#include <QIcon>

#include "platform/graphics/stylekit_image.h"
#include "platform/graphics/stylekit_image_view.h"
#include "platform/graphics/text.h"
#include "tests/platform/graphics_test_support.h"

namespace {

StyleKitImage disc(QSizeF size, QRectF* seenFrame = nullptr) {
  return StyleKitImage::imageWithSize(size, [seenFrame](GraphicsContext& ctx, QRectF frame) {
    if (seenFrame) *seenFrame = frame;
    ctx.setFillColor(Qt::white);
    ctx.fill(BezierPath::bezierPathWithOvalInRect(frame.adjusted(2, 2, -2, -2)));
    ctx.setFillColor(Qt::red);
    ctx.fillRect(QRectF(frame.x(), frame.y(), frame.width() / 2, 3));  // marks the bottom
    return true;
  });
}

double meanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      sum += std::abs(p.alpha() - q.alpha()) + std::abs(p.red() - q.red()) + std::abs(p.green() - q.green());
    }
  return sum / (a.width() * a.height() * 3);
}

}  // namespace

TEST(GraphicsImage, RendersAtAnyRatioWithTheBottomDown) {
  const StyleKitImage img = disc(QSizeF(24, 24));
  for (qreal dpr : {1.0, 1.25, 1.5, 2.0}) {
    const QImage out = img.render(dpr);
    EXPECT_EQ(out.width(), qCeil(24 * dpr)) << dpr;
    EXPECT_EQ(out.devicePixelRatio(), dpr);
    EXPECT_EQ(gfxtest::at(out, 1, 1), QColor(Qt::red)) << dpr;  // y up: the red bar at the bottom
    EXPECT_EQ(gfxtest::at(out, 12, 12), QColor(Qt::white)) << dpr;
  }
  EXPECT_EQ(img.render(2).size(), img.render(1).size() * 2);
}

TEST(GraphicsImage, HandlerAlwaysGetsTheFrameOfItsOwnSize) {
  QRectF seen;
  const StyleKitImage img = disc(QSizeF(30, 20), &seen);
  QImage target(100, 100, QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::transparent);
  QPainter p(&target);
  img.draw(p, QRectF(10, 10, 60, 40));
  p.end();
  EXPECT_EQ(seen, QRectF(0, 0, 30, 20));
  EXPECT_EQ(target.pixelColor(40, 30), QColor(Qt::white));
  EXPECT_EQ(target.pixelColor(5, 5).alpha(), 0);
}

TEST(GraphicsImage, DrawnAtHalfSizeEqualsADownsample) {
  const StyleKitImage img = disc(QSizeF(24, 24));
  QImage small(12, 12, QImage::Format_ARGB32_Premultiplied);
  small.fill(Qt::transparent);
  {
    QPainter p(&small);
    img.draw(p, QRectF(0, 0, 12, 12));
  }
  const QImage down = img.render(1).scaled(12, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  EXPECT_LT(meanDifference(small, down), 6.0);
  // A painter at ratio 2 gets the image rendered at its device pixels, not upscaled.
  QImage sharp(48, 48, QImage::Format_ARGB32_Premultiplied);
  sharp.setDevicePixelRatio(2);
  sharp.fill(Qt::transparent);
  {
    QPainter p(&sharp);
    img.draw(p, QRectF(0, 0, 24, 24));
  }
  EXPECT_LT(meanDifference(sharp, img.render(2)), 0.5);
}

TEST(GraphicsImage, CapturedTextAndColourLiveAsLongAsTheImage) {
  StyleKitImage img;
  {
    QString text = QStringLiteral("Captured");
    QColor colour(0, 255, 0);
    img = StyleKitImage::imageWithSize(QSizeF(80, 20), [text, colour](GraphicsContext& ctx, QRectF f) {
      TextAttributes a;
      a.font = Font(FontFace::Bold, 14);
      a.foregroundColor = colour;
      drawInRect(ctx, text, f, a);
      return true;
    });
    text.clear();
    colour = Qt::red;
  }
  const QImage out = img.render(1);
  bool green = false;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if (out.pixelColor(x, y).green() == 255 && out.pixelColor(x, y).red() == 0) green = true;
  EXPECT_TRUE(green);
}

TEST(GraphicsImage, IconRendersAtTheRequestedScale) {
  const QIcon icon = disc(QSizeF(24, 24)).toIcon();
  const QPixmap one = icon.pixmap(QSize(24, 24), 1.0);
  const QPixmap two = icon.pixmap(QSize(24, 24), 2.0);
  EXPECT_EQ(one.size(), QSize(24, 24));
  EXPECT_EQ(two.size(), QSize(48, 48));
  EXPECT_EQ(two.devicePixelRatio(), 2.0);
  EXPECT_EQ(two.toImage().pixelColor(24, 24), QColor(Qt::white));
  // A non-square request keeps the aspect: centred.
  const QImage wide = icon.pixmap(QSize(48, 24), 1.0).toImage();
  EXPECT_EQ(wide.pixelColor(2, 12).alpha(), 0);
}

TEST(GraphicsImage, ViewFitsTheImageInItsBounds) {
  StyleKitImageView view;
  view.setImage(disc(QSizeF(24, 24)));
  view.resize(100, 50);
  EXPECT_EQ(view.imageRect(), QRectF(25, 0, 50, 50));
  QImage shot(100, 50, QImage::Format_ARGB32_Premultiplied);
  shot.fill(Qt::transparent);
  view.render(&shot);
  EXPECT_EQ(shot.pixelColor(50, 25), QColor(Qt::white));
  EXPECT_EQ(shot.pixelColor(10, 25).alpha(), 0);
}
