#pragma once
// Shows one bitmap fitted to the view or at a zoom factor of its pixel size, centred on a
// point; a drag pans with an open hand and a release glides on for 0.6 s; a double click
// goes to the delegate with the point relative to the fitted image. y grows upwards.
// Only the exposed part is painted, straight from the source image.
#include <QImage>
#include <QPointF>
#include <QVariantAnimation>
#include <QWidget>

#include <memory>

#include "platform/weak_delegate.h"

class CT_ImageScrollView;

class CT_ImageScrollViewDelegate {
 public:
  virtual ~CT_ImageScrollViewDelegate() = default;
  virtual void imageScrollViewDoubleClicked(CT_ImageScrollView*, QPointF) {}
};

class CT_ImageScrollView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kGlideMs = 600;

  explicit CT_ImageScrollView(QWidget* parent = nullptr);

  void setImageRef(const QImage& image);
  // A reduced decode standing in for an image of `pixelSize` pixels: laid out and zoomed as
  // the full image, drawn from the pixels it has.
  void setImageRef(const QImage& image, QSizeF pixelSize);
  // Swaps in other pixels of the same image (a sharper decode) keeping zoom and scroll place.
  void replaceImageRef(const QImage& image);
  QImage imageRef() const { return image_; }
  void setZoomFactor(float factor, QPointF point);
  void setZoomToFit();
  void viewResized();
  void scrollToPoint(QPointF point, double seconds);
  void setDelegate(const std::shared_ptr<CT_ImageScrollViewDelegate>& d) { delegate_.set(d); }

  // The mouse, in y-up view points (also reached from the Qt events).
  void mouseDownAt(QPointF point, int clickCount);
  void mouseDraggedTo(QPointF point, QPointF delta);
  void mouseUp();

  float zoomFactor() const { return zoomFactor_; }
  QRectF imageRect() const { return imageRect_; }
  QSizeF documentSize() const { return documentSize_; }
  QPointF scrollOrigin() const { return origin_; }
  bool hasScrollers() const { return scrollers_; }
  bool animationActive() const { return animationActive_; }
  void finishAnimations();
  // The source rectangle the last paint read from the image (tests).
  QRectF lastSourceRect() const { return lastSource_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPointF yUp(QPointF qtPoint) const { return QPointF(qtPoint.x(), height() - qtPoint.y()); }
  QPointF constrained(QPointF origin) const;
  void scrollTo(QPointF origin);
  void stopGlide();

  QImage image_;
  QRectF imageRect_;
  float zoomFactor_ = 0;
  QPointF clickPoint_, originalOrigin_;
  double lastDeltaX_ = 0, lastDeltaY_ = 0;
  bool animationActive_ = false;
  WeakDelegate<CT_ImageScrollViewDelegate> delegate_;
  QSizeF documentSize_{0, 0};
  QPointF origin_{0, 0};
  bool scrollers_ = false;
  QVariantAnimation glide_;
  QPointF lastMouse_;
  bool pressed_ = false;
  QRectF lastSource_;
};
