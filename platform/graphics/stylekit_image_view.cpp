#include "platform/graphics/stylekit_image_view.h"

#include <QPainter>

StyleKitImageView::StyleKitImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void StyleKitImageView::setImage(const StyleKitImage& image) {
  image_ = image;
  updateGeometry();
  update();
}

QSize StyleKitImageView::sizeHint() const {
  return image_.isNull() ? QSize(16, 16) : image_.size().toSize();
}

QRectF StyleKitImageView::imageRect() const {
  const QSizeF s = image_.size();
  if (s.isEmpty() || width() <= 0 || height() <= 0) return {};
  const qreal k = std::min(width() / s.width(), height() / s.height());
  const QSizeF out = s * k;
  return {(width() - out.width()) / 2, (height() - out.height()) / 2, out.width(), out.height()};
}

void StyleKitImageView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  image_.draw(p, imageRect());
}
