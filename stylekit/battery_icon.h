#pragma once
// The battery: a body with a terminal cap, a level bar as long in points as the charge in
// percent, red at 20 or less, and an optional charging bolt.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeBatteryIcon {
 public:
  static void drawBatteryWithFrame(GraphicsContext& ctx, QRectF frame, qreal batteryPercentage, bool isCharging);
  static StyleKitImage imageOfBatteryWithSize(QSizeF size, qreal batteryPercentage, bool isCharging);

  // The wall: the inside (counter-clockwise) and the outside (clockwise) of body and cap.
  static BezierPath batteryBodyPath(QRectF frame);

 protected:
  KorvalumeBatteryIcon() = default;
};
