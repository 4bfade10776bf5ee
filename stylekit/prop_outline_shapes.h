#pragma once
// Outline helpers for the property icons, all in frame fractions (y up) and never snapped:
// the square frame rings of the metering icons with their rounded corners, circular and
// elliptic arcs, smooth curves through listed points, and subpaths forced to a winding.
#include <QPointF>
#include <initializer_list>
#include <vector>

#include "stylekit/property_icon_painter.h"

namespace propshape {

// One square of a frame ring: edges at x0..x1, y0..y1 and rounded corners whose straight
// sides end `d` short of the corner. Each corner runs (in inward distances from the corner
// point, along x then y) from (d, 0) through p1, a very short straight piece to p2, the
// mirror of p2 across the diagonal, and on to (0, d).
struct RingSquare {
  qreal x0, x1, y0, y1, d;
  QPointF p1, p2;
  RingSquare inset(qreal band) const { return {x0 + band, x1 - band, y0 + band, y1 - band, d, p1, p2}; }
};

// Sides in clockwise order (y up): top (run rightwards), right (downwards), bottom, left.
enum Side { Top = 0, Right = 1, Bottom = 2, Left = 3 };

// Traces `corners` sides of `sq` from the current point (somewhere on `side`), each followed
// by its corner, clockwise or counter-clockwise; ends where the next side's straight part
// starts.
void runRing(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& sq, Side side, bool clockwise,
             int corners);
// The point where the straight part of `side` starts, going round that way.
QPointF sideStart(const RingSquare& sq, Side side, bool clockwise);

// The band of a ring: inner outline counter-clockwise from the right end of its top side,
// then the outer one clockwise from its top-right corner.
void appendClosedRing(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& outer, qreal band);
// The ring with its top and bottom cut away between xLeft and xRight: two clockwise brackets,
// the right one first.
void appendOpenedRing(BezierPath& path, const PropertyIconPainter& icon, const RingSquare& outer, qreal band,
                      qreal xLeft, qreal xRight);

// An arc of the ellipse with radii rx, ry (fractions) about c, from angle a0 to a1 in
// degrees (counter-clockwise when a1 > a0), in cubic pieces of at most 90 degrees. The
// current point is taken to be the arc's start.
void arcTo(BezierPath& path, const PropertyIconPainter& icon, QPointF c, qreal rx, qreal ry, qreal a0, qreal a1);
// The angle in degrees of the point p seen from c.
qreal angleOf(QPointF c, QPointF p);

// Smooth cubics through the points (the first is the current point). A zero tangent lets
// the end follow the neighbouring point; otherwise the curve leaves or arrives along it.
void smoothThrough(BezierPath& path, const PropertyIconPainter& icon, const std::vector<QPointF>& points,
                   QPointF startTangent = {}, QPointF endTangent = {});

// A corner rounded by one cubic from the current point to `to`, squarer than a quarter
// circle.
void roundCorner(BezierPath& path, const PropertyIconPainter& icon, QPointF from, QPointF corner, QPointF to);

// A closed polygon of frame fractions as its own path.
BezierPath polygon(const PropertyIconPainter& icon, std::initializer_list<QPointF> points, bool close = true);
BezierPath polygon(const PropertyIconPainter& icon, const std::vector<QPointF>& points, bool close = true);

// Appends `sub` (closed subpaths) to `path`, reversed where needed so that each runs
// counter-clockwise (y up) when `counterClockwise`, clockwise otherwise.
void appendWound(BezierPath& path, const BezierPath& sub, bool counterClockwise);

// A rounded rectangle of free points with corner radii rx, ry in fractions.
BezierPath roundedPlate(const PropertyIconPainter& icon, qreal x0, qreal y0, qreal x1, qreal y1, qreal rx, qreal ry);

}  // namespace propshape
