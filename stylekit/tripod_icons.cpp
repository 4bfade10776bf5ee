#include "stylekit/tripod_icons.h"

#include <array>
#include <cmath>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/control_icons.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/oval_contours.h"

namespace {

struct Arrowhead {
  std::array<QPointF, 3> corners;  // the tip second
  qreal code;
};

constexpr Arrowhead kArrowheads[] = {
    {{{{0.435, 0.865}, {0.505, 0.935}, {0.575, 0.865}}}, 1},              // up
    {{{{0.425, 0.135}, {0.495, 0.065}, {0.565, 0.135}}}, 2},              // down
    {{{{0.86463, 0.57481}, {0.93463, 0.50514}, {0.86528, 0.43482}}}, 8},  // right
    {{{{0.13463, 0.57481}, {0.06463, 0.50514}, {0.13399, 0.43481}}}, 4},  // left
    {{{{0.71874, 0.80033}, {0.81742, 0.79625}, {0.81379, 0.69755}}}, 9},  // upper right
    {{{{0.28742, 0.80033}, {0.18874, 0.79625}, {0.19236, 0.69755}}}, 5},  // upper left
    {{{{0.71874, 0.19755}, {0.81742, 0.20162}, {0.81379, 0.30033}}}, 10}, // lower right
    {{{{0.28742, 0.19755}, {0.18874, 0.20162}, {0.19236, 0.30033}}}, 6},  // lower left
};

}  // namespace

QRectF KorvalumeTripodIcons::tripodBarRect(QRectF frame) {
  return snappedRect(frame, 0.0566, 0.0283, 0.95283, 0.04717);
}

void KorvalumeTripodIcons::drawTripodWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted) {
  const QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  const QColor highlightBlue = colorWithRGBA(0, 0.353, 0.863, 0.784);
  const QColor icon = buttonHighlighted ? highlightBlue : lightGrey;
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  auto fill = [&](const BezierPath& path, const QColor& colour) {
    ctx.setFillColor(colour);
    ctx.fill(path);
  };

  fill(BezierPath::bezierPathWithRoundedRect(snappedRect(frame, 0.39623, 0.82075, 0.61321, 0.9434), 1, 1), icon);
  fill(BezierPath::bezierPathWithRect(snappedRect(frame, 0.48113, 0.36792, 0.5283, 0.91509)), icon);
  fill(polygon(frame, {{0.48, 0.825}, {0.16, 0.305}, {0.195, 0.285}, {0.515, 0.825}}), icon);
  fill(polygon(frame, {{0.53, 0.825}, {0.85, 0.305}, {0.815, 0.285}, {0.495, 0.825}}), icon);

  BezierPath arc;
  arc.moveToPoint(p(0.225, 0.22));
  arc.curveToPoint(p(0.51, 0.125), p(0.225, 0.22), p(0.245, 0.125));
  arc.curveToPoint(p(0.775, 0.22), p(0.775, 0.125), p(0.775, 0.22));
  arc.lineToPoint(p(0.815, 0.22));
  arc.curveToPoint(p(0.51, 0.09), p(0.815, 0.22), p(0.8, 0.09));
  arc.curveToPoint(p(0.185, 0.22), p(0.22, 0.09), p(0.185, 0.22));
  arc.lineToPoint(p(0.225, 0.22));
  arc.closePath();
  fill(arc, icon);

  fill(polygon(frame, {{0.17431, 0.25965},
                       {0.15431, 0.17965},
                       {0.18168, 0.13982},
                       {0.20431, 0.21465},
                       {0.28117, 0.20693},
                       {0.25321, 0.24838}}),
       icon);
  fill(polygon(frame, {{0.82569, 0.25965},
                       {0.84569, 0.17965},
                       {0.81832, 0.13982},
                       {0.79569, 0.21465},
                       {0.71883, 0.20693},
                       {0.74679, 0.24838}}),
       icon);
  if (buttonHighlighted) fill(BezierPath::bezierPathWithRect(tripodBarRect(frame)), highlightBlue);
}

BezierPath KorvalumeTripodIcons::tripodJoystickRingPath(QRectF frame) {
  // Inner circle through the diagonal points at 0.23025 from the centre on each axis,
  // counter-clockwise from the upper left; outer circle of radius 0.46, clockwise from the
  // upper right. Both run as quarter curves from diagonal to diagonal.
  const qreal innerRadius = 0.23025 * std::sqrt(2.0);
  BezierPath ring;
  appendOvalContour(ring, frame, {0.5, 0.5, innerRadius, innerRadius}, 135, false);
  appendOvalContour(ring, frame, {0.5, 0.5, 0.46, 0.46}, 45, true);
  return ring;
}

void KorvalumeTripodIcons::drawTripodJoystickWithFrame(GraphicsContext& ctx, QRectF frame, qreal selectedArrow) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const QColor veilGrey = colorWithRGBA(0.502, 0.502, 0.502, 0.502);
  const QColor selectionRed = colorWithRGBA(1, 0, 0, 1);
  const Shadow glow(white, QSizeF(0, 0), 5);
  auto outline = [&](BezierPath path) {
    ctx.saveGraphicsState();
    ctx.setShadow(glow);
    ctx.setStrokeColor(white);
    path.setLineWidth(1);
    ctx.stroke(path);
    ctx.restoreGraphicsState();
  };

  const BezierPath ring = tripodJoystickRingPath(frame);
  ctx.setFillColor(veilGrey);
  ctx.fill(ring);
  outline(ring);

  for (const Arrowhead& a : kArrowheads) {
    const BezierPath head = polygon(frame, {a.corners[0], a.corners[1], a.corners[2]});
    // Exact equality: a code naming two opposite directions, a fraction or NaN selects none.
    ctx.setFillColor(selectedArrow == a.code ? selectionRed : white);
    ctx.fill(head);
    outline(head);
  }
}

StyleKitImage KorvalumeTripodIcons::imageOfTripodWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawTripodWithFrame, buttonHighlighted);
}

void registerTripodIcons(std::vector<IconSample>& out) {
  using K = KorvalumeTripodIcons;
  out.push_back({QStringLiteral("imageOfTripodWithSize:buttonHighlighted: (NO)"),
                 [](QSizeF s) { return K::imageOfTripodWithSize(s, false); }});
  out.push_back({QStringLiteral("imageOfTripodWithSize:buttonHighlighted: (YES)"),
                 [](QSizeF s) { return K::imageOfTripodWithSize(s, true); }});
  // The joystick has no image method; the sheet draws it through its draw method.
  for (qreal code : {0.0, 1.0, 9.0, 6.0}) {
    out.push_back({QStringLiteral("drawTripodJoystickWithFrame:selectedArrow: (%1)").arg(code),
                   [code](QSizeF s) {
                     return StyleKitImage::imageWithSize(s, [code, s](GraphicsContext& ctx, QRectF) {
                       K::drawTripodJoystickWithFrame(ctx, QRectF(QPointF(0, 0), s), code);
                       return true;
                     });
                   }});
  }
}
