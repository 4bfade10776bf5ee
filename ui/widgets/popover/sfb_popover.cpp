#include "ui/widgets/popover/sfb_popover.h"

#include <QApplication>

#include "platform/gui_thread.h"

SFBPopover::SFBPopover(QWidget* contentView) {
  KV_ASSERT_GUI_THREAD();
  const QRectF frame = contentView ? QRectF(QPointF(0, 0), QSizeF(contentView->size())) : QRectF();
  window_ = std::make_unique<SFBPopoverWindow>(frame);
  window_->setPopoverContentView(contentView);
  window_->setMinSize(frame.size());
  fade_.setDuration(kFadeMs);
  connect(&fade_, &QVariantAnimation::valueChanged, this,
          [this](const QVariant& v) { window_->setAlphaValue(v.toReal()); });
  connect(&fade_, &QVariantAnimation::finished, this, &SFBPopover::fadeEnded);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    const bool wasInside = old && window_->isAncestorOf(old);
    const bool isInside = now && window_->isAncestorOf(now);
    if (isInside) isKey_ = true;
    if (wasInside && !isInside) windowDidResignKey();
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s != Qt::ApplicationActive) applicationDidResignActive();
  });
}

SFBPopover::~SFBPopover() {
  fade_.stop();
  if (window_) window_->detachFromParent();
}

bool SFBPopover::isVisible() const { return window_->isOnScreen(); }

PopoverPosition SFBPopover::bestPositionInWindow(QWidget* window, QPointF point) const {
  QWidget* host = window ? window->window() : nullptr;
  const QRectF visible = host ? QRectF(0, 0, host->width(), host->height()) : QRectF();
  std::optional<QRectF> frame;
  if (host) frame = visible;
  return popoverBestPosition(window_->popoverWindowFrame()->style(), window_->frame().size(), point, visible, frame);
}

void SFBPopover::displayPopoverInWindow(QWidget* window, QPointF point, bool chooseBestLocation, bool makeKey) {
  KV_ASSERT_GUI_THREAD();
  if (isVisible()) return;
  if (chooseBestLocation) window_->setPopoverPosition(bestPositionInWindow(window, point));
  const QPointF a = window_->popoverWindowFrame()->attachmentPointForRect(QRectF(QPointF(0, 0), window_->frame().size()));
  window_->setFrameOrigin(point - a);
  if (window == nullptr) return;  // no parent window: not shown
  if (animates_) window_->setAlphaValue(0);
  window_->attachToParent(window);
  window_->orderFront();
  if (makeKey) {
    window_->setFocusPolicy(Qt::StrongFocus);
    window_->setFocus(Qt::OtherFocusReason);
    isKey_ = true;
  }
  if (animates_) {
    fade_.stop();
    fade_.setStartValue(0.0);
    fade_.setEndValue(1.0);
    fade_.start();
  }
}

void SFBPopover::movePopoverToPoint(QPointF point) {
  KV_ASSERT_GUI_THREAD();
  const QPointF a = window_->popoverWindowFrame()->attachmentPointForRect(QRectF(QPointF(0, 0), window_->frame().size()));
  window_->setFrameOrigin(point - a);
}

void SFBPopover::closePopover() {
  KV_ASSERT_GUI_THREAD();
  if (!isVisible()) return;
  if (animates_) {
    fade_.stop();
    fade_.setStartValue(window_->alphaValue());
    fade_.setEndValue(0.0);
    fade_.start();
    return;
  }
  isKey_ = false;
  window_->detachFromParent();
}

void SFBPopover::fadeEnded() {
  if (window_->alphaValue() != 0.0) return;  // the end of a fade-in
  isKey_ = false;
  window_->detachFromParent();
  window_->setAlphaValue(1.0);
}

void SFBPopover::finishAnimations() {
  if (fade_.state() == QAbstractAnimation::Running) fade_.setCurrentTime(fade_.duration());
}

void SFBPopover::forceViewRefresh() { window_->update(); }

void SFBPopover::windowDidResignKey() {
  if (closesWhenPopoverResignsKey_ && isKey_) closePopover();
  isKey_ = false;
}

void SFBPopover::applicationDidResignActive() {
  if (closesWhenApplicationBecomesInactive_) closePopover();
}
