#pragma once
// Sony focus-area icons with subject tracking: the flexible spots (small, medium, large,
// expanded) and the centre, wide and zone areas, each with the tracking mark bottom right.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesTrackingFocusAreaIcons {
 public:
  static void drawSony_FocusArea_Tracking_ExpandFlexibleSpotWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                      double g, double b);
  static void drawSony_FocusArea_Tracking_FlexibleSpotSmallWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                     double g, double b);
  static void drawSony_FocusArea_Tracking_FlexibleSpotMediumWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                      double g, double b);
  static void drawSony_FocusArea_Tracking_FlexibleSpotLargeWithFrame(GraphicsContext& ctx, QRectF frame, double r,
                                                                     double g, double b);
  static void drawSony_FocusArea_Tracking_CenterWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                          double b);
  static void drawSony_FocusArea_Tracking_WideWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                        double b);
  static void drawSony_FocusArea_Tracking_ZoneWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                        double b);

  static StyleKitImage imageOfSony_FocusArea_Tracking_ExpandFlexibleSpotWithSize(QSizeF size, double r, double g,
                                                                                 double b);
  static StyleKitImage imageOfSony_FocusArea_Tracking_FlexibleSpotSmallWithSize(QSizeF size, double r, double g,
                                                                                double b);
  static StyleKitImage imageOfSony_FocusArea_Tracking_FlexibleSpotMediumWithSize(QSizeF size, double r, double g,
                                                                                 double b);
  static StyleKitImage imageOfSony_FocusArea_Tracking_FlexibleSpotLargeWithSize(QSizeF size, double r, double g,
                                                                                double b);
  static StyleKitImage imageOfSony_FocusArea_Tracking_CenterWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_Tracking_WideWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfSony_FocusArea_Tracking_ZoneWithSize(QSizeF size, double r, double g, double b);

 protected:
  KorvalumePropertiesTrackingFocusAreaIcons() = default;
};
