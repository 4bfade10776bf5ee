#include "platform/graphics/gradients_radial.h"

#include <QRadialGradient>

#include "platform/graphics/graphics_context.h"

void drawRadialGradientExtended(GraphicsContext& ctx, const QRectF& rect, QPointF center, qreal radius,
                                const QColor& startColor, const QColor& endColor) {
  QPainterPath p;
  p.addRect(rect);
  if (!(radius > 0)) {
    ctx.fillWithBrush(p, QBrush(endColor));
    return;
  }
  QRadialGradient g(center, radius);
  g.setSpread(QGradient::PadSpread);  // the end colour continues outside
  g.setColorAt(0, startColor);
  g.setColorAt(1, endColor);
  ctx.fillWithBrush(p, QBrush(g));
}
