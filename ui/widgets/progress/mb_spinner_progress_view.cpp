#include "ui/widgets/progress/mb_spinner_progress_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/graphics/blend.h"

MBSpinnerProgressView::MBSpinnerProgressView(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
}

void MBSpinnerProgressView::paintEvent(QPaintEvent* event) {
  {
    QPainter p(this);
    fillRectWithBlendMode(p, event->rect(), Qt::white, BlendMode::SoftLight);
  }
  QProgressBar::paintEvent(event);
}
