#pragma once
// White-balance icons of the property kit, in the shadow form: the pictograms, the plates
// lettered AWB, the icons paired with a text, and the auto natural light and preset icons.
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesWhiteBalanceIcons {
 public:
  static void drawWhiteBalance_AutoWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                             double b);
  static void drawWhiteBalance_CloudyWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                               double b);
  static void drawWhiteBalance_ColorTemperatureWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                         bool showShadow, double b);
  static void drawWhiteBalance_CustomWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                               double b);
  static void drawWhiteBalance_DaylightWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                 bool showShadow, double b);
  static void drawWhiteBalance_FlashWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                              double b);
  static void drawWhiteBalance_FlourescentWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                    bool showShadow, double b);
  static void drawWhiteBalance_ShadeWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                              double b);
  static void drawWhiteBalance_TungstenWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                 bool showShadow, double b);
  static void drawWhiteBalance_AutoUnderwaterWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                       bool showShadow, double b);
  static void drawWhiteBalance_AutoNaturalLightWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                         bool showShadow, double b);
  static void drawWhiteBalance_PresetWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                               double b);
  static void drawWhiteBalance_AutoWWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, bool showShadow,
                                              double b, double fontSize);
  static void drawWhiteBalance_FlourescentTextWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                        bool showShadow, double b, double fontSize,
                                                        QString bracketTopText);
  static void drawWhiteBalance_CustomTextWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                   bool showShadow, double b, double fontSize, QString bracketTopText);

  static StyleKitImage imageOfWhiteBalance_AutoWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_CloudyWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_ColorTemperatureWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                    double b);
  static StyleKitImage imageOfWhiteBalance_CustomWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_DaylightWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_FlashWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_FlourescentWithSize(QSizeF size, double r, double g, bool showShadow,
                                                               double b);
  static StyleKitImage imageOfWhiteBalance_ShadeWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_TungstenWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_AutoUnderwaterWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                  double b);
  static StyleKitImage imageOfWhiteBalance_AutoNaturalLightWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                    double b);
  static StyleKitImage imageOfWhiteBalance_PresetWithSize(QSizeF size, double r, double g, bool showShadow, double b);
  static StyleKitImage imageOfWhiteBalance_AutoWWithSize(QSizeF size, double r, double g, bool showShadow, double b,
                                                         double fontSize);
  static StyleKitImage imageOfWhiteBalance_FlourescentTextWithSize(QSizeF size, double r, double g, bool showShadow,
                                                                   double b, double fontSize, QString bracketTopText);
  static StyleKitImage imageOfWhiteBalance_CustomTextWithSize(QSizeF size, double r, double g, bool showShadow,
                                                              double b, double fontSize, QString bracketTopText);

 protected:
  KorvalumePropertiesWhiteBalanceIcons() = default;
};
