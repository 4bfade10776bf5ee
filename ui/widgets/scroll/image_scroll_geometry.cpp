#include "ui/widgets/scroll/image_scroll_geometry.h"

#include <algorithm>
#include <cmath>

#include "platform/geometry.h"

ZoomResult zoomAtPoint(QSizeF imageSize, QSizeF documentSize, qreal factor, QPointF p, QSizeF V) {
  const QSizeF fitted = Geometry::aspectFitRect(imageSize, documentSize).size();
  ZoomResult r;
  r.documentSize = QSizeF(factor * imageSize.width(), factor * imageSize.height());
  const QSizeF D = r.documentSize;
  // A zero fitted size (no image, empty document) makes the target the document's corner.
  const QPointF target(Geometry::divideOr(p.x(), fitted.width()) * D.width(),
                       Geometry::divideOr(p.y(), fitted.height()) * D.height());
  const QPointF candidate = target - QPointF(V.width() / 2, V.height() / 2);
  const qreal maxX = D.width() - V.width(), maxY = D.height() - V.height();
  const qreal x = std::min(maxX, candidate.x() >= 0 ? candidate.x() : 0);
  const qreal y = std::max(0.0, std::min(candidate.y(), maxY));
  r.origin = QPointF(x, y);
  return r;
}

QRectF imageSourceRect(QSizeF px, const QRectF& frame, const QRectF& exposed) {
  const QRectF visible = frame.intersected(exposed);
  if (visible.isEmpty() || frame.width() <= 0 || frame.height() <= 0) return QRectF();
  const qreal sx = px.width() / frame.width(), sy = px.height() / frame.height();
  // y up in the document, rows counted from the top in the image.
  const qreal top = (frame.y() + frame.height()) - (visible.y() + visible.height());
  return QRectF((visible.x() - frame.x()) * sx, top * sy, visible.width() * sx, visible.height() * sy);
}
