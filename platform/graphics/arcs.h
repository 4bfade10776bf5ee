#pragma once
// Arcs for BezierPath in y-up points, angles in degrees from the positive x axis,
// counter-clockwise positive (as the platform's bezier paths count them).
#include <QPointF>

#include "platform/graphics/bezier_path.h"

// Appends an arc around `center` from `startAngle` to `endAngle`, counter-clockwise unless
// `clockwise`. A path with no current point starts at the arc's first point; otherwise a
// line joins the current point to it. Angles further apart than a full turn draw one turn.
void appendArc(BezierPath& path, QPointF center, qreal radius, qreal startAngle, qreal endAngle,
               bool clockwise);

// A closed pie wedge: from `center` to the arc's first point, the arc, back to the centre.
// (A path that only moved to the origin looks fresh to appendArc, so wedges around the
// origin go through here.)
void appendPieWedge(BezierPath& path, QPointF center, qreal radius, qreal startAngle, qreal endAngle,
                    bool clockwise);

// The tangent arc: a line from the current point towards `point1`, then an arc of `radius`
// tangent to the lines current point -> point1 and point1 -> point2. With no current point,
// or when the three points are in line or the radius is zero, it draws a line to `point1`.
void appendArcFromPointToPoint(BezierPath& path, QPointF point1, QPointF point2, qreal radius);
