#include "platform/graphics/arcs.h"

#include <cmath>

namespace {

constexpr qreal kPi = 3.14159265358979323846;

QPointF onCircle(QPointF c, qreal r, qreal rad) { return c + QPointF(r * std::cos(rad), r * std::sin(rad)); }

// A fresh path already holds one move to (0, 0) (QPainterPath creates it with the fill
// rule), so a lone move to the origin counts as no current point.
bool hasCurrentPoint(const BezierPath& path) {
  const QPainterPath& q = path.qpath();
  if (q.elementCount() == 0) return false;
  if (q.elementCount() == 1 && q.elementAt(0).isMoveTo() && q.elementAt(0).x == 0 && q.elementAt(0).y == 0)
    return false;
  return true;
}

// Adds the arc's curves; the path already stands at its first point.
void addArcCurves(BezierPath& path, QPointF c, qreal r, qreal startRad, qreal sweepRad) {
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweepRad) / (kPi / 2) - 1e-9)));
  const qreal step = sweepRad / pieces;
  const qreal k = 4.0 / 3.0 * std::tan(step / 4);
  qreal a = startRad;
  for (int i = 0; i < pieces; ++i) {
    const qreal b = a + step;
    const QPointF p0 = onCircle(c, r, a), p3 = onCircle(c, r, b);
    const QPointF c1 = p0 + QPointF(-std::sin(a), std::cos(a)) * (k * r);
    const QPointF c2 = p3 - QPointF(-std::sin(b), std::cos(b)) * (k * r);
    path.curveToPoint(p3, c1, c2);
    a = b;
  }
}

}  // namespace

void appendArc(BezierPath& path, QPointF center, qreal radius, qreal startAngle, qreal endAngle,
               bool clockwise) {
  if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !std::isfinite(radius)) return;
  qreal delta = endAngle - startAngle;
  if (clockwise) {
    if (delta <= -360) delta = -360;
    while (delta > 0) delta -= 360;
  } else {
    if (delta >= 360) delta = 360;
    while (delta < 0) delta += 360;
  }
  const qreal startRad = startAngle * kPi / 180;
  const QPointF first = onCircle(center, radius, startRad);
  if (hasCurrentPoint(path))
    path.lineToPoint(first);
  else
    path.moveToPoint(first);
  if (delta == 0 || radius <= 0) return;
  addArcCurves(path, center, radius, startRad, delta * kPi / 180);
}

void appendArcFromPointToPoint(BezierPath& path, QPointF point1, QPointF point2, qreal radius) {
  // Here a lone move to the origin is taken as the current point: the arc needs one.
  if (path.qpath().elementCount() == 0) {
    path.moveToPoint(point1);
    return;
  }
  const QPointF p0 = path.qpath().currentPosition();
  QPointF u = p0 - point1, v = point2 - point1;
  const qreal lu = std::hypot(u.x(), u.y()), lv = std::hypot(v.x(), v.y());
  const qreal cross = u.x() * v.y() - u.y() * v.x();
  if (radius <= 0 || lu == 0 || lv == 0 || std::abs(cross) < 1e-12 * lu * lv) {
    path.lineToPoint(point1);
    return;
  }
  u /= lu;
  v /= lv;
  const qreal theta = std::acos(std::clamp(u.x() * v.x() + u.y() * v.y(), -1.0, 1.0));
  const qreal t = radius / std::tan(theta / 2);
  const QPointF t1 = point1 + u * t, t2 = point1 + v * t;
  QPointF bis = u + v;
  bis /= std::hypot(bis.x(), bis.y());
  const QPointF c = point1 + bis * (radius / std::sin(theta / 2));
  path.lineToPoint(t1);
  const qreal a1 = std::atan2(t1.y() - c.y(), t1.x() - c.x());
  const qreal a2 = std::atan2(t2.y() - c.y(), t2.x() - c.x());
  qreal sweep = a2 - a1;
  while (sweep > kPi) sweep -= 2 * kPi;
  while (sweep <= -kPi) sweep += 2 * kPi;
  addArcCurves(path, c, radius, a1, sweep);
}

void appendPieWedge(BezierPath& path, QPointF center, qreal radius, qreal startAngle, qreal endAngle,
                    bool clockwise) {
  path.moveToPoint(center);
  path.lineToPoint(onCircle(center, radius, startAngle * kPi / 180));
  appendArc(path, center, radius, startAngle, endAngle, clockwise);
  path.closePath();
}
