#include "viewer/liveview/electronic_level_view.h"

#include <QPainter>
#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/named_colors.h"
#include "platform/gui_thread.h"
#include "stylekit/korvalume_style_kit.h"

namespace {

// Room around the dial's frame for its strokes and their blurred shadows, in points.
constexpr qreal kDialMargin = 8;
// Beyond this many pixels a side the dial is drawn directly rather than kept.
constexpr int kMaxDialSide = 8192;
// The dial is a ring: only the tiles it touches are blended on each paint.
constexpr int kDialTile = 64;

std::vector<QRect> occupiedTiles(const QImage& img) {
  std::vector<QRect> tiles;
  for (int ty = 0; ty < img.height(); ty += kDialTile) {
    for (int tx = 0; tx < img.width(); tx += kDialTile) {
      const QRect tile = QRect(tx, ty, kDialTile, kDialTile).intersected(img.rect());
      bool any = false;
      for (int y = tile.top(); y <= tile.bottom() && !any; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = tile.left(); x <= tile.right(); ++x) {
          if (qAlpha(row[x])) {
            any = true;
            break;
          }
        }
      }
      if (any) tiles.push_back(tile);
    }
  }
  return tiles;
}

QRectF dialFrame(QSizeF size) {
  const qreal d = 0.4 * size.width();
  return {(size.width() - d) / 2, (size.height() - d) / 2, d, d};
}

}  // namespace

ElectronicLevelView::ElectronicLevelView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ElectronicLevelView::setAngle(float degrees) {
  KV_ASSERT_GUI_THREAD();
  angle_ = degrees;
  update();
}

bool ElectronicLevelView::isLevel(float a) { return (a >= -1 && a <= 1) || (a >= 359 && a <= 361); }

std::pair<QPointF, QPointF> ElectronicLevelView::lineEnds(float degrees, qreal w, qreal h) {
  const qreal r = 0.18 * w;
  const float theta = degrees * static_cast<float>(M_PI) / 180.0f;
  const float c = std::cos(theta), s = std::sin(theta);
  return {{w / 2 - c * r, h / 2 + s * r}, {w / 2 + c * r, h / 2 - s * r}};
}

// A 4-point line with flat ends (the stroke of a closed path from end to end turns back
// with bevels, which are flat ends). A pen draws it at a fraction of the cost of filling
// that outline, which took most of a frame's paint at 2x.
void ElectronicLevelView::paintLine(QPainter& p, QSizeF size, float degrees) {
  const QColor colour = isLevel(degrees) ? NamedColor::greenColor() : NamedColor::redColor();
  const auto [from, to] = lineEnds(degrees, size.width(), size.height());
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::FlatCap));
  // The ends are y-up points.
  p.drawLine(QPointF(from.x(), size.height() - from.y()), QPointF(to.x(), size.height() - to.y()));
  p.restore();
}

void ElectronicLevelView::paintUncached(QPainter& p, QSizeF size, float degrees) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  GraphicsContext ctx(p, size.height());
  // The dial's frame is centred, so it is the same rectangle y-up and y-down.
  KorvalumeStyleKit::drawElectronicLevelWithFrame(ctx, dialFrame(size));
  p.restore();
  paintLine(p, size, degrees);
}

bool ElectronicLevelView::drawKeptDial(QPainter& p, QSizeF size) {
  const QTransform dt = p.deviceTransform();
  // Only a scale with an offset keeps the dial's pixels a copy.
  if (dt.type() > QTransform::TxScale || dt.m11() <= 0 || dt.m22() <= 0) return false;
  const QPointF whole(std::floor(dt.dx()), std::floor(dt.dy()));
  const QTransform local(dt.m11(), 0, 0, dt.m22(), dt.dx() - whole.x(), dt.dy() - whole.y());
  const DialKey key{size.width(), size.height(), local.m11(), local.m22(), local.dx(), local.dy()};
  if (!(key == dialKey_)) {
    dial_ = QImage();
    dialKey_ = key;
    const QRectF frame = dialFrame(size);
    const QRect px = local.mapRect(frame.adjusted(-kDialMargin, -kDialMargin, kDialMargin, kDialMargin)).toAlignedRect();
    if (px.isEmpty() || px.width() > kMaxDialSide || px.height() > kMaxDialSide) return false;
    QImage img(px.size(), QImage::Format_ARGB32_Premultiplied);
    if (img.isNull()) return false;
    img.fill(Qt::transparent);
    {
      QPainter lp(&img);
      lp.setRenderHint(QPainter::Antialiasing);
      lp.setTransform(local * QTransform::fromTranslate(-px.x(), -px.y()));
      GraphicsContext ctx(lp, size.height());
      KorvalumeStyleKit::drawElectronicLevelWithFrame(ctx, frame);
    }
    dialTiles_ = occupiedTiles(img);
    dial_ = img;
    dialOrigin_ = px.topLeft();
    ++dialRenders_;
  }
  if (dial_.isNull()) return false;
  // Draw in device pixels: the copy lands exactly where a direct drawing would have.
  p.save();
  p.setWorldTransform(dt.inverted() * p.worldTransform());
  const QPointF origin = whole + QPointF(dialOrigin_);
  for (const QRect& tile : dialTiles_) p.drawImage(origin + QPointF(tile.topLeft()), dial_, tile);
  p.restore();
  return true;
}

void ElectronicLevelView::paintEvent(QPaintEvent*) {
  KV_ASSERT_GUI_THREAD();
  QPainter p(this);
  paint(p);
}

void ElectronicLevelView::paint(QPainter& p) {
  const QSizeF size(width(), height());
  if (!drawKeptDial(p, size)) {
    paintUncached(p, size, angle_);
    return;
  }
  paintLine(p, size, angle_);
}
