#include "stylekit/gear_level_icons.h"

#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/image_wrapper.h"

namespace {

struct Tooth {
  QPointF root1, tip1, tip2, root2, valley1, valley2;
};

// The eight teeth from the right one, counter-clockwise; each valley curve runs from the
// tooth's second root point to the next tooth's first root point.
constexpr Tooth kTeeth[] = {
    {{0.86111, 0.40338}, {0.94444, 0.41994}, {0.94444, 0.58006}, {0.84444, 0.59662}, {0.83889, 0.6187}, {0.82778, 0.64079}},
    {{0.81111, 0.67391}, {0.87222, 0.75673}, {0.75556, 0.87267}, {0.67222, 0.81194}, {0.64444, 0.8285}, {0.61667, 0.83954}},
    {{0.59444, 0.84507}, {0.58333, 0.94444}, {0.42222, 0.94444}, {0.40556, 0.84507}, {0.37778, 0.83954}, {0.35556, 0.8285}},
    {{0.32778, 0.81194}, {0.24444, 0.87267}, {0.12778, 0.75673}, {0.18333, 0.67391}, {0.16667, 0.64631}, {0.16111, 0.62422}},
    {{0.15, 0.59662}, {0.05556, 0.58558}, {0.05556, 0.42547}, {0.15556, 0.4089}, {0.16111, 0.3813}, {0.17222, 0.35921}},
    {{0.18889, 0.33161}, {0.13333, 0.24879}, {0.25, 0.13285}, {0.33333, 0.18806}, {0.35556, 0.17702}, {0.38333, 0.16598}},
    {{0.41111, 0.15493}, {0.42778, 0.05556}, {0.59444, 0.05556}, {0.61111, 0.15493}, {0.63889, 0.16046}, {0.66111, 0.1715}},
    {{0.68889, 0.18806}, {0.77222, 0.12733}, {0.88889, 0.24327}, {0.82778, 0.32609}, {0.84444, 0.35369}, {0.85556, 0.3813}},
};

// One cubic of a circle (fractions of the frame) from angle a0 to a1 in degrees; the path's
// current point is the arc's start.
void arcTo(BezierPath& path, const QRectF& frame, qreal r, qreal a0, qreal a1) {
  const qreal t0 = a0 * M_PI / 180, t1 = a1 * M_PI / 180;
  const qreal k = 4.0 / 3.0 * std::tan((t1 - t0) / 4) * r;
  const QPointF s(0.5 + r * std::cos(t0), 0.5 + r * std::sin(t0));
  const QPointF e(0.5 + r * std::cos(t1), 0.5 + r * std::sin(t1));
  const QPointF c1 = s + k * QPointF(-std::sin(t0), std::cos(t0));
  const QPointF c2 = e - k * QPointF(-std::sin(t1), std::cos(t1));
  path.curveToPoint(framePoint(frame, e.x(), e.y()), framePoint(frame, c1.x(), c1.y()),
                    framePoint(frame, c2.x(), c2.y()));
}

qreal angleOf(qreal x, qreal y) { return std::atan2(y - 0.5, x - 0.5) * 180 / M_PI; }

}  // namespace

void KorvalumeGearLevelIcons::drawGearWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor colour = colorWithRGBA(1, 1, 1, 1);
  auto p = [&](QPointF f) { return framePoint(frame, f.x(), f.y()); };
  BezierPath gear;
  gear.moveToPoint(p(kTeeth[0].tip1));
  for (size_t i = 0; i < std::size(kTeeth); ++i) {
    const Tooth& t = kTeeth[i];
    const Tooth& next = kTeeth[(i + 1) % std::size(kTeeth)];
    if (i > 0) {
      gear.lineToPoint(p(t.tip1));
    }
    gear.lineToPoint(p(t.tip2));
    gear.lineToPoint(p(t.root2));
    gear.curveToPoint(p(next.root1), p(t.valley1), p(t.valley2));
  }
  gear.lineToPoint(p(kTeeth[0].tip1));
  gear.closePath();
  // The hole.
  gear.moveToPoint(p({0.5, 0.33713}));
  gear.curveToPoint(p({0.33333, 0.50276}), p({0.40556, 0.33713}), p({0.33333, 0.4089}));
  gear.curveToPoint(p({0.5, 0.66839}), p({0.33333, 0.59662}), p({0.40556, 0.66839}));
  gear.curveToPoint(p({0.66667, 0.50276}), p({0.59444, 0.66839}), p({0.66667, 0.59662}));
  gear.curveToPoint(p({0.5, 0.33713}), p({0.66667, 0.4089}), p({0.59444, 0.33713}));
  gear.closePath();
  gear.setLineWidth(1.5);
  gear.setMiterLimit(4);
  ctx.setStrokeColor(colour);
  ctx.stroke(gear);
}

BezierPath KorvalumeGearLevelIcons::electronicLevelRingPath(QRectF frame) {
  BezierPath ring;
  // Inner circle, counter-clockwise from the top, its upper-left quarter split in two.
  const qreal ri = 0.42333;
  ring.moveToPoint(framePoint(frame, 0.5, 0.92333));
  const qreal splitInner = angleOf(0.26727, 0.85368);
  arcTo(ring, frame, ri, 90, splitInner);
  arcTo(ring, frame, ri, splitInner, 180);
  arcTo(ring, frame, ri, 180, 270);
  arcTo(ring, frame, ri, 270, 360);
  arcTo(ring, frame, ri, 0, 90);
  ring.closePath();
  // Outer circle, clockwise from the right.
  const qreal ro = 0.46667;
  ring.moveToPoint(framePoint(frame, 0.96667, 0.5));
  const qreal splitOuter = angleOf(0.22913, 0.88005);
  arcTo(ring, frame, ro, 0, -90);
  arcTo(ring, frame, ro, -90, -180);
  arcTo(ring, frame, ro, 180, splitOuter);
  arcTo(ring, frame, ro, splitOuter, 90);
  arcTo(ring, frame, ro, 90, 0);
  ring.closePath();
  return ring;
}

void KorvalumeGearLevelIcons::drawElectronicLevelWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor strokeColour = colorWithRGBA(1, 1, 1, 1);
  const QColor face = colorWithRGBA(0.502, 0.502, 0.502, 0.502);
  const Shadow shadow(NamedColor::blackColor(), QSizeF(0, 0), 2);

  BezierPath ring = electronicLevelRingPath(frame);
  ctx.setFillColor(face);
  ctx.fill(ring);

  ctx.saveGraphicsState();
  ctx.setShadow(shadow);
  ctx.setStrokeColor(strokeColour);
  ring.setLineWidth(0.5);
  ctx.stroke(ring);
  ctx.restoreGraphicsState();

  struct Tick {
    QPointF from, to;
    qreal width;
  };
  static constexpr Tick kTicks[] = {
      {{0.5, 0.99333}, {0.50167, 0.88167}, 1.5},     {{0.5, 0.12}, {0.50167, 0.00833}, 1.5},
      {{0.00667, 0.49999}, {0.11333, 0.49999}, 2},   {{0.88667, 0.49999}, {0.99333, 0.49999}, 2},
      {{0.22667, 0.77333}, {0.14667, 0.85333}, 1.5}, {{0.85333, 0.14667}, {0.77333, 0.22667}, 1.5},
      {{0.77333, 0.77333}, {0.85333, 0.85333}, 1.5}, {{0.14667, 0.14667}, {0.22667, 0.22667}, 1.5},
  };
  for (const Tick& t : kTicks) {
    BezierPath tick;
    tick.moveToPoint(framePoint(frame, t.from.x(), t.from.y()));
    tick.lineToPoint(framePoint(frame, t.to.x(), t.to.y()));
    tick.setLineWidth(t.width);
    ctx.saveGraphicsState();
    ctx.setShadow(shadow);
    ctx.setStrokeColor(strokeColour);
    ctx.stroke(tick);
    ctx.restoreGraphicsState();
  }
}

StyleKitImage KorvalumeGearLevelIcons::imageOfGearWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawGearWithFrame);
}
StyleKitImage KorvalumeGearLevelIcons::imageOfElectronicLevelWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawElectronicLevelWithFrame);
}
