#include "ui/widgets/scroll/ct_image_scroll_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

#include "platform/geometry.h"
#include "platform/gui_thread.h"
#include "ui/widgets/scroll/image_scroll_geometry.h"

CT_ImageScrollView::CT_ImageScrollView(QWidget* parent) : QWidget(parent) {
  KV_ASSERT_GUI_THREAD();
  documentSize_ = QSizeF(size());
  glide_.setEasingCurve(QEasingCurve::OutCubic);
  connect(&glide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
    origin_ = v.toPointF();
    update();
  });
  connect(&glide_, &QVariantAnimation::finished, this, [this] { animationActive_ = false; });
}

void CT_ImageScrollView::setImageRef(const QImage& image) { setImageRef(image, QSizeF(image.size())); }

void CT_ImageScrollView::setImageRef(const QImage& image, QSizeF pixelSize) {
  KV_ASSERT_GUI_THREAD();
  if (image.isNull() || pixelSize.isEmpty()) return;
  stopGlide();
  image_ = image;
  imageRect_ = QRectF(QPointF(0, 0), pixelSize);
  documentSize_ = QSizeF(size());
  scrollers_ = true;
  update();
}

void CT_ImageScrollView::replaceImageRef(const QImage& image) {
  KV_ASSERT_GUI_THREAD();
  if (image.isNull()) return;
  image_ = image;
  update();
}

void CT_ImageScrollView::setZoomFactor(float factor, QPointF point) {
  KV_ASSERT_GUI_THREAD();
  if (!std::isfinite(factor) || factor < 0) return;
  stopGlide();
  const ZoomResult r = zoomAtPoint(imageRect_.size(), documentSize_, factor, point, QSizeF(size()));
  zoomFactor_ = factor;
  documentSize_ = r.documentSize;
  scrollTo(r.origin);
  scrollers_ = true;
}

void CT_ImageScrollView::setZoomToFit() {
  KV_ASSERT_GUI_THREAD();
  stopGlide();
  scrollers_ = false;
  zoomFactor_ = 0;
  documentSize_ = QSizeF(size());
  origin_ = QPointF(0, 0);
  update();
}

void CT_ImageScrollView::viewResized() {
  if (zoomFactor_ == 0) setZoomToFit();
}

void CT_ImageScrollView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  viewResized();
}

void CT_ImageScrollView::scrollTo(QPointF origin) {
  origin_ = origin;
  update();
}

QPointF CT_ImageScrollView::constrained(QPointF o) const {
  // As a clip view does: no further than the document's far edge, never before its start.
  const qreal maxX = std::max(0.0, documentSize_.width() - width());
  const qreal maxY = std::max(0.0, documentSize_.height() - height());
  return QPointF(std::clamp(o.x(), 0.0, maxX), std::clamp(o.y(), 0.0, maxY));
}

void CT_ImageScrollView::scrollToPoint(QPointF point, double seconds) {
  KV_ASSERT_GUI_THREAD();
  animationActive_ = true;
  glide_.stop();
  glide_.setDuration(static_cast<int>(std::clamp(std::isfinite(seconds) ? seconds : 0.0, 0.0, 60.0) * 1000));
  glide_.setStartValue(origin_);
  glide_.setEndValue(point);
  glide_.start();
}

void CT_ImageScrollView::stopGlide() {
  // A glide left running would carry on from a place that no longer exists.
  glide_.stop();
  animationActive_ = false;
}

void CT_ImageScrollView::finishAnimations() {
  if (glide_.state() == QAbstractAnimation::Running) glide_.setCurrentTime(glide_.duration());
}

void CT_ImageScrollView::mouseDownAt(QPointF point, int clickCount) {
  KV_ASSERT_GUI_THREAD();
  if (clickCount == 1) {
    stopGlide();  // the hand takes the image where it is
    clickPoint_ = point;
    originalOrigin_ = origin_;
    setCursor(Qt::OpenHandCursor);
  } else if (clickCount == 2) {
    const QRectF fit = Geometry::aspectFitRect(imageRect_.size(), documentSize_);
    delegate_.send([&](CT_ImageScrollViewDelegate& d) { d.imageScrollViewDoubleClicked(this, point - fit.topLeft()); });
  }
}

void CT_ImageScrollView::mouseDraggedTo(QPointF point, QPointF delta) {
  KV_ASSERT_GUI_THREAD();
  scrollTo(constrained(clickPoint_ - point + originalOrigin_));
  lastDeltaX_ = delta.x();
  lastDeltaY_ = delta.y();
}

void CT_ImageScrollView::mouseUp() {
  KV_ASSERT_GUI_THREAD();
  unsetCursor();
  if (lastDeltaX_ == 0 && lastDeltaY_ == 0) return;
  const QPointF target(origin_.x() - 10 * lastDeltaX_, origin_.y() + 10 * lastDeltaY_);
  lastDeltaX_ = lastDeltaY_ = 0;
  scrollToPoint(target, kGlideMs / 1000.0);
}

void CT_ImageScrollView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  lastMouse_ = event->position();
  mouseDownAt(yUp(event->position()), 1);
}

void CT_ImageScrollView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  mouseDownAt(yUp(event->position()), 2);
}

void CT_ImageScrollView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return;
  // The platform's deltas: x to the right, y downwards.
  const QPointF delta = event->position() - lastMouse_;
  lastMouse_ = event->position();
  mouseDraggedTo(yUp(event->position()), delta);
}

void CT_ImageScrollView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = false;
  mouseUp();
}

void CT_ImageScrollView::paintEvent(QPaintEvent* event) {
  if (image_.isNull()) return;
  // Laid out by the image's own size; the pixels at hand may be a reduced decode of it.
  const QRectF frame = Geometry::aspectFitRect(imageRect_.size(), documentSize_);
  const QRectF exposedView = Geometry::flipped(QRectF(event->rect()), height());
  const QRectF exposedDoc = exposedView.translated(origin_);
  const QRectF source = imageSourceRect(QSizeF(image_.size()), frame, exposedDoc);
  lastSource_ = source;
  if (source.isEmpty()) return;
  const QRectF targetDoc = frame.intersected(exposedDoc);
  const QRectF target = Geometry::flipped(targetDoc.translated(-origin_), height());
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(target, image_, source);
}
