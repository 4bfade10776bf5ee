#include "stylekit/prop_focus_area_figures.h"

#include <cmath>

#include "platform/graphics/snapping.h"
#include "stylekit/prop_icon_paths.h"

namespace focus_area {

BezierPath screenRing(const PropertyIconPainter& icon, const RingEdges& e) {
  FracPath p(icon);
  p.rect(e.innerLeft, e.innerBottom, e.innerRight, e.innerTop, false);
  p.rect(e.outerLeft, e.outerBottom, e.outerRight, e.outerTop, true);
  return p;
}

BezierPath bracket(const PropertyIconPainter& icon, qreal xo, qreal xi, qreal xt, qreal y0, qreal y1, qreal y2,
                   qreal y3) {
  FracPath p(icon);
  p.polygon({{xo, y3}, {xo, y0}, {xt, y0}, {xt, y1}, {xi, y1}, {xi, y2}, {xt, y2}, {xt, y3}});
  return p;
}

BezierPath cap(const PropertyIconPainter& icon, qreal x0, qreal x1, qreal x2, qreal x3, qreal y0, qreal y1,
               qreal y2) {
  FracPath p(icon);
  p.polygon({{x3, y2}, {x3, y0}, {x2, y0}, {x2, y1}, {x1, y1}, {x1, y0}, {x0, y0}, {x0, y2}});
  return p;
}

BezierPath cup(const PropertyIconPainter& icon, qreal x0, qreal x1, qreal x2, qreal x3, qreal y0, qreal y1,
               qreal y2) {
  FracPath p(icon);
  p.polygon({{x3, y0}, {x3, y2}, {x2, y2}, {x2, y1}, {x1, y1}, {x1, y2}, {x0, y2}, {x0, y0}});
  return p;
}

QRectF trackingMarkFrame(const QRectF& frame, qreal bottom, qreal top) {
  const qreal w = frame.width(), h = frame.height();
  const qreal left = std::floor(w * 0.68667 + 0.5);
  const qreal b = std::floor(h * bottom + 0.5);
  // The right edge is floored without the half and then moved out by half a point, so the
  // width always ends in one half.
  const qreal width = std::floor(w * 1.00333) - left + 0.5;
  const qreal height = std::floor(h * top + 0.5) - b;
  return {frame.x() + left, frame.y() + b, width, height};
}

void paintTrackingMark(PropertyIconPainter& icon, qreal bottom, qreal top) {
  const QRectF mark = trackingMarkFrame(icon.frame(), bottom, top);
  auto at = [&](qreal x, qreal y) { return framePoint(mark, x, y); };
  icon.fill(BezierPath::bezierPathWithRect(snappedRect(mark, 0.25263, 0.09524, 0.8, 0.45238)));
  icon.fill(BezierPath::bezierPathWithRect(
      QRectF(mark.x(), mark.y(), std::floor(mark.width()) + 0.5, std::floor(mark.height() * 0.09524 + 0.5))));
  BezierPath head;
  head.moveToPoint(at(0.52632, 0.41071));
  head.lineToPoint(at(0.3759, 0.65179));
  head.lineToPoint(at(0.67673, 0.65179));
  head.closePath();
  icon.fill(head);
  icon.fill(BezierPath::bezierPathWithRect(snappedRect(mark, 0.50526, 0.45238, 0.54737, 1)));
}

void paintExpandedTrackingMark(PropertyIconPainter& icon) {
  icon.fill(icon.rectangle(0.76667, 0.07333, 0.94, 0.17333));
  // The base bar spans the same width as the other icons' mark frame.
  icon.fill(BezierPath::bezierPathWithRect(
      snappedRect(icon.frame(), EdgeRule{0.68667}, EdgeRule{0.04667}, EdgeRule{1.00333, 0, 0.5}, EdgeRule{0.07333})));
  FracPath head(icon);
  head.polygon({{0.85333, 0.16167}, {0.8057, 0.22917}, {0.90096, 0.22917}});
  icon.fill(head);
  icon.fill(icon.rectangle(0.84667, 0.17333, 0.86, 0.32667));
}

}  // namespace focus_area
