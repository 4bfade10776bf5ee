#include "viewer/liveview/grid_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/named_colors.h"
#include "platform/gui_thread.h"

GridView::GridView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString GridView::stringForGridLines(unsigned choice) {
  switch (choice) {
    case 0: return QStringLiteral("3x3");
    case 1: return QStringLiteral("6x4");
    case 2: return QStringLiteral("5x3");
    default: return QStringLiteral("Off");
  }
}

QString GridView::stringForColor(unsigned code) {
  switch (code) {
    case 1: return QStringLiteral("White");
    case 2: return QStringLiteral("Black");
    case 3: return QStringLiteral("Red");
    default: return QStringLiteral("Gray");
  }
}

QColor GridView::colorForCode(unsigned code) {
  switch (code) {
    case 1: return NamedColor::whiteColor();
    case 2: return NamedColor::blackColor();
    case 3: return NamedColor::redColor();
    default: return NamedColor::grayColor();
  }
}

void GridView::setHorizontalLines(int horizontal, int vertical) {
  KV_ASSERT_GUI_THREAD();
  mNumHorizontalLines = horizontal;
  mNumVerticalLines = vertical;
  update();
}

void GridView::setGridColor(unsigned code) {
  KV_ASSERT_GUI_THREAD();
  mColor = colorForCode(code);
  update();
}

void GridView::paintEvent(QPaintEvent*) {
  if (!mColor.isValid()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = width(), h = height();
  GraphicsContext ctx(p, h);
  ctx.setStrokeColor(mColor);
  auto strokeLine = [&](QPointF a, QPointF b) {
    BezierPath line;
    line.moveToPoint(a);
    line.lineToPoint(b);
    line.setLineWidth(1.0);
    ctx.stroke(line);
  };
  if (mNumHorizontalLines >= 2) {
    const float step = static_cast<float>(h) / static_cast<float>(mNumHorizontalLines);
    for (int i = 1; i < mNumHorizontalLines; ++i) {
      const float y = static_cast<float>(i) * step;
      strokeLine({0, y}, {w, y});
    }
  }
  if (mNumVerticalLines >= 2) {
    const float step = static_cast<float>(w) / static_cast<float>(mNumVerticalLines);
    for (int i = 1; i < mNumVerticalLines; ++i) {
      const float x = static_cast<float>(i) * step;
      strokeLine({x, 0}, {x, h});
    }
  }
}

SoundBarView::SoundBarView(QWidget* parent) : QWidget(parent) {}

void SoundBarView::setNumberOfBins(uint64_t n) {
  KV_ASSERT_GUI_THREAD();
  mNumBins = n;
  update();
}

void SoundBarView::setMaxBin(uint64_t bin) {
  KV_ASSERT_GUI_THREAD();
  mMaxBin = bin;
  update();
}

void SoundBarView::setCurrentBin(uint64_t bin) {
  KV_ASSERT_GUI_THREAD();
  mCurrentBin = bin;
  update();
}

QColor SoundBarView::colorForBin(uint64_t i) const {
  if (i > mCurrentBin && i != mMaxBin) return NamedColor::darkGrayColor();
  const float n = static_cast<float>(mNumBins);
  const float bin = static_cast<float>(i);
  if (n * 0.6f > bin) return NamedColor::greenColor();
  if (n * 0.8f > bin) return NamedColor::yellowColor();
  return NamedColor::redColor();
}

std::vector<SoundBarView::Bar> SoundBarView::bars(qreal w, qreal pixelsPerPoint) const {
  std::vector<Bar> out;
  if (mNumBins == 0 || !(w > 0) || !(pixelsPerPoint > 0)) return out;
  const qreal columns = std::ceil(w * pixelsPerPoint);
  const qreal slot = w / static_cast<qreal>(mNumBins);
  if (static_cast<qreal>(mNumBins) <= columns) {
    const qreal bar = slot * static_cast<double>(0.8f);
    out.reserve(mNumBins);
    for (uint64_t i = 0; i < mNumBins; ++i) out.push_back({static_cast<qreal>(i) * slot, bar, i});
    return out;
  }
  // More bins than pixels: each would be narrower than a pixel and most would not show.
  // Draw each column once; the gaps between bars are narrower than a pixel too.
  const uint64_t last = mNumBins - 1;
  auto binAt = [&](qreal x) {
    const qreal b = std::floor(x / slot);
    return b <= 0 ? uint64_t{0} : b >= static_cast<qreal>(last) ? last : static_cast<uint64_t>(b);
  };
  const auto n = static_cast<int64_t>(columns);
  out.reserve(static_cast<size_t>(n));
  const qreal step = 1 / pixelsPerPoint;
  for (int64_t c = 0; c < n; ++c) {
    const qreal x0 = static_cast<qreal>(c) * step, x1 = std::min(w, x0 + step);
    const uint64_t a = binAt(x0);
    // The last bin that starts before the column's end.
    uint64_t b = x1 >= w ? last : binAt(x1);
    if (b > a && x1 < w && static_cast<qreal>(b) * slot >= x1) --b;
    uint64_t shown = a;
    if (mCurrentBin >= a) shown = std::min(mCurrentBin, b);
    if (mMaxBin >= a && mMaxBin <= b) shown = std::max(shown, mMaxBin);
    out.push_back({x0, x1 - x0, shown});
  }
  return out;
}

void SoundBarView::paintEvent(QPaintEvent*) {
  if (mNumBins == 0) return;
  QPainter p(this);
  const qreal w = width(), h = height();
  GraphicsContext ctx(p, h);
  for (const Bar& bar : bars(w, ctx.deviceScaleX())) {
    ctx.setFillColor(colorForBin(bar.bin));
    ctx.fill(BezierPath::bezierPathWithRect(QRectF(bar.x, 0, bar.width, h)));
  }
}
