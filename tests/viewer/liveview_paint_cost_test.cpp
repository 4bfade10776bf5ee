// What live view paints on every frame: the level keeps its dial, the sound meter draws no
// more bars than the pixels show, and both look as a full drawing would.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/named_colors.h"
#include "viewer/liveview/electronic_level_view.h"
#include "viewer/liveview/grid_view.h"

namespace {

// The view painted into an image of a device pixel ratio over a ground, at an offset in it.
QImage levelRender(QWidget& w, qreal dpr, QPoint offset = QPoint(), QColor ground = QColor(20, 60, 120)) {
  QImage img((w.size() + QSize(offset.x(), offset.y())) * dpr, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(ground);
  w.render(&img, offset, QRegion(), QWidget::DrawChildren);
  return img;
}

QImage levelReference(QSize size, float angle, qreal dpr, QPoint offset = QPoint(), QColor ground = QColor(20, 60, 120)) {
  QImage img((size + QSize(offset.x(), offset.y())) * dpr, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(ground);
  QPainter p(&img);
  p.translate(offset);
  ElectronicLevelView::paintUncached(p, QSizeF(size), angle);
  return img;
}

// Pixels whose channels differ by more than the rounding of compositing in another order.
int pixelsApart(const QImage& a, const QImage& b, int tolerance = 2) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
          std::abs(qBlue(p) - qBlue(q)) > tolerance || std::abs(qAlpha(p) - qAlpha(q)) > tolerance)
        ++n;
    }
  return n;
}

}  // namespace

TEST(ElectronicLevelPaint, KeptDialLooksLikeAFullDrawingAtEverySizeAndScale) {
  struct Case {
    QSize size;
    qreal dpr;
    QPoint offset;
    float angle;
  } cases[] = {
      {{640, 360}, 1, {}, 0.5f},       {{640, 360}, 2, {}, 12},       {{333, 201}, 1.5, {3, 1}, -30},
      {{500, 300}, 1.25, {1, 0}, 90},  {{41, 17}, 2, {}, 180},       {{1280, 720}, 2, {}, 359.5f},
  };
  for (const Case& c : cases) {
    ElectronicLevelView view;
    view.resize(c.size);
    view.setAngle(c.angle);
    const QImage kept = levelRender(view, c.dpr, c.offset);
    const QImage full = levelReference(c.size, c.angle, c.dpr, c.offset);
    EXPECT_EQ(pixelsApart(kept, full), 0) << c.size.width() << "x" << c.size.height() << " @" << c.dpr;
    EXPECT_GT(pixelsApart(kept, levelReference(c.size, c.angle + 45, c.dpr, c.offset)), 0);  // the test sees a change
  }
}

TEST(ElectronicLevelPaint, DialIsRenderedOncePerSizeAndScaleNotPerAngle) {
  ElectronicLevelView view;
  view.resize(320, 180);
  for (float a : {0.0f, 3.0f, -7.5f, 90.0f}) {
    view.setAngle(a);
    const QImage img = levelRender(view, 2);
    EXPECT_EQ(pixelsApart(img, levelReference(view.size(), a, 2)), 0) << a;
  }
  EXPECT_EQ(view.dialRenders(), 1);

  // A new size or scale renders it again, and what shows is right for the new one.
  view.resize(400, 180);
  EXPECT_EQ(pixelsApart(levelRender(view, 2), levelReference(view.size(), 90, 2)), 0);
  EXPECT_EQ(view.dialRenders(), 2);
  EXPECT_EQ(pixelsApart(levelRender(view, 1), levelReference(view.size(), 90, 1)), 0);
  EXPECT_EQ(view.dialRenders(), 3);
  levelRender(view, 1);
  EXPECT_EQ(view.dialRenders(), 3);
}

TEST(ElectronicLevelPaint, TurnedPainterStillDrawsTheWholeLevel) {
  // No pixel copy is possible under a rotation: the level is drawn in full instead.
  ElectronicLevelView view;
  view.resize(200, 200);
  view.setAngle(0);
  QImage turned(200, 200, QImage::Format_ARGB32_Premultiplied), reference(turned.size(), turned.format());
  turned.fill(Qt::black);
  reference.fill(Qt::black);
  {
    QPainter p(&turned);
    p.translate(100, 100);
    p.rotate(30);
    p.translate(-100, -100);
    view.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
  }
  {
    QPainter p(&reference);
    p.translate(100, 100);
    p.rotate(30);
    p.translate(-100, -100);
    ElectronicLevelView::paintUncached(p, QSizeF(200, 200), 0);
  }
  EXPECT_EQ(pixelsApart(turned, reference), 0);
}

TEST(SoundBarPaint, HugeBinCountDrawsWhatTheWidthAllows) {
  SoundBarView bar;
  bar.resize(100, 10);
  bar.setNumberOfBins(5'000'000);
  bar.setCurrentBin(2'499'999);  // half lit: columns 0-49 green
  bar.setMaxBin(4'900'000);      // the peak, in column 98: red
  for (qreal dpr : {1.0, 2.0}) {
    const auto bars = bar.bars(100, dpr);
    EXPECT_EQ(bars.size(), static_cast<size_t>(100 * dpr));
  }
  QImage img(100, 10, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::blue);
  bar.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  const QRgb green = QColor(Qt::green).rgb(), red = QColor(Qt::red).rgb(),
             grey = QColor::fromRgbF(1 / 3.f, 1 / 3.f, 1 / 3.f).rgb();
  for (int x = 0; x < 100; ++x) {
    const QRgb want = x < 50 ? green : x == 98 ? red : grey;
    EXPECT_EQ(img.pixel(x, 5), want) << "column " << x;
  }

  // Everything lit: the colour bands fall where the bins' would.
  bar.setCurrentBin(4'999'999);
  img.fill(Qt::blue);
  bar.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_EQ(img.pixel(59, 5), green);
  EXPECT_EQ(img.pixel(60, 5), QColor(Qt::yellow).rgb());
  EXPECT_EQ(img.pixel(79, 5), QColor(Qt::yellow).rgb());
  EXPECT_EQ(img.pixel(80, 5), red);
  EXPECT_EQ(img.pixel(99, 5), red);
}

TEST(SoundBarPaint, BarCountIsBoundedByBinsOrColumns) {
  SoundBarView bar;
  struct Case {
    uint64_t bins;
    qreal width, dpr;
    size_t bars;
  } cases[] = {
      {10, 100, 1, 10},          {100, 100, 1, 100},           {101, 100, 1, 100},
      {101, 100, 2, 101},        {~uint64_t{0}, 100, 1, 100},  {1'000'000, 33.5, 1.5, 51},
      {3, 0, 1, 0},
  };
  for (const Case& c : cases) {
    bar.setNumberOfBins(c.bins);
    bar.setCurrentBin(c.bins / 2);
    bar.setMaxBin(c.bins - 1);
    const auto bars = bar.bars(c.width, c.dpr);
    EXPECT_EQ(bars.size(), c.bars) << c.bins;
    // The bars tile the width left to right, every bin they name exists.
    for (size_t i = 0; i < bars.size(); ++i) {
      EXPECT_LT(bars[i].bin, c.bins);
      EXPECT_LE(bars[i].x + bars[i].width, c.width + 1e-9);
      if (i) {
        EXPECT_GT(bars[i].x, bars[i - 1].x);
      }
    }
    // The peak (the last bin) is always in the last bar.
    if (!bars.empty()) {
      EXPECT_EQ(bars.back().bin, c.bins - 1) << c.bins;
    }
  }
}


// The line is drawn with a pen, which costs a fraction of filling its outline: it must
// cover what the 4-point stroke of a closed path from end to end covers.
TEST(ElectronicLevelPaint, PenLineCoversWhatTheStrokedPathCovers) {
  const QSize size(640, 360);
  for (float angle : {0.0f, 7.0f, -33.0f, 90.0f, 180.5f}) {
    for (qreal dpr : {1.0, 2.0}) {
      auto blank = [&] {
        QImage img(size * dpr, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(dpr);
        img.fill(Qt::transparent);
        return img;
      };
      QImage pen = blank(), path = blank();
      {
        QPainter p(&pen);
        ElectronicLevelView::paintLine(p, QSizeF(size), angle);
      }
      {
        QPainter p(&path);
        GraphicsContext ctx(p, size.height());
        ctx.setStrokeColor(ElectronicLevelView::isLevel(angle) ? NamedColor::greenColor() : NamedColor::redColor());
        const auto [from, to] = ElectronicLevelView::lineEnds(angle, size.width(), size.height());
        BezierPath line;
        line.moveToPoint(from);
        line.lineToPoint(to);
        line.closePath();
        line.setLineWidth(4);
        ctx.stroke(line);
      }
      // The two rasterisers shade the edges apart; no pixel is solid in one and empty in
      // the other, and the lines cover about the same area.
      int opposite = 0;
      double penArea = 0, pathArea = 0;
      for (int y = 0; y < pen.height(); ++y)
        for (int x = 0; x < pen.width(); ++x) {
          const int a = qAlpha(pen.pixel(x, y)), b = qAlpha(path.pixel(x, y));
          if ((a >= 250 && b <= 5) || (b >= 250 && a <= 5)) ++opposite;
          penArea += a / 255.0;
          pathArea += b / 255.0;
        }
      EXPECT_EQ(opposite, 0) << angle << " @" << dpr;
      EXPECT_NEAR(penArea / pathArea, 1.0, 0.15) << angle << " @" << dpr;
      EXPECT_GT(pixelsApart(pen, blank()), 0);
    }
  }
}
