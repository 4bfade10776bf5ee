#pragma once
// The popover's window: drawn as an overlay inside its parent's top-level window, so it
// behaves the same on every display server. "Screen" coordinates are the parent window's
// own, y up (origin at its bottom-left); the parent's rectangle is the visible frame. The
// real content view is the frame view; the shown view lies inside it. Settings that
// change the space around the content grow or shrink the window so that the content
// keeps its size and the arrow side's edge (for a position change: the attachment point)
// stays in place.
//
// Ownership: the popover owns this window. While shown it is a Qt child of the parent's
// top-level window, so it is taken back out of that window as the window is destroyed
// (before Qt deletes the children); the content view is a Qt child of the frame view.
#include <QColor>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "ui/widgets/popover/sfb_popover_window_frame.h"

class SFBPopoverWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SFBPopoverWindow(const QRectF& contentRect);

  SFBPopoverWindowFrame* popoverWindowFrame() const { return frameView_; }
  // Takes the view (it becomes a child of the frame view) and hands back the view it
  // replaces, which the caller keeps or lets go.
  std::unique_ptr<QWidget> setPopoverContentView(QWidget* view);
  QWidget* popoverContentView() const { return contentView_; }

  QRectF contentRectForFrameRect(const QRectF& r) const;
  QRectF frameRectForContentRect(const QRectF& r) const;
  void setContentSize(QSizeF size);

  // The window frame in the parent's y-up coordinates.
  QRectF frame() const { return frame_; }
  void setFrame(const QRectF& frame);
  void setFrameOrigin(QPointF origin) { setFrame(QRectF(origin, frame_.size())); }
  QSizeF minSize() const { return minSize_; }
  void setMinSize(QSizeF s) { minSize_ = s; }
  QSizeF maxSize() const { return maxSize_; }

  // The parent's top-level window (the "screen"), or nullptr.
  QWidget* parentWindow() const { return host_; }
  void attachToParent(QWidget* parentWindow);
  void detachFromParent();
  // Shown in a parent window.
  bool isOnScreen() const { return host_ && isVisible(); }
  void orderFront();
  void orderOut();
  qreal alphaValue() const { return alpha_; }
  void setAlphaValue(qreal a);

  PopoverPosition popoverPosition() const { return frameView_->style().popoverPosition; }
  void setPopoverPosition(PopoverPosition position);
  qreal distance() const { return frameView_->style().distance; }
  void setDistance(qreal v);
  qreal arrowHeight() const { return frameView_->style().arrowHeight; }
  void setArrowHeight(qreal v);
  qreal borderWidth() const { return frameView_->style().borderWidth; }
  void setBorderWidth(qreal v);
  qreal viewMargin() const { return frameView_->style().viewMargin; }
  void setViewMargin(qreal v);
  QColor borderColor() const { return frameView_->borderColor(); }
  void setBorderColor(const QColor& c);
  qreal cornerRadius() const { return frameView_->style().cornerRadius; }
  void setCornerRadius(qreal v);
  bool drawsArrow() const { return frameView_->style().drawsArrow; }
  void setDrawsArrow(bool v);
  qreal arrowWidth() const { return frameView_->style().arrowWidth; }
  void setArrowWidth(qreal v);
  bool drawRoundCornerBesideArrow() const { return frameView_->style().drawRoundCornerBesideArrow; }
  void setDrawRoundCornerBesideArrow(bool v);
  QColor popoverBackgroundColor() const { return frameView_->backgroundColor(); }
  void setPopoverBackgroundColor(const QColor& c);
  bool isMovable() const { return frameView_->style().movable; }
  void setMovable(bool v) { frameView_->style().movable = v; }
  bool isResizable() const { return frameView_->style().resizable; }
  void setResizable(bool v) { frameView_->style().resizable = v; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyLayout(const PopoverWindowLayout& l);
  void place();

  SFBPopoverWindowFrame* frameView_ = nullptr;
  QPointer<QWidget> contentView_;
  QPointer<QWidget> host_;
  QMetaObject::Connection hostGone_;
  QRectF frame_;
  QSizeF minSize_{0, 0};
  QSizeF maxSize_{1e6, 1e6};
  qreal alpha_ = 1;
};
