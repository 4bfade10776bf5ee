#include "ui/widgets/hud/text_view.h"

#include <QPainter>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/text.h"

TextView::TextView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TextView::setString(const QString& s) {
  string_ = s;
  update();
}

void TextView::setFont(const Font& f) {
  font_ = f;
  update();
}

void TextView::setTextColor(const QColor& c) {
  color_ = c;
  update();
}

QSizeF TextView::lineSize() const {
  if (string_.isEmpty()) return {0, 0};
  return sizeWithAttributes(string_, TextAttributes{font_});
}

void TextView::paintEvent(QPaintEvent*) {
  if (string_.isEmpty()) return;
  QPainter p(this);
  GraphicsContext ctx(p, height());
  ctx.clipToRect(QRectF(0, 0, width(), height()));
  // One line, centred; what does not fit is cut off.
  const QSizeF s = lineSize();
  const QRectF box((width() - s.width()) / 2, height() - s.height(), s.width() + 1, s.height());
  drawInRect(ctx, string_, box, TextAttributes{font_, color_, TextAlignment::Left});
}
