#pragma once
// Path building in frame fractions for the property icons: points, quarter-ellipse corners,
// elliptical arcs, straight-edged polygons, rectangular rings and letters fitted to boxes.
// Nothing here is snapped; boxes that snap come from PropertyIconPainter::box.
#include <QPointF>
#include <QString>
#include <initializer_list>

#include "platform/graphics/bezier_path.h"
#include "stylekit/property_icon_painter.h"

class FracPath {
 public:
  explicit FracPath(const PropertyIconPainter& icon) : icon_(icon) {}

  FracPath& move(qreal x, qreal y);
  FracPath& line(qreal x, qreal y);
  FracPath& curve(qreal x, qreal y, qreal c1x, qreal c1y, qreal c2x, qreal c2y);
  // A quarter-ellipse from the current point to (x, y) round the corner (cx, cy), its handles
  // 0.552 of the way to the corner.
  FracPath& corner(qreal x, qreal y, qreal cx, qreal cy);
  // An arc of the ellipse round (cx, cy) with radii rx, ry from angle `from` to `to` (degrees,
  // anticlockwise when to > from), in pieces of at most a quarter turn. Starts a subpath
  // unless one is open, in which case a line joins the current point to the arc's start.
  FracPath& arc(qreal cx, qreal cy, qreal rx, qreal ry, qreal from, qreal to);
  FracPath& close();
  // A closed straight-edged outline through the points, in their order.
  FracPath& polygon(std::initializer_list<QPointF> points, QPointF offset = {});
  // A closed rectangle: clockwise from the top-right corner, or anticlockwise.
  FracPath& rect(qreal left, qreal bottom, qreal right, qreal top, bool clockwise);
  FracPath& append(const BezierPath& other);

  const BezierPath& path() const { return path_; }
  operator const BezierPath&() const { return path_; }

 private:
  QPointF at(qreal x, qreal y) const { return icon_.p(x, y); }

  const PropertyIconPainter& icon_;
  BezierPath path_;
  QPointF current_;
  bool open_ = false;
};

// A letter or number set as bold sans-serif outlines whose ink fills the box of fractions
// left, bottom, right, top. Outlines run clockwise (y up) and counters the other way.
BezierPath letterInBox(const PropertyIconPainter& icon, const QString& text, qreal left, qreal bottom,
                       qreal right, qreal top);

// The same outlines run the other way round, so that they cut holes in a clockwise plate.
BezierPath cutOutLetterInBox(const PropertyIconPainter& icon, const QString& text, qreal left, qreal bottom,
                             qreal right, qreal top);
