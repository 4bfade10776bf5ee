#include "stylekit/contour.h"

#include <cmath>
#include <vector>

#include "platform/graphics/snapping.h"

void contourArcTo(BezierPath& path, const QRectF& box, qreal cx, qreal cy, qreal r, qreal a0, qreal a1) {
  contourArcTo(path, box, cx, cy, r, r, a0, a1);
}

void contourArcTo(BezierPath& path, const QRectF& box, qreal cx, qreal cy, qreal rx, qreal ry, qreal a0, qreal a1) {
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(a1 - a0) / 90 - 1e-9)));
  const qreal step = (a1 - a0) / pieces;
  for (int i = 0; i < pieces; ++i) {
    const qreal t0 = (a0 + i * step) * M_PI / 180, t1 = (a0 + (i + 1) * step) * M_PI / 180;
    const qreal k = 4.0 / 3.0 * std::tan((t1 - t0) / 4);
    const QPointF s(cx + rx * std::cos(t0), cy + ry * std::sin(t0));
    const QPointF e(cx + rx * std::cos(t1), cy + ry * std::sin(t1));
    const QPointF c1 = s + k * QPointF(-rx * std::sin(t0), ry * std::cos(t0));
    const QPointF c2 = e - k * QPointF(-rx * std::sin(t1), ry * std::cos(t1));
    path.curveToPoint(framePoint(box, e.x(), e.y()), framePoint(box, c1.x(), c1.y()),
                      framePoint(box, c2.x(), c2.y()));
  }
}

BezierPath polygon(const QRectF& frame, std::span<const QPointF> points, bool closed) {
  BezierPath path;
  bool first = true;
  for (const QPointF& q : points) {
    const QPointF p = framePoint(frame, q.x(), q.y());
    if (first)
      path.moveToPoint(p);
    else
      path.lineToPoint(p);
    first = false;
  }
  if (closed) path.closePath();
  return path;
}

qreal contourAngle(qreal cx, qreal cy, qreal x, qreal y) { return std::atan2(y - cy, x - cx) * 180 / M_PI; }

QPointF FramePen::p(qreal x, qreal y) const { return framePoint(box, x, y); }
FramePen& FramePen::moveTo(qreal x, qreal y) {
  path.moveToPoint(p(x, y));
  return *this;
}
FramePen& FramePen::lineTo(qreal x, qreal y) {
  path.lineToPoint(p(x, y));
  return *this;
}
FramePen& FramePen::curveTo(qreal x, qreal y, qreal x1, qreal y1, qreal x2, qreal y2) {
  path.curveToPoint(p(x, y), p(x1, y1), p(x2, y2));
  return *this;
}
FramePen& FramePen::close() {
  path.closePath();
  return *this;
}

namespace {

QPointF unit(QPointF v) {
  const qreal len = std::hypot(v.x(), v.y());
  return len > 0 ? v / len : QPointF(0, 0);
}

}  // namespace

void appendContour(BezierPath& path, const QRectF& box, std::initializer_list<ContourNode> list) {
  const std::vector<ContourNode> n(list);
  const size_t count = n.size();
  if (count < 2) return;
  auto pt = [&](size_t i) { return QPointF(n[i % count].x, n[i % count].y); };
  auto prev = [&](size_t i) { return (i + count - 1) % count; };
  // The direction in which the contour passes node i, seen from the curve that leaves it
  // (leaving = true) or the one that reaches it.
  auto tangent = [&](size_t i, bool leaving) {
    const size_t p = prev(i);
    if (n[i].corner) return leaving ? unit(pt(i + 1) - pt(i)) : unit(pt(i) - pt(p));
    if (leaving && n[p].next == ContourNode::Line) return unit(pt(i) - pt(p));
    if (!leaving && n[i].next == ContourNode::Line) return unit(pt(i + 1) - pt(i));
    return unit(pt(i + 1) - pt(p));
  };
  path.moveToPoint(framePoint(box, n[0].x, n[0].y));
  for (size_t i = 0; i < count; ++i) {
    const size_t j = (i + 1) % count;
    const QPointF a = pt(i), b = pt(j);
    if (n[i].next == ContourNode::Line) {
      path.lineToPoint(framePoint(box, b.x(), b.y()));
      continue;
    }
    const qreal h = std::hypot(b.x() - a.x(), b.y() - a.y()) / 3;
    const QPointF c1 = a + h * tangent(i, true);
    const QPointF c2 = b - h * tangent(j, false);
    path.curveToPoint(framePoint(box, b.x(), b.y()), framePoint(box, c1.x(), c1.y()),
                      framePoint(box, c2.x(), c2.y()));
  }
  path.closePath();
}
