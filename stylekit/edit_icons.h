#pragma once
// Edit, key, plus and minus: the edit sign (a pencil over a frame open at its upper right,
// with a drop shadow), a key, and a plus and a minus cut out of a grey disc.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeEditIcons {
 public:
  static void drawEditWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawKeyWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawPlusWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawMinusWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfEditWithSize(QSizeF size);
  static StyleKitImage imageOfKeyWithSize(QSizeF size);
  static StyleKitImage imageOfPlusWithSize(QSizeF size);
  static StyleKitImage imageOfMinusWithSize(QSizeF size);

  // The paths as filled: sign first (counter-clockwise), disc second (clockwise).
  static BezierPath plusPath(QRectF frame);
  static BezierPath minusPath(QRectF frame);
  static BezierPath keyPath(QRectF frame);

 protected:
  KorvalumeEditIcons() = default;
};
