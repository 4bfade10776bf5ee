#pragma once
// Shows a view in a popover beside a point of a parent window, with the arrow of its body
// pointing at the point; fades in and out when `animates`. Drawn as an overlay inside the
// parent's top-level window: the parent's rectangle stands for the screen's visible frame,
// "resigns key" is the popover losing the keyboard focus, and with no parent window the
// popover is not shown. Appearance settings are forwarded to the popover window.
#include <QObject>
#include <QPointer>
#include <QVariantAnimation>

#include <memory>

#include "ui/widgets/popover/sfb_popover_window.h"

class SFBPopover : public QObject {
  Q_OBJECT
 public:
  static constexpr int kFadeMs = 250;

  // Takes the content view: it lives, inside the popover window, as long as the popover.
  explicit SFBPopover(QWidget* contentView);
  ~SFBPopover() override;

  void displayPopoverInWindow(QWidget* window, QPointF point, bool chooseBestLocation = false, bool makeKey = false);
  PopoverPosition bestPositionInWindow(QWidget* window, QPointF point) const;
  void movePopoverToPoint(QPointF point);
  void closePopover();
  SFBPopoverWindow* popoverWindow() const { return window_.get(); }
  bool isVisible() const;
  void forceViewRefresh();
  // Ends a running fade (tests).
  void finishAnimations();

  bool animates() const { return animates_; }
  void setAnimates(bool a) { animates_ = a; }
  bool closesWhenPopoverResignsKey() const { return closesWhenPopoverResignsKey_; }
  void setClosesWhenPopoverResignsKey(bool c) { closesWhenPopoverResignsKey_ = c; }
  bool closesWhenApplicationBecomesInactive() const { return closesWhenApplicationBecomesInactive_; }
  void setClosesWhenApplicationBecomesInactive(bool c) { closesWhenApplicationBecomesInactive_ = c; }

  PopoverPosition position() const { return window_->popoverPosition(); }
  void setPosition(PopoverPosition p) { window_->setPopoverPosition(p); }
  qreal distance() const { return window_->distance(); }
  void setDistance(qreal v) { window_->setDistance(v); }
  QColor borderColor() const { return window_->borderColor(); }
  void setBorderColor(const QColor& c) { window_->setBorderColor(c); }
  qreal borderWidth() const { return window_->borderWidth(); }
  void setBorderWidth(qreal v) { window_->setBorderWidth(v); }
  qreal cornerRadius() const { return window_->cornerRadius(); }
  void setCornerRadius(qreal v) { window_->setCornerRadius(v); }
  bool drawsArrow() const { return window_->drawsArrow(); }
  void setDrawsArrow(bool v) { window_->setDrawsArrow(v); }
  qreal arrowWidth() const { return window_->arrowWidth(); }
  void setArrowWidth(qreal v) { window_->setArrowWidth(v); }
  qreal arrowHeight() const { return window_->arrowHeight(); }
  void setArrowHeight(qreal v) { window_->setArrowHeight(v); }
  bool drawRoundCornerBesideArrow() const { return window_->drawRoundCornerBesideArrow(); }
  void setDrawRoundCornerBesideArrow(bool v) { window_->setDrawRoundCornerBesideArrow(v); }
  qreal viewMargin() const { return window_->viewMargin(); }
  void setViewMargin(qreal v) { window_->setViewMargin(v); }
  QColor backgroundColor() const { return window_->popoverBackgroundColor(); }
  void setBackgroundColor(const QColor& c) { window_->setPopoverBackgroundColor(c); }
  bool isMovable() const { return window_->isMovable(); }
  void setMovable(bool v) { window_->setMovable(v); }
  bool isResizable() const { return window_->isResizable(); }
  void setResizable(bool v) { window_->setResizable(v); }

  // The handlers of focus loss and of the application becoming inactive.
  void windowDidResignKey();
  void applicationDidResignActive();

 private:
  void fadeEnded();

  std::unique_ptr<SFBPopoverWindow> window_;
  bool animates_ = true;
  bool closesWhenPopoverResignsKey_ = false;
  bool closesWhenApplicationBecomesInactive_ = false;
  bool isKey_ = false;
  QVariantAnimation fade_;
};
