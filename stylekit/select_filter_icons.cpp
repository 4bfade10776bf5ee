#include "stylekit/select_filter_icons.h"

#include <cmath>
#include <vector>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

struct Letter {
  QChar c;
  qreal left, right, bottom, top;
};

// Letters fitted one by one to their boxes; outer contours counter-clockwise and counters
// clockwise, so a non-zero fill leaves the counters open.
BezierPath lettersPath(QRectF frame, const std::vector<Letter>& letters) {
  BezierPath path;
  for (const Letter& l : letters)
    path.appendBezierPath(
        glyphOutlinesFittedToBox(QString(l.c), FontFace::Regular, fractionRect(frame, l.left, l.bottom, l.right, l.top))
            .reversed());
  return path;
}

// Baseline, capital line and the overshoots of round letters.
constexpr qreal kBase = 0.0641, kCap = 0.21767, kCapRoundLow = 0.06048, kCapRoundHigh = 0.22129;
constexpr qreal kLowRoundLow = 0.06208, kLowRoundHigh = 0.18085, kAscender = 0.22437, kDot = 0.2265;

BezierPath selectAllLabel(QRectF frame) {
  // The run "Select All" fitted to its ink box: the S dips lowest, the l's rise highest.
  return glyphOutlinesFittedToBox(QStringLiteral("Select All"), FontFace::Regular,
                                  fractionRect(frame, 0.055, 0.06048, 0.94372, 0.22437))
      .reversed();
}

void drawSelectAll(GraphicsContext& ctx, QRectF frame, bool selected) {
  const QColor line = colorWithRGBA(1, 1, 1, 1);
  BezierPath box = BezierPath::bezierPathWithRect(KorvalumeSelectFilterIcons::selectAllBox(frame));
  box.setLineWidth(1);
  auto strokeBox = [&] {
    ctx.setStrokeColor(line);
    ctx.stroke(box);
  };
  auto fillLabel = [&] {
    ctx.setFillColor(NamedColor::whiteColor());
    ctx.fill(selectAllLabel(frame));
  };
  if (!selected) {
    fillLabel();
    strokeBox();
    return;
  }
  strokeBox();
  BezierPath tick;
  const QPointF corners[] = {{0.41875, 0.38462}, {0.78205, 0.75966}, {0.71069, 0.83333},
                             {0.41875, 0.53196}, {0.31495, 0.63911}, {0.24359, 0.56544}};
  tick.moveToPoint(framePoint(frame, corners[0].x(), corners[0].y()));
  for (size_t i = 1; i < std::size(corners); ++i) tick.lineToPoint(framePoint(frame, corners[i].x(), corners[i].y()));
  tick.closePath();
  ctx.setFillColor(line);
  ctx.fill(tick);
  fillLabel();
}

void drawFilter(GraphicsContext& ctx, QRectF frame, const std::vector<Letter>& label, qreal funnelShift,
                bool labelFirst) {
  auto fillLabel = [&] {
    ctx.setFillColor(NamedColor::whiteColor());
    ctx.fill(lettersPath(frame, label));
  };
  auto fillFunnel = [&] {
    ctx.setFillColor(NamedColor::whiteColor());
    ctx.fill(KorvalumeSelectFilterIcons::filterFunnelPath(frame, funnelShift));
  };
  if (labelFirst) {
    fillLabel();
    fillFunnel();
  } else {
    fillFunnel();
    fillLabel();
  }
}

}  // namespace

QRectF KorvalumeSelectFilterIcons::selectAllBox(QRectF frame) {
  const qreal l = std::floor(frame.width() * 0.17949 + 0.5);
  const qreal b = std::floor(frame.height() * 0.29487 + 0.5);
  const qreal w = std::floor(frame.width() * 0.83974) - l + 0.5;
  const qreal h = std::floor(frame.height() * 0.91667) - b + 0.5;
  return {frame.x() + l, frame.y() + b, w, h};
}

BezierPath KorvalumeSelectFilterIcons::filterFunnelPath(QRectF frame, qreal dx) {
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x - dx, y); };
  BezierPath f;
  f.moveToPoint(p(0.24427, 0.88462));
  f.lineToPoint(p(0.7942, 0.88462));
  f.curveToPoint(p(0.82051, 0.86502), p(0.80874, 0.88462), p(0.82051, 0.87585));
  f.lineToPoint(p(0.82051, 0.77601));
  f.curveToPoint(p(0.80818, 0.76501), p(0.82051, 0.77005), p(0.81432, 0.76501));
  f.curveToPoint(p(0.5967, 0.51678), p(0.74051, 0.69167), p(0.68725, 0.61505));
  f.lineToPoint(p(0.5967, 0.29487));
  f.lineToPoint(p(0.44176, 0.29487));
  f.lineToPoint(p(0.44176, 0.51678));
  f.curveToPoint(p(0.23028, 0.76501), p(0.35121, 0.61505), p(0.29795, 0.69167));
  f.curveToPoint(p(0.21795, 0.77601), p(0.22414, 0.76501), p(0.21795, 0.77005));
  f.lineToPoint(p(0.21795, 0.86502));
  f.curveToPoint(p(0.24427, 0.88462), p(0.21795, 0.87585), p(0.22973, 0.88462));
  f.closePath();
  return f;
}

void KorvalumeSelectFilterIcons::drawSelectAllSelectedWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawSelectAll(ctx, frame, true);
}
void KorvalumeSelectFilterIcons::drawSelectAllUnselectedWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawSelectAll(ctx, frame, false);
}

// Video and All use a funnel one grid step (1/78 of the width) further left.
constexpr qreal kGridStep = 0.01282;

void KorvalumeSelectFilterIcons::drawFilterJpgWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawFilter(ctx, frame,
             {{'J', 0.30733, 0.39587, kCapRoundLow, kCap},
              {'P', 0.43003, 0.53719, kBase, kCap},
              {'G', 0.55752, 0.69235, kCapRoundLow, kCapRoundHigh}},
             0, true);
}
void KorvalumeSelectFilterIcons::drawFilterRawWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawFilter(ctx, frame,
             {{'R', 0.28274, 0.39502, kBase, kCap},
              {'A', 0.40789, 0.54007, kBase, kCap},
              {'W', 0.54028, 0.73205, kBase, kCap}},
             0, true);
}
void KorvalumeSelectFilterIcons::drawFilterVideoWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawFilter(ctx, frame,
             {{'V', 0.22591, 0.35809, kBase, kCap},
              {'i', 0.37458, 0.40012, kBase, kDot},
              {'d', 0.42056, 0.52464, kLowRoundLow, kAscender},
              {'e', 0.54943, 0.65096, kLowRoundLow, kLowRoundHigh},
              {'o', 0.66894, 0.77472, kLowRoundLow, kLowRoundHigh}},
             kGridStep, false);
}
void KorvalumeSelectFilterIcons::drawFilterAllWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawFilter(ctx, frame,
             {{'A', 0.3864, 0.51857, kBase, kCap},
              {'l', 0.53922, 0.55752, kBase, kAscender},
              {'l', 0.58913, 0.60743, kBase, kAscender}},
             kGridStep, false);
}

StyleKitImage KorvalumeSelectFilterIcons::imageOfSelectAllSelectedWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawSelectAllSelectedWithTextWithFrame);
}
StyleKitImage KorvalumeSelectFilterIcons::imageOfSelectAllUnselectedWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawSelectAllUnselectedWithTextWithFrame);
}
StyleKitImage KorvalumeSelectFilterIcons::imageOfFilterJpgWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawFilterJpgWithTextWithFrame);
}
StyleKitImage KorvalumeSelectFilterIcons::imageOfFilterRawWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawFilterRawWithTextWithFrame);
}
StyleKitImage KorvalumeSelectFilterIcons::imageOfFilterVideoWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawFilterVideoWithTextWithFrame);
}
StyleKitImage KorvalumeSelectFilterIcons::imageOfFilterAllWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawFilterAllWithTextWithFrame);
}

void registerSelectFilterIcons(std::vector<IconSample>& out) {
  using K = KorvalumeSelectFilterIcons;
  const std::pair<const char*, StyleKitImage (*)(QSizeF)> all[] = {
      {"imageOfSelectAllSelectedWithTextWithSize:", &K::imageOfSelectAllSelectedWithTextWithSize},
      {"imageOfSelectAllUnselectedWithTextWithSize:", &K::imageOfSelectAllUnselectedWithTextWithSize},
      {"imageOfFilterJpgWithTextWithSize:", &K::imageOfFilterJpgWithTextWithSize},
      {"imageOfFilterRawWithTextWithSize:", &K::imageOfFilterRawWithTextWithSize},
      {"imageOfFilterVideoWithTextWithSize:", &K::imageOfFilterVideoWithTextWithSize},
      {"imageOfFilterAllWithTextWithSize:", &K::imageOfFilterAllWithTextWithSize},
  };
  for (const auto& [name, fn] : all) out.push_back({QString::fromLatin1(name), fn});
}
