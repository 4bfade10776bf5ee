#pragma once
// The exposure-bracket carousel's backdrop: central marks, up to four mark pairs a side
// spaced by the bracket step, and an end bracket at each side, at fixed points of a
// 666 x 172 area (no frame, nothing scales).
#include <QPointF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeCarouselIcons {
 public:
  static void drawCarouselBackgroundWithExposureBracket(GraphicsContext& ctx, qreal exposureBracket,
                                                        qreal numNegativeBrackets, qreal numPositiveBrackets);
  // Always 666 x 172 points, whatever the arguments.
  static StyleKitImage imageOfCarouselBackgroundWithExposureBracket(qreal exposureBracket, qreal numNegativeBrackets,
                                                                   qreal numPositiveBrackets);

  // Where slot `slot` (-4 to -1, 1 to 4) puts its lower and upper mark shapes: the x
  // translation (316.25 when the slot is not shown) and the two y translations.
  struct SlotPlacement {
    qreal x, lowerY, upperY;
  };
  static SlotPlacement carouselSlotPlacement(int slot, qreal exposureBracket, qreal numNegativeBrackets,
                                             qreal numPositiveBrackets);

 protected:
  KorvalumeCarouselIcons() = default;
};
