#pragma once
// Sony focus-area icons of the property kit: wide, zone, centre and the flexible spots
// (small, medium, large, expanded).
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesFocusAreaIcons {
 public:
  static void drawSony_FocusArea_WideWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawSony_FocusArea_ZoneWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawSony_FocusArea_CenterWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawSony_FocusArea_FlexibleSpotSmallWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                            double b);
  static void drawSony_FocusArea_FlexibleSpotMediumWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                             double b);
  static void drawSony_FocusArea_FlexibleSpotLargeWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                            double b);
  static void drawSony_FocusArea_ExpandFlexibleSpotWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                             double b);

  static StyleKitImage imageOfSony_FocusArea_WideWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_ZoneWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_CenterWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_FlexibleSpotSmallWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_FlexibleSpotMediumWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_FlexibleSpotLargeWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_ExpandFlexibleSpotWithSize(QSizeF size, double r, double g, double b);

 protected:
  KorvalumePropertiesFocusAreaIcons() = default;
};
