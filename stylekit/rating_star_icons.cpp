#include "stylekit/rating_star_icons.h"

#include <algorithm>
#include <array>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

using Star = std::array<QPointF, 10>;

// From the top point, clockwise: outer point and inner corner in turn.
constexpr Star kRatingStar = {{{0.5, 0.965}, {0.62031, 0.66559}, {0.94224, 0.64369}, {0.69466, 0.43675},
                               {0.77332, 0.12381}, {0.5, 0.29532}, {0.22668, 0.12381}, {0.30534, 0.43675},
                               {0.05776, 0.64369}, {0.37969, 0.66559}}};
constexpr Star kContextStar = {{{0.5, 0.935}, {0.61772, 0.64203}, {0.93273, 0.6206}, {0.69048, 0.41811},
                                {0.76744, 0.1119}, {0.5, 0.27972}, {0.23256, 0.1119}, {0.30952, 0.41811},
                                {0.06727, 0.6206}, {0.38228, 0.64203}}};

BezierPath starPath(const QRectF& frame, const Star& star) {
  BezierPath path;
  path.moveToPoint(framePoint(frame, star[0].x(), star[0].y()));
  for (size_t i = 1; i < star.size(); ++i) path.lineToPoint(framePoint(frame, star[i].x(), star[i].y()));
  path.closePath();
  return path;
}

// Fill under a shadow, then a grey hairline outside it.
void drawRatingStar(GraphicsContext& ctx, const QRectF& frame, const QColor& fill, const Shadow& shadow) {
  BezierPath star = starPath(frame, kRatingStar);
  ctx.saveGraphicsState();
  ctx.setShadow(shadow);
  ctx.setFillColor(fill);
  ctx.fill(star);
  ctx.restoreGraphicsState();
  ctx.setStrokeColor(NamedColor::grayColor());
  star.setLineWidth(0.5);
  ctx.stroke(star);
}

// Alpha 0: a star that is not highlighted paints neither fill nor glow.
QColor clearRed() { return colorWithRGBA(0.8, 0.322, 0.322, 0); }

}  // namespace

void KorvalumeRatingStarIcons::drawStarIconWithFrame(GraphicsContext& ctx, QRectF frame, bool ratingHighlighted) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const Shadow glow(white, QSizeF(0, 0), 10);
  drawRatingStar(ctx, frame, ratingHighlighted ? white : clearRed(), glow);
}

void KorvalumeRatingStarIcons::drawYellowStarIconWithFrame(GraphicsContext& ctx, QRectF frame,
                                                           bool ratingHighlighted) {
  const QColor yellow = colorWithRGBA(1, 1, 0, 1);
  const Shadow glow(yellow, QSizeF(0, 0), 10);
  const Shadow off(colorWithAlphaComponent(NamedColor::blackColor(), 0), QSizeF(3, -3), 5);
  drawRatingStar(ctx, frame, ratingHighlighted ? yellow : clearRed(), ratingHighlighted ? glow : off);
}

void KorvalumeRatingStarIcons::drawContextStarWithFrame(GraphicsContext& ctx, QRectF frame) {
  const Shadow drop(NamedColor::blackColor(), QSizeF(1, -1), 1);
  ctx.saveGraphicsState();
  ctx.setShadow(drop);
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(starPath(frame, kContextStar));
  ctx.restoreGraphicsState();
}

QRectF KorvalumeRatingStarIcons::fiveStarBox(QRectF frame, int index) {
  struct Box {
    qreal left, bottom, right, top;
  };
  static constexpr Box kBoxes[] = {
      {0.35833, 0.61667, 0.675, 0.93333},   // top
      {0.05, 0.38333, 0.36667, 0.7},        // middle left
      {0.66667, 0.38333, 0.98333, 0.7},     // middle right
      {0.175, 0.03333, 0.49167, 0.35},      // bottom left
      {0.53333, 0.03333, 0.85, 0.35},       // bottom right
  };
  const Box& b = kBoxes[std::clamp(index, 0, 4)];
  return snappedRect(frame, b.left, b.bottom, b.right, b.top);
}

void KorvalumeRatingStarIcons::drawFiveStarWithFrame(GraphicsContext& ctx, QRectF frame) {
  for (int i = 0; i < 5; ++i) {
    // Each star's glow is cut at its own box.
    ctx.drawNested(fiveStarBox(frame, i), [](GraphicsContext& c, QRectF f) { drawStarIconWithFrame(c, f, true); });
  }
}

StyleKitImage KorvalumeRatingStarIcons::imageOfStarIconWithSize(QSizeF size, bool ratingHighlighted) {
  return imageOfDrawMethod(size, &drawStarIconWithFrame, ratingHighlighted);
}
StyleKitImage KorvalumeRatingStarIcons::imageOfYellowStarIconWithSize(QSizeF size, bool ratingHighlighted) {
  return imageOfDrawMethod(size, &drawYellowStarIconWithFrame, ratingHighlighted);
}
StyleKitImage KorvalumeRatingStarIcons::imageOfContextStarWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawContextStarWithFrame);
}
StyleKitImage KorvalumeRatingStarIcons::imageOfFiveStarWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawFiveStarWithFrame);
}

void registerRatingStarIcons(std::vector<IconSample>& out) {
  for (bool on : {false, true}) {
    const QString state = on ? QStringLiteral(" (YES)") : QStringLiteral(" (NO)");
    out.push_back({QStringLiteral("imageOfStarIconWithSize:ratingHighlighted:") + state,
                   [on](QSizeF s) { return KorvalumeRatingStarIcons::imageOfStarIconWithSize(s, on); }});
    out.push_back({QStringLiteral("imageOfYellowStarIconWithSize:ratingHighlighted:") + state,
                   [on](QSizeF s) { return KorvalumeRatingStarIcons::imageOfYellowStarIconWithSize(s, on); }});
  }
  out.push_back({QStringLiteral("imageOfContextStarWithSize:"),
                 [](QSizeF s) { return KorvalumeRatingStarIcons::imageOfContextStarWithSize(s); }});
  out.push_back({QStringLiteral("imageOfFiveStarWithSize:"),
                 [](QSizeF s) { return KorvalumeRatingStarIcons::imageOfFiveStarWithSize(s); }});
}
