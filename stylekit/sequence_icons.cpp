#include "stylekit/sequence_icons.h"

#include <algorithm>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

QColor green() { return colorWithRGBA(0.298, 0.851, 0.392, 1); }
QColor lightBlue() { return colorWithRGBA(0.353, 0.784, 0.98, 1); }

void fillIn(GraphicsContext& ctx, const BezierPath& path, const QColor& colour) {
  ctx.setFillColor(colour);
  ctx.fill(path);
}

void fillAndStroke(GraphicsContext& ctx, BezierPath path, const QColor& colour) {
  ctx.setFillColor(colour);
  ctx.fill(path);
  path.setLineWidth(1);
  ctx.setStrokeColor(colour);
  ctx.stroke(path);
}

void strokeIn(GraphicsContext& ctx, BezierPath path, const QColor& colour) {
  path.setLineWidth(1);
  ctx.setStrokeColor(colour);
  ctx.stroke(path);
}

}  // namespace

QRectF KorvalumeSequenceIcons::stairsRect(QRectF frame, int index) {
  struct Box {
    qreal l, b, r, t;
  };
  static constexpr Box kSteps[] = {
      {0.05625, 0.175, 0.325, 0.225},    {0.275, 0.175, 0.325, 0.425},    {0.275, 0.375, 0.54375, 0.425},
      {0.49375, 0.375, 0.54375, 0.625}, {0.49375, 0.575, 0.74375, 0.625}, {0.69375, 0.575, 0.74375, 0.825},
      {0.69375, 0.775, 0.94375, 0.825},
  };
  const Box& s = kSteps[std::clamp(index, 0, 6)];
  return snappedRect(frame, s.l, s.b, s.r, s.t);
}

void KorvalumeSequenceIcons::drawStairsWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor colour = green();
  for (int i = 0; i < 7; ++i) fillIn(ctx, BezierPath::bezierPathWithRect(stairsRect(frame, i)), colour);
}

void KorvalumeSequenceIcons::drawNumberWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor orange = colorWithRGBA(1, 0.584, 0, 1);
  fillIn(ctx, BezierPath::bezierPathWithRect(snappedRect(frame, 0.15625, 0.6125, 0.84375, 0.6625)), orange);
  fillIn(ctx, BezierPath::bezierPathWithRect(snappedRect(frame, 0.15625, 0.33125, 0.84375, 0.38125)), orange);
  fillIn(ctx, polygon(frame, {{0.25938, 0.11021}, {0.30938, 0.09688}, {0.44062, 0.88354}, {0.39062, 0.89687}}), orange);
  fillIn(ctx, polygon(frame, {{0.55625, 0.11333}, {0.60625, 0.1}, {0.7375, 0.88667}, {0.6875, 0.9}}), orange);
}

void KorvalumeSequenceIcons::drawStartMiddleWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor colour = lightBlue();
  fillIn(ctx, BezierPath::bezierPathWithRect(snappedRect(frame, 0.475, 0.10625, 0.525, 0.89375)), colour);
  FramePen arrows{frame, {}};
  arrows.moveTo(0.76595, 0.66247).lineTo(0.925, 0.5035).curveTo(0.76875, 0.3375, 0.90333, 0.48183, 0.76875, 0.3375);
  arrows.lineTo(0.73125, 0.36875).lineTo(0.83125, 0.48125).lineTo(0.63125, 0.48125).lineTo(0.63125, 0.525).lineTo(0.83125, 0.525);
  arrows.lineTo(0.7705, 0.58575).lineTo(0.73125, 0.625).lineTo(0.76595, 0.66247).close();
  arrows.moveTo(0.25626, 0.66248).lineTo(0.28125, 0.625).curveTo(0.175, 0.525, 0.28125, 0.625, 0.21185, 0.56184);
  arrows.lineTo(0.36875, 0.525).lineTo(0.36875, 0.48125).lineTo(0.175, 0.48125).curveTo(0.28125, 0.39375, 0.21758, 0.43852, 0.28125, 0.39375);
  arrows.lineTo(0.25625, 0.35).curveTo(0.08125, 0.5035, 0.25625, 0.35, 0.10292, 0.48183);
  arrows.curveTo(0.25625, 0.6625, 0.1582, 0.58044, 0.25626, 0.66251).close();
  fillIn(ctx, arrows.path, colour);
}

void KorvalumeSequenceIcons::drawHourglassWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor colour = colorWithRGBA(1, 0.231, 0.188, 1);
  FramePen lower{frame, {}};
  lower.moveTo(0.2525, 0.1175).lineTo(0.7525, 0.1175).curveTo(0.54688, 0.49062, 0.7525, 0.1175, 0.64938, 0.44313);
  lower.curveTo(0.45312, 0.49062, 0.44437, 0.53812, 0.55563, 0.53812).curveTo(0.2525, 0.1175, 0.35062, 0.44313, 0.2525, 0.1175).close();
  strokeIn(ctx, lower.path, colour);

  FramePen upper{frame, {}};
  upper.moveTo(0.2525, 0.8825).lineTo(0.7525, 0.8825).curveTo(0.54688, 0.50938, 0.7525, 0.8825, 0.64938, 0.55688);
  upper.curveTo(0.50313, 0.54063, 0.48883, 0.48247, 0.50171, 0.53706).curveTo(0.45312, 0.50938, 0.50421, 0.54336, 0.49758, 0.48878);
  upper.curveTo(0.2525, 0.8825, 0.35062, 0.55688, 0.2525, 0.8825).close();
  strokeIn(ctx, upper.path, colour);

  FramePen sandTop{frame, {}};
  sandTop.moveTo(0.67474, 0.68437).curveTo(0.54688, 0.50938, 0.63805, 0.60644, 0.5924, 0.53047);
  sandTop.curveTo(0.53405, 0.50313, 0.54216, 0.50719, 0.5379, 0.50511).lineTo(0.46595, 0.50313);
  sandTop.curveTo(0.45312, 0.50938, 0.4621, 0.50511, 0.45784, 0.50719).curveTo(0.32735, 0.68437, 0.4076, 0.53047, 0.36293, 0.60644);
  sandTop.lineTo(0.67474, 0.68437).close();
  fillAndStroke(ctx, sandTop.path, colour);

  FramePen sandBottom{frame, {}};
  sandBottom.moveTo(0.75241, 0.11777).lineTo(0.2525, 0.1175).curveTo(0.32172, 0.30313, 0.2525, 0.1175, 0.28028, 0.20969);
  sandBottom.lineTo(0.68054, 0.30312).curveTo(0.7525, 0.1175, 0.7233, 0.20969, 0.7525, 0.1175).lineTo(0.75241, 0.11777).close();
  fillAndStroke(ctx, sandBottom.path, colour);
}

void KorvalumeSequenceIcons::drawIntervalWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor colour = lightBlue();
  strokeIn(ctx, BezierPath::bezierPathWithOvalInRect(snappedRect(frame, 0.12857, 0.12143, 0.87857, 0.87143)), colour);
  FramePen sector{frame, {}};
  sector.moveTo(0.82762, 0.68266).lineTo(0.5, 0.49351).lineTo(0.5, 0.87143).curveTo(0.82762, 0.68266, 0.63991, 0.87143, 0.76209, 0.79553).close();
  fillAndStroke(ctx, sector.path, colour);
}

void KorvalumeSequenceIcons::drawDirectionSignWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor amber = colorWithRGBA(1, 0.8, 0, 1);
  fillIn(ctx, BezierPath::bezierPathWithOvalInRect(snappedRect(frame, 0.1125, 0.1125, 0.89375, 0.89375)), amber);
  fillIn(ctx,
         polygon(frame, {{0.34107, 0.64375}, {0.175, 0.50714}, {0.34107, 0.3625}, {0.3727, 0.39464}, {0.28571, 0.475},
                         {0.5625, 0.475}, {0.5625, 0.53125}, {0.28571, 0.53125}, {0.3727, 0.60357}}),
         NamedColor::whiteColor());
  fillIn(ctx,
         polygon(frame, {{0.66518, 0.64375}, {0.83125, 0.50714}, {0.66518, 0.3625}, {0.63355, 0.39464},
                         {0.72054, 0.475}, {0.44375, 0.475}, {0.44375, 0.53125}, {0.72054, 0.53125},
                         {0.63355, 0.60357}}),
         NamedColor::whiteColor());
}

void KorvalumeSequenceIcons::drawTotalDegreesWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor colour = green();
  FramePen band{frame, {}};
  band.moveTo(0.15625, 0.34375).curveTo(0.5125, 0.225, 0.15625, 0.34375, 0.18125, 0.225);
  band.curveTo(0.84375, 0.34375, 0.84375, 0.225, 0.84375, 0.34375).lineTo(0.89375, 0.34375);
  band.curveTo(0.5125, 0.18125, 0.89375, 0.34375, 0.875, 0.18125).curveTo(0.10625, 0.34375, 0.15, 0.18125, 0.10625, 0.34375);
  band.lineTo(0.15625, 0.34375).close();
  fillIn(ctx, band.path, colour);
  fillIn(ctx,
         polygon(frame, {{0.09288, 0.39956}, {0.06788, 0.29956}, {0.10211, 0.24978}, {0.13038, 0.34331},
                         {0.22646, 0.33366}, {0.19151, 0.38547}}),
         colour);
  fillIn(ctx,
         polygon(frame, {{0.90712, 0.39956}, {0.93212, 0.29956}, {0.89789, 0.24978}, {0.86962, 0.34331},
                         {0.77354, 0.33366}, {0.80849, 0.38547}}),
         colour);
  // The wedge is laid out in points from the frame's top-left corner and does not scale.
  const qreal left = frame.x(), top = frame.y() + frame.height();
  auto at = [&](qreal a, qreal b) { return QPointF(left + a, top - b); };
  BezierPath wedge;
  wedge.moveToPoint(at(82, 113));
  wedge.lineToPoint(at(146, 49));
  wedge.curveToPoint(at(82, 26), at(146, 49), at(128, 26));
  wedge.curveToPoint(at(17, 49), at(36, 26), at(17, 49));
  wedge.lineToPoint(at(82, 113));
  wedge.closePath();
  fillIn(ctx, wedge, colour);
}

StyleKitImage KorvalumeSequenceIcons::imageOfStairsWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawStairsWithFrame); }
StyleKitImage KorvalumeSequenceIcons::imageOfNumberWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawNumberWithFrame); }
StyleKitImage KorvalumeSequenceIcons::imageOfStartMiddleWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawStartMiddleWithFrame);
}
StyleKitImage KorvalumeSequenceIcons::imageOfHourglassWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawHourglassWithFrame);
}
StyleKitImage KorvalumeSequenceIcons::imageOfIntervalWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawIntervalWithFrame);
}
StyleKitImage KorvalumeSequenceIcons::imageOfDirectionSignWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawDirectionSignWithFrame);
}
StyleKitImage KorvalumeSequenceIcons::imageOfTotalDegreesWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawTotalDegreesWithFrame);
}

void registerSequenceIcons(std::vector<IconSample>& out) {
  using K = KorvalumeSequenceIcons;
  out.push_back({QStringLiteral("imageOfStairsWithSize:"), [](QSizeF s) { return K::imageOfStairsWithSize(s); }});
  out.push_back({QStringLiteral("imageOfNumberWithSize:"), [](QSizeF s) { return K::imageOfNumberWithSize(s); }});
  out.push_back({QStringLiteral("imageOfStartMiddleWithSize:"), [](QSizeF s) { return K::imageOfStartMiddleWithSize(s); }});
  out.push_back({QStringLiteral("imageOfHourglassWithSize:"), [](QSizeF s) { return K::imageOfHourglassWithSize(s); }});
  out.push_back({QStringLiteral("imageOfIntervalWithSize:"), [](QSizeF s) { return K::imageOfIntervalWithSize(s); }});
  out.push_back({QStringLiteral("imageOfDirectionSignWithSize:"), [](QSizeF s) { return K::imageOfDirectionSignWithSize(s); }});
  out.push_back({QStringLiteral("imageOfTotalDegreesWithSize:"), [](QSizeF s) { return K::imageOfTotalDegreesWithSize(s); }});
}
