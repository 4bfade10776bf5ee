#include "stylekit/share_icons.h"

#include <array>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

using Arrow = std::array<QPointF, 10>;
using Tray = std::array<QPointF, 12>;

constexpr Arrow kArrow = {{{0.50417, 0.95417}, {0.32083, 0.77083}, {0.3625, 0.72917}, {0.4625, 0.82917},
                           {0.4625, 0.17083}, {0.5375, 0.17083}, {0.5375, 0.82917}, {0.6375, 0.72917},
                           {0.67917, 0.77083}, {0.5, 0.95833}}};
constexpr Tray kTray = {{{0.39583, 0.67083}, {0.09583, 0.67083}, {0.09583, 0.04583}, {0.90417, 0.04583},
                         {0.90417, 0.67083}, {0.59583, 0.67083}, {0.59583, 0.59583}, {0.82917, 0.59583},
                         {0.82917, 0.1125}, {0.1625, 0.1125}, {0.1625, 0.59583}, {0.39583, 0.59583}}};
constexpr Arrow kLabelledArrow = {{{0.5029, 0.9529}, {0.37513, 0.82513}, {0.40417, 0.79609}, {0.47386, 0.86578},
                                   {0.47386, 0.40694}, {0.52614, 0.40694}, {0.52614, 0.86578},
                                   {0.59583, 0.79609}, {0.62487, 0.82513}, {0.5, 0.95581}}};
constexpr Tray kLabelledTray = {{{0.4274, 0.75543}, {0.21831, 0.75543}, {0.21831, 0.31982}, {0.78169, 0.31982},
                                 {0.78169, 0.75543}, {0.56679, 0.75543}, {0.56679, 0.70316}, {0.72942, 0.70316},
                                 {0.72942, 0.36629}, {0.26477, 0.36629}, {0.26477, 0.70316}, {0.4274, 0.70316}}};

// Left open after its last point: the fill closes it.
template <size_t N>
BezierPath openPolygon(const QRectF& frame, const std::array<QPointF, N>& points) {
  BezierPath path;
  path.moveToPoint(framePoint(frame, points[0].x(), points[0].y()));
  for (size_t i = 1; i < N; ++i) path.lineToPoint(framePoint(frame, points[i].x(), points[i].y()));
  return path;
}

}  // namespace

void KorvalumeShareIcons::drawShareWithFrame(GraphicsContext& ctx, QRectF frame, bool toggleButtonOn) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const QColor darkGrey = colorWithRGBA(0.392, 0.392, 0.392, 1);
  const QColor sign = toggleButtonOn ? white : darkGrey;
  const Shadow drop(NamedColor::blackColor(), QSizeF(1, -1), 1);
  for (const BezierPath& piece : {openPolygon(frame, kArrow), openPolygon(frame, kTray)}) {
    ctx.saveGraphicsState();
    ctx.setShadow(drop);
    ctx.setFillColor(sign);
    ctx.fill(piece);
    ctx.restoreGraphicsState();
  }
}

void KorvalumeShareIcons::drawShareWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor label = colorWithRGBA(1, 1, 1, 1);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(openPolygon(frame, kLabelledArrow));
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(openPolygon(frame, kLabelledTray));
  // The word as letter outlines fitted to its box: letters clockwise, counters not.
  ctx.setFillColor(label);
  ctx.fill(glyphOutlinesFittedToBox(QStringLiteral("Share"), FontFace::Regular,
                                    fractionRect(frame, 0.2072, 0.06, 0.7899, 0.2386)));
}

StyleKitImage KorvalumeShareIcons::imageOfShareWithSize(QSizeF size, bool toggleButtonOn) {
  return imageOfDrawMethod(size, &drawShareWithFrame, toggleButtonOn);
}
StyleKitImage KorvalumeShareIcons::imageOfShareWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawShareWithTextWithFrame);
}

void registerShareIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfShareWithSize:toggleButtonOn: (YES)"),
                 [](QSizeF s) { return KorvalumeShareIcons::imageOfShareWithSize(s, true); }});
  out.push_back({QStringLiteral("imageOfShareWithSize:toggleButtonOn: (NO)"),
                 [](QSizeF s) { return KorvalumeShareIcons::imageOfShareWithSize(s, false); }});
  out.push_back({QStringLiteral("imageOfShareWithTextWithSize:"),
                 [](QSizeF s) { return KorvalumeShareIcons::imageOfShareWithTextWithSize(s); }});
}
