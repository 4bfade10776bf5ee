#include "stylekit/edit_icons.h"

#include <functional>
#include <vector>

#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/contour.h"
#include "stylekit/icon_registry.h"
#include "stylekit/image_wrapper.h"

namespace {

// A run of segments from a start point, kept in fractions so that it can be mirrored,
// turned and walked backwards before it goes into a path.
struct Run {
  struct Seg {
    bool curve;
    QPointF end, c1, c2;
  };
  QPointF start;
  std::vector<Seg> segs;

  Run mapped(const std::function<QPointF(QPointF)>& f) const {
    Run out{f(start), {}};
    for (const Seg& s : segs) out.segs.push_back({s.curve, f(s.end), f(s.c1), f(s.c2)});
    return out;
  }
  Run backwards() const {
    Run out{segs.empty() ? start : segs.back().end, {}};
    for (size_t i = segs.size(); i-- > 0;) {
      const QPointF to = i == 0 ? start : segs[i - 1].end;
      out.segs.push_back({segs[i].curve, to, segs[i].c2, segs[i].c1});
    }
    return out;
  }
  // Joins the path's current point to the run's start with a line, then follows the run.
  void lineInto(BezierPath& path, const QRectF& frame) const {
    path.lineToPoint(framePoint(frame, start.x(), start.y()));
    appendTo(path, frame);
  }
  void appendTo(BezierPath& path, const QRectF& frame) const {
    auto p = [&](QPointF q) { return framePoint(frame, q.x(), q.y()); };
    for (const Seg& s : segs) {
      if (s.curve) path.curveToPoint(p(s.end), p(s.c1), p(s.c2));
      else path.lineToPoint(p(s.end));
    }
  }
};

Run::Seg curve(qreal x, qreal y, qreal x1, qreal y1, qreal x2, qreal y2) { return {true, {x, y}, {x1, y1}, {x2, y2}}; }
Run::Seg line(qreal x, qreal y) { return {false, {x, y}, {}, {}}; }

// The square band of the edit sign, open at its upper right, clockwise from the inner top.
BezierPath editFrame(const QRectF& frame) {
  // Mirror lines of the band: x 0.49583 and y 0.50417.
  auto mirrorX = [](QPointF q) { return QPointF(0.99166 - q.x(), q.y()); };
  auto mirrorY = [](QPointF q) { return QPointF(q.x(), 1.00834 - q.y()); };
  auto turn = [](QPointF q) { return QPointF(0.99166 - q.x(), 1.00834 - q.y()); };
  const Run innerUpperLeft{{0.22203, 0.84167},
                           {curve(0.18465, 0.83855, 0.20369, 0.84167, 0.19452, 0.84167),
                            curve(0.16145, 0.81535, 0.17387, 0.83462, 0.16538, 0.82613), line(0.16106, 0.81375),
                            curve(0.15833, 0.77797, 0.15833, 0.80548, 0.15833, 0.79631)}};
  const Run outerLowerRight{{0.90833, 0.24453},
                            {curve(0.90178, 0.15866, 0.90833, 0.20052, 0.90833, 0.17851), line(0.90084, 0.15482),
                             curve(0.84518, 0.09916, 0.89143, 0.12895, 0.87105, 0.10857),
                             curve(0.75547, 0.09167, 0.82149, 0.09167, 0.79948, 0.09167)}};
  BezierPath path;
  path.moveToPoint(framePoint(frame, 0.65, 0.84167));
  innerUpperLeft.lineInto(path, frame);
  innerUpperLeft.mapped(mirrorY).backwards().lineInto(path, frame);  // inner lower left
  innerUpperLeft.mapped(turn).lineInto(path, frame);                 // inner lower right
  path.lineToPoint(framePoint(frame, 0.83333, 0.65));
  path.lineToPoint(framePoint(frame, 0.90833, 0.65));
  outerLowerRight.lineInto(path, frame);
  outerLowerRight.mapped(mirrorX).backwards().lineInto(path, frame);  // outer lower left
  outerLowerRight.mapped(turn).lineInto(path, frame);                 // outer upper left
  path.lineToPoint(framePoint(frame, 0.65, 0.91667));
  path.closePath();
  return path;
}

// One rounded bar end, the left one, from its top side round to its bottom side.
const Run& barEnd() {
  static const Run end{{0.1755, 0.55},
                       {curve(0.16561, 0.54998, 0.17193, 0.55, 0.16865, 0.55),
                        curve(0.13064, 0.54625, 0.1499, 0.5499, 0.14056, 0.54939),
                        curve(0.1, 0.5025, 0.11224, 0.53956, 0.1, 0.52207), line(0.1, 0.4975),
                        curve(0.13064, 0.45375, 0.1, 0.47793, 0.11224, 0.46044), line(0.13256, 0.45327),
                        curve(0.17643, 0.45, 0.14248, 0.45, 0.15349, 0.45)}};
  return end;
}

// The left end turned counter-clockwise about the centre by quarter turns.
Run turnedEnd(int quarters) {
  return barEnd().mapped([quarters](QPointF q) {
    QPointF d = q - QPointF(0.5, 0.5);
    for (int i = 0; i < quarters; ++i) d = QPointF(-d.y(), d.x());
    return QPointF(0.5, 0.5) + d;
  });
}

// The disc of radius 0.45, clockwise from its right, its upper left quarter in pieces.
void appendDisc(BezierPath& path, const QRectF& frame, std::initializer_list<QPointF> upperLeftStops) {
  auto p = [&](qreal x, qreal y) { return framePoint(frame, x, y); };
  path.moveToPoint(p(0.95, 0.5));
  path.curveToPoint(p(0.5, 0.05), p(0.95, 0.25147), p(0.74853, 0.05));
  path.curveToPoint(p(0.05, 0.5), p(0.25147, 0.05), p(0.05, 0.25147));
  qreal from = 180;
  for (QPointF stop : upperLeftStops) {
    const qreal to = contourAngle(0.5, 0.5, stop.x(), stop.y());
    contourArcTo(path, frame, 0.5, 0.5, 0.45, from, to);
    from = to;
  }
  contourArcTo(path, frame, 0.5, 0.5, 0.45, from, 90);
  path.curveToPoint(p(0.95, 0.5), p(0.74853, 0.95), p(0.95, 0.74853));
  path.closePath();
}

}  // namespace

void KorvalumeEditIcons::drawEditWithFrame(GraphicsContext& ctx, QRectF frame) {
  const QColor white = colorWithRGBA(1, 1, 1, 1);
  const Shadow drop(NamedColor::blackColor(), QSizeF(1, -1), 1);
  const BezierPath tip = polygon(frame, {{0.42083, 0.54583}, {0.52083, 0.44583}, {0.39583, 0.4125}});
  // Cap and body, joined by a hairline run out and back.
  const BezierPath pencil =
      polygon(frame, {{0.80835, 0.93332}, {0.90833, 0.83333}, {0.85, 0.775}, {0.75417, 0.87917}, {0.72917, 0.85417},
                      {0.82917, 0.75417}, {0.53333, 0.45833}, {0.43333, 0.55833}, {0.72931, 0.85431},
                      {0.75417, 0.87917}, {0.80833, 0.93333}});
  for (const BezierPath& piece : {tip, pencil, editFrame(frame)}) {
    ctx.saveGraphicsState();
    ctx.setShadow(drop);
    ctx.setFillColor(white);
    ctx.fill(piece);
    ctx.restoreGraphicsState();
  }
}

BezierPath KorvalumeEditIcons::keyPath(QRectF frame) {
  using N = ContourNode;
  constexpr auto L = N::Line;
  BezierPath key;
  // The outline, clockwise: bow, blade with its rounded end, three teeth, slope back.
  appendContour(key, frame,
                {{0.10526, 0.52632}, {0.07895, 0.75877}, {0.14064, 0.86495}, {0.20652, 0.91173}, {0.4478, 0.90532},
                 {0.51376, 0.84998}, {0.5486, 0.80305}, {0.57282, 0.61741, L}, {0.56914, 0.60138, L, true},
                 {0.93403, 0.21749, L, true}, {0.93202, 0.15172}, {0.91925, 0.06514}, {0.7673, 0.06319, L},
                 {0.74545, 0.06393, L, true}, {0.74761, 0.15551, L}, {0.65621, 0.15775, L}, {0.65832, 0.24735, L},
                 {0.57166, 0.25109, L}, {0.57216, 0.3416, L}, {0.45282, 0.34458, L}, {0.37864, 0.42243, L},
                 {0.35948, 0.41884, N::Curve, true}, {0.31427, 0.41569}, {0.16735, 0.46171}});
  // The hole in the bow, counter-clockwise.
  appendContour(key, frame,
                {{0.21, 0.69567}, {0.26444, 0.69411}, {0.30563, 0.73259}, {0.30744, 0.78342}, {0.26858, 0.8262},
                 {0.21754, 0.82712}, {0.17458, 0.73422}, {0.19088, 0.71058}});
  return key;
}

void KorvalumeEditIcons::drawKeyWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(1, 1, 1, 1));
  ctx.fill(keyPath(frame));
}

BezierPath KorvalumeEditIcons::plusPath(QRectF frame) {
  BezierPath path;
  // The sign, counter-clockwise: left end, then the bottom, right and top ends, each joined
  // to the next through the square inner corner between their bars.
  static constexpr QPointF kInnerCorners[] = {{0.45, 0.45}, {0.55, 0.45}, {0.55, 0.55}, {0.45, 0.55}};
  path.moveToPoint(framePoint(frame, barEnd().start.x(), barEnd().start.y()));
  barEnd().appendTo(path, frame);
  for (int quarters = 1; quarters <= 4; ++quarters) {
    const QPointF corner = kInnerCorners[quarters - 1];
    path.lineToPoint(framePoint(frame, corner.x(), corner.y()));
    if (quarters < 4) turnedEnd(quarters).lineInto(path, frame);
  }
  path.closePath();
  appendDisc(path, frame, {{0.10796, 0.72107}, {0.24274, 0.86926}});
  return path;
}

BezierPath KorvalumeEditIcons::minusPath(QRectF frame) {
  BezierPath path;
  path.moveToPoint(framePoint(frame, barEnd().start.x(), barEnd().start.y()));
  barEnd().appendTo(path, frame);
  turnedEnd(2).lineInto(path, frame);
  path.closePath();
  appendDisc(path, frame, {{0.24274, 0.86926}});
  return path;
}

void KorvalumeEditIcons::drawPlusWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(0.784, 0.784, 0.784, 1));
  ctx.fill(plusPath(frame));
}

void KorvalumeEditIcons::drawMinusWithFrame(GraphicsContext& ctx, QRectF frame) {
  ctx.setFillColor(colorWithRGBA(0.784, 0.784, 0.784, 1));
  ctx.fill(minusPath(frame));
}

StyleKitImage KorvalumeEditIcons::imageOfEditWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawEditWithFrame); }
StyleKitImage KorvalumeEditIcons::imageOfKeyWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawKeyWithFrame); }
StyleKitImage KorvalumeEditIcons::imageOfPlusWithSize(QSizeF size) { return imageOfDrawMethod(size, &drawPlusWithFrame); }
StyleKitImage KorvalumeEditIcons::imageOfMinusWithSize(QSizeF size) {
  return imageOfDrawMethod(size, &drawMinusWithFrame);
}

void registerEditIcons(std::vector<IconSample>& out) {
  out.push_back({QStringLiteral("imageOfEditWithSize:"), [](QSizeF s) { return KorvalumeEditIcons::imageOfEditWithSize(s); }});
  out.push_back({QStringLiteral("imageOfKeyWithSize:"), [](QSizeF s) { return KorvalumeEditIcons::imageOfKeyWithSize(s); }});
  out.push_back({QStringLiteral("imageOfPlusWithSize:"), [](QSizeF s) { return KorvalumeEditIcons::imageOfPlusWithSize(s); }});
  out.push_back({QStringLiteral("imageOfMinusWithSize:"), [](QSizeF s) { return KorvalumeEditIcons::imageOfMinusWithSize(s); }});
}
