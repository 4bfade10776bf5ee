#pragma once
// Sequence settings, flat one-colour icons: stairs, number sign, start in the middle,
// hourglass, interval clock, direction sign and total degrees.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeSequenceIcons {
 public:
  static void drawStairsWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawNumberWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawStartMiddleWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawHourglassWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawIntervalWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawDirectionSignWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawTotalDegreesWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfStairsWithSize(QSizeF size);
  static StyleKitImage imageOfNumberWithSize(QSizeF size);
  static StyleKitImage imageOfStartMiddleWithSize(QSizeF size);
  static StyleKitImage imageOfHourglassWithSize(QSizeF size);
  static StyleKitImage imageOfIntervalWithSize(QSizeF size);
  static StyleKitImage imageOfDirectionSignWithSize(QSizeF size);
  static StyleKitImage imageOfTotalDegreesWithSize(QSizeF size);

  // The stairs' seven snapped rectangles, in drawing order.
  static QRectF stairsRect(QRectF frame, int index);

 protected:
  KorvalumeSequenceIcons() = default;
};
