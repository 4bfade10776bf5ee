#pragma once
// Rating stars: the rating star (grey outline, white with a glow when highlighted), its
// yellow twin, the white context star with a drop shadow, and five highlighted stars.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeRatingStarIcons {
 public:
  static void drawStarIconWithFrame(GraphicsContext& ctx, QRectF frame, bool ratingHighlighted);
  static void drawYellowStarIconWithFrame(GraphicsContext& ctx, QRectF frame, bool ratingHighlighted);
  static void drawContextStarWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawFiveStarWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfStarIconWithSize(QSizeF size, bool ratingHighlighted);
  static StyleKitImage imageOfYellowStarIconWithSize(QSizeF size, bool ratingHighlighted);
  static StyleKitImage imageOfContextStarWithSize(QSizeF size);
  static StyleKitImage imageOfFiveStarWithSize(QSizeF size);

  // The box of the five-star icon's star `index` (0 to 4, in drawing order), edges snapped.
  static QRectF fiveStarBox(QRectF frame, int index);

 protected:
  KorvalumeRatingStarIcons() = default;
};
