#include "stylekit/adjustment_icons.h"

#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

void appendPolygon(BezierPath& path, const QRectF& frame, std::initializer_list<QPointF> points, bool close = true) {
  bool first = true;
  for (QPointF q : points) {
    const QPointF p = framePoint(frame, q.x(), q.y());
    if (first) path.moveToPoint(p); else path.lineToPoint(p);
    first = false;
  }
  if (close) path.closePath();
}

// A whole circle from angle `from`, counter-clockwise or clockwise, split where asked.
void appendCircle(BezierPath& path, const QRectF& frame, qreal cx, qreal cy, qreal r, qreal from, bool clockwise,
                  qreal splitAt = NAN) {
  const qreal rad = from * M_PI / 180;
  path.moveToPoint(framePoint(frame, cx + r * std::cos(rad), cy + r * std::sin(rad)));
  const qreal to = clockwise ? from - 360 : from + 360;
  if (std::isnan(splitAt)) {
    contourArcTo(path, frame, cx, cy, r, from, to);
  } else {
    // The split point, unwrapped to lie between from and to.
    qreal s = splitAt;
    while (clockwise ? s > from : s < from) s += clockwise ? -360 : 360;
    contourArcTo(path, frame, cx, cy, r, from, s);
    contourArcTo(path, frame, cx, cy, r, s, to);
  }
  path.closePath();
}

}  // namespace

void KorvalumeAdjustmentIcons::drawAdjustExposureWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  BezierPath plus;
  appendPolygon(plus, frame,
                {{0.4, 0.80833}, {0.4, 0.70833}, {0.49167, 0.70833}, {0.49167, 0.625}, {0.4, 0.625}, {0.4, 0.53333},
                 {0.31667, 0.53333}, {0.31667, 0.625}, {0.21667, 0.625}, {0.21667, 0.70833}, {0.31667, 0.70833},
                 {0.31667, 0.80833}});
  ctx.setFillColor(white);
  ctx.fill(plus);
  // The minus runs against the triangle and so is cut out of it.
  BezierPath triangle;
  appendPolygon(triangle, frame, {{0.78333, 0.375}, {0.50833, 0.375}, {0.50833, 0.29167}, {0.78333, 0.29167}});
  appendPolygon(triangle, frame, {{0.87917, 0.87917}, {0.87917, 0.12917}, {0.12917, 0.12917}});
  ctx.setFillColor(white);
  ctx.fill(triangle);
}

void KorvalumeAdjustmentIcons::drawContrastIconWithFrame(GraphicsContext& ctx, QRectF frame) {
  constexpr qreal c = 0.50417, inner = 0.32917, outer = 0.37917;
  BezierPath ring;
  appendCircle(ring, frame, c, c, inner, 90, false, contourAngle(c, c, 0.34398, 0.7918));
  appendCircle(ring, frame, c, c, outer, 0, true, contourAngle(c, c, 0.30376, 0.8261));
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(ring);

  // The right half: down the outer circle, then a straight edge at x 0.5 back to its top.
  BezierPath half;
  half.moveToPoint(framePoint(frame, 0.88333, c));
  contourArcTo(half, frame, c, c, outer, 0, -90);
  half.lineToPoint(framePoint(frame, 0.5, 0.12502));
  half.lineToPoint(framePoint(frame, 0.5, 0.88331));
  half.lineToPoint(framePoint(frame, c, 0.88333));
  contourArcTo(half, frame, c, c, outer, 90, 0);
  half.closePath();
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(half);
}

BezierPath KorvalumeAdjustmentIcons::contrastPath(QRectF frame) {
  BezierPath path;
  // The disc of radius 0.39583 left of the chord x 0.52083, counter-clockwise from its top.
  constexpr qreal r = 0.39583, chord = 0.52083;
  const qreal lowEnd = contourAngle(0.5, 0.5, chord, 0.10471);
  const qreal highEnd = contourAngle(0.5, 0.5, chord, 0.89529);
  path.moveToPoint(framePoint(frame, 0.5, 0.89583));
  contourArcTo(path, frame, 0.5, 0.5, r, 90, 360 + lowEnd);
  path.lineToPoint(framePoint(frame, chord, 0.89529));
  contourArcTo(path, frame, 0.5, 0.5, r, highEnd, 90);
  path.closePath();
  // The inscribed circle, clockwise from just right of its top.
  appendCircle(path, frame, 0.5, 0.5, 0.5, contourAngle(0.5, 0.5, 0.52083, 0.99957), true);
  return path;
}

void KorvalumeAdjustmentIcons::drawContrastWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted) {
  const QColor glowColour = colorWithRGBA(1, 1, 1, 1);
  const Shadow off(colorWithAlphaComponent(NamedColor::blackColor(), 0), QSizeF(3, -3), 5);
  const Shadow glow(glowColour, QSizeF(0, 0), 5);
  ctx.saveGraphicsState();
  ctx.setShadow(buttonHighlighted ? glow : off);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(contrastPath(frame));
  ctx.restoreGraphicsState();
}

void KorvalumeAdjustmentIcons::drawSharpenWithFrame(GraphicsContext& ctx, QRectF frame) {
  BezierPath path;
  appendPolygon(path, frame, {{0.5036, 0.80935}, {0.1142, 0.13489}, {0.893, 0.13489}});
  appendPolygon(path, frame, {{0.5036, 0.93164}, {0.99891, 0.07374}, {0.00829, 0.07374}});
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(path);
}

void KorvalumeAdjustmentIcons::drawVibranceWithFrame(GraphicsContext& ctx, QRectF frame) {
  BezierPath ring;
  appendCircle(ring, frame, 0.5, 0.5, 0.39622, 90, false, contourAngle(0.5, 0.5, 0.3177, 0.85189));
  appendCircle(ring, frame, 0.5, 0.5, 0.49758, contourAngle(0.5, 0.5, 0.52073, 0.99716), true);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(ring);
  // Left open: the fill closes it.
  BezierPath needle;
  appendPolygon(needle, frame, {{0.72889, 0.76704}, {0.5748, 0.51247}, {0.3878, 0.4252}, {0.48753, 0.6122}}, false);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(needle);
}

void KorvalumeAdjustmentIcons::drawWhiteBalanceWithFrame(GraphicsContext& ctx, QRectF frame) {
  using N = ContourNode;
  constexpr auto L = N::Line;
  BezierPath path;
  // The bore, counter-clockwise: straight sides curving into a flat-topped round end.
  appendContour(path, frame,
                {{0.55714, 0.60714, L}, {0.55714, 0.9}, {0.55286, 0.92213}, {0.50286, 0.95714, L},
                 {0.49714, 0.95714}, {0.44714, 0.92213}, {0.44286, 0.9, L}, {0.44286, 0.60714, L}});
  // The outline, clockwise: the cap, the right side, the bulb, the left side.
  FramePen outline{frame, {}};
  outline.moveTo(0.505, 0.99286)
      .curveTo(0.59251, 0.93158, 0.54, 0.99286, 0.58, 0.965)
      .curveTo(0.6, 0.84187, 0.6, 0.905, 0.6, 0.87)
      .lineTo(0.6, 0.43416);
  // The bulb, a circle resting on the frame's bottom edge, in four curves.
  const qreal r = 0.22857;
  const qreal join = contourAngle(0.5, r, 0.6, 0.43416);
  const qreal stops[] = {join, 0, -90, -180, -180 - join};
  for (int i = 0; i < 4; ++i) contourArcTo(outline.path, frame, 0.5, r, r, stops[i], stops[i + 1]);
  outline.lineTo(0.4, 0.88)
      .curveTo(0.40655, 0.92774, 0.4, 0.90, 0.402, 0.915)
      .curveTo(0.43502, 0.97097, 0.4115, 0.9427, 0.422, 0.9595)
      .curveTo(0.495, 0.99286, 0.452, 0.9855, 0.475, 0.99286)
      .lineTo(0.505, 0.99286)
      .close();
  path.appendBezierPath(outline.path);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(path);
}

StyleKitImage KorvalumeAdjustmentIcons::imageOfAdjustExposureWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawAdjustExposureWithFrame);
}
StyleKitImage KorvalumeAdjustmentIcons::imageOfContrastIconWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawContrastIconWithFrame);
}
StyleKitImage KorvalumeAdjustmentIcons::imageOfContrastWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawContrastWithFrame, buttonHighlighted);
}
StyleKitImage KorvalumeAdjustmentIcons::imageOfSharpenWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawSharpenWithFrame);
}
StyleKitImage KorvalumeAdjustmentIcons::imageOfVibranceWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawVibranceWithFrame);
}
StyleKitImage KorvalumeAdjustmentIcons::imageOfWhiteBalanceWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteBalanceWithFrame);
}

void registerAdjustmentIcons(std::vector<IconSample>& out) {
  using K = KorvalumeAdjustmentIcons;
  out.push_back({QStringLiteral("imageOfAdjustExposureWithSize:"), [](QSizeF s) { return K::imageOfAdjustExposureWithSize(s); }});
  out.push_back({QStringLiteral("imageOfContrastIconWithSize:"), [](QSizeF s) { return K::imageOfContrastIconWithSize(s); }});
  out.push_back({QStringLiteral("imageOfContrastWithSize:buttonHighlighted: (NO)"),
                 [](QSizeF s) { return K::imageOfContrastWithSize(s, false); }});
  out.push_back({QStringLiteral("imageOfContrastWithSize:buttonHighlighted: (YES)"),
                 [](QSizeF s) { return K::imageOfContrastWithSize(s, true); }});
  out.push_back({QStringLiteral("imageOfSharpenWithSize:"), [](QSizeF s) { return K::imageOfSharpenWithSize(s); }});
  out.push_back({QStringLiteral("imageOfVibranceWithSize:"), [](QSizeF s) { return K::imageOfVibranceWithSize(s); }});
  out.push_back({QStringLiteral("imageOfWhiteBalanceWithSize:"), [](QSizeF s) { return K::imageOfWhiteBalanceWithSize(s); }});
}
