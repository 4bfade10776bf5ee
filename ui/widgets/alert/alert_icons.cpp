#include "ui/widgets/alert/alert_icons.h"

#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/text.h"

namespace {

// A white glyph centred in the unit box scaled to `frame`.
void drawMark(GraphicsContext& ctx, const QRectF& frame, const QString& mark, qreal top, qreal height) {
  const qreal h = frame.height() * height;
  const Font font = Font::boldSystemFontOfSize(h);
  const QSizeF size = sizeWithAttributes(mark, TextAttributes{font});
  const QRectF box(frame.x() + (frame.width() - size.width()) / 2, frame.y() + frame.height() * top - size.height(),
                   size.width(), size.height());
  drawInRect(ctx, mark, box, TextAttributes{font, Qt::white, TextAlignment::Left});
}

void drawCaution(GraphicsContext& ctx, const QRectF& f) {
  BezierPath tri;
  tri.moveToPoint({f.x() + f.width() * 0.5, f.y() + f.height() * 0.94});
  tri.lineToPoint({f.x() + f.width() * 0.97, f.y() + f.height() * 0.1});
  tri.lineToPoint({f.x() + f.width() * 0.03, f.y() + f.height() * 0.1});
  tri.closePath();
  tri.setLineJoinStyle(LineJoin::Round);
  tri.setLineWidth(f.width() * 0.06);
  ctx.setFillColor(QColor(0xF5, 0xB8, 0x1B));
  ctx.setStrokeColor(QColor(0xF5, 0xB8, 0x1B));
  ctx.fill(tri);
  ctx.stroke(tri);
  drawMark(ctx, f, "!", 0.86, 0.62);
}

void drawNote(GraphicsContext& ctx, const QRectF& f) {
  ctx.setFillColor(QColor(0x2E, 0x7C, 0xD6));
  ctx.fill(BezierPath::bezierPathWithOvalInRect(f.adjusted(f.width() * 0.04, f.height() * 0.04,
                                                           -f.width() * 0.04, -f.height() * 0.04)));
  drawMark(ctx, f, "i", 0.9, 0.68);
}

void drawStop(GraphicsContext& ctx, const QRectF& f) {
  BezierPath oct;
  const QPointF c = f.center();
  const qreal r = std::min(f.width(), f.height()) * 0.48;
  for (int i = 0; i < 8; ++i) {
    const qreal a = (22.5 + 45.0 * i) * M_PI / 180;
    const QPointF p = c + QPointF(r * std::cos(a), r * std::sin(a));
    if (i == 0)
      oct.moveToPoint(p);
    else
      oct.lineToPoint(p);
  }
  oct.closePath();
  ctx.setFillColor(QColor(0xD6, 0x2F, 0x2F));
  ctx.fill(oct);
  drawMark(ctx, f, "!", 0.86, 0.62);
}

}  // namespace

StyleKitImage alertIconNamed(const QString& name, QSizeF size) {
  void (*draw)(GraphicsContext&, const QRectF&) = nullptr;
  if (name == "AlertCautionIcon")
    draw = drawCaution;
  else if (name == "AlertNoteIcon")
    draw = drawNote;
  else if (name == "AlertStopIcon")
    draw = drawStop;
  else
    return {};
  return StyleKitImage::imageWithSize(size, [draw](GraphicsContext& ctx, QRectF frame) {
    draw(ctx, frame);
    return true;
  });
}
