#pragma once
// A path in y-up points, filled with the non-zero winding rule and stroked with the
// platform defaults: butt caps, miter joins, miter limit 10, line width 1.
#include <QPainterPath>
#include <QRectF>
#include <vector>

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };

class BezierPath {
 public:
  BezierPath();

  // Whole shapes. Rectangles, ovals and rounded rectangles run counter-clockwise (y up).
  static BezierPath bezierPathWithRect(const QRectF& rect);
  static BezierPath bezierPathWithOvalInRect(const QRectF& rect);
  static BezierPath bezierPathWithRoundedRect(const QRectF& rect, qreal xRadius, qreal yRadius);

  void moveToPoint(QPointF p);
  void lineToPoint(QPointF p);
  void curveToPoint(QPointF end, QPointF controlPoint1, QPointF controlPoint2);
  void closePath();
  void appendBezierPath(const BezierPath& other);
  void appendBezierPathWithRect(const QRectF& rect);
  void appendBezierPathWithOvalInRect(const QRectF& rect);

  bool isEmpty() const { return path_.elementCount() == 0; }
  // The tight box of the drawn outline (curves included, control points not).
  QRectF bounds() const { return path_.boundingRect(); }

  // The same contours, each run the other way round.
  BezierPath reversed() const;
  // The signed area (y up, positive = counter-clockwise) of each subpath.
  std::vector<qreal> subpathSignedAreas() const;

  qreal lineWidth() const { return lineWidth_; }
  void setLineWidth(qreal w) { lineWidth_ = w; }
  qreal miterLimit() const { return miterLimit_; }
  void setMiterLimit(qreal m) { miterLimit_ = m; }
  LineCap lineCapStyle() const { return cap_; }
  void setLineCapStyle(LineCap c) { cap_ = c; }
  LineJoin lineJoinStyle() const { return join_; }
  void setLineJoinStyle(LineJoin j) { join_ = j; }

  // The outline that a stroke with this path's settings paints, as a fillable path.
  QPainterPath strokeOutline() const;

  const QPainterPath& qpath() const { return path_; }
  static BezierPath fromQPainterPath(const QPainterPath& p);
  void transform(const QTransform& t);

 private:
  QPainterPath path_;
  qreal lineWidth_ = 1;
  qreal miterLimit_ = 10;
  LineCap cap_ = LineCap::Butt;
  LineJoin join_ = LineJoin::Miter;
};
