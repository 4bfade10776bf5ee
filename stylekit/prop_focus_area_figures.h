#pragma once
// Pieces shared by the Sony focus-area icons: the screen ring, the bracket, cap and cup area
// marks, and the tracking mark (box on a base bar under a downward arrow).
#include "platform/graphics/bezier_path.h"
#include "stylekit/property_icon_painter.h"

namespace focus_area {

struct RingEdges {
  qreal outerLeft, outerBottom, outerRight, outerTop;
  qreal innerLeft, innerBottom, innerRight, innerTop;
};
// Inner rectangle anticlockwise from its top-right corner, then the outer one clockwise.
BezierPath screenRing(const PropertyIconPainter& icon, const RingEdges& e);

// A bracket with outer edge xo, upright inner edge xi, arm tips xt and y edges y0..y3.
BezierPath bracket(const PropertyIconPainter& icon, qreal xo, qreal xi, qreal xt, qreal y0, qreal y1, qreal y2,
                   qreal y3);
// A cap opening downward and a cup opening upward, x edges x0..x3, y edges y0..y2.
BezierPath cap(const PropertyIconPainter& icon, qreal x0, qreal x1, qreal x2, qreal x3, qreal y0, qreal y1, qreal y2);
BezierPath cup(const PropertyIconPainter& icon, qreal x0, qreal x1, qreal x2, qreal x3, qreal y0, qreal y1, qreal y2);

// The mark frame of the tracking mark: its left edge and width fixed by the frame's width,
// bottom and top at the given fractions of the height.
QRectF trackingMarkFrame(const QRectF& frame, qreal bottom, qreal top);
// Box, base bar, arrowhead and shaft in the mark frame, each filled by itself.
void paintTrackingMark(PropertyIconPainter& icon, qreal bottom, qreal top);
// The same four shapes placed straight in frame fractions (the expanded flexible spot).
void paintExpandedTrackingMark(PropertyIconPainter& icon);

}  // namespace focus_area
