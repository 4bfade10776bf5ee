#include "stylekit/prop_drive_mode_figures.h"

#include <QString>
#include <cmath>
#include <numbers>

#include "stylekit/prop_icon_paths.h"

namespace drive_mode {

namespace {

constexpr qreal kDeg = 180 / std::numbers::pi;

// A ring round (cx, cy) open at the upper left: the outer edge runs clockwise from the gap's
// top side (x = gapX) over the right and the bottom to the gap's left side (y = gapY), then
// the inner edge runs back anticlockwise. Radii are fractions of width and height apiece.
void openRing(FracPath& path, qreal cx, qreal cy, qreal rxo, qreal ryo, qreal rxi, qreal ryi, qreal gapX,
              qreal gapY) {
  const qreal outerTop = std::acos((gapX - cx) / rxo) * kDeg;
  const qreal outerLeft = 180 - std::asin((gapY - cy) / ryo) * kDeg;
  const qreal innerTop = std::acos((gapX - cx) / rxi) * kDeg;
  const qreal innerLeft = 180 - std::asin((gapY - cy) / ryi) * kDeg;
  path.arc(cx, cy, rxo, ryo, outerTop, outerLeft - 360);
  path.arc(cx, cy, rxi, ryi, innerLeft, innerTop + 360);
  path.close();
}

}  // namespace

BezierPath frontFrame(const PropertyIconPainter& icon) {
  FracPath p(icon);
  p.rect(0.02667, 0.5, 0.68667, 0.97333, true);
  p.rect(0.06792, 0.53737, 0.64542, 0.93596, false);
  return p;
}

BezierPath wideStepEdge(const PropertyIconPainter& icon, qreal step) {
  FracPath p(icon);
  p.polygon({{0.83333, 0.83333}, {0.83333, 0.36}, {0.19333, 0.36}, {0.19333, 0.39333}, {0.79333, 0.39333},
             {0.79333, 0.83333}},
            {step, -step});
  return p;
}

BezierPath narrowStepEdge(const PropertyIconPainter& icon, qreal step) {
  FracPath p(icon);
  p.polygon({{0.80667, 0.86}, {0.80667, 0.38667}, {0.16667, 0.38667}, {0.16667, 0.42}, {0.76667, 0.42},
             {0.76667, 0.86}},
            {step, -step});
  return p;
}

BezierPath letterH(const PropertyIconPainter& icon, qreal dx, qreal dy) {
  FracPath p(icon);
  p.polygon({{0.83333, 0.19333}, {0.87333, 0.19333}, {0.87333, 0.13333}, {0.92667, 0.13333}, {0.92667, 0.19333},
             {0.96667, 0.19333}, {0.96667, 0.02667}, {0.92667, 0.02667}, {0.92667, 0.09333}, {0.87333, 0.09333},
             {0.87333, 0.02667}, {0.83333, 0.02667}},
            {dx, dy});
  return p;
}

BezierPath letterL(const PropertyIconPainter& icon, qreal dx, qreal dy) {
  FracPath p(icon);
  p.polygon({{0.86, 0.19333}, {0.9, 0.19333}, {0.9, 0.06667}, {0.97333, 0.06667}, {0.97333, 0.02667},
             {0.86, 0.02667}},
            {dx, dy});
  return p;
}

BezierPath letterS(const PropertyIconPainter& icon, qreal dx, qreal dy) {
  return letterInBox(icon, QStringLiteral("S"), 0.83333 + dx, 0.77796 + dy, 0.978 + dx, 0.96667 + dy);
}

BezierPath digitTwo(const PropertyIconPainter& icon, qreal dx, qreal dy) {
  return letterInBox(icon, QStringLiteral("2"), 0.77667 + dx, 0.02333 + dy, 0.937 + dx, 0.23013 + dy);
}

BezierPath timerRing(const PropertyIconPainter& icon, qreal centreY, qreal gapY) {
  FracPath p(icon);
  openRing(p, 0.5, centreY, 0.36, 0.36, 0.28667, 0.28667, 0.58, gapY);
  return p;
}

BezierPath timer2SecHand(const PropertyIconPainter& icon) {
  FracPath p(icon);
  p.polygon({{0.28, 0.84667}, {0.40333, 0.67}, {0.35667, 0.63667}, {0.23, 0.81}});
  return p;
}

BezierPath timer2SecKnob(const PropertyIconPainter& icon) { return icon.oval(0.38, 0.78667, 0.50667, 0.91333); }

BezierPath smallDial(const PropertyIconPainter& icon) {
  FracPath p(icon);
  openRing(p, 0.34783, 0.5982, 0.33334, 0.33733, 0.26544, 0.26861, 0.4219, 0.75437);
  p.polygon({{0.14412, 0.92304}, {0.25832, 0.7575}, {0.21511, 0.72626}, {0.09783, 0.88868}});
  p.arc(0.29536, 0.92616, 0.05865, 0.05935, 0, -360).close();
  return p;
}

}  // namespace drive_mode
