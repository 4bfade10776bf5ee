#include "stylekit/hdr_icons.h"

#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

// The flat tops of the eight teeth, counter-clockwise from the right tooth, each from its
// lower (first-met) corner to its upper one.
constexpr QPointF kTops[8][2] = {
    {{0.85208, 0.43658}, {0.85208, 0.56342}}, {{0.79487, 0.70338}, {0.70245, 0.79523}},
    {{0.56602, 0.85208}, {0.43839, 0.85208}}, {{0.29755, 0.79523}, {0.20513, 0.70338}},
    {{0.14792, 0.56779}, {0.14792, 0.44095}}, {{0.20953, 0.301}, {0.30195, 0.20915}},
    {{0.44279, 0.14792}, {0.57482, 0.14792}}, {{0.71565, 0.20477}, {0.80807, 0.29662}},
};

QPointF rotated(QPointF v, qreal degrees) {
  const qreal a = degrees * M_PI / 180;
  return {v.x() * std::cos(a) - v.y() * std::sin(a), v.x() * std::sin(a) + v.y() * std::cos(a)};
}

// The foot of a flank on the root circle. The right tooth's feet are given; the others take
// the right tooth's upper flank, turned with the tooth (mirrored for a first flank).
QPointF flankFoot(int tooth, bool first) {
  if (tooth == 0) return first ? QPointF(0.78607, 0.42346) : QPointF(0.77286, 0.57654);
  if (tooth == 1 && first) return {0.74646, 0.63777};
  if (tooth == 7 && !first) return {0.75966, 0.36223};
  const QPointF flank(0.77286 - 0.85208, first ? -(0.57654 - 0.56342) : 0.57654 - 0.56342);
  return kTops[tooth][first ? 0 : 1] + rotated(flank, 45.0 * tooth);
}

}  // namespace

BezierPath KorvalumeHdrIcons::hdrCogPath(QRectF frame) {
  auto p = [&](QPointF q) { return framePoint(frame, q.x(), q.y()); };
  BezierPath cog;
  cog.moveToPoint(p(kTops[0][0]));
  for (int t = 0; t < 8; ++t) {
    const int next = (t + 1) % 8;
    cog.lineToPoint(p(kTops[t][1]));
    const QPointF from = flankFoot(t, false), to = flankFoot(next, true);
    cog.lineToPoint(p(from));
    // The root follows the root circle between the two feet.
    const qreal a0 = contourAngle(0.5, 0.5, from.x(), from.y());
    qreal a1 = contourAngle(0.5, 0.5, to.x(), to.y());
    if (a1 < a0) a1 += 360;
    const qreal r0 = std::hypot(from.x() - 0.5, from.y() - 0.5), r1 = std::hypot(to.x() - 0.5, to.y() - 0.5);
    const qreal k = 4.0 / 3.0 * std::tan((a1 - a0) * M_PI / 720);
    const qreal t0 = a0 * M_PI / 180, t1 = a1 * M_PI / 180;
    const QPointF c1 = from + k * r0 * QPointF(-std::sin(t0), std::cos(t0));
    const QPointF c2 = to - k * r1 * QPointF(-std::sin(t1), std::cos(t1));
    cog.curveToPoint(p(to), p(c1), p(c2));
    if (next != 0) cog.lineToPoint(p(kTops[next][0]));
  }
  cog.closePath();
  // The hole, clockwise from its lowest point.
  constexpr qreal cx = 0.5, cy = 0.50219, rx = 0.13203, ry = 0.13121;
  cog.moveToPoint(framePoint(frame, cx, cy - ry));
  contourArcTo(cog, frame, cx, cy, rx, ry, -90, -450);
  cog.closePath();
  return cog;
}

void KorvalumeHdrIcons::drawHDRPropertyWithFrame(GraphicsContext& ctx, QRectF frame) {
  BezierPath cog = hdrCogPath(frame);
  cog.setLineWidth(1.5);
  cog.setMiterLimit(4);
  ctx.setStrokeColor(colorWithRGBA(1, 0.231, 0.188, 1));
  ctx.stroke(cog);
}

void KorvalumeHdrIcons::drawHDRColorWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor green = colorWithRGBA(0.298, 0.851, 0.392, 1);
  auto fill = [&](const BezierPath& path) {
    ctx.setFillColor(green);
    ctx.fill(path);
  };
  auto stripe = [&](char which) {
    switch (which) {
      case 'a': return polygon(frame, {{0.26887, 0.58019}, {0.35377, 0.66509}, {0.39151, 0.66509}, {0.26887, 0.54245}});
      case 'b': return polygon(frame, {{0.27358, 0.48113}, {0.45283, 0.66038}, {0.49057, 0.66038}, {0.27358, 0.4434}});
      case 'c': return polygon(frame, {{0.26415, 0.36792}, {0.56604, 0.66981}, {0.60377, 0.66981}, {0.26415, 0.33019}});
      case 'd': return polygon(frame, {{0.33962, 0.33962}, {0.66038, 0.66038}, {0.69811, 0.66038}, {0.37736, 0.33962}});
      default: return polygon(frame, {{0.43396, 0.33019}, {0.73585, 0.63208}, {0.77358, 0.63208}, {0.43396, 0.29245}});
    }
  };

  // The front panel is the one element with edges on whole points.
  fill(BezierPath::bezierPathWithRect(snappedRect(frame, 0.36, 0.095, 0.915, 0.5)));
  BezierPath middle = polygon(frame, {{0.73585, 0.66038}, {0.27358, 0.66038}, {0.27358, 0.34906}, {0.73585, 0.34906}});
  middle.appendBezierPath(
      polygon(frame, {{0.78302, 0.70755}, {0.78302, 0.30189}, {0.22642, 0.30189}, {0.22642, 0.70755}}));
  fill(middle);
  fill(stripe('a'));
  fill(stripe('b'));
  fill(polygon(frame, {{0.65094, 0.90566}, {0.65094, 0.66981}, {0.60377, 0.66981}, {0.60377, 0.85849},
                       {0.14151, 0.85849}, {0.14151, 0.54717}, {0.24528, 0.54717}, {0.24528, 0.5}, {0.09434, 0.5},
                       {0.09434, 0.90566}}));
  fill(stripe('c'));
  fill(stripe('d'));
  fill(stripe('e'));
}

StyleKitImage KorvalumeHdrIcons::imageOfHDRPropertyWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawHDRPropertyWithFrame);
}
StyleKitImage KorvalumeHdrIcons::imageOfHDRColorWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawHDRColorWithFrame);
}

void registerHdrIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfHDRPropertyWithSize:"),
                 [](QSizeF s) { return KorvalumeHdrIcons::imageOfHDRPropertyWithSize(s); }});
  out.push_back({QStringLiteral("imageOfHDRColorWithSize:"),
                 [](QSizeF s) { return KorvalumeHdrIcons::imageOfHDRColorWithSize(s); }});
}
