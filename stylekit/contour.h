#pragma once
// Path helpers shared by the icon families drawn from fractions of a box: circle arcs that
// stretch into ellipses with the box, and contours through given points whose curves get
// their control points from the neighbouring points.
#include <QPointF>
#include <QRectF>
#include <initializer_list>
#include <span>

#include "platform/graphics/bezier_path.h"

// Appends cubic pieces (at most a quarter turn each) of the circle of radius r around
// (cx, cy), all in fractions of `box`, from angle a0 to a1 in degrees (counter-clockwise
// when a1 > a0). The path's current point is taken to be the arc's start.
void contourArcTo(BezierPath& path, const QRectF& box, qreal cx, qreal cy, qreal r, qreal a0, qreal a1);
// The same along an upright ellipse of radii rx and ry; angles are those of the circle it
// is stretched from.
void contourArcTo(BezierPath& path, const QRectF& box, qreal cx, qreal cy, qreal rx, qreal ry, qreal a0, qreal a1);

// A straight-edged outline through points given in fractions of `frame`, in their order;
// closed unless `closed` is false.
BezierPath polygon(const QRectF& frame, std::span<const QPointF> points, bool closed = true);
inline BezierPath polygon(const QRectF& frame, std::initializer_list<QPointF> points, bool closed = true) {
  return polygon(frame, std::span<const QPointF>(points.begin(), points.size()), closed);
}

// The angle in degrees of (x, y) seen from (cx, cy).
qreal contourAngle(qreal cx, qreal cy, qreal x, qreal y);

// A path written in fractions of a box, as the icon texts give them; calls chain.
struct FramePen {
  const QRectF& box;
  BezierPath path;
  QPointF p(qreal x, qreal y) const;
  FramePen& moveTo(qreal x, qreal y);
  FramePen& lineTo(qreal x, qreal y);
  // The end point first, then the two control points.
  FramePen& curveTo(qreal x, qreal y, qreal x1, qreal y1, qreal x2, qreal y2);
  FramePen& close();
};

// One point of a contour and the kind of segment that leaves it for the next point.
struct ContourNode {
  enum Kind { Line, Curve };
  qreal x, y;
  Kind next = Curve;
  bool corner = false;  // a kink: curves meeting here do not share a tangent
};

// Appends one closed contour through the nodes (fractions of `box`). A curve leaves and
// reaches its points along a straight neighbour, along its own chord at a corner, or else
// along the line through the points on either side; its handles are a third of the chord.
void appendContour(BezierPath& path, const QRectF& box, std::initializer_list<ContourNode> nodes);
