#pragma once
// Icons for the capture-function push buttons: focus stack, timer, HDR, histogram,
// brightness and more. `buttonHighlighted` turns the first three blue with a bar along the
// bottom, the histogram and more icons blue, and gives the brightness sun a glow.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeCaptureFunctionIcons {
 public:
  static void drawFocusStackWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  static void drawTimerWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  static void drawHDRWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  static void drawHistogramWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  static void drawBrightnessWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);
  static void drawMoreWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted);

  static StyleKitImage imageOfFocusStackWithSize(QSizeF size, bool buttonHighlighted);
  static StyleKitImage imageOfTimerWithSize(QSizeF size, bool buttonHighlighted);
  static StyleKitImage imageOfHDRWithSize(QSizeF size, bool buttonHighlighted);
  static StyleKitImage imageOfHistogramWithSize(QSizeF size, bool buttonHighlighted);
  static StyleKitImage imageOfBrightnessWithSize(QSizeF size, bool buttonHighlighted);
  static StyleKitImage imageOfMoreWithSize(QSizeF size, bool buttonHighlighted);

  // The highlighted bar along the bottom: of the focus stack and HDR icons, and of the timer.
  static QRectF focusStackBarRect(QRectF frame);
  static QRectF timerBarRect(QRectF frame);
  // The timer's lower hand.
  static QRectF timerLowerHandRect(QRectF frame);

 protected:
  KorvalumeCaptureFunctionIcons() = default;
};
