#include "ui/widgets/small/bezier_path_quartz_utilities.h"

std::optional<QPainterPath> quartzPath(const BezierPath& path) {
  const QPainterPath& q = path.qpath();
  // A fresh path holds one bare move: that is no element either.
  if (q.elementCount() == 0 || (q.elementCount() == 1 && q.elementAt(0).isMoveTo())) return std::nullopt;
  QPainterPath out;
  out.setFillRule(Qt::WindingFill);
  bool closed = true;
  QPointF subpathStart;
  for (int i = 0; i < q.elementCount(); ++i) {
    const QPainterPath::Element e = q.elementAt(i);
    switch (e.type) {
      case QPainterPath::MoveToElement:
        if (!closed) out.closeSubpath();
        out.moveTo(e);
        subpathStart = e;
        closed = true;
        break;
      case QPainterPath::LineToElement:
        // Qt records a close as a line back to the start.
        if (QPointF(e) == subpathStart && i + 1 < q.elementCount() && q.elementAt(i + 1).isMoveTo()) {
          out.closeSubpath();
          closed = true;
        } else {
          out.lineTo(e);
          closed = false;
        }
        break;
      case QPainterPath::CurveToElement:
        out.cubicTo(e, q.elementAt(i + 1), q.elementAt(i + 2));
        i += 2;
        closed = false;
        break;
      default: break;
    }
  }
  if (!closed) out.closeSubpath();
  return out;
}

void interpolatePointsWithHermite(BezierPath& path, const std::vector<QPointF>& points, int numPoints,
                                  double alpha) {
  const int n = std::min<int>(numPoints, static_cast<int>(points.size()));
  if (n < 1) return;
  path.moveToPoint(points[0]);
  if (n < 2) return;
  for (int i = 0; i <= n - 2; ++i) {
    const QPointF cur = points[i], next = points[i + 1];
    const QPointF prev = i == 0 ? cur : points[i - 1];
    const QPointF after = i == n - 2 ? next : points[i + 2];
    path.curveToPoint(next, cur + alpha * (next - prev) / 2, next - alpha * (after - cur) / 2);
  }
}
