#include "stylekit/prop_outline_shapes.h"

#include <cmath>

#include "stylekit/contour.h"

namespace propshape {

namespace {

enum Corner { TR, BR, BL, TL };

QPointF unit(QPointF v) {
  const qreal n = std::hypot(v.x(), v.y());
  return n > 0 ? v / n : QPointF();
}

qreal length(QPointF v) { return std::hypot(v.x(), v.y()); }

// Inward distances (u along x, v along y) from a corner point to frame fractions.
QPointF fromCorner(const RingSquare& sq, Corner c, QPointF uv) {
  const bool right = c == TR || c == BR;
  const bool top = c == TR || c == TL;
  const qreal cx = right ? sq.x1 : sq.x0;
  const qreal cy = top ? sq.y1 : sq.y0;
  return {cx + (right ? -uv.x() : uv.x()), cy + (top ? -uv.y() : uv.y())};
}

// One cubic from a to b (fractions) leaving along ta and arriving along tb, handles a third
// of the chord long.
void hermite(BezierPath& path, const PropertyIconPainter& icon, QPointF a, QPointF ta, QPointF b, QPointF tb) {
  const qreal l = length(b - a) / 3;
  const QPointF c1 = a + unit(ta) * l;
  const QPointF c2 = b - unit(tb) * l;
  path.curveToPoint(icon.p(b.x(), b.y()), icon.p(c1.x(), c1.y()), icon.p(c2.x(), c2.y()));
}

// The corner from the horizontal side to the vertical one (forward) or back.
void corner(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& sq, Corner c, bool forward) {
  const QPointF t12 = unit(sq.p2 - sq.p1);
  const QPointF p3(sq.p2.y(), sq.p2.x());
  // In inward distances: points and the direction of travel at each, going forward.
  const QPointF pts[5] = {{sq.d, 0}, sq.p1, sq.p2, p3, {0, sq.d}};
  const QPointF tan[5] = {{-1, 0}, t12, t12, {-t12.y(), -t12.x()}, {0, 1}};
  const bool straight[4] = {false, true, false, false};  // the piece p1 -> p2
  auto to = [&](int i) { return fromCorner(sq, c, pts[i]); };
  // Tangents map like the points, with the corner's signs.
  auto dir = [&](int i) {
    const QPointF o = fromCorner(sq, c, {0, 0});
    return fromCorner(sq, c, tan[i]) - o;
  };
  for (int k = 0; k < 4; ++k) {
    const int i = forward ? k : 4 - k;
    const int j = forward ? k + 1 : 3 - k;
    const bool line = straight[forward ? k : 3 - k];
    const QPointF b = to(j);
    if (line) {
      path.lineToPoint(icon.p(b.x(), b.y()));
    } else {
      const QPointF ta = forward ? dir(i) : -dir(i);
      const QPointF tb = forward ? dir(j) : -dir(j);
      hermite(path, icon, to(i), ta, b, tb);
    }
  }
}

QPointF sideEnd(const RingSquare& sq, Side side, bool cw) {
  switch (side) {
    case Top:
      return cw ? QPointF(sq.x1 - sq.d, sq.y1) : QPointF(sq.x0 + sq.d, sq.y1);
    case Right:
      return cw ? QPointF(sq.x1, sq.y0 + sq.d) : QPointF(sq.x1, sq.y1 - sq.d);
    case Bottom:
      return cw ? QPointF(sq.x0 + sq.d, sq.y0) : QPointF(sq.x1 - sq.d, sq.y0);
    case Left:
      return cw ? QPointF(sq.x0, sq.y1 - sq.d) : QPointF(sq.x0, sq.y0 + sq.d);
  }
  return {};
}

}  // namespace

QPointF sideStart(const RingSquare& sq, Side side, bool cw) {
  // Where a side starts is where the other way round ends it.
  return sideEnd(sq, side, !cw);
}

void runRing(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& sq, Side side, bool cw, int corners) {
  static constexpr Corner kCw[] = {TR, BR, BL, TL};
  static constexpr Corner kCcw[] = {TL, TR, BR, BL};
  for (int k = 0; k < corners; ++k) {
    const QPointF e = sideEnd(sq, side, cw);
    path.lineToPoint(icon.p(e.x(), e.y()));
    // A corner runs forward when it is reached along a horizontal side.
    corner(path, icon, sq, cw ? kCw[side] : kCcw[side], side == Top || side == Bottom);
    side = static_cast<Side>(cw ? (side + 1) % 4 : (side + 3) % 4);
  }
}

void appendClosedRing(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& outer, qreal band) {
  const RingSquare inner = outer.inset(band);
  const QPointF a = sideStart(inner, Top, false);
  path.moveToPoint(icon.p(a.x(), a.y()));
  runRing(path, icon, inner, Top, false, 4);
  path.closePath();
  const QPointF b = sideStart(outer, Right, true);
  path.moveToPoint(icon.p(b.x(), b.y()));
  runRing(path, icon, outer, Right, true, 4);
  path.closePath();
}

void appendOpenedRing(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& outer, qreal band,
                      qreal xLeft, qreal xRight) {
  const RingSquare inner = outer.inset(band);
  // Right bracket, from the outer top-right corner down the right side.
  const QPointF s = sideStart(outer, Right, true);
  path.moveToPoint(icon.p(s.x(), s.y()));
  runRing(path, icon, outer, Right, true, 1);
  path.lineToPoint(icon.p(xRight, outer.y0));
  path.lineToPoint(icon.p(xRight, inner.y0));
  runRing(path, icon, inner, Bottom, false, 2);
  path.lineToPoint(icon.p(xRight, inner.y1));
  path.lineToPoint(icon.p(xRight, outer.y1));
  runRing(path, icon, outer, Top, true, 1);
  path.closePath();
  // Left bracket, from the inner end of its upper cut leftwards along the inner top.
  path.moveToPoint(icon.p(xLeft, inner.y1));
  runRing(path, icon, inner, Top, false, 2);
  path.lineToPoint(icon.p(xLeft, inner.y0));
  path.lineToPoint(icon.p(xLeft, outer.y0));
  runRing(path, icon, outer, Bottom, true, 2);
  path.lineToPoint(icon.p(xLeft, outer.y1));
  path.closePath();
}

qreal angleOf(QPointF c, QPointF p) { return std::atan2(p.y() - c.y(), p.x() - c.x()) * 180 / M_PI; }

void arcTo(BezierPath& path, const PropertyIconPainter& icon, QPointF c, qreal rx, qreal ry, qreal a0, qreal a1) {
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(a1 - a0) / 90 - 1e-9)));
  const qreal step = (a1 - a0) / pieces;
  for (int i = 0; i < pieces; ++i) {
    const qreal t0 = (a0 + i * step) * M_PI / 180;
    const qreal t1 = (a0 + (i + 1) * step) * M_PI / 180;
    const qreal k = 4.0 / 3.0 * std::tan((t1 - t0) / 4);
    const QPointF s(c.x() + rx * std::cos(t0), c.y() + ry * std::sin(t0));
    const QPointF e(c.x() + rx * std::cos(t1), c.y() + ry * std::sin(t1));
    const QPointF c1 = s + k * QPointF(-rx * std::sin(t0), ry * std::cos(t0));
    const QPointF c2 = e - k * QPointF(-rx * std::sin(t1), ry * std::cos(t1));
    path.curveToPoint(icon.p(e.x(), e.y()), icon.p(c1.x(), c1.y()), icon.p(c2.x(), c2.y()));
  }
}

void smoothThrough(BezierPath& path, const PropertyIconPainter& icon, const std::vector<QPointF>& q,
                   QPointF startTangent, QPointF endTangent) {
  const size_t n = q.size();
  if (n < 2) return;
  std::vector<QPointF> m(n);
  for (size_t i = 0; i < n; ++i) {
    if (i == 0)
      m[i] = startTangent.isNull() ? q[1] - q[0] : unit(startTangent) * length(q[1] - q[0]);
    else if (i == n - 1)
      m[i] = endTangent.isNull() ? q[i] - q[i - 1] : unit(endTangent) * length(q[i] - q[i - 1]);
    else
      m[i] = (q[i + 1] - q[i - 1]) / 2;
  }
  for (size_t i = 0; i + 1 < n; ++i) {
    const QPointF c1 = q[i] + m[i] / 3;
    const QPointF c2 = q[i + 1] - m[i + 1] / 3;
    path.curveToPoint(icon.p(q[i + 1].x(), q[i + 1].y()), icon.p(c1.x(), c1.y()), icon.p(c2.x(), c2.y()));
  }
}

void roundCorner(BezierPath& path, const PropertyIconPainter& icon, QPointF from, QPointF corner, QPointF to) {
  // Handles 0.7 of the way to the corner: a little squarer than a circle's 0.55.
  const QPointF c1 = from + (corner - from) * 0.7;
  const QPointF c2 = to + (corner - to) * 0.7;
  path.curveToPoint(icon.p(to.x(), to.y()), icon.p(c1.x(), c1.y()), icon.p(c2.x(), c2.y()));
}

BezierPath polygon(const PropertyIconPainter& icon, const std::vector<QPointF>& points, bool close) {
  return ::polygon(icon.frame(), points, close);
}

BezierPath polygon(const PropertyIconPainter& icon, std::initializer_list<QPointF> points, bool close) {
  return ::polygon(icon.frame(), points, close);
}

void appendWound(BezierPath& path, const BezierPath& sub, bool counterClockwise) {
  qreal area = 0;
  for (qreal a : sub.subpathSignedAreas()) area += a;
  const bool isCcw = area > 0;
  path.appendBezierPath(isCcw == counterClockwise ? sub : sub.reversed());
}

BezierPath roundedPlate(const PropertyIconPainter& icon, qreal x0, qreal y0, qreal x1, qreal y1, qreal rx, qreal ry) {
  BezierPath path;
  path.moveToPoint(icon.p(x0 + rx, y1));
  path.lineToPoint(icon.p(x1 - rx, y1));
  roundCorner(path, icon, {x1 - rx, y1}, {x1, y1}, {x1, y1 - ry});
  path.lineToPoint(icon.p(x1, y0 + ry));
  roundCorner(path, icon, {x1, y0 + ry}, {x1, y0}, {x1 - rx, y0});
  path.lineToPoint(icon.p(x0 + rx, y0));
  roundCorner(path, icon, {x0 + rx, y0}, {x0, y0}, {x0, y0 + ry});
  path.lineToPoint(icon.p(x0, y1 - ry));
  roundCorner(path, icon, {x0, y1 - ry}, {x0, y1}, {x0 + rx, y1});
  path.closePath();
  return path;
}

}  // namespace propshape
