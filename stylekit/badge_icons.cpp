#include "stylekit/badge_icons.h"

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/text_box.h"

namespace {

// A rounded square in the badge colour with one white letter centred on it and clipped to it.
void drawLetterBadge(GraphicsContext& ctx, QRectF frame, qreal fontSize, const QColor& fill,
                     const QString& letter) {
  const QColor textColor = colorWithRGBA(1, 1, 1, 1);
  const QRectF badge = snappedRect(frame, 0, 0, 1, 1);
  ctx.setFillColor(fill);
  ctx.fill(BezierPath::bezierPathWithRoundedRect(badge, 2, 2));
  TextAttributes a;
  a.font = Font::fontWithName(QStringLiteral("Arial-BoldMT"), fontSize);
  a.foregroundColor = textColor;
  a.alignment = TextAlignment::Center;
  drawTextCentredInBox(ctx, letter, badge, a);
}

}  // namespace

void KorvalumeBadgeIcons::drawRawWithFrame(GraphicsContext& ctx, QRectF frame, qreal fontSize) {
  drawLetterBadge(ctx, frame, fontSize, NamedColor::redColor(), QStringLiteral("R"));
}

void KorvalumeBadgeIcons::drawTiffWithFrame(GraphicsContext& ctx, QRectF frame, qreal fontSize) {
  drawLetterBadge(ctx, frame, fontSize, NamedColor::greenColor(), QStringLiteral("T"));
}

void KorvalumeBadgeIcons::drawMovieIconWithFrame(GraphicsContext& ctx, QRectF frame) {
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  ctx.setFillColor(NamedColor::blueColor());
  ctx.fill(BezierPath::bezierPathWithRoundedRect(snappedRect(frame, 0, 0, 1, 1), 2, 2));

  BezierPath lens;
  lens.moveToPoint(p(0.925, 0.675));
  lens.lineToPoint(p(0.925, 0.35));
  lens.lineToPoint(p(0.625, 0.50811));
  lens.closePath();
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(lens);

  // The body: a rounded box x 0.1 to 0.575, y 0.175 to 0.85, clockwise from the top edge.
  BezierPath body;
  body.moveToPoint(p(0.18713, 0.85));
  body.lineToPoint(p(0.48787, 0.85));
  body.curveToPoint(p(0.53681, 0.84572), p(0.51296, 0.85), p(0.5255, 0.85));
  body.lineToPoint(p(0.539, 0.84511));
  body.curveToPoint(p(0.57073, 0.80875), p(0.55375, 0.83896), p(0.56536, 0.82565));
  body.curveToPoint(p(0.575, 0.75014), p(0.575, 0.79327), p(0.575, 0.7789));
  body.lineToPoint(p(0.575, 0.27486));
  body.curveToPoint(p(0.57127, 0.21876), p(0.575, 0.2461), p(0.575, 0.23173));
  body.lineToPoint(p(0.57073, 0.21625));
  body.curveToPoint(p(0.539, 0.17989), p(0.56536, 0.19935), p(0.55375, 0.18604));
  body.curveToPoint(p(0.48787, 0.175), p(0.5255, 0.175), p(0.51296, 0.175));
  body.lineToPoint(p(0.18713, 0.175));
  body.curveToPoint(p(0.13819, 0.17928), p(0.16204, 0.175), p(0.1495, 0.175));
  body.lineToPoint(p(0.136, 0.17989));
  body.curveToPoint(p(0.10427, 0.21625), p(0.12125, 0.18604), p(0.10964, 0.19935));
  body.curveToPoint(p(0.1, 0.27486), p(0.1, 0.23173), p(0.1, 0.2461));
  body.lineToPoint(p(0.1, 0.75014));
  body.curveToPoint(p(0.10373, 0.80624), p(0.1, 0.7789), p(0.1, 0.79327));
  body.lineToPoint(p(0.10427, 0.80875));
  body.curveToPoint(p(0.136, 0.84511), p(0.10964, 0.82565), p(0.12125, 0.83896));
  body.curveToPoint(p(0.18713, 0.85), p(0.1495, 0.85), p(0.16204, 0.85));
  body.closePath();
  ctx.fill(body);
}

QRectF KorvalumeBadgeIcons::unknownThumbnailMarkBox(QRectF frame) {
  return snappedRect(frame, EdgeRule{0.27222, -0.5, 1}, EdgeRule{0.11593, -0.37, 0.87},
                     EdgeRule{0.73074, -0.03, 0.53}, EdgeRule{0.88333, -0.5, 1});
}

void KorvalumeBadgeIcons::drawUnknownThumbnailWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor darkGrey = colorWithRGBA(0.392, 0.392, 0.392, 1);
  const QColor yellow = colorWithRGBA(1, 1, 0, 1);
  ctx.setFillColor(darkGrey);
  ctx.fill(BezierPath::bezierPathWithRect(snappedRect(frame, 0, 0, 1, 1)));

  const QRectF box = unknownThumbnailMarkBox(frame);
  auto p = [&](qreal x, qreal y) { return framePoint(box, x, y); };
  BezierPath mark;
  // Hook and stem, from the top of the hook round to the left.
  mark.moveToPoint(p(0.51945, 1));
  mark.curveToPoint(p(0.07, 0.88), p(0.30, 1), p(0.14, 0.96));
  mark.curveToPoint(p(0, 0.67857), p(0.02, 0.82), p(0, 0.75));
  mark.lineToPoint(p(0.18307, 0.67857));
  mark.curveToPoint(p(0.5103, 0.90385), p(0.20, 0.81), p(0.33, 0.90385));
  mark.curveToPoint(p(0.81236, 0.72802), p(0.70, 0.90385), p(0.81236, 0.83));
  mark.curveToPoint(p(0.58, 0.50), p(0.81236, 0.62), p(0.68, 0.57));
  mark.curveToPoint(p(0.39359, 0.29121), p(0.45, 0.42), p(0.39359, 0.37));
  mark.lineToPoint(p(0.39359, 0.25962));
  mark.lineToPoint(p(0.57895, 0.25962));
  mark.lineToPoint(p(0.57895, 0.29121));
  mark.curveToPoint(p(0.72769, 0.46703), p(0.57895, 0.37), p(0.63, 0.42));
  mark.curveToPoint(p(1, 0.73352), p(0.86, 0.53), p(1, 0.62));
  mark.curveToPoint(p(0.51945, 1), p(1, 0.90), p(0.80, 1));
  mark.closePath();
  // The dot: eight curves through its four extreme points, each quadrant with its own radii.
  const qreal cx = 0.48741, cy = 0.08242;
  const qreal left = 0.34783, right = 0.62471, bottom = 0, top = 0.16346;
  const qreal k = 4.0 / 3.0 * std::tan(M_PI / 16);  // one eighth of a turn per curve
  auto arc = [&](qreal a0, qreal a1, qreal rx, qreal ry) {
    const QPointF s(cx + rx * std::cos(a0), cy + ry * std::sin(a0));
    const QPointF e(cx + rx * std::cos(a1), cy + ry * std::sin(a1));
    const QPointF c1(s.x() - k * rx * std::sin(a0), s.y() + k * ry * std::cos(a0));
    const QPointF c2(e.x() + k * rx * std::sin(a1), e.y() - k * ry * std::cos(a1));
    mark.curveToPoint(p(e.x(), e.y()), p(c1.x(), c1.y()), p(c2.x(), c2.y()));
  };
  mark.moveToPoint(p(right, cy));
  for (int i = 0; i < 8; ++i) {
    const qreal a0 = i * M_PI / 4, a1 = (i + 1) * M_PI / 4;
    const qreal rx = (i < 2 || i >= 6) ? right - cx : cx - left;
    const qreal ry = i < 4 ? top - cy : cy - bottom;
    arc(a0, a1, rx, ry);
  }
  mark.closePath();
  ctx.setFillColor(yellow);
  ctx.fill(mark);
}

StyleKitImage KorvalumeBadgeIcons::imageOfRawWithSize(QSizeF size, qreal fontSize) {
  return imageOfDrawMethod(size, &drawRawWithFrame, fontSize);
}
StyleKitImage KorvalumeBadgeIcons::imageOfTiffWithSize(QSizeF size, qreal fontSize) {
  return imageOfDrawMethod(size, &drawTiffWithFrame, fontSize);
}
StyleKitImage KorvalumeBadgeIcons::imageOfMovieIconWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawMovieIconWithFrame);
}
StyleKitImage KorvalumeBadgeIcons::imageOfUnknownThumbnailWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawUnknownThumbnailWithFrame);
}
