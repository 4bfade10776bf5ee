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

QRectF dialFrame(QSizeF size) {
  const qreal d = 0.4 * size.width();
  return {(size.width() - d) / 2, (size.height() - d) / 2, d, d};
}

void drawLine(GraphicsContext& ctx, QSizeF size, float degrees) {
  ctx.setStrokeColor(ElectronicLevelView::isLevel(degrees) ? NamedColor::greenColor() : NamedColor::redColor());
  const auto [from, to] = ElectronicLevelView::lineEnds(degrees, size.width(), size.height());
  BezierPath line;
  line.moveToPoint(from);
  line.lineToPoint(to);
  line.closePath();
  line.setLineWidth(4);
  ctx.stroke(line);
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

void ElectronicLevelView::paintUncached(QPainter& p, QSizeF size, float degrees) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  GraphicsContext ctx(p, size.height());
  // The dial's frame is centred, so it is the same rectangle y-up and y-down.
  KorvalumeStyleKit::drawElectronicLevelWithFrame(ctx, dialFrame(size));
  drawLine(ctx, size, degrees);
  p.restore();
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
    dial_ = img;
    dialOrigin_ = px.topLeft();
    ++dialRenders_;
  }
  if (dial_.isNull()) return false;
  // Draw in device pixels: the copy lands exactly where a direct drawing would have.
  p.save();
  p.setWorldTransform(dt.inverted() * p.worldTransform());
  p.drawImage(whole + QPointF(dialOrigin_), dial_);
  p.restore();
  return true;
}

void ElectronicLevelView::paintEvent(QPaintEvent*) {
  KV_ASSERT_GUI_THREAD();
  QPainter p(this);
  const QSizeF size(width(), height());
  if (!drawKeptDial(p, size)) {
    paintUncached(p, size, angle_);
    return;
  }
  p.setRenderHint(QPainter::Antialiasing);
  GraphicsContext ctx(p, size.height());
  drawLine(ctx, size, angle_);
}
