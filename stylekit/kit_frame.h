#pragma once
// What every icon of the general kit shares: the one shared shadow and the blank image.
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/shadow.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeStyleKitFrame {
 public:
  // Dark grey, offset (0, 0), blur radius 5: the same object on every call.
  static const Shadow& straightDarkGrayShadow();

  // Paints nothing.
  static void drawBlank(GraphicsContext& ctx);
  // A transparent 5 x 5 image, made on the first call and the same image ever after.
  static StyleKitImage imageOfBlank();

 protected:
  KorvalumeStyleKitFrame() = default;
};
