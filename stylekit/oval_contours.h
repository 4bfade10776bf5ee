#pragma once
// Circles of the icon kits given in fractions of the frame: in a frame that is not square
// they become ellipses. Each arc is cut into cubic pieces of at most a quarter turn, made
// on the unit circle and carried into the frame, so a quarter lands exactly on the four
// extreme points of its box.
#include <QPointF>
#include <QRectF>
#include <optional>

#include "platform/graphics/bezier_path.h"

// An ellipse in fractions of the frame: its centre and its two radii.
struct FractionOval {
  qreal cx, cy, rx, ry;
  // The oval inscribed in the box left..right, bottom..top.
  static FractionOval inBox(qreal left, qreal bottom, qreal right, qreal top) {
    return {(left + right) / 2, (bottom + top) / 2, (right - left) / 2, (top - bottom) / 2};
  }
  // The angle in degrees (counter-clockwise from the +x axis) at which a point of the oval
  // lies, measured on the unit circle the oval is stretched from.
  qreal angleOf(QPointF fraction) const;
  // The point of the oval at that angle, in fractions.
  QPointF pointAt(qreal degrees) const;
};

// Appends curves from the path's current point (which must be the oval's point at `from`)
// along the oval to its point at `to`; `to` below `from` runs clockwise.
void appendOvalArc(BezierPath& path, const QRectF& frame, const FractionOval& oval, qreal from, qreal to);

// One closed contour around the oval starting at `startDegrees`, running counter-clockwise
// or clockwise (y up) in four quarters; `splitAt`, a point of the oval, cuts the quarter that
// holds it in two.
void appendOvalContour(BezierPath& path, const QRectF& frame, const FractionOval& oval, qreal startDegrees,
                       bool clockwise, std::optional<QPointF> splitAt = std::nullopt);
