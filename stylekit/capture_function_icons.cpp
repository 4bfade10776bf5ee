#include "stylekit/capture_function_icons.h"

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/control_icons.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/oval_contours.h"

namespace {

// The colours and shadows every icon of the family makes on each call.
struct Palette {
  QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  QColor highlightBlue = colorWithRGBA(0, 0.353, 0.863, 0.784);
  QColor translucentWhite = colorWithRGBA(1, 1, 1, 0.784);
  QColor charcoal = colorWithRGBA(0.196, 0.196, 0.196, 1);
  QColor white = colorWithRGBA(1, 1, 1, 1);
  Shadow dropShadow{NamedColor::blackColor(), QSizeF(1, -1), 1};
  Shadow offShadow{colorWithAlphaComponent(NamedColor::blackColor(), 0), QSizeF(3, -3), 5};
  Shadow glow{colorWithRGBA(1, 1, 1, 1), QSizeF(0, 0), 5};
};

BezierPath box(const QRectF& frame, qreal left, qreal bottom, qreal right, qreal top) {
  return BezierPath::bezierPathWithRect(snappedRect(frame, left, bottom, right, top));
}

void fill(GraphicsContext& ctx, const BezierPath& path, const QColor& colour) {
  ctx.setFillColor(colour);
  ctx.fill(path);
}

// The outer-shadow procedure: the shadow reaches this element only.
void fillUnder(GraphicsContext& ctx, const BezierPath& path, const QColor& colour, const Shadow& shadow) {
  ctx.saveGraphicsState();
  ctx.setShadow(shadow);
  ctx.setFillColor(colour);
  ctx.fill(path);
  ctx.restoreGraphicsState();
}

// A ring: the inner circle counter-clockwise from its top, the outer clockwise from its
// right, each with one quarter split where the drawing has a node.
BezierPath ringPath(const QRectF& frame, const FractionOval& inner, QPointF innerSplit, const FractionOval& outer,
                    QPointF outerSplit) {
  BezierPath ring;
  appendOvalContour(ring, frame, inner, 90, false, innerSplit);
  appendOvalContour(ring, frame, outer, 0, true, outerSplit);
  return ring;
}

}  // namespace

QRectF KorvalumeCaptureFunctionIcons::focusStackBarRect(QRectF frame) {
  return snappedRect(frame, 0.04717, 0.0283, 0.9434, 0.04717);
}

QRectF KorvalumeCaptureFunctionIcons::timerBarRect(QRectF frame) {
  return snappedRect(frame, 0.045, 0.03, 0.945, 0.045);
}

QRectF KorvalumeCaptureFunctionIcons::timerLowerHandRect(QRectF frame) {
  return snappedRect(frame, 0.49, 0.16, 0.51, 0.445);
}

void KorvalumeCaptureFunctionIcons::drawFocusStackWithFrame(GraphicsContext& ctx, QRectF frame,
                                                            bool buttonHighlighted) {
  const Palette c;
  const QColor icon = buttonHighlighted ? c.highlightBlue : c.lightGrey;
  fill(ctx, polygon(frame, {{0.505, 0.455}, {0.555, 0.505}, {0.905, 0.155}, {0.855, 0.105}}), icon);
  fill(ctx,
       ringPath(frame, FractionOval::inBox(0.16, 0.44, 0.57, 0.85), {0.27227, 0.82788},
                FractionOval::inBox(0.12, 0.4, 0.61, 0.89), {0.24175, 0.85679}),
       icon);
  if (buttonHighlighted) fill(ctx, BezierPath::bezierPathWithRect(focusStackBarRect(frame)), c.highlightBlue);
}

void KorvalumeCaptureFunctionIcons::drawTimerWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted) {
  const Palette c;
  const QColor icon = buttonHighlighted ? c.highlightBlue : c.lightGrey;
  fill(ctx,
       ringPath(frame, FractionOval::inBox(0.18527, 0.12867, 0.81473, 0.75813), {0.33922, 0.71402},
                FractionOval::inBox(0.13208, 0.07547, 0.86792, 0.81132), {0.29488, 0.74888}),
       icon);
  fill(ctx, BezierPath::bezierPathWithRoundedRect(snappedRect(frame, 0.37, 0.82, 0.625, 0.955), 1, 1), icon);
  fill(ctx, BezierPath::bezierPathWithOvalInRect(snappedRect(frame, 0.47, 0.415, 0.53, 0.47)), icon);
  fill(ctx, polygon(frame, {{0.5, 0.46226}, {0.61321, 0.57547}, {0.64151, 0.54717}, {0.5283, 0.43396}}), icon);
  fill(ctx, polygon(frame, {{0.5, 0.46047}, {0.33783, 0.62264}, {0.32075, 0.60557}, {0.48293, 0.4434}}), icon);
  fill(ctx, BezierPath::bezierPathWithRect(timerLowerHandRect(frame)), icon);
  if (buttonHighlighted) fill(ctx, BezierPath::bezierPathWithRect(timerBarRect(frame)), c.highlightBlue);
}

void KorvalumeCaptureFunctionIcons::drawHDRWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted) {
  const Palette c;
  const QColor icon = buttonHighlighted ? c.highlightBlue : c.lightGrey;
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  fill(ctx, box(frame, 0.35849, 0.09434, 0.91509, 0.5), icon);  // front frame

  BezierPath middle;
  middle.moveToPoint(p(0.73585, 0.66038));  // the opening, counter-clockwise
  middle.lineToPoint(p(0.27358, 0.66038));
  middle.lineToPoint(p(0.27358, 0.34906));
  middle.lineToPoint(p(0.73585, 0.34906));
  middle.closePath();
  middle.moveToPoint(p(0.78302, 0.70753));  // the outside, clockwise
  middle.lineToPoint(p(0.78302, 0.30189));
  middle.lineToPoint(p(0.22642, 0.30189));
  middle.lineToPoint(p(0.22642, 0.70755));
  middle.lineToPoint(p(0.78302, 0.70755));
  middle.closePath();
  fill(ctx, middle, icon);

  fill(ctx, polygon(frame, {{0.26887, 0.58019}, {0.35377, 0.66509}, {0.39151, 0.66509}, {0.26887, 0.54245}}), icon);
  fill(ctx, polygon(frame, {{0.27358, 0.48113}, {0.45283, 0.66038}, {0.49057, 0.66038}, {0.27358, 0.4434}}), icon);

  fill(ctx,
       polygon(frame, {{0.65094, 0.90565},
                       {0.65094, 0.66981},
                       {0.60377, 0.66981},
                       {0.60377, 0.85849},
                       {0.14151, 0.85849},
                       {0.14151, 0.54717},
                       {0.24528, 0.54717},
                       {0.24528, 0.5},
                       {0.09434, 0.5},
                       {0.09434, 0.90566},
                       {0.65094, 0.90565}}),
       icon);

  fill(ctx, polygon(frame, {{0.26415, 0.36792}, {0.56604, 0.66981}, {0.60377, 0.66981}, {0.26415, 0.33019}}), icon);
  fill(ctx, polygon(frame, {{0.33962, 0.33962}, {0.66038, 0.66038}, {0.69811, 0.66038}, {0.37736, 0.33962}}), icon);
  fill(ctx, polygon(frame, {{0.43396, 0.33019}, {0.73585, 0.63208}, {0.77358, 0.63208}, {0.43396, 0.29245}}), icon);
  if (buttonHighlighted) fill(ctx, BezierPath::bezierPathWithRect(focusStackBarRect(frame)), c.highlightBlue);
}

void KorvalumeCaptureFunctionIcons::drawHistogramWithFrame(GraphicsContext& ctx, QRectF frame,
                                                           bool buttonHighlighted) {
  const Palette c;
  const QColor colour = buttonHighlighted ? c.highlightBlue : c.translucentWhite;
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  fillUnder(ctx, box(frame, 0.05, 0.06, 0.1, 0.95), colour, c.dropShadow);
  fillUnder(ctx, box(frame, 0.05, 0.06, 0.95, 0.11), colour, c.dropShadow);

  // Left open: the fill closes it, the outline does not.
  BezierPath hump;
  hump.moveToPoint(p(0.115, 0.125));
  hump.curveToPoint(p(0.365, 0.365), p(0.115, 0.125), p(0.145, 0.365));
  hump.curveToPoint(p(0.645, 0.825), p(0.43583, 0.365), p(0.545, 0.855));
  hump.curveToPoint(p(0.925, 0.115), p(0.8556, 0.76182), p(0.925, 0.115));
  hump.lineToPoint(p(0.115, 0.115));
  fill(ctx, hump, colour);
  ctx.setStrokeColor(c.charcoal);
  hump.setLineWidth(1);
  ctx.stroke(hump);
}

void KorvalumeCaptureFunctionIcons::drawBrightnessWithFrame(GraphicsContext& ctx, QRectF frame,
                                                            bool buttonHighlighted) {
  const Palette c;
  const Shadow& shadow = buttonHighlighted ? c.glow : c.offShadow;
  auto ray = [&](const BezierPath& path) { fillUnder(ctx, path, NamedColor::whiteColor(), shadow); };

  ray(box(frame, 0.47222, 0.77778, 0.52778, 1));  // up
  ray(box(frame, 0.47222, 0, 0.52778, 0.22222));  // down
  ray(polygon(frame, {{0.6129, 0.75}, {0.72581, 0.94355}, {0.77419, 0.91129}, {0.66129, 0.72581}}));
  ray(polygon(frame, {{0.73387, 0.64049}, {0.91734, 0.77419}, {0.94355, 0.72963}, {0.76882, 0.60484}}));
  ray(box(frame, 0.77778, 0.47222, 1, 0.52778));  // right
  ray(polygon(frame, {{0.6129, 0.25}, {0.72581, 0.05645}, {0.77419, 0.08871}, {0.66129, 0.27419}}));
  ray(polygon(frame, {{0.73387, 0.36757}, {0.91734, 0.23387}, {0.94355, 0.27844}, {0.76882, 0.40323}}));
  ray(polygon(frame, {{0.39516, 0.75}, {0.28226, 0.94355}, {0.23387, 0.91129}, {0.34677, 0.72581}}));
  ray(polygon(frame, {{0.28226, 0.63243}, {0.09879, 0.76613}, {0.07258, 0.72156}, {0.24731, 0.59677}}));
  ray(box(frame, 0, 0.47222, 0.22222, 0.52778));  // left
  ray(polygon(frame, {{0.22581, 0.08871}, {0.33871, 0.28226}, {0.3871, 0.25}, {0.27419, 0.06452}}));
  ray(polygon(frame, {{0.29032, 0.36757}, {0.10685, 0.23387}, {0.08065, 0.27844}, {0.25538, 0.40323}}));

  const FractionOval outer = FractionOval::inBox(0.30645, 0.30645, 0.69355, 0.69355);
  ray(ringPath(frame, FractionOval::inBox(0.34677, 0.34677, 0.65323, 0.65323), {0.46061, 0.64812}, outer,
               {0.44066, 0.68428}));

  // The right half of the disc: clockwise along the outer circle, then straight back up.
  BezierPath half;
  const QPointF top(0.50806, 0.69338), bottom(0.50806, 0.30662);
  half.moveToPoint(framePoint(frame, top.x(), top.y()));
  appendOvalArc(half, frame, outer, outer.angleOf(top), outer.angleOf(bottom));
  half.lineToPoint(framePoint(frame, top.x(), top.y()));
  half.closePath();
  ray(half);
}

void KorvalumeCaptureFunctionIcons::drawMoreWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted) {
  const Palette c;
  const QColor colour = buttonHighlighted ? c.highlightBlue : c.translucentWhite;
  for (qreal left : {0.38, 0.71, 0.05})
    fillUnder(ctx, BezierPath::bezierPathWithOvalInRect(snappedRect(frame, left, 0.38, left + 0.24, 0.62)), colour,
              c.dropShadow);
}

StyleKitImage KorvalumeCaptureFunctionIcons::imageOfFocusStackWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawFocusStackWithFrame, buttonHighlighted);
}
StyleKitImage KorvalumeCaptureFunctionIcons::imageOfTimerWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawTimerWithFrame, buttonHighlighted);
}
StyleKitImage KorvalumeCaptureFunctionIcons::imageOfHDRWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawHDRWithFrame, buttonHighlighted);
}
StyleKitImage KorvalumeCaptureFunctionIcons::imageOfHistogramWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawHistogramWithFrame, buttonHighlighted);
}
StyleKitImage KorvalumeCaptureFunctionIcons::imageOfBrightnessWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawBrightnessWithFrame, buttonHighlighted);
}
StyleKitImage KorvalumeCaptureFunctionIcons::imageOfMoreWithSize(QSizeF size, bool buttonHighlighted) {
  return imageOfDrawMethod(size, &drawMoreWithFrame, buttonHighlighted);
}

void registerCaptureFunctionIcons(std::vector<IconSample>& out) {
  using K = KorvalumeCaptureFunctionIcons;
  using Image = StyleKitImage (*)(QSizeF, bool);
  const std::pair<const char*, Image> icons[] = {
      {"imageOfFocusStackWithSize:buttonHighlighted:", &K::imageOfFocusStackWithSize},
      {"imageOfTimerWithSize:buttonHighlighted:", &K::imageOfTimerWithSize},
      {"imageOfHDRWithSize:buttonHighlighted:", &K::imageOfHDRWithSize},
      {"imageOfHistogramWithSize:buttonHighlighted:", &K::imageOfHistogramWithSize},
      {"imageOfBrightnessWithSize:buttonHighlighted:", &K::imageOfBrightnessWithSize},
      {"imageOfMoreWithSize:buttonHighlighted:", &K::imageOfMoreWithSize},
  };
  for (const auto& [name, image] : icons)
    for (bool highlighted : {false, true})
      out.push_back({QLatin1String(name) + (highlighted ? QLatin1String(" (YES)") : QLatin1String(" (NO)")),
                     [fn = image, highlighted](QSizeF s) { return fn(s, highlighted); }});
}
