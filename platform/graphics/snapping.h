#pragma once
// Geometry helpers of the icon kits: points as fractions of a frame (y up) and boxes whose
// edges are rounded to whole points relative to the frame's unrounded origin.
#include <QPointF>
#include <QRectF>
#include <cmath>

// One edge: origin + floor(fraction * length + c) + d. The usual rounding is c = 0.5, d = 0.
inline qreal snapEdge(qreal origin, qreal fraction, qreal length, qreal c = 0.5, qreal d = 0) {
  return origin + std::floor(fraction * length + c) + d;
}

// The point (minX + fx * width, minY + fy * height).
inline QPointF framePoint(const QRectF& frame, qreal fx, qreal fy) {
  return {frame.x() + fx * frame.width(), frame.y() + fy * frame.height()};
}

// The box with edges at fractions left, bottom, right, top of the frame, each edge rounded
// to whole points by itself (halves upward). In y-up terms the QRectF's y is the bottom.
inline QRectF snappedRect(const QRectF& frame, qreal left, qreal bottom, qreal right, qreal top) {
  const qreal l = std::floor(frame.width() * left + 0.5);
  const qreal r = std::floor(frame.width() * right + 0.5);
  const qreal b = std::floor(frame.height() * bottom + 0.5);
  const qreal t = std::floor(frame.height() * top + 0.5);
  return {frame.x() + l, frame.y() + b, r - l, t - b};
}

// One edge with its own constants: fraction a, then origin + floor(a * length + c) + d.
struct EdgeRule {
  qreal a;
  qreal c = 0.5;
  qreal d = 0;
};

inline QRectF snappedRect(const QRectF& frame, EdgeRule left, EdgeRule bottom, EdgeRule right,
                          EdgeRule top) {
  const qreal l = snapEdge(frame.x(), left.a, frame.width(), left.c, left.d);
  const qreal r = snapEdge(frame.x(), right.a, frame.width(), right.c, right.d);
  const qreal b = snapEdge(frame.y(), bottom.a, frame.height(), bottom.c, bottom.d);
  const qreal t = snapEdge(frame.y(), top.a, frame.height(), top.c, top.d);
  return {l, b, r - l, t - b};
}

// A box whose edges are fractions of the frame, not rounded.
inline QRectF fractionRect(const QRectF& frame, qreal left, qreal bottom, qreal right, qreal top) {
  const QPointF a = framePoint(frame, left, bottom);
  const QPointF b = framePoint(frame, right, top);
  return {a.x(), a.y(), b.x() - a.x(), b.y() - a.y()};
}
