#include "ui/widgets/small/color_view.h"

#include <QPainter>

#include "platform/gui_thread.h"

void ColorView::setBackgroundColor(const QColor& c) {
  KV_ASSERT_GUI_THREAD();
  mBackgroundColor = c;
  update();
}

void ColorView::paintEvent(QPaintEvent*) {
  if (!mBackgroundColor.isValid()) return;
  QPainter p(this);
  p.fillRect(rect(), mBackgroundColor);
}

void TextColorButton::setTextColor(const QColor& c) {
  KV_ASSERT_GUI_THREAD();
  textColor_ = c;
  setTitle(text());
}

void TextColorButton::setTitle(const QString& title) {
  KV_ASSERT_GUI_THREAD();
  if (title != text()) setText(title);
  QPalette pal = palette();
  if (textColor_.isValid()) {
    pal.setColor(QPalette::ButtonText, textColor_);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, textColor_);
  }
  setPalette(pal);
}
