#include "stylekit/oval_contours.h"

#include <cmath>

#include "platform/graphics/snapping.h"

namespace {
constexpr qreal kPi = 3.14159265358979323846;
qreal rad(qreal degrees) { return degrees * kPi / 180; }
}  // namespace

qreal FractionOval::angleOf(QPointF f) const {
  return std::atan2((f.y() - cy) / ry, (f.x() - cx) / rx) * 180 / kPi;
}

QPointF FractionOval::pointAt(qreal degrees) const {
  return {cx + rx * std::cos(rad(degrees)), cy + ry * std::sin(rad(degrees))};
}

void appendOvalArc(BezierPath& path, const QRectF& frame, const FractionOval& oval, qreal from, qreal to) {
  const qreal sweep = to - from;
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / 90 - 1e-9)));
  const qreal step = sweep / pieces;
  const qreal k = 4.0 / 3.0 * std::tan(rad(step) / 4);
  auto onFrame = [&](qreal ux, qreal uy) {
    return framePoint(frame, oval.cx + oval.rx * ux, oval.cy + oval.ry * uy);
  };
  qreal a = from;
  for (int i = 0; i < pieces; ++i) {
    const qreal b = (i + 1 == pieces) ? to : a + step;
    const qreal ta = rad(a), tb = rad(b);
    const QPointF c1 = onFrame(std::cos(ta) - k * std::sin(ta), std::sin(ta) + k * std::cos(ta));
    const QPointF c2 = onFrame(std::cos(tb) + k * std::sin(tb), std::sin(tb) - k * std::cos(tb));
    path.curveToPoint(onFrame(std::cos(tb), std::sin(tb)), c1, c2);
    a = b;
  }
}

void appendOvalContour(BezierPath& path, const QRectF& frame, const FractionOval& oval, qreal startDegrees,
                       bool clockwise, std::optional<QPointF> splitAt) {
  const qreal dir = clockwise ? -1 : 1;
  const QPointF start = oval.pointAt(startDegrees);
  path.moveToPoint(framePoint(frame, start.x(), start.y()));
  // How far along the travel the split lies, in degrees from the start.
  std::optional<qreal> splitTravel;
  if (splitAt) {
    qreal t = dir * (oval.angleOf(*splitAt) - startDegrees);
    t = std::fmod(t, 360.0);
    if (t < 0) t += 360;
    splitTravel = t;
  }
  for (int q = 0; q < 4; ++q) {
    const qreal a = startDegrees + dir * 90 * q;
    const qreal b = startDegrees + dir * 90 * (q + 1);
    if (splitTravel && *splitTravel > 90 * q && *splitTravel < 90 * (q + 1)) {
      const qreal s = startDegrees + dir * *splitTravel;
      appendOvalArc(path, frame, oval, a, s);
      appendOvalArc(path, frame, oval, s, b);
    } else {
      appendOvalArc(path, frame, oval, a, b);
    }
  }
  path.closePath();
}
