#include "stylekit/prop_icon_paths.h"

#include <cmath>
#include <numbers>

#include "platform/graphics/snapping.h"
#include "platform/graphics/text.h"

FracPath& FracPath::move(qreal x, qreal y) {
  current_ = {x, y};
  path_.moveToPoint(at(x, y));
  open_ = true;
  return *this;
}

FracPath& FracPath::line(qreal x, qreal y) {
  current_ = {x, y};
  path_.lineToPoint(at(x, y));
  return *this;
}

FracPath& FracPath::curve(qreal x, qreal y, qreal c1x, qreal c1y, qreal c2x, qreal c2y) {
  current_ = {x, y};
  path_.curveToPoint(at(x, y), at(c1x, c1y), at(c2x, c2y));
  return *this;
}

FracPath& FracPath::corner(qreal x, qreal y, qreal cx, qreal cy) {
  constexpr qreal k = 0.552;
  const QPointF from = current_;
  return curve(x, y, from.x() + k * (cx - from.x()), from.y() + k * (cy - from.y()), x + k * (cx - x),
               y + k * (cy - y));
}

FracPath& FracPath::arc(qreal cx, qreal cy, qreal rx, qreal ry, qreal from, qreal to) {
  constexpr qreal rad = std::numbers::pi / 180;
  auto point = [&](qreal deg) { return QPointF(cx + rx * std::cos(deg * rad), cy + ry * std::sin(deg * rad)); };
  const QPointF start = point(from);
  if (open_) line(start.x(), start.y());
  else move(start.x(), start.y());
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(to - from) / 90 - 1e-9)));
  const qreal step = (to - from) / pieces;
  // Handle length of a cubic that follows a circular arc of `step` degrees on the unit circle.
  const qreal k = 4.0 / 3.0 * std::tan(step * rad / 4);
  for (int i = 0; i < pieces; ++i) {
    const qreal a0 = (from + i * step) * rad;
    const qreal a1 = (from + (i + 1) * step) * rad;
    const QPointF c1(cx + rx * (std::cos(a0) - k * std::sin(a0)), cy + ry * (std::sin(a0) + k * std::cos(a0)));
    const QPointF c2(cx + rx * (std::cos(a1) + k * std::sin(a1)), cy + ry * (std::sin(a1) - k * std::cos(a1)));
    const QPointF end(cx + rx * std::cos(a1), cy + ry * std::sin(a1));
    curve(end.x(), end.y(), c1.x(), c1.y(), c2.x(), c2.y());
  }
  return *this;
}

FracPath& FracPath::close() {
  path_.closePath();
  open_ = false;
  return *this;
}

FracPath& FracPath::polygon(std::initializer_list<QPointF> points, QPointF offset) {
  bool first = true;
  for (const QPointF& pt : points) {
    if (first) move(pt.x() + offset.x(), pt.y() + offset.y());
    else line(pt.x() + offset.x(), pt.y() + offset.y());
    first = false;
  }
  return close();
}

FracPath& FracPath::rect(qreal left, qreal bottom, qreal right, qreal top, bool clockwise) {
  if (clockwise) return polygon({{right, top}, {right, bottom}, {left, bottom}, {left, top}});
  return polygon({{right, top}, {left, top}, {left, bottom}, {right, bottom}});
}

FracPath& FracPath::append(const BezierPath& other) {
  path_.appendBezierPath(other);
  open_ = false;
  return *this;
}

BezierPath letterInBox(const PropertyIconPainter& icon, const QString& text, qreal left, qreal bottom,
                       qreal right, qreal top) {
  return glyphOutlinesFittedToBox(text, FontFace::Bold, fractionRect(icon.frame(), left, bottom, right, top));
}

BezierPath cutOutLetterInBox(const PropertyIconPainter& icon, const QString& text, qreal left, qreal bottom,
                             qreal right, qreal top) {
  return letterInBox(icon, text, left, bottom, right, top).reversed();
}
