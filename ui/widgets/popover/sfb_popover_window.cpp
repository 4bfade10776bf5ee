#include "ui/widgets/popover/sfb_popover_window.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>

#include "platform/geometry.h"
#include "platform/gui_thread.h"
#include "platform/window_registry.h"

SFBPopoverWindow::SFBPopoverWindow(const QRectF& contentRect) : QWidget(nullptr) {
  KV_ASSERT_GUI_THREAD();
  setAttribute(Qt::WA_TranslucentBackground);
  setGraphicsEffect(new QGraphicsOpacityEffect(this));
  frame_ = QRectF(contentRect.topLeft(), contentRect.size());
  hide();
}

QRectF SFBPopoverWindow::contentRectForFrameRect(const QRectF& r) const {
  return frameView_ ? frameView_->contentRectForFrameRect(r) : QRectF();
}

QRectF SFBPopoverWindow::frameRectForContentRect(const QRectF& r) const {
  return frameView_ ? frameView_->frameRectForContentRect(r) : QRectF();
}

std::unique_ptr<QWidget> SFBPopoverWindow::setPopoverContentView(QWidget* view) {
  KV_ASSERT_GUI_THREAD();
  if (frameView_ && contentView_ == view) return nullptr;
  if (!frameView_) frameView_ = new SFBPopoverWindowFrame(this);
  const QRectF viewFrame = view ? QRectF(QPointF(0, 0), QSizeF(view->size())) : QRectF(0, 0, 0, 0);
  const QRectF f = frameRectForContentRect(viewFrame);
  setFrame(QRectF(QPointF(0, 0), f.size()));
  std::unique_ptr<QWidget> replaced;
  if (contentView_ && contentView_ != view) {
    contentView_->hide();
    contentView_->setParent(nullptr);
    replaced.reset(contentView_.data());
  }
  contentView_ = view;
  if (view) {
    view->setParent(frameView_);
    const QRectF c = contentRectForFrameRect(QRectF(QPointF(0, 0), f.size()));
    view->setGeometry(Geometry::flipped(c, f.height()).toRect());
    view->show();
  }
  return replaced;
}

void SFBPopoverWindow::setContentSize(QSizeF size) {
  setFrame(QRectF(frame_.topLeft(), frameRectForContentRect(QRectF(QPointF(0, 0), size)).size()));
}

void SFBPopoverWindow::setFrame(const QRectF& frame) {
  frame_ = frame;
  place();
}

void SFBPopoverWindow::place() {
  const QSize s(Geometry::toIntSafe(std::ceil(frame_.width())), Geometry::toIntSafe(std::ceil(frame_.height())));
  if (host_)
    setGeometry(Geometry::flipped(frame_, host_->height()).toRect().topLeft().x(),
                Geometry::flipped(frame_, host_->height()).toRect().topLeft().y(), s.width(), s.height());
  else
    resize(s);
  if (frameView_) frameView_->setGeometry(0, 0, s.width(), s.height());
  update();
}

void SFBPopoverWindow::attachToParent(QWidget* parentWindow) {
  KV_ASSERT_GUI_THREAD();
  QWidget* host = parentWindow ? parentWindow->window() : nullptr;
  if (host_ == host) return;
  detachFromParent();
  host_ = host;
  if (!host) return;
  // Qt deletes a widget's children right after its destroyed signal: leave first, so the
  // popover's own pointer stays the only owner.
  hostGone_ = connect(host, &QObject::destroyed, this, [this] { detachFromParent(); });
  setParent(host);
  host->installEventFilter(this);
  place();
}

void SFBPopoverWindow::detachFromParent() {
  disconnect(hostGone_);
  if (host_) host_->removeEventFilter(this);
  WindowRegistry::unregisterWindow(this);
  host_ = nullptr;
  hide();
  setParent(nullptr);
}

void SFBPopoverWindow::orderFront() {
  KV_ASSERT_GUI_THREAD();
  if (!host_) return;  // no parent window: not shown
  place();
  show();
  raise();
  WindowRegistry::registerWindow(this, WindowRegistry::Kind::Popover);
  WindowRegistry::bringToFront(this);
}

void SFBPopoverWindow::orderOut() {
  KV_ASSERT_GUI_THREAD();
  hide();
}

void SFBPopoverWindow::setAlphaValue(qreal a) {
  alpha_ = a;
  if (auto* e = static_cast<QGraphicsOpacityEffect*>(graphicsEffect())) e->setOpacity(a);
}

bool SFBPopoverWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == host_ && event->type() == QEvent::Resize) place();
  return QWidget::eventFilter(watched, event);
}

void SFBPopoverWindow::applyLayout(const PopoverWindowLayout& l) {
  const bool wasVisible = isVisible();
  if (contentView_)
    contentView_->setGeometry(Geometry::flipped(l.contentFrame, l.frame.height()).toRect());
  setFrame(l.frame);
  frameView_->update();
  if (wasVisible) show();
}

void SFBPopoverWindow::setPopoverPosition(PopoverPosition position) {
  KV_ASSERT_GUI_THREAD();
  if (position == popoverPosition()) return;
  applyLayout(popoverRelayoutForPosition(frameView_->style(), frame_, position));
}

void SFBPopoverWindow::setDistance(qreal v) {
  applyLayout(popoverRelayoutForArrowSpace(frameView_->style(), frame_, ArrowSpaceSetting::Distance, v));
}

void SFBPopoverWindow::setArrowHeight(qreal v) {
  applyLayout(popoverRelayoutForArrowSpace(frameView_->style(), frame_, ArrowSpaceSetting::ArrowHeight, v));
}

void SFBPopoverWindow::setBorderWidth(qreal v) {
  applyLayout(popoverRelayoutForAllRound(frameView_->style(), frame_, AllRoundSetting::BorderWidth, v));
}

void SFBPopoverWindow::setViewMargin(qreal v) {
  applyLayout(popoverRelayoutForAllRound(frameView_->style(), frame_, AllRoundSetting::ViewMargin, v));
}

void SFBPopoverWindow::setBorderColor(const QColor& c) {
  frameView_->setBorderColor(c);
  frameView_->update();
}

void SFBPopoverWindow::setCornerRadius(qreal v) {
  frameView_->style().cornerRadius = v;
  frameView_->update();
}

void SFBPopoverWindow::setDrawsArrow(bool v) {
  frameView_->style().drawsArrow = v;
  frameView_->update();
}

void SFBPopoverWindow::setArrowWidth(qreal v) {
  frameView_->style().arrowWidth = v;
  frameView_->update();
}

void SFBPopoverWindow::setDrawRoundCornerBesideArrow(bool v) {
  frameView_->style().drawRoundCornerBesideArrow = v;
  frameView_->update();
}

void SFBPopoverWindow::setPopoverBackgroundColor(const QColor& c) {
  if (c == frameView_->backgroundColor()) return;
  frameView_->setBackgroundColor(c);
  frameView_->update();
}
