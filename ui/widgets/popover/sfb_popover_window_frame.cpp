#include "ui/widgets/popover/sfb_popover_window_frame.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/graphics/graphics_context.h"
#include "ui/widgets/popover/sfb_popover_window.h"

SFBPopoverWindowFrame::SFBPopoverWindowFrame(SFBPopoverWindow* window) : QWidget(window), window_(window) {
  setAttribute(Qt::WA_TranslucentBackground);
}

QPointF SFBPopoverWindowFrame::attachmentPoint() const { return attachmentPointForRect(bounds()); }

void SFBPopoverWindowFrame::paintEvent(QPaintEvent*) {
  QPainter p(this);
  GraphicsContext ctx(p, height());
  BezierPath path = popoverFramePathForContentRect(style_, contentRectForFrameRect(bounds()));
  ctx.setFillColor(backgroundColor_);
  ctx.fill(path);
  if (style_.borderWidth > 0) {
    path.setLineWidth(style_.borderWidth);
    ctx.setStrokeColor(borderColor_);
    ctx.stroke(path);
  }
}

void SFBPopoverWindowFrame::mousePressEvent(QMouseEvent* event) {
  drag_ = Drag::None;
  if (event->button() != Qt::LeftButton) return;
  const QPointF p(event->position().x(), height() - event->position().y());  // y up
  const QRectF content = contentRectForFrameRect(bounds());
  const BezierPath path = popoverFramePathForContentRect(style_, content);
  const bool onBorder = path.qpath().contains(p) && !content.contains(p);
  if (onBorder ? !style_.resizable : !style_.movable) return;
  drag_ = onBorder ? Drag::Resize : Drag::Move;
  f0_ = window_->frame();
  // Screen (the parent window), y up.
  QWidget* host = window_->parentWindow();
  const QPointF g = host ? host->mapFromGlobal(event->globalPosition()) : event->globalPosition();
  s0_ = QPointF(g.x(), (host ? host->height() : 0) - g.y());
}

void SFBPopoverWindowFrame::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::None) return;
  QWidget* host = window_->parentWindow();
  const QPointF g = host ? host->mapFromGlobal(event->globalPosition()) : event->globalPosition();
  const QPointF s(g.x(), (host ? host->height() : 0) - g.y());
  const qreal dx = s.x() - s0_.x(), dy = s.y() - s0_.y();
  QRectF f = f0_;
  if (drag_ == Drag::Move) {
    f.translate(dx, dy);
  } else {
    f = QRectF(f.x(), f.y() + dy, f.width() + dx, f.height() - dy);
    const QRectF n = window_->contentRectForFrameRect(f);
    const QSizeF maxS = window_->maxSize(), minS = window_->minSize();
    if (n.width() > maxS.width())
      f.setWidth(f.width() - (n.width() - maxS.width()));
    else if (n.width() < minS.width())
      f.setWidth(f.width() + (minS.width() - n.width()));
    if (n.height() > maxS.height()) {
      const qreal e = n.height() - maxS.height();
      f = QRectF(f.x(), f.y() + e, f.width(), f.height() - e);
    } else if (n.height() < minS.height()) {
      const qreal e = minS.height() - n.height();
      f = QRectF(f.x(), f.y() - e, f.width(), f.height() + e);
    }
  }
  window_->setFrame(f);
}

void SFBPopoverWindowFrame::mouseReleaseEvent(QMouseEvent*) { drag_ = Drag::None; }
