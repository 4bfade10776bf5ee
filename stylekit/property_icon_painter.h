#pragma once
// The mechanics every draw method of the property icon kit shares: one colour per call
// (alpha 1, components unclamped), fractions of the frame with y up, boxes snapped edge by
// edge, fills under the non-zero rule and, in the shadow form, each fill in its own save,
// shadow, fill colour, fill, restore with the drop shadow or the clear one.
#include <QColor>
#include <QRectF>
#include <QString>
#include <optional>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/shadow.h"
#include "platform/graphics/text.h"

class PropertyIconPainter {
 public:
  // Plain form: no shadow argument; fills set the colour outside any save and restore.
  PropertyIconPainter(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  // Shadow form: showShadow picks the drop shadow, otherwise the clear one.
  PropertyIconPainter(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow, double b);

  // Black at 0.75, offset (1, -1), blur 0: a hard copy one point right and one down.
  static Shadow dropShadow();
  // Black at 0, offset (3, -3), blur 5: set, but paints nothing.
  static Shadow clearShadow();

  const QRectF& frame() const { return frame_; }
  QColor colour() const { return colour_; }
  GraphicsContext& context() { return ctx_; }

  // The point (minX + width * x, minY + height * y).
  QPointF p(qreal x, qreal y) const;
  // The box with snapped edges at fractions left, bottom, right, top.
  QRectF box(qreal left, qreal bottom, qreal right, qreal top) const;
  BezierPath rectangle(qreal left, qreal bottom, qreal right, qreal top) const;
  BezierPath oval(qreal left, qreal bottom, qreal right, qreal top) const;

  // Fills one shape in the icon colour (or `colour`), by the form's rule.
  void fill(const BezierPath& path);
  void fill(const BezierPath& path, const QColor& colour);

  // Text set in the named font at fontSize in the icon colour (or `colour`), centred.
  TextAttributes textAttributes(const QString& fontName, qreal fontSize) const;
  // Hung from the box moved up by dy; no clip, no save or restore.
  void drawFixedText(const QString& text, const QRectF& box, const QString& fontName, qreal fontSize,
                     qreal dy, std::optional<QColor> colour = std::nullopt);
  // Measured, centred in the box, clipped to it, moved up by dy; in the shadow form wrapped
  // in the shadow's save and restore so that it casts the shadow too.
  void drawMeasuredText(const QString& text, const QRectF& box, const QString& fontName, qreal fontSize,
                        qreal dy, std::optional<QColor> colour = std::nullopt);

 private:
  GraphicsContext& ctx_;
  QRectF frame_;
  QColor colour_;
  std::optional<Shadow> shadow_;  // set in the shadow form
};
