#include "stylekit/trash_compare_icons.h"

#include <cmath>
#include <functional>
#include <vector>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

// Maps a point of the plain icon (fractions of its frame) into the frame being drawn; the
// labelled faces draw the same glyphs reduced and moved up.
using Map = std::function<QPointF(qreal, qreal)>;

Map plainMap(QRectF frame) {
  return [frame](qreal x, qreal y) { return framePoint(frame, x, y); };
}

Map reducedMap(QRectF frame, qreal dx, qreal dy, qreal k) {
  return [=](qreal x, qreal y) { return framePoint(frame, dx + k * x, dy + k * y); };
}

// Curve ratio that makes a cubic a quarter ellipse.
constexpr qreal kQuarter = 0.5523;

BezierPath trashHandle(const Map& p) {
  BezierPath path;
  path.moveToPoint(p(0.44261, 0.925));
  path.lineToPoint(p(0.57408, 0.925));
  path.curveToPoint(p(0.60125, 0.88333), p(0.58494, 0.91361), p(0.59418, 0.89947));
  path.lineToPoint(p(0.41542, 0.88333));
  path.curveToPoint(p(0.42049, 0.89387), p(0.417, 0.88695), p(0.41869, 0.89047));
  path.curveToPoint(p(0.44261, 0.925), p(0.42671, 0.90567), p(0.43416, 0.91616));
  path.closePath();
  return path;
}

BezierPath trashLid(const Map& p) {
  BezierPath path;
  path.moveToPoint(p(0.24605, 0.875));
  path.lineToPoint(p(0.76792, 0.875));
  path.curveToPoint(p(0.85833, 0.74167), p(0.81462, 0.83874), p(0.84694, 0.79272));
  path.lineToPoint(p(0.15562, 0.74167));
  path.curveToPoint(p(0.24605, 0.875), p(0.16702, 0.79272), p(0.19934, 0.83874));
  path.closePath();
  return path;
}

// One slot, counter-clockwise from the middle of its top end, so that it stays open.
void appendSlot(BezierPath& path, const Map& p, qreal left) {
  const qreal right = left + 0.06667, mid = left + 0.06667 / 2, flat = 0.00167;
  const qreal top = 0.65833, topSide = 0.63791, bottom = 0.15, bottomSide = 0.17042;
  const qreal halfW = mid - flat - left;
  path.moveToPoint(p(mid + flat, top));
  path.lineToPoint(p(mid - flat, top));
  path.curveToPoint(p(left, topSide), p(mid - flat - kQuarter * halfW, top),
                    p(left, topSide + kQuarter * (top - topSide)));
  path.lineToPoint(p(left, bottomSide));
  path.curveToPoint(p(mid - flat, bottom), p(left, bottomSide - kQuarter * (bottomSide - bottom)),
                    p(mid - flat - kQuarter * halfW, bottom));
  path.lineToPoint(p(mid + flat, bottom));
  path.curveToPoint(p(right, bottomSide), p(mid + flat + kQuarter * halfW, bottom),
                    p(right, bottomSide - kQuarter * (bottomSide - bottom)));
  path.lineToPoint(p(right, topSide));
  path.curveToPoint(p(mid + flat, top), p(right, topSide + kQuarter * (top - topSide)),
                    p(mid + flat + kQuarter * halfW, top));
  path.closePath();
}

BezierPath trashCan(const Map& p) {
  BezierPath path;
  for (qreal left : {0.64167, 0.475, 0.30833}) appendSlot(path, p, left);
  path.moveToPoint(p(0.78333, 0.65547));
  path.lineToPoint(p(0.78333, 0.20287));
  path.curveToPoint(p(0.63047, 0.05), p(0.77584, 0.11315), p(0.72018, 0.05749));
  path.lineToPoint(p(0.37787, 0.05));
  path.curveToPoint(p(0.225, 0.20287), p(0.28815, 0.05749), p(0.23249, 0.11315));
  path.lineToPoint(p(0.225, 0.65547));
  path.curveToPoint(p(0.22929, 0.73333), p(0.225, 0.69368), p(0.225, 0.71531));
  path.lineToPoint(p(0.779, 0.73334));
  path.curveToPoint(p(0.78333, 0.65547), p(0.78333, 0.71352), p(0.78333, 0.69213));
  path.closePath();
  return path;
}

void appendBox(BezierPath& path, const Map& p, qreal l, qreal b, qreal r, qreal t, bool clockwise) {
  if (clockwise) {
    path.moveToPoint(p(r, t));
    path.lineToPoint(p(r, b));
    path.lineToPoint(p(l, b));
    path.lineToPoint(p(l, t));
  } else {
    path.moveToPoint(p(r, t));
    path.lineToPoint(p(l, t));
    path.lineToPoint(p(l, b));
    path.lineToPoint(p(r, b));
  }
  path.closePath();
}

BezierPath comparePath(const Map& p) {
  BezierPath path;
  appendBox(path, p, 0.525, 0.525, 0.85833, 0.85833, false);
  appendBox(path, p, 0.14167, 0.525, 0.475, 0.85833, false);
  appendBox(path, p, 0.525, 0.14167, 0.85833, 0.475, false);
  appendBox(path, p, 0.14167, 0.14167, 0.475, 0.475, false);
  appendBox(path, p, 0.08333, 0.08333, 0.91667, 0.91667, true);
  return path;
}

// A label as letter outlines, each letter fitted to its own box so that the word keeps the
// baseline, cap height and letter widths of the artwork whatever the face's metrics.
struct Letter {
  QChar c;
  qreal left, right, bottom, top;
};

BezierPath label(QRectF frame, const std::vector<Letter>& letters) {
  BezierPath path;
  for (const Letter& l : letters) {
    const QRectF box = fractionRect(frame, l.left, l.bottom, l.right, l.top);
    path.appendBezierPath(glyphOutlinesFittedToBox(QString(l.c), FontFace::Regular, box));
  }
  return path;
}

// Round letters overshoot the baseline and the x-height a little.
constexpr qreal kBase = 0.0641, kRoundBase = 0.0611, kXHeight = 0.17649;

}  // namespace

void KorvalumeTrashCompareIcons::drawWhiteTrashWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const Shadow shadow(NamedColor::blackColor(), QSizeF(1, -1), 1);
  const Map p = plainMap(frame);
  for (const BezierPath& part : {trashHandle(p), trashLid(p), trashCan(p)}) {
    ctx.saveGraphicsState();
    ctx.setShadow(shadow);
    ctx.setFillColor(white);
    ctx.fill(part);
    ctx.restoreGraphicsState();
  }
}

void KorvalumeTrashCompareIcons::drawCompareWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(comparePath(plainMap(frame)));
}

void KorvalumeTrashCompareIcons::drawWhiteTrashWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  const Map p = reducedMap(frame, 0.14324, 0.28475, 0.69872);
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  for (const BezierPath& part : {trashHandle(p), trashLid(p), trashCan(p)}) ctx.fill(part);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(label(frame, {{'D', 0.16573, 0.30996, kBase, 0.22749},
                         {'e', 0.33304, 0.44219, kRoundBase, kXHeight},
                         {'l', 0.47288, 0.49458, kBase, 0.23856},
                         {'e', 0.52527, 0.63442, kRoundBase, kXHeight},
                         {'t', 0.64665, 0.71819, kRoundBase, 0.20487},
                         {'e', 0.73342, 0.84258, kRoundBase, kXHeight}}));
}

void KorvalumeTrashCompareIcons::drawCompareWithTextWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(label(frame, {{'C', 0.01154, 0.15992, 0.05995, 0.23164},
                         {'o', 0.17215, 0.29008, kRoundBase, kXHeight},
                         {'m', 0.31915, 0.48808, kBase, kXHeight},
                         {'p', 0.52477, 0.64085, 0.00872, kXHeight},
                         {'a', 0.663, 0.76154, kRoundBase, kXHeight},
                         {'r', 0.79523, 0.85938, kBase, kXHeight},
                         {'e', 0.86838, 0.97754, kRoundBase, kXHeight}}));
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(comparePath(reducedMap(frame, 0.12949, 0.24487, 0.75383)));
}

QRectF KorvalumeTrashCompareIcons::saveDiskInsetFrame(QRectF frame) {
  return snappedRect(frame, 0.07292, 0.07292, 0.92708, 0.92708);
}

void KorvalumeTrashCompareIcons::drawSaveDiskWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QRectF inset = saveDiskInsetFrame(frame);
  BezierPath disk = polygon(inset, {{0, 1}, {0, 0}, {1, 0}, {1, 0.77667}, {0.80385, 1}, {0.68301, 1},
                                    {0.68301, 0.61833}, {0.15061, 0.61833}, {0.15061, 1}});
  disk.appendBezierPath(
      polygon(inset, {{0.40105, 0.95167}, {0.40105, 0.71333}, {0.6007, 0.71333}, {0.6007, 0.95167}}));
  disk.appendBezierPath(polygon(inset, {{0.15061, 0.46}, {0.85114, 0.46}, {0.85114, 0.095}, {0.15061, 0.095}}));
  disk.appendBezierPath(
      polygon(inset, {{0.25044, 0.38167}, {0.25044, 0.33333}, {0.75131, 0.33333}, {0.75131, 0.38167}}));
  disk.appendBezierPath(polygon(inset, {{0.25044, 0.23833}, {0.25044, 0.19}, {0.75131, 0.19}, {0.75131, 0.23833}}));
  ctx.setFillColor(colorWithRGBA(0, 0.353, 0.863, 0.784));
  ctx.fill(disk);
}

StyleKitImage KorvalumeTrashCompareIcons::imageOfWhiteTrashWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteTrashWithFrame);
}
StyleKitImage KorvalumeTrashCompareIcons::imageOfWhiteTrashWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteTrashWithTextWithFrame);
}
StyleKitImage KorvalumeTrashCompareIcons::imageOfCompareWithTextWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawCompareWithTextWithFrame);
}

void registerTrashCompareIcons(std::vector<IconSample>& out) {
  using K = KorvalumeTrashCompareIcons;
  out.push_back({QStringLiteral("imageOfWhiteTrashWithSize:"), [](QSizeF s) { return K::imageOfWhiteTrashWithSize(s); }});
  out.push_back({QStringLiteral("imageOfWhiteTrashWithTextWithSize:"),
                 [](QSizeF s) { return K::imageOfWhiteTrashWithTextWithSize(s); }});
  out.push_back({QStringLiteral("imageOfCompareWithTextWithSize:"),
                 [](QSizeF s) { return K::imageOfCompareWithTextWithSize(s); }});
  // Draw-only icons, wrapped here for the sheet.
  out.push_back({QStringLiteral("drawCompareWithFrame:"),
                 [](QSizeF s) { return imageOfDrawMethod(s, &K::drawCompareWithFrame); }});
  out.push_back({QStringLiteral("drawSaveDiskWithFrame:"),
                 [](QSizeF s) { return imageOfDrawMethod(s, &K::drawSaveDiskWithFrame); }});
}
