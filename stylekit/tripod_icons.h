#pragma once
// Tripod control: the tripod button icon (a tripod over a curved two-headed arrow) and the
// joystick (a grey ring carrying eight arrowheads, the selected one red).
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeTripodIcons {
 public:
  static void drawTripodWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  // `selectedArrow` is a direction code: up 1, down 2, left 4, right 8, a diagonal the sum of
  // its two directions. Any other value selects no arrowhead. No image method.
  static void drawTripodJoystickWithFrame(GraphicsContext& ctx, QRectF frame, qreal selectedArrow);

  static StyleKitImage imageOfTripodWithSize(QSizeF size, bool buttonHighlighted);

  static QRectF tripodBarRect(QRectF frame);
  // The joystick's ring: a counter-clockwise inner circle and a clockwise outer one.
  static BezierPath tripodJoystickRingPath(QRectF frame);

 protected:
  KorvalumeTripodIcons() = default;
};
