#include "stylekit/text_box.h"

void drawTextCentredInBox(GraphicsContext& ctx, const QString& text, const QRectF& box,
                          const TextAttributes& attributes, qreal dy) {
  const qreal h = text.isNull() ? 0 : boundingRectWithSize(text, box.size(), attributes).height();
  const QRectF textRect(box.x(), box.y() + (box.height() - h) * 0.5, box.width(), h);
  ctx.saveGraphicsState();
  ctx.clipToRect(box);
  if (!text.isNull()) drawInRect(ctx, text, textRect.translated(0, dy), attributes);
  ctx.restoreGraphicsState();
}

void drawTextHungFromBox(GraphicsContext& ctx, const QString& text, const QRectF& box,
                         const TextAttributes& attributes, qreal dy) {
  if (text.isNull()) return;
  drawInRect(ctx, text, box.translated(0, dy), attributes);
}
