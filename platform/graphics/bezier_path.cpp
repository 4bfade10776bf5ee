#include "platform/graphics/bezier_path.h"

#include <QPainterPathStroker>
#include <QTransform>
#include <algorithm>

namespace {
// Control-point distance of a quarter circle drawn as one cubic.
constexpr qreal kKappa = 0.5522847498307936;
}  // namespace

BezierPath::BezierPath() { path_.setFillRule(Qt::WindingFill); }

BezierPath BezierPath::bezierPathWithRect(const QRectF& rect) {
  BezierPath p;
  p.appendBezierPathWithRect(rect);
  return p;
}

BezierPath BezierPath::bezierPathWithOvalInRect(const QRectF& rect) {
  BezierPath p;
  p.appendBezierPathWithOvalInRect(rect);
  return p;
}

BezierPath BezierPath::bezierPathWithRoundedRect(const QRectF& r0, qreal xRadius, qreal yRadius) {
  const QRectF r = r0.normalized();
  const qreal rx = std::clamp(xRadius, 0.0, r.width() / 2);
  const qreal ry = std::clamp(yRadius, 0.0, r.height() / 2);
  BezierPath p;
  if (rx <= 0 || ry <= 0) {
    p.appendBezierPathWithRect(r);
    return p;
  }
  const qreal l = r.left(), b = r.top(), rt = r.right(), t = r.bottom();  // y up: top() is min y
  const qreal kx = rx * kKappa, ky = ry * kKappa;
  p.moveToPoint({l + rx, b});
  p.lineToPoint({rt - rx, b});
  p.curveToPoint({rt, b + ry}, {rt - rx + kx, b}, {rt, b + ry - ky});
  p.lineToPoint({rt, t - ry});
  p.curveToPoint({rt - rx, t}, {rt, t - ry + ky}, {rt - rx + kx, t});
  p.lineToPoint({l + rx, t});
  p.curveToPoint({l, t - ry}, {l + rx - kx, t}, {l, t - ry + ky});
  p.lineToPoint({l, b + ry});
  p.curveToPoint({l + rx, b}, {l, b + ry - ky}, {l + rx - kx, b});
  p.closePath();
  return p;
}

void BezierPath::moveToPoint(QPointF p) { path_.moveTo(p); }
void BezierPath::lineToPoint(QPointF p) { path_.lineTo(p); }
void BezierPath::curveToPoint(QPointF end, QPointF c1, QPointF c2) { path_.cubicTo(c1, c2, end); }
void BezierPath::closePath() { path_.closeSubpath(); }

void BezierPath::appendBezierPath(const BezierPath& other) {
  // connectPath would join contours; addPath keeps them apart.
  path_.addPath(other.path_);
  path_.setFillRule(Qt::WindingFill);
}

void BezierPath::appendBezierPathWithRect(const QRectF& r0) {
  const QRectF r = r0.normalized();
  moveToPoint({r.left(), r.top()});
  lineToPoint({r.right(), r.top()});
  lineToPoint({r.right(), r.bottom()});
  lineToPoint({r.left(), r.bottom()});
  closePath();
}

void BezierPath::appendBezierPathWithOvalInRect(const QRectF& r0) {
  const QRectF r = r0.normalized();
  const qreal cx = r.center().x(), cy = r.center().y();
  const qreal rx = r.width() / 2, ry = r.height() / 2;
  const qreal kx = rx * kKappa, ky = ry * kKappa;
  // Counter-clockwise with y up, from the bottom.
  moveToPoint({cx, cy - ry});
  curveToPoint({cx + rx, cy}, {cx + kx, cy - ry}, {cx + rx, cy - ky});
  curveToPoint({cx, cy + ry}, {cx + rx, cy + ky}, {cx + kx, cy + ry});
  curveToPoint({cx - rx, cy}, {cx - kx, cy + ry}, {cx - rx, cy + ky});
  curveToPoint({cx, cy - ry}, {cx - rx, cy - ky}, {cx - kx, cy - ry});
  closePath();
}

BezierPath BezierPath::reversed() const {
  // toReversed() also reverses the order of subpaths, which changes nothing for a fill.
  BezierPath p = *this;
  p.path_ = path_.toReversed();
  p.path_.setFillRule(Qt::WindingFill);
  return p;
}

std::vector<qreal> BezierPath::subpathSignedAreas() const {
  std::vector<qreal> areas;
  const QList<QPolygonF> polys = path_.toSubpathPolygons();
  for (const QPolygonF& poly : polys) {
    qreal a = 0;
    for (int i = 0; i < poly.size(); ++i) {
      const QPointF& p = poly[i];
      const QPointF& q = poly[(i + 1) % poly.size()];
      a += p.x() * q.y() - q.x() * p.y();
    }
    areas.push_back(a / 2);
  }
  return areas;
}

QPainterPath BezierPath::strokeOutline() const {
  QPainterPathStroker s;
  s.setWidth(lineWidth_ > 0 ? lineWidth_ : 0.0001);
  switch (cap_) {
    case LineCap::Butt: s.setCapStyle(Qt::FlatCap); break;
    case LineCap::Round: s.setCapStyle(Qt::RoundCap); break;
    case LineCap::Square: s.setCapStyle(Qt::SquareCap); break;
  }
  switch (join_) {
    // The SVG miter join turns into a bevel past the limit, measured as the ratio of miter
    // length to line width, as the documented platform does; Qt's plain miter would clip.
    case LineJoin::Miter: s.setJoinStyle(Qt::SvgMiterJoin); break;
    case LineJoin::Round: s.setJoinStyle(Qt::RoundJoin); break;
    case LineJoin::Bevel: s.setJoinStyle(Qt::BevelJoin); break;
  }
  s.setMiterLimit(miterLimit_);
  QPainterPath out = s.createStroke(path_);
  out.setFillRule(Qt::WindingFill);
  return out;
}

BezierPath BezierPath::fromQPainterPath(const QPainterPath& qp) {
  BezierPath p;
  p.path_ = qp;
  p.path_.setFillRule(Qt::WindingFill);
  return p;
}

void BezierPath::transform(const QTransform& t) {
  path_ = t.map(path_);
  path_.setFillRule(Qt::WindingFill);
}
