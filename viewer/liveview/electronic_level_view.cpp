#include "viewer/liveview/electronic_level_view.h"

#include <QPainter>
#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/named_colors.h"
#include "platform/gui_thread.h"
#include "stylekit/korvalume_style_kit.h"

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

void ElectronicLevelView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = width(), h = height();
  GraphicsContext ctx(p, h);
  const qreal d = 0.4 * w;
  KorvalumeStyleKit::drawElectronicLevelWithFrame(ctx, QRectF((w - d) / 2, (h - d) / 2, d, d));
  ctx.setStrokeColor(isLevel(angle_) ? NamedColor::greenColor() : NamedColor::redColor());
  const auto [from, to] = lineEnds(angle_, w, h);
  BezierPath line;
  line.moveToPoint(from);
  line.lineToPoint(to);
  line.closePath();
  line.setLineWidth(4);
  ctx.stroke(line);
}
