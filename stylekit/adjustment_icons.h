#pragma once
// Image adjustments, white silhouettes: exposure compensation, contrast (plain, and full
// frame with a glow when highlighted), sharpening, vibrance and white balance.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeAdjustmentIcons {
 public:
  static void drawAdjustExposureWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawContrastIconWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawContrastWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  static void drawSharpenWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawVibranceWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawWhiteBalanceWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfAdjustExposureWithSize(QSizeF size);
  static StyleKitImage imageOfContrastIconWithSize(QSizeF size);
  static StyleKitImage imageOfContrastWithSize(QSizeF size, bool buttonHighlighted);
  static StyleKitImage imageOfSharpenWithSize(QSizeF size);
  static StyleKitImage imageOfVibranceWithSize(QSizeF size);
  static StyleKitImage imageOfWhiteBalanceWithSize(QSizeF size);

  // The contrast sign's path: the part-disc (counter-clockwise) and the outer circle.
  static BezierPath contrastPath(QRectF frame);

 protected:
  KorvalumeAdjustmentIcons() = default;
};
