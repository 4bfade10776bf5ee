#pragma once
// Line icons in white for dark ground: the settings gear and the electronic level's dial.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeGearLevelIcons {
 public:
  static void drawGearWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawElectronicLevelWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfGearWithSize(QSizeF size);
  static StyleKitImage imageOfElectronicLevelWithSize(QSizeF size);

  // The ring of the level: the band between two circles run in opposite directions.
  static BezierPath electronicLevelRingPath(QRectF frame);

 protected:
  KorvalumeGearLevelIcons() = default;
};
