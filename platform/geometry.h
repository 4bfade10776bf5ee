#pragma once
// y-up geometry (origin bottom-left, as the documented layouts are written) and the one
// conversion to Qt's y-down widget space at the widget edge.
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace Geometry {

inline qreal minX(const QRectF& r) { return r.x(); }
inline qreal maxX(const QRectF& r) { return r.x() + r.width(); }
inline qreal midX(const QRectF& r) { return r.x() + r.width() / 2; }
// In a y-up rectangle y() is the bottom edge.
inline qreal minY(const QRectF& r) { return r.y(); }
inline qreal maxY(const QRectF& r) { return r.y() + r.height(); }
inline qreal midY(const QRectF& r) { return r.y() + r.height() / 2; }

// A y-up rectangle inside a space `height` high, as a y-down rectangle (and back: the
// conversion is its own inverse).
inline QRectF flipped(const QRectF& r, qreal height) {
  return QRectF(r.x(), height - r.y() - r.height(), r.width(), r.height());
}
inline QPointF flipped(QPointF p, qreal height) { return QPointF(p.x(), height - p.y()); }

// A rectangle `inset` smaller on every side (negative grows it).
inline QRectF insetRect(const QRectF& r, qreal dx, qreal dy) {
  return QRectF(r.x() + dx, r.y() + dy, r.width() - 2 * dx, r.height() - 2 * dy);
}

inline bool pointInRect(QPointF p, const QRectF& r) {
  return p.x() >= minX(r) && p.x() < maxX(r) && p.y() >= minY(r) && p.y() < maxY(r);
}

// Float to int for sizes and indexes: NaN and infinities become 0, out-of-range values clamp.
int toIntSafe(qreal v);

// The largest rectangle of `content`'s aspect that fits in `bounds`, centred in it (the bounds'
// own origin is not added). The zero rectangle when either size is not positive and finite,
// or the fitted size would not be finite: nothing is shown, and nothing divides by it.
QRectF aspectFitRect(QSizeF content, QSizeF bounds);

// a / b, or `fallback` when b is zero or the result is not finite.
qreal divideOr(qreal a, qreal b, qreal fallback = 0);

}  // namespace Geometry
