#pragma once
// Media and view icons: the green play button in its ring, play, pause, a white disc, and
// the expand and shrink arrows. White silhouettes for dark ground, apart from the green play.
// The blank icon belongs to the kit frame.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeMediaViewIcons {
 public:
  static void drawPlayCircleWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawPlayWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawPauseWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawCircleWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawExpandWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawShrinkWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfPlayCircleWithSize(QSizeF size);
  static StyleKitImage imageOfPlayWithSize(QSizeF size);
  static StyleKitImage imageOfPauseWithSize(QSizeF size);
  static StyleKitImage imageOfCircleWithSize(QSizeF size);
  static StyleKitImage imageOfExpandWithSize(QSizeF size);
  static StyleKitImage imageOfShrinkWithSize(QSizeF size);

  // The pause bars, each edge snapped relative to the frame's origin.
  static QRectF pauseLeftBar(QRectF frame);
  static QRectF pauseRightBar(QRectF frame);

 protected:
  KorvalumeMediaViewIcons() = default;
};
