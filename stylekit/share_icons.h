#pragma once
// The share sign, an arrow rising out of an open tray: a toggle form (white when on, dark
// grey when off, with a drop shadow) and a form labelled "Share" in letter outlines.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeShareIcons {
 public:
  static void drawShareWithFrame(GraphicsContext& ctx, QRectF frame, bool toggleButtonOn);
  static void drawShareWithTextWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfShareWithSize(QSizeF size, bool toggleButtonOn);
  static StyleKitImage imageOfShareWithTextWithSize(QSizeF size);

 protected:
  KorvalumeShareIcons() = default;
};
