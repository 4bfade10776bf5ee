#pragma once
// The crop marks (fixed size, hung from the frame's top-left corner) and the device seen
// from the front, both white.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeCropDeviceIcons {
 public:
  static void drawCropWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawKorvalumeDeviceWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfCropWithSize(QSizeF size);
  static StyleKitImage imageOfKorvalumeDeviceWithSize(QSizeF size);

  // The device's uprights and connectors in drawing order, snapped.
  static QRectF deviceRect(QRectF frame, int index);

 protected:
  KorvalumeCropDeviceIcons() = default;
};
