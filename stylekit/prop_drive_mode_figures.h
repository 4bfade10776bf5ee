#pragma once
// Figures that recur across the drive-mode icons (and the ring figure of the canvas icons):
// the front frame, the stacked frame edges, the speed letters, the S, the timer dials and
// the digit 2. Each returns one path in frame fractions; dx, dy move a figure.
#include "platform/graphics/bezier_path.h"
#include "stylekit/property_icon_painter.h"

namespace drive_mode {

// The hollow front frame in the top left: clockwise outside, anticlockwise inside.
BezierPath frontFrame(const PropertyIconPainter& icon);
// The right and bottom edges of the second frame behind it, wide (0.14) or narrow (0.12) steps;
// the third frame's edge is the same L moved one step right and down.
BezierPath wideStepEdge(const PropertyIconPainter& icon, qreal step);
BezierPath narrowStepEdge(const PropertyIconPainter& icon, qreal step);
BezierPath letterH(const PropertyIconPainter& icon, qreal dx = 0, qreal dy = 0);
BezierPath letterL(const PropertyIconPainter& icon, qreal dx = 0, qreal dy = 0);
BezierPath letterS(const PropertyIconPainter& icon, qreal dx = 0, qreal dy = 0);
BezierPath digitTwo(const PropertyIconPainter& icon, qreal dx = 0, qreal dy = 0);

// The self-timer dial of Timer2Sec: ring open at the upper left, hand, snapped knob.
BezierPath timerRing(const PropertyIconPainter& icon, qreal centreY, qreal gapY);
BezierPath timer2SecHand(const PropertyIconPainter& icon);
BezierPath timer2SecKnob(const PropertyIconPainter& icon);
// The small dial in the upper left (ring, hand and knob in one path).
BezierPath smallDial(const PropertyIconPainter& icon);

}  // namespace drive_mode
