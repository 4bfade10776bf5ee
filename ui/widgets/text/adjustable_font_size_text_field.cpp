#include "ui/widgets/text/adjustable_font_size_text_field.h"

#include <QPainter>

#include <cmath>

#include "platform/graphics/graphics_context.h"
#include "platform/gui_thread.h"

namespace {
// The title area's inset from the field's edges (a borderless field's text inset).
constexpr qreal kInset = 2;
}  // namespace

AdjustableFontSizeTextField::AdjustableFontSizeTextField(QWidget* parent) : QWidget(parent) {
  KV_ASSERT_GUI_THREAD();
  initGraphicsResources();
  setAttribute(Qt::WA_TranslucentBackground);
}

void AdjustableFontSizeTextField::setStringValue(const QString& s) {
  KV_ASSERT_GUI_THREAD();
  string_ = s;
  layout();
  update();
}

void AdjustableFontSizeTextField::setFont(const Font& f) {
  font_ = f;
  update();
}

void AdjustableFontSizeTextField::setTextColor(const QColor& c) {
  color_ = c;
  update();
}

void AdjustableFontSizeTextField::setAlignment(TextAlignment a) {
  alignment_ = a;
  update();
}

void AdjustableFontSizeTextField::setLineBreakMode(LineBreakMode m) {
  lineBreakMode_ = m;
  update();
}

void AdjustableFontSizeTextField::setAdjustsFontSizeToFit(bool a) {
  adjustsFontSize_ = a;
  layout();
}

void AdjustableFontSizeTextField::setMinimumFontSize(double s) {
  minimumFontSize_ = std::isfinite(s) ? s : 1.0;
  layout();
}

void AdjustableFontSizeTextField::layout() {
  KV_ASSERT_GUI_THREAD();
  if (adjustsFontSize_) {
    const Font shrunk = fontShrunkToFit(string_, font_, width(), minimumFontSize_);
    if (shrunk.pointSize() != font_.pointSize()) {
      font_ = shrunk;
      alignment_ = TextAlignment::Center;
    }
  }
  update();
}

Font AdjustableFontSizeTextField::fontShrunkToFit(const QString& text, Font font, qreal width,
                                                  double minimumFontSize) {
  // A minimum below 1 point still stops: sizes never reach zero.
  const double floor = std::isfinite(minimumFontSize) ? std::max(minimumFontSize, 1.0) : 1.0;
  while (sizeWithAttributes(text, TextAttributes{font}).width() > width && font.pointSize() - 1 >= floor)
    font = Font(font.face(), font.pointSize() - 1);
  return font;
}

void AdjustableFontSizeTextField::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout();
}

QString AdjustableFontSizeTextField::displayedString(qreal width) const {
  if (lineBreakMode_ != LineBreakMode::TruncatingMiddle) return string_;
  return truncatedMiddle(string_, font_, width);
}

QString AdjustableFontSizeTextField::truncatedMiddle(const QString& text, const Font& font, qreal width) {
  const TextAttributes a{font};
  if (sizeWithAttributes(text, a).width() <= width) return text;
  const QString ellipsis = QString(QChar(0x2026));
  // Keep as much of both ends as fits around the ellipsis.
  for (int keep = static_cast<int>(text.size()) - 1; keep > 0; --keep) {
    const int head = (keep + 1) / 2, tail = keep / 2;
    const QString s = text.left(head) + ellipsis + text.right(tail);
    if (sizeWithAttributes(s, a).width() <= width) return s;
  }
  return ellipsis;
}

QRectF AdjustableFontSizeTextField::textDrawingRect() const {
  const QRectF r(kInset, 0, std::max<qreal>(0, width() - 2 * kInset), height());
  const qreal h = font_.ascender() + font_.descender() + font_.leading();
  // Bottom strip of the title area (the field is flipped: y grows down).
  return QRectF(r.x(), r.y() + r.height() - h, r.width(), h);
}

void AdjustableFontSizeTextField::paintEvent(QPaintEvent*) {
  if (string_.isEmpty()) return;
  QPainter p(this);
  GraphicsContext ctx(p, height());
  const QRectF down = textDrawingRect();
  const QRectF up(down.x(), height() - down.y() - down.height(), down.width(), down.height());
  ctx.clipToRect(QRectF(0, 0, width(), height()));
  drawInRect(ctx, displayedString(down.width()), up, TextAttributes{font_, color_, alignment_});
}
