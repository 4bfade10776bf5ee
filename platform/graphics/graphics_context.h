#pragma once
// The current graphics context of the icon kits and widgets: a y-up drawing space in
// points over a QPainter, with its own state stack (fill and stroke colour, shadow, alpha,
// clip, transform). Fills use the non-zero rule; strokes use the path's cap, join and
// miter limit. A shadow is blurred offscreen in device pixels and is cut only by the clip;
// clips with fractional edges are antialiased. The context leaves the painter as it found it.
#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <functional>
#include <optional>
#include <vector>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/shadow.h"

class QImage;
class QPainter;

class GraphicsContext {
 public:
  // `height` is the height in points of the painter's drawing area: the y-up origin lies at
  // its bottom-left corner, in the painter's current coordinates.
  GraphicsContext(QPainter& painter, qreal height);
  ~GraphicsContext();
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;

  void saveGraphicsState();
  void restoreGraphicsState();

  void setFillColor(const QColor& c);
  void setStrokeColor(const QColor& c);
  QColor fillColor() const { return state().fill; }
  QColor strokeColor() const { return state().stroke; }

  // The shadow cast by every following fill, stroke and text until restored or cleared.
  void setShadow(const Shadow& s);
  void clearShadow();
  std::optional<Shadow> shadow() const { return state().shadow; }

  // The context alpha multiplies everything painted, shadows included.
  void setAlpha(qreal a);
  qreal alpha() const { return state().alpha; }

  void clipToRect(const QRectF& rect);
  void clipToPath(const BezierPath& path);
  bool hasClip() const { return state().clip.has_value(); }

  void translate(qreal dx, qreal dy);
  void scale(qreal sx, qreal sy);
  void rotate(qreal degrees);
  QTransform currentTransform() const { return state().ctm; }

  void fill(const BezierPath& path);
  void stroke(const BezierPath& path);
  void fillRect(const QRectF& rect);
  // Fills a path (user space, y up) with any brush; the brush's coordinates are user space.
  void fillWithBrush(const QPainterPath& path, const QBrush& brush);

  // A linear gradient across the path's bounding box at `angleDegrees` (0 = left to right,
  // 90 = bottom to top), start colour at the start; the path is filled, not stroked.
  void drawLinearGradient(const BezierPath& path, const QColor& start, const QColor& end,
                          qreal angleDegrees);

  // A band of the shadow's colour inside `path` along its edge, fading inward over the blur
  // radius and shifted by the offset; nothing outside the path. The path is not filled.
  void drawInnerShadow(const BezierPath& path, const Shadow& s);

  // Draws another icon inside a box: clip to the box, move the origin to it, call `draw`
  // with (0, 0, box width, box height), restore.
  void drawNested(const QRectF& box, const std::function<void(GraphicsContext&, QRectF)>& draw);

  // Device pixels per point of the base space (the painter's scale and its device ratio).
  qreal deviceScaleX() const { return baseToDevice_.m11(); }
  qreal deviceScaleY() const { return std::abs(baseToDevice_.m22()); }
  // User space (y up, points) to device pixels (y down).
  QTransform userToDevice() const;

 private:
  struct State {
    QTransform ctm;  // user space to base space (y up)
    QColor fill = Qt::black;
    QColor stroke = Qt::black;
    std::optional<Shadow> shadow;
    qreal alpha = 1;
    std::optional<QPainterPath> clip;  // device pixels
    std::optional<QRectF> clipRect;    // device pixels, when the clip is an upright box
  };
  const State& state() const { return stack_.back(); }
  State& state() { return stack_.back(); }

  void paint(const QPainterPath& userPath, const QBrush& brush);
  void paintDirect(const QPainterPath& userPath, const QBrush& brush);
  void paintLayered(const QPainterPath& userPath, const QBrush& brush);
  void composite(const QImage& layer, QPoint devicePos, qreal opacity);
  QRect clipDeviceBounds() const;
  QImage clipMask(const QRect& region) const;

  QPainter& painter_;
  QTransform baseToDevice_;  // y-up base space to device pixels
  QRect canvas_;             // device pixels
  std::vector<State> stack_;
};
