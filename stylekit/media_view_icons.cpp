#include "stylekit/media_view_icons.h"

#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

// A circle about the frame's centre from angle a0 to a1 (degrees, y up) in quarter-or-less
// cubics; the path's current point is the arc's start.
void arc(BezierPath& path, QRectF frame, qreal r, qreal a0, qreal a1) {
  const int pieces = static_cast<int>(std::ceil(std::abs(a1 - a0) / 90.0 - 1e-9));
  for (int i = 0; i < pieces; ++i) {
    const qreal s = (a0 + (a1 - a0) * i / pieces) * M_PI / 180;
    const qreal e = (a0 + (a1 - a0) * (i + 1) / pieces) * M_PI / 180;
    const qreal k = 4.0 / 3.0 * std::tan((e - s) / 4) * r;
    const QPointF ps(0.5 + r * std::cos(s), 0.5 + r * std::sin(s));
    const QPointF pe(0.5 + r * std::cos(e), 0.5 + r * std::sin(e));
    const QPointF c1 = ps + k * QPointF(-std::sin(s), std::cos(s));
    const QPointF c2 = pe - k * QPointF(-std::sin(e), std::cos(e));
    path.curveToPoint(framePoint(frame, pe.x(), pe.y()), framePoint(frame, c1.x(), c1.y()),
                      framePoint(frame, c2.x(), c2.y()));
  }
}

void fillUnderShadow(GraphicsContext& ctx, const BezierPath& path, const Shadow& shadow, const QColor& colour) {
  ctx.saveGraphicsState();
  ctx.setShadow(shadow);
  ctx.setFillColor(colour);
  ctx.fill(path);
  ctx.restoreGraphicsState();
}

}  // namespace

void KorvalumeMediaViewIcons::drawPlayCircleWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor glow = colorWithRGBA(1, 1, 1, 1);
  const QColor outline = colorWithRGBA(0.784, 0.784, 0.784, 1);
  const QColor green = colorWithRGBA(0, 1, 0, 0.686);
  const Shadow shadow(glow, QSizeF(0, 0), 5);

  BezierPath ring;
  // Inner circle counter-clockwise from the top, outer one clockwise from the right: the
  // band between them is filled, the centre stays open.
  const qreal ri = 0.34286, ro = 0.42857;
  ring.moveToPoint(framePoint(frame, 0.5, 0.5 + ri));
  arc(ring, frame, ri, 90, 450);
  ring.closePath();
  ring.moveToPoint(framePoint(frame, 0.5 + ro, 0.5));
  arc(ring, frame, ro, 0, -360);
  ring.closePath();
  fillUnderShadow(ctx, ring, shadow, green);
  ring.setLineWidth(1);
  ctx.setStrokeColor(outline);
  ctx.stroke(ring);

  // Not closed: the stroke ends in two butt ends at the first corner.
  BezierPath triangle = polygon(frame, {{0.33571, 0.72143}, {0.76429, 0.50714}, {0.33571, 0.29286}, {0.33571, 0.72143}},
                                false);
  fillUnderShadow(ctx, triangle, shadow, green);
  triangle.setLineWidth(1);
  ctx.setStrokeColor(outline);
  ctx.stroke(triangle);
}

void KorvalumeMediaViewIcons::drawPlayWithFrame(GraphicsContext& ctx, QRectF frame) {
  const Shadow shadow(NamedColor::blackColor(), QSizeF(2, -2), 0);
  fillUnderShadow(ctx, polygon(frame, {{0.84, 0.5}, {0.16, 0.89}, {0.16, 0.11}}, true), shadow,
                  NamedColor::whiteColor());
}

QRectF KorvalumeMediaViewIcons::pauseLeftBar(QRectF frame) {
  return snappedRect(frame, 0.18072, 0.13253, 0.43976, 0.86747);
}
QRectF KorvalumeMediaViewIcons::pauseRightBar(QRectF frame) {
  return snappedRect(frame, 0.56024, 0.13253, 0.81928, 0.86747);
}

void KorvalumeMediaViewIcons::drawPauseWithFrame(GraphicsContext& ctx, QRectF frame) {
  const Shadow shadow(NamedColor::blackColor(), QSizeF(2, -2), 0);
  for (const QRectF& bar : {pauseLeftBar(frame), pauseRightBar(frame)})
    fillUnderShadow(ctx, BezierPath::bezierPathWithRect(bar), shadow, NamedColor::whiteColor());
}

void KorvalumeMediaViewIcons::drawCircleWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(BezierPath::bezierPathWithOvalInRect(frame));
}

void KorvalumeMediaViewIcons::drawExpandWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const Shadow shadow(NamedColor::blackColor(), QSizeF(1, -1), 1);
  fillUnderShadow(ctx,
                  polygon(frame,
                          {{0.93333, 0.93333}, {0.68, 0.93333}, {0.68, 0.85333}, {0.79333, 0.85333}, {0.58667, 0.64667},
                           {0.64667, 0.58667}, {0.85333, 0.79333}, {0.85333, 0.67333}, {0.93333, 0.67333}},
                          false),
                  shadow, white);
  fillUnderShadow(ctx,
                  polygon(frame,
                          {{0.06667, 0.93333}, {0.06667, 0.68667}, {0.14, 0.68667}, {0.14, 0.8}, {0.34667, 0.59333},
                           {0.40667, 0.65333}, {0.2, 0.86}, {0.32, 0.86}, {0.32, 0.93333}},
                          true),
                  shadow, white);
  fillUnderShadow(ctx,
                  polygon(frame,
                          {{0.06667, 0.06667}, {0.31333, 0.06667}, {0.31333, 0.13333}, {0.2, 0.13333}, {0.40667, 0.34},
                           {0.34667, 0.4}, {0.14, 0.19333}, {0.14, 0.31333}, {0.06667, 0.31333}, {0.07, 0.31667}},
                          false),
                  shadow, NamedColor::whiteColor());
  fillUnderShadow(ctx,
                  polygon(frame,
                          {{0.93333, 0.06667}, {0.93, 0.31}, {0.85, 0.31}, {0.85, 0.20333}, {0.65, 0.41}, {0.59, 0.35},
                           {0.79667, 0.14333}, {0.66667, 0.14667}, {0.66667, 0.06667}},
                          true),
                  shadow, white);
}

void KorvalumeMediaViewIcons::drawShrinkWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const Shadow shadow(NamedColor::blackColor(), QSizeF(1, -1), 1);
  // Only the first arrow casts the shadow; the others are filled without a save.
  fillUnderShadow(ctx,
                  polygon(frame,
                          {{0.59333, 0.41333}, {0.59333, 0.16667}, {0.66667, 0.16667}, {0.66667, 0.28}, {0.87333, 0.07333},
                           {0.93333, 0.13333}, {0.72667, 0.34}, {0.84667, 0.34}, {0.84667, 0.41333}},
                          true),
                  shadow, white);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(polygon(frame,
                   {{0.59, 0.6}, {0.83667, 0.6}, {0.83667, 0.66667}, {0.72333, 0.66667}, {0.93, 0.87333}, {0.87, 0.93333},
                    {0.66333, 0.72667}, {0.66333, 0.84667}, {0.59, 0.84667}, {0.59333, 0.85}},
                   false));
  ctx.setFillColor(white);
  ctx.fill(polygon(frame,
                   {{0.41333, 0.41667}, {0.16, 0.41667}, {0.16, 0.33667}, {0.27333, 0.33667}, {0.06667, 0.13},
                    {0.12667, 0.07}, {0.33333, 0.27667}, {0.33333, 0.15667}, {0.41333, 0.15667}},
                   false));
  ctx.fill(polygon(frame,
                   {{0.41, 0.59}, {0.40667, 0.83333}, {0.32667, 0.83333}, {0.32667, 0.72667}, {0.12667, 0.93333},
                    {0.06667, 0.87333}, {0.27333, 0.66667}, {0.14333, 0.67}, {0.14333, 0.59}},
                   true));
}

StyleKitImage KorvalumeMediaViewIcons::imageOfPlayCircleWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawPlayCircleWithFrame);
}
StyleKitImage KorvalumeMediaViewIcons::imageOfPlayWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawPlayWithFrame); }
StyleKitImage KorvalumeMediaViewIcons::imageOfPauseWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawPauseWithFrame); }
StyleKitImage KorvalumeMediaViewIcons::imageOfCircleWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawCircleWithFrame);
}
StyleKitImage KorvalumeMediaViewIcons::imageOfExpandWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawExpandWithFrame);
}
StyleKitImage KorvalumeMediaViewIcons::imageOfShrinkWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawShrinkWithFrame);
}

void registerMediaViewIcons(std::vector<IconSample>& out) {
  using K = KorvalumeMediaViewIcons;
  out.push_back({QStringLiteral("imageOfPlayCircleWithSize:"), [](QSizeF s) { return K::imageOfPlayCircleWithSize(s); }});
  out.push_back({QStringLiteral("imageOfPlayWithSize:"), [](QSizeF s) { return K::imageOfPlayWithSize(s); }});
  out.push_back({QStringLiteral("imageOfPauseWithSize:"), [](QSizeF s) { return K::imageOfPauseWithSize(s); }});
  out.push_back({QStringLiteral("imageOfCircleWithSize:"), [](QSizeF s) { return K::imageOfCircleWithSize(s); }});
  out.push_back({QStringLiteral("imageOfExpandWithSize:"), [](QSizeF s) { return K::imageOfExpandWithSize(s); }});
  out.push_back({QStringLiteral("imageOfShrinkWithSize:"), [](QSizeF s) { return K::imageOfShrinkWithSize(s); }});
}
