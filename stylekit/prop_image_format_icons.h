#pragma once
// Image-format marks of the property kit: the smooth (fine) and compressed (normal) quality
// marks and the RAW plate, drawn beside the size letters of the image-format buttons.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesImageFormatIcons {
 public:
  static void drawImageFormat_SmoothWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawImageFormat_CompressedWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                  double b);
  static void drawImageFormat_RAWWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);

  static StyleKitImage imageOfImageFormat_SmoothWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfImageFormat_CompressedWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfImageFormat_RAWWithSize(QSizeF size, double r, double g, double b);

 protected:
  KorvalumePropertiesImageFormatIcons() = default;
};
