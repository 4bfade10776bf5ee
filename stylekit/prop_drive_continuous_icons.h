#pragma once
// Two drive-mode icons of the property kit in the plain form: three stacked picture frames
// with H+ (continuous high plus) or M (continuous medium) below right.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesDriveContinuousIcons {
 public:
  static void drawDriveMode_ContinuousHighPlusWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                        double b);
  static void drawDriveMode_ContinuousMediumWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);

  static StyleKitImage imageOfDriveMode_ContinuousHighPlusWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_ContinuousMediumWithSize(QSizeF size, double r, double g, double b);

 protected:
  KorvalumePropertiesDriveContinuousIcons() = default;
};
