#pragma once
// Nikon movie AF-area icons of the property kit: single, auto, wide S and wide L.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesMovieAfAreaIcons {
 public:
  static void drawNikon_MovieAfArea_SingleWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawNikon_MovieAfArea_AutoWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawNikon_MovieAfArea_WideSWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawNikon_MovieAfArea_WideLWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);

  static StyleKitImage imageOfNikon_MovieAfArea_SingleWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfNikon_MovieAfArea_AutoWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfNikon_MovieAfArea_WideSWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfNikon_MovieAfArea_WideLWithSize(QSizeF size, double r, double g, double b);

 protected:
  KorvalumePropertiesMovieAfAreaIcons() = default;
};
