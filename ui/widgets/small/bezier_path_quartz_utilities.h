#pragma once
// Bezier path additions: the path as a closed painter path, and a smooth Hermite curve
// through a list of points.
#include <QPainterPath>
#include <QPointF>

#include <optional>
#include <vector>

#include "platform/graphics/bezier_path.h"

// The same elements (move, line, curve, close), the last subpath closed when it was left
// open; nothing for a path without drawn elements.
std::optional<QPainterPath> quartzPath(const BezierPath& path);

// Moves to points[0] and, with two points or more, appends one cubic per segment with
// control points cur + alpha (next - prev) / 2 and next - alpha (after - cur) / 2. At most
// `numPoints` of the points are used.
void interpolatePointsWithHermite(BezierPath& path, const std::vector<QPointF>& points, int numPoints, double alpha);
