#pragma once
// HDR: the property icon (a red-orange outlined cog with a round hole) and the colour icon
// (a green stack of an open back frame, a hatched middle frame and a solid front panel).
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/bezier_path.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeHdrIcons {
 public:
  static void drawHDRPropertyWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawHDRColorWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfHDRPropertyWithSize(QSizeF size);
  static StyleKitImage imageOfHDRColorWithSize(QSizeF size);

  // The cog's two contours (outline, then hole), as stroked.
  static BezierPath hdrCogPath(QRectF frame);

 protected:
  KorvalumeHdrIcons() = default;
};
