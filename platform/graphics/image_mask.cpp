#include "platform/graphics/image_mask.h"

#include <QPainter>

#include "platform/graphics/graphics_context.h"

QImage tintedMaskImage(const QImage& mask, const QColor& tint) {
  if (mask.isNull()) return {};
  QImage out(mask.size(), QImage::Format_ARGB32_Premultiplied);
  out.fill(tint.isValid() ? tint : QColor(Qt::transparent));
  {
    // Pixel for pixel: a painter on an image of a higher pixel ratio would scale the mask.
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QImage m = mask;
    m.setDevicePixelRatio(1);
    p.drawImage(0, 0, m);
  }
  out.setDevicePixelRatio(mask.devicePixelRatio());
  return out;
}

void drawImageMask(GraphicsContext& ctx, const QImage& mask, const QRectF& rect, const QColor& tint) {
  if (mask.isNull() || rect.isEmpty()) return;
  QImage tinted = tintedMaskImage(mask, tint);
  tinted.setDevicePixelRatio(1);
  // Image rows run downwards; user space runs upwards: row 0 lands at the rect's top.
  QTransform t;
  t.translate(rect.x(), rect.y() + rect.height());
  t.scale(rect.width() / tinted.width(), -rect.height() / tinted.height());
  QBrush brush(tinted);
  brush.setTransform(t);
  QPainterPath p;
  p.addRect(rect);
  ctx.fillWithBrush(p, brush);
}
