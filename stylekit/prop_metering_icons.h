#pragma once
// Metering-mode icons of the property kit (general, Nikon and Sony designs): a square frame
// ring for the picture and the mark of the mode, in the shadow form.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesMeteringIcons {
 public:
  static void drawMeteringMode_EvaluativeWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                   bool showShadow, double b);
  static void drawMeteringMode_CenterWeightedWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                       bool showShadow, double b);
  static void drawMeteringMode_CenterWeighted_NIKONWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                             bool showShadow, double b);
  static void drawMeteringMode_HighlightWeightedWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                          bool showShadow, double b);
  static void drawMeteringMode_MultiPatternWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                     bool showShadow, double b);
  static void drawMeteringMode_PartialWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                                double b);
  static void drawMeteringMode_SpotWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                             double b);
  static void drawMeteringMode_Spot_NIKONWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                   bool showShadow, double b);
  static void drawSony_MeteringMode_SpotLargeWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                       bool showShadow, double b);
  static void drawSony_MeteringMode_EntireScreenAverageWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                                 bool showShadow, double b);
  static void drawSony_MeteringMode_SpotStandardWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                          bool showShadow, double b);
  static void drawSony_MeteringMode_HighlightWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                       bool showShadow, double b);

  static StyleKitImage imageOfMeteringMode_EvaluativeWithSize(QSizeF size, double r, double g, bool showShadow,
                                                              double b);
  static StyleKitImage imageOfMeteringMode_CenterWeightedWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                  double b);
  static StyleKitImage imageOfMeteringMode_CenterWeighted_NIKONWithSize(QSizeF size, double r, double g,
                                                                        bool showShadow, double b);
  static StyleKitImage imageOfMeteringMode_HighlightWeightedWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                     double b);
  static StyleKitImage imageOfMeteringMode_MultiPatternWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                double b);
  static StyleKitImage imageOfMeteringMode_PartialWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfMeteringMode_SpotWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfMeteringMode_Spot_NIKONWithSize(QSizeF size, double r, double g, bool showShadow,
                                                              double b);
  static StyleKitImage imageOfSony_MeteringMode_SpotLargeWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                  double b);
  static StyleKitImage imageOfSony_MeteringMode_EntireScreenAverageWithSize(QSizeF size, double r, double g,
                                                                            bool showShadow, double b);
  static StyleKitImage imageOfSony_MeteringMode_SpotStandardWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                     double b);
  static StyleKitImage imageOfSony_MeteringMode_HighlightWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                  double b);

 protected:
  KorvalumePropertiesMeteringIcons() = default;
};
