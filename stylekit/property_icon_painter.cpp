#include "stylekit/property_icon_painter.h"

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/text_box.h"

PropertyIconPainter::PropertyIconPainter(GraphicsContext& ctx, QRectF frame, double r, double g, double b)
    : ctx_(ctx), frame_(frame), colour_(colorWithRGBA(r, g, b, 1)) {}

PropertyIconPainter::PropertyIconPainter(GraphicsContext& ctx, QRectF frame, double r, double g,
                                         bool showShadow, double b)
    : ctx_(ctx), frame_(frame) {
  // Both shadows are made before the colour; the flag picks one.
  const Shadow clear = clearShadow();
  const Shadow drop = dropShadow();
  shadow_ = showShadow ? drop : clear;
  colour_ = colorWithRGBA(r, g, b, 1);
}

Shadow PropertyIconPainter::dropShadow() { return Shadow(colorWithRGBA(0, 0, 0, 0.75), QSizeF(1, -1), 0); }

Shadow PropertyIconPainter::clearShadow() {
  return Shadow(colorWithAlphaComponent(NamedColor::blackColor(), 0), QSizeF(3, -3), 5);
}

QPointF PropertyIconPainter::p(qreal x, qreal y) const { return framePoint(frame_, x, y); }

QRectF PropertyIconPainter::box(qreal left, qreal bottom, qreal right, qreal top) const {
  return snappedRect(frame_, left, bottom, right, top);
}

BezierPath PropertyIconPainter::rectangle(qreal left, qreal bottom, qreal right, qreal top) const {
  return BezierPath::bezierPathWithRect(box(left, bottom, right, top));
}

BezierPath PropertyIconPainter::oval(qreal left, qreal bottom, qreal right, qreal top) const {
  return BezierPath::bezierPathWithOvalInRect(box(left, bottom, right, top));
}

void PropertyIconPainter::fill(const BezierPath& path) { fill(path, colour_); }

void PropertyIconPainter::fill(const BezierPath& path, const QColor& colour) {
  if (!shadow_) {
    ctx_.setFillColor(colour);
    ctx_.fill(path);
    return;
  }
  ctx_.saveGraphicsState();
  ctx_.setShadow(*shadow_);
  ctx_.setFillColor(colour);
  ctx_.fill(path);
  ctx_.restoreGraphicsState();
}

TextAttributes PropertyIconPainter::textAttributes(const QString& fontName, qreal fontSize) const {
  TextAttributes a;
  a.font = Font::fontWithName(fontName, fontSize);
  a.foregroundColor = colour_;
  a.alignment = TextAlignment::Center;
  return a;
}

void PropertyIconPainter::drawFixedText(const QString& text, const QRectF& box, const QString& fontName,
                                        qreal fontSize, qreal dy, std::optional<QColor> colour) {
  TextAttributes a = textAttributes(fontName, fontSize);
  if (colour) a.foregroundColor = *colour;
  drawTextHungFromBox(ctx_, text, box, a, dy);
}

void PropertyIconPainter::drawMeasuredText(const QString& text, const QRectF& box, const QString& fontName,
                                           qreal fontSize, qreal dy, std::optional<QColor> colour) {
  TextAttributes a = textAttributes(fontName, fontSize);
  if (colour) a.foregroundColor = *colour;
  if (shadow_) {
    ctx_.saveGraphicsState();
    ctx_.setShadow(*shadow_);
  }
  drawTextCentredInBox(ctx_, text, box, a, dy);
  if (shadow_) ctx_.restoreGraphicsState();
}
