#pragma once
// A camera (black with a white outline), a light camera (white silhouette), a green check
// mark and a red-orange X mark.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeCameraMarkIcons {
 public:
  static void drawCameraWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawLightCameraWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawCheckMarkWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawXMarkWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfCameraWithSize(QSizeF size);
  static StyleKitImage imageOfLightCameraWithSize(QSizeF size);
  static StyleKitImage imageOfCheckMarkWithSize(QSizeF size);
  static StyleKitImage imageOfXMarkWithSize(QSizeF size);

  // The three contours, in order: inner lens (clockwise), lens ring (counter-clockwise),
  // body with its hump (clockwise).
  static BezierPath cameraPath(QRectF frame);
  static BezierPath lightCameraPath(QRectF frame);

 protected:
  KorvalumeCameraMarkIcons() = default;
};
