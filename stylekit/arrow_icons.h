#pragma once
// Arrows: solid triangles and bar arrows in the button colours (light grey, dark grey while
// disabled, highlight blue while highlighted), white triangles with a black halo, and two
// thin light-grey line arrows (a double-headed one and a dismiss chevron).
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeArrowIcons {
 public:
  static void drawFocusArrowUpWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted, bool buttonEnabled);
  static void drawFocusArrowDownWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted,
                                          bool buttonEnabled);
  static void drawArrowLeftWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted, bool buttonEnabled);
  static void drawArrowRightWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted, bool buttonEnabled);
  static void drawArrowsOutWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted, bool buttonEnabled);
  static void drawArrowsInWithFrame(GraphicsContext& ctx, QRectF frame, bool buttonHighlighted, bool buttonEnabled);
  static void drawWhiteArrowUpWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawWhiteArrowDownWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawWhiteArrowLeftWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawWhiteArrowRightWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawArrowsPointingOutWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawDismissDownWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfFocusArrowUpWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfFocusArrowDownWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfArrowLeftWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfArrowRightWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfArrowsOutWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfArrowsInWithSize(QSizeF size, bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfWhiteArrowUpWithSize(QSizeF size);
  static StyleKitImage imageOfWhiteArrowDownWithSize(QSizeF size);
  static StyleKitImage imageOfWhiteArrowLeftWithSize(QSizeF size);
  static StyleKitImage imageOfWhiteArrowRightWithSize(QSizeF size);
  static StyleKitImage imageOfArrowsPointingOutWithSize(QSizeF size);
  static StyleKitImage imageOfDismissDownWithSize(QSizeF size);

  // The colour of the state and bar arrows: light grey, dark grey when disabled, highlight
  // blue when highlighted whatever the enabled state.
  static QColor arrowButtonColor(bool buttonHighlighted, bool buttonEnabled);

 protected:
  KorvalumeArrowIcons() = default;
};
