#include "ui/widgets/alert/help_popover.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/gui_thread.h"

namespace {
constexpr int kArrow = 8;
constexpr int kMargin = 10;
constexpr int kTextWidth = 260;
}  // namespace

HelpPopover::HelpPopover(QWidget* window) : QWidget(window), textField_(new QLabel(this)) {
  textField_->setWordWrap(true);
  textField_->setTextInteractionFlags(Qt::NoTextInteraction);
  QPalette pal = textField_->palette();
  pal.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
  textField_->setPalette(pal);
  hide();
}

void HelpPopover::showRelativeToRect(const QRect& rect, QWidget* ofView, int preferredEdge) {
  KV_ASSERT_GUI_THREAD();
  QWidget* host = parentWidget();
  if (host == nullptr || ofView == nullptr) return;
  edge_ = preferredEdge;
  const QRect anchor(ofView->mapTo(host, rect.topLeft()), rect.size());
  const int textHeight = textField_->heightForWidth(kTextWidth);
  const QSize body(kTextWidth + 2 * kMargin, std::max(textHeight, 16) + 2 * kMargin);
  QRect frame;
  // y-up max-y edge is the top on screen.
  switch (preferredEdge) {
    case 0: frame = QRect(anchor.left() - body.width() - kArrow, anchor.center().y() - body.height() / 2, body.width() + kArrow, body.height()); break;
    case 1: frame = QRect(anchor.center().x() - body.width() / 2, anchor.bottom() + 1, body.width(), body.height() + kArrow); break;
    case 2: frame = QRect(anchor.right() + 1, anchor.center().y() - body.height() / 2, body.width() + kArrow, body.height()); break;
    default: frame = QRect(anchor.center().x() - body.width() / 2, anchor.top() - body.height() - kArrow, body.width(), body.height() + kArrow); break;
  }
  // Inside the window.
  frame.moveLeft(std::clamp(frame.left(), 0, std::max(0, host->width() - frame.width())));
  frame.moveTop(std::clamp(frame.top(), 0, std::max(0, host->height() - frame.height())));
  setGeometry(frame);
  const QPoint tip = edge_ == 0 ? QPoint(anchor.left(), anchor.center().y())
                     : edge_ == 1 ? QPoint(anchor.center().x(), anchor.bottom())
                     : edge_ == 2 ? QPoint(anchor.right(), anchor.center().y())
                                  : QPoint(anchor.center().x(), anchor.top());
  arrowTip_ = tip - frame.topLeft();
  const int dx = edge_ == 2 ? kArrow : 0, dy = edge_ == 1 ? kArrow : 0;
  textField_->setGeometry(kMargin + dx, kMargin + dy, kTextWidth, body.height() - 2 * kMargin);
  show();
  raise();
}

void HelpPopover::close() {
  KV_ASSERT_GUI_THREAD();
  hide();
}

void HelpPopover::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF body = rect();
  if (edge_ == 3) body.setBottom(body.bottom() - kArrow);
  if (edge_ == 1) body.setTop(body.top() + kArrow);
  if (edge_ == 0) body.setRight(body.right() - kArrow);
  if (edge_ == 2) body.setLeft(body.left() + kArrow);
  QPainterPath path;
  path.addRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  QPainterPath arrow;
  const QPointF t = arrowTip_;
  if (edge_ == 3 || edge_ == 1) {
    const qreal base = edge_ == 3 ? body.bottom() - 1 : body.top() + 1;
    const qreal x = std::clamp<qreal>(t.x(), body.left() + 10, body.right() - 10);
    arrow.moveTo(x - kArrow, base);
    arrow.lineTo(x, edge_ == 3 ? base + kArrow : base - kArrow);
    arrow.lineTo(x + kArrow, base);
  } else {
    const qreal base = edge_ == 0 ? body.right() - 1 : body.left() + 1;
    const qreal y = std::clamp<qreal>(t.y(), body.top() + 10, body.bottom() - 10);
    arrow.moveTo(base, y - kArrow);
    arrow.lineTo(edge_ == 0 ? base + kArrow : base - kArrow, y);
    arrow.lineTo(base, y + kArrow);
  }
  arrow.closeSubpath();
  path = path.united(arrow);
  p.fillPath(path, QColor(0x30, 0x30, 0x34, 245));
  p.setPen(QPen(QColor(0x60, 0x60, 0x66), 1));
  p.drawPath(path);
}
