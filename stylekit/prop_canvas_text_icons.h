#pragma once
// Canvas and text methods of the property kit: the empty canvas with its resizing rule, the
// ring figure with a fixed label, a free text label and the Fujifilm image-format badge.
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

// How a canvas maps into a target: 0 aspect fit, 1 aspect fill, 3 natural size centred, any
// other value stretch. A target equal to `rect` or to the zero rectangle leaves `rect` as it is.
QRectF applyResizingMode(int64_t resizing, QRectF rect, QRectF target);

class KorvalumePropertiesCanvasTextIcons {
 public:
  static void drawCanvas1(GraphicsContext& ctx);
  static void drawCanvas1WithFrame(GraphicsContext& ctx, QRectF targetFrame, int64_t resizing);
  static void drawCanvas2WithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b, double fontSize);
  static void drawCustomStringWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b,
                                        double fontSize, QString customText);
  static void drawImageFormate_FujiWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b,
                                             double fontSize, QString customText);

  static StyleKitImage imageOfImageFormate_FujiWithSize(QSizeF size, double r, double g, double b, double fontSize,
                                                        QString customText);

 protected:
  KorvalumePropertiesCanvasTextIcons() = default;
};
