#include "viewer/liveview/af_overlay.h"

#include <cmath>

#include "model/utilities.h"

QPointF afOrient(uint8_t orientation, QPointF n) {
  switch (orientation) {
    case 3: return {1 - n.x(), 1 - n.y()};
    case 6: return {1 - n.y(), n.x()};
    case 8: return {n.y(), 1 - n.x()};
    default: return n;
  }
}

bool afIsQuarterTurn(uint8_t orientation) { return orientation == 6 || orientation == 8; }

QRectF afFit(QSizeF image, QSizeF bounds) { return Utilities::rectThatFitsImageSize(image, bounds); }

QPointF afScale(QPointF p, QSizeF from, QSizeF to) {
  return Utilities::convertPoint(p, QRectF(QPointF(), from), QRectF(QPointF(), to));
}

std::vector<QLineF> afBoxSegments(qreal x0, qreal x1, qreal ya, qreal yb) {
  return {QLineF(x0, ya, x1, ya), QLineF(x0, yb, x1, yb), QLineF(x0, ya, x0, yb), QLineF(x1, ya, x1, yb)};
}

AfOverlay afOverlayOn(const QRectF& fitted) {
  const qreal half = kAfLineWidth / 2;
  return {{}, fitted.adjusted(-half, -half, half, half)};
}

bool afAddBox(AfOverlay& overlay, qreal x0, qreal x1, qreal ya, qreal yb, const QColor& stroke) {
  for (qreal v : {x0, x1, ya, yb})
    if (!std::isfinite(v)) return false;
  const QRectF box = QRectF(QPointF(x0, ya), QPointF(x1, yb)).normalized();
  if (box.width() <= 0 || box.height() <= 0 || !box.intersects(overlay.clip)) return false;
  overlay.boxes.push_back({afBoxSegments(x0, x1, ya, yb), stroke});
  return true;
}
