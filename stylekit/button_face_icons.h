#pragma once
// Button faces: the round check and X buttons (shaded inside their rim by the kit's shared
// shadow) and the rounded default and capture push buttons, veiled grey while disabled.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeButtonFaceIcons {
 public:
  static void drawCheckButtonWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawXButtonWithFrame(GraphicsContext& ctx, QRectF frame);
  // These two have no image method: they are drawn only into a caller's context.
  static void drawDefaultButtonWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                         bool buttonEnabled);
  static void drawCaptureButtonWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                         bool buttonEnabled);

  static StyleKitImage imageOfCheckButtonWithSize(QSizeF size);
  static StyleKitImage imageOfXButtonWithSize(QSizeF size);

  // The disc of the round buttons: inset 4 points from the left and top, 3 from the right
  // and bottom, whatever the frame's size.
  static QRectF roundButtonDiscRect(QRectF frame);

 protected:
  KorvalumeButtonFaceIcons() = default;
};
