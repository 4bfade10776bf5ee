#include "platform/geometry.h"

#include <cmath>
#include <limits>

namespace Geometry {

int toIntSafe(qreal v) {
  if (!std::isfinite(v)) return 0;
  if (v >= static_cast<qreal>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= static_cast<qreal>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

qreal divideOr(qreal a, qreal b, qreal fallback) {
  if (b == 0) return fallback;
  const qreal r = a / b;
  return std::isfinite(r) ? r : fallback;
}

}  // namespace Geometry
