#include "stylekit/arrow_icons.h"

#include <array>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/control_icons.h"
#include "stylekit/image_wrapper.h"

namespace {

using Triangle = std::array<QPointF, 3>;

// Three corners; `close` adds the closing segment, otherwise the fill closes the path.
BezierPath trianglePath(const QRectF& frame, const Triangle& t, bool close) {
  BezierPath path;
  path.moveToPoint(framePoint(frame, t[0].x(), t[0].y()));
  path.lineToPoint(framePoint(frame, t[1].x(), t[1].y()));
  path.lineToPoint(framePoint(frame, t[2].x(), t[2].y()));
  if (close) path.closePath();
  return path;
}

constexpr Triangle kFocusUp{{{0.5, 0.84}, {0.88971, 0.165}, {0.11029, 0.165}}};
constexpr Triangle kWhiteUp{{{0.5, 0.84}, {0.89837, 0.165}, {0.10163, 0.165}}};
constexpr Triangle kDown{{{0.11, 0.84}, {0.5, 0.17}, {0.89, 0.84}}};
constexpr Triangle kLeft{{{0.16, 0.5}, {0.84, 0.89}, {0.84, 0.11}}};
constexpr Triangle kRight{{{0.84, 0.5}, {0.16, 0.89}, {0.16, 0.11}}};

void drawStateArrow(GraphicsContext& ctx, const QRectF& frame, bool highlighted, bool enabled, const Triangle& t,
                    bool close) {
  const QColor colour = KorvalumeArrowIcons::arrowButtonColor(highlighted, enabled);
  ctx.setFillColor(colour);
  ctx.fill(trianglePath(frame, t, close));
}

void drawWhiteArrow(GraphicsContext& ctx, const QRectF& frame, const Triangle& t, bool close) {
  const Shadow halo(NamedColor::blackColor(), QSizeF(0, 0), 5);
  const BezierPath path = trianglePath(frame, t, close);
  ctx.saveGraphicsState();
  ctx.setShadow(halo);
  ctx.setFillColor(NamedColor::whiteColor());
  ctx.fill(path);
  ctx.restoreGraphicsState();
}

// Two heads, two shafts and two bars, each filled by itself in the button colour.
struct BarArrows {
  Triangle firstHead;
  bool firstHeadClosed;
  Triangle secondHead;
  bool secondHeadClosed;
  std::array<std::array<qreal, 4>, 4> boxes;  // left, bottom, right, top
};

void drawBarArrows(GraphicsContext& ctx, const QRectF& frame, bool highlighted, bool enabled, const BarArrows& a) {
  const QColor colour = KorvalumeArrowIcons::arrowButtonColor(highlighted, enabled);
  ctx.setFillColor(colour);
  ctx.fill(trianglePath(frame, a.firstHead, a.firstHeadClosed));
  ctx.setFillColor(colour);
  ctx.fill(trianglePath(frame, a.secondHead, a.secondHeadClosed));
  for (const auto& b : a.boxes) {
    ctx.setFillColor(colour);
    ctx.fill(BezierPath::bezierPathWithRect(snappedRect(frame, b[0], b[1], b[2], b[3])));
  }
}

constexpr BarArrows kArrowsOut{{{{0.04, 0.5}, {0.26, 0.69}, {0.26, 0.31}}},
                               false,
                               {{{0.96, 0.5}, {0.74, 0.69}, {0.74, 0.31}}},
                               true,
                               {{{0.53, 0.46, 0.76, 0.54},
                                 {0.24, 0.46, 0.47, 0.54},
                                 {0.41, 0.38, 0.47, 0.62},
                                 {0.53, 0.38, 0.59, 0.62}}}};

constexpr BarArrows kArrowsIn{{{{0.54, 0.5}, {0.76, 0.69}, {0.76, 0.31}}},
                              false,
                              {{{0.46, 0.5}, {0.24, 0.69}, {0.24, 0.31}}},
                              true,
                              {{{0.74, 0.46, 0.97, 0.54},
                                {0.03, 0.46, 0.26, 0.54},
                                {0.02, 0.38, 0.08, 0.62},
                                {0.92, 0.38, 0.98, 0.62}}}};

}  // namespace

QColor KorvalumeArrowIcons::arrowButtonColor(bool buttonHighlighted, bool buttonEnabled) {
  const QColor darkGrey = colorWithRGBA(0.392, 0.392, 0.392, 1);
  const QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  const QColor highlightBlue = colorWithRGBA(0, 0.353, 0.863, 0.784);
  QColor chosen = lightGrey;
  if (!buttonEnabled) chosen = darkGrey;
  if (buttonHighlighted) chosen = highlightBlue;
  return chosen;
}

void KorvalumeArrowIcons::drawFocusArrowUpWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                                    bool buttonEnabled) {
  drawStateArrow(ctx, frame, buttonHighlighted, buttonEnabled, kFocusUp, true);
}
void KorvalumeArrowIcons::drawFocusArrowDownWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                                      bool buttonEnabled) {
  drawStateArrow(ctx, frame, buttonHighlighted, buttonEnabled, kDown, true);
}
void KorvalumeArrowIcons::drawArrowLeftWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                                 bool buttonEnabled) {
  drawStateArrow(ctx, frame, buttonHighlighted, buttonEnabled, kLeft, false);
}
void KorvalumeArrowIcons::drawArrowRightWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                                  bool buttonEnabled) {
  drawStateArrow(ctx, frame, buttonHighlighted, buttonEnabled, kRight, true);
}
void KorvalumeArrowIcons::drawArrowsOutWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                                 bool buttonEnabled) {
  drawBarArrows(ctx, frame, buttonHighlighted, buttonEnabled, kArrowsOut);
}
void KorvalumeArrowIcons::drawArrowsInWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                                bool buttonEnabled) {
  drawBarArrows(ctx, frame, buttonHighlighted, buttonEnabled, kArrowsIn);
}

void KorvalumeArrowIcons::drawWhiteArrowUpWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawWhiteArrow(ctx, frame, kWhiteUp, true);
}
void KorvalumeArrowIcons::drawWhiteArrowDownWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawWhiteArrow(ctx, frame, kDown, true);
}
void KorvalumeArrowIcons::drawWhiteArrowLeftWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawWhiteArrow(ctx, frame, kLeft, false);
}
void KorvalumeArrowIcons::drawWhiteArrowRightWithFrame(GraphicsContext& ctx, QRectF frame) {
  drawWhiteArrow(ctx, frame, kRight, true);
}

void KorvalumeArrowIcons::drawArrowsPointingOutWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  BezierPath arrow;
  arrow.moveToPoint(p(0.94, 0.50373));
  arrow.curveToPoint(p(0.77333, 0.32667), p(0.91689, 0.48062), p(0.77333, 0.32667));
  arrow.lineToPoint(p(0.73333, 0.36));
  arrow.lineToPoint(p(0.84, 0.48));
  arrow.lineToPoint(p(0.14, 0.48));
  arrow.curveToPoint(p(0.25333, 0.38667), p(0.18542, 0.43443), p(0.25333, 0.38667));
  arrow.lineToPoint(p(0.22667, 0.34));
  arrow.curveToPoint(p(0.04, 0.50373), p(0.22667, 0.34), p(0.06311, 0.48062));
  arrow.curveToPoint(p(0.22667, 0.67333), p(0.12208, 0.58581), p(0.22668, 0.67334));
  arrow.curveToPoint(p(0.25333, 0.63333), p(0.22713, 0.67288), p(0.25333, 0.63333));
  arrow.curveToPoint(p(0.14, 0.52667), p(0.25333, 0.63333), p(0.1793, 0.56597));
  arrow.curveToPoint(p(0.84, 0.52667), p(0.14, 0.52667), p(0.68575, 0.52667));
  arrow.curveToPoint(p(0.73333, 0.63333), p(0.8007, 0.56597), p(0.73333, 0.63333));
  arrow.curveToPoint(p(0.77034, 0.6733), p(0.73333, 0.63333), p(0.76933, 0.67229));
  arrow.lineToPoint(p(0.94, 0.50373));
  arrow.closePath();
  ctx.setFillColor(lightGrey);
  ctx.fill(arrow);
}

void KorvalumeArrowIcons::drawDismissDownWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor lightGrey = colorWithRGBA(0.784, 0.784, 0.784, 1);
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  BezierPath chevron;
  chevron.moveToPoint(p(0.0963, 0.75417));
  chevron.lineToPoint(p(0.5, 0.32083));
  chevron.lineToPoint(p(0.9037, 0.75417));
  chevron.lineToPoint(p(0.9375, 0.72083));
  chevron.lineToPoint(p(0.5, 0.25417));
  chevron.lineToPoint(p(0.0625, 0.72083));
  chevron.lineToPoint(p(0.0963, 0.75417));
  chevron.closePath();
  ctx.setFillColor(lightGrey);
  ctx.fill(chevron);
}

StyleKitImage KorvalumeArrowIcons::imageOfFocusArrowUpWithSize(QSizeF size, bool buttonHighlighted,
                                                               bool buttonEnabled) {
  return imageOfDrawMethod(size, &drawFocusArrowUpWithFrame, buttonHighlighted, buttonEnabled);
}
StyleKitImage KorvalumeArrowIcons::imageOfFocusArrowDownWithSize(QSizeF size, bool buttonHighlighted,
                                                                 bool buttonEnabled) {
  return imageOfDrawMethod(size, &drawFocusArrowDownWithFrame, buttonHighlighted, buttonEnabled);
}
StyleKitImage KorvalumeArrowIcons::imageOfArrowLeftWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled) {
  return imageOfDrawMethod(size, &drawArrowLeftWithFrame, buttonHighlighted, buttonEnabled);
}
StyleKitImage KorvalumeArrowIcons::imageOfArrowRightWithSize(QSizeF size, bool buttonHighlighted,
                                                             bool buttonEnabled) {
  return imageOfDrawMethod(size, &drawArrowRightWithFrame, buttonHighlighted, buttonEnabled);
}
StyleKitImage KorvalumeArrowIcons::imageOfArrowsOutWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled) {
  return imageOfDrawMethod(size, &drawArrowsOutWithFrame, buttonHighlighted, buttonEnabled);
}
StyleKitImage KorvalumeArrowIcons::imageOfArrowsInWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled) {
  return imageOfDrawMethod(size, &drawArrowsInWithFrame, buttonHighlighted, buttonEnabled);
}
StyleKitImage KorvalumeArrowIcons::imageOfWhiteArrowUpWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteArrowUpWithFrame);
}
StyleKitImage KorvalumeArrowIcons::imageOfWhiteArrowDownWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteArrowDownWithFrame);
}
StyleKitImage KorvalumeArrowIcons::imageOfWhiteArrowLeftWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteArrowLeftWithFrame);
}
StyleKitImage KorvalumeArrowIcons::imageOfWhiteArrowRightWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawWhiteArrowRightWithFrame);
}
StyleKitImage KorvalumeArrowIcons::imageOfArrowsPointingOutWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawArrowsPointingOutWithFrame);
}
StyleKitImage KorvalumeArrowIcons::imageOfDismissDownWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawDismissDownWithFrame);
}

void registerArrowIcons(std::vector<IconSample>& out) {
  using K = KorvalumeArrowIcons;
  using StateImage = StyleKitImage (*)(QSizeF, bool, bool);
  const std::pair<const char*, StateImage> stateful[] = {
      {"imageOfFocusArrowUpWithSize:buttonHighlighted:buttonEnabled:", &K::imageOfFocusArrowUpWithSize},
      {"imageOfFocusArrowDownWithSize:buttonHighlighted:buttonEnabled:", &K::imageOfFocusArrowDownWithSize},
      {"imageOfArrowLeftWithSize:buttonHighlighted:buttonEnabled:", &K::imageOfArrowLeftWithSize},
      {"imageOfArrowRightWithSize:buttonHighlighted:buttonEnabled:", &K::imageOfArrowRightWithSize},
      {"imageOfArrowsOutWithSize:buttonHighlighted:buttonEnabled:", &K::imageOfArrowsOutWithSize},
      {"imageOfArrowsInWithSize:buttonHighlighted:buttonEnabled:", &K::imageOfArrowsInWithSize},
  };
  struct State {
    bool highlighted, enabled;
    const char* label;
  };
  for (const auto& [name, image] : stateful)
    for (const State st : {State{false, true, " (NO, YES)"}, State{false, false, " (NO, NO)"},
                           State{true, false, " (YES, NO)"}})
      out.push_back({QLatin1String(name) + QLatin1String(st.label),
                     [fn = image, st](QSizeF s) { return fn(s, st.highlighted, st.enabled); }});
  using PlainImage = StyleKitImage (*)(QSizeF);
  const std::pair<const char*, PlainImage> plain[] = {
      {"imageOfWhiteArrowUpWithSize:", &K::imageOfWhiteArrowUpWithSize},
      {"imageOfWhiteArrowDownWithSize:", &K::imageOfWhiteArrowDownWithSize},
      {"imageOfWhiteArrowLeftWithSize:", &K::imageOfWhiteArrowLeftWithSize},
      {"imageOfWhiteArrowRightWithSize:", &K::imageOfWhiteArrowRightWithSize},
      {"imageOfArrowsPointingOutWithSize:", &K::imageOfArrowsPointingOutWithSize},
      {"imageOfDismissDownWithSize:", &K::imageOfDismissDownWithSize},
  };
  for (const auto& [name, image] : plain) out.push_back({QLatin1String(name), [fn = image](QSizeF s) { return fn(s); }});
}
