#include "platform/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Geometry {

int toIntSafe(qreal v) {
  if (!std::isfinite(v)) return 0;
  if (v >= static_cast<qreal>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= static_cast<qreal>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

namespace {
bool positiveFinite(qreal v) { return v > 0 && std::isfinite(v); }
}  // namespace

QRectF aspectFitRect(QSizeF content, QSizeF bounds) {
  if (!positiveFinite(content.width()) || !positiveFinite(content.height()) || !positiveFinite(bounds.width()) ||
      !positiveFinite(bounds.height()))
    return QRectF(0, 0, 0, 0);
  const qreal scale = std::min(bounds.width() / content.width(), bounds.height() / content.height());
  const QSizeF size = content * scale;
  if (!positiveFinite(size.width()) || !positiveFinite(size.height())) return QRectF(0, 0, 0, 0);
  return QRectF((bounds.width() - size.width()) / 2, (bounds.height() - size.height()) / 2, size.width(),
                size.height());
}

qreal divideOr(qreal a, qreal b, qreal fallback) {
  if (b == 0) return fallback;
  const qreal r = a / b;
  return std::isfinite(r) ? r : fallback;
}

}  // namespace Geometry
