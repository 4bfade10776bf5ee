#pragma once
// The view that fills a popover window: holds the appearance settings, draws the body with
// its arrow (filled, then stroked) and lets a drag move or resize the popover when allowed.
#include <QColor>
#include <QWidget>

#include "ui/widgets/popover/popover_geometry.h"

class SFBPopoverWindow;

class SFBPopoverWindowFrame : public QWidget {
  Q_OBJECT
 public:
  explicit SFBPopoverWindowFrame(SFBPopoverWindow* window);

  PopoverFrameStyle& style() { return style_; }
  const PopoverFrameStyle& style() const { return style_; }
  QColor borderColor() const { return borderColor_; }
  void setBorderColor(const QColor& c) { borderColor_ = c; }
  QColor backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(const QColor& c) { backgroundColor_ = c; }

  QRectF contentRectForFrameRect(const QRectF& r) const { return popoverContentRectForFrameRect(style_, r); }
  QRectF frameRectForContentRect(const QRectF& r) const { return popoverFrameRectForContentRect(style_, r); }
  QPointF attachmentPoint() const;
  QPointF attachmentPointForRect(const QRectF& r) const { return popoverAttachmentPointForRect(style_, r); }
  // y-up bounds of the view.
  QRectF bounds() const { return QRectF(0, 0, width(), height()); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Drag { None, Move, Resize };
  SFBPopoverWindow* window_;
  PopoverFrameStyle style_;
  QColor borderColor_ = Qt::white;
  QColor backgroundColor_ = QColor::fromRgbF(0.1f, 0.1f, 0.1f, 0.75f);
  Drag drag_ = Drag::None;
  QRectF f0_;
  QPointF s0_;
};
