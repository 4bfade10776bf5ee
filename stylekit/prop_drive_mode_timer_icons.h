#pragma once
// Drive-mode icons of the property kit: frame rates (30, 60, 120), continuous, silent, single,
// the self-timers (plain, 2 s, with seconds and count texts) and the Sony bracket badge.
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesDriveModeTimerIcons {
 public:
  static void drawDriveMode_Continuous30WithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_Continuous60WithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_Continuous120WithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                   double b);
  static void drawDriveMode_SilentWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_Timer2SecWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_TimerWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_ContinuousWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_SingleWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_TimerSecondsWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b,
                                                  double fontSize, QString timerSeconds);
  static void drawDriveMode_TimerSecondsCounterWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                         double b, double fontSize, QString timerSeconds,
                                                         QString timerCount);
  static void drawDriveMode_SonyBracketWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b,
                                                 double fontSize, QString bracketBottomText,
                                                 QString bracketTopText);

  static StyleKitImage imageOfDriveMode_Continuous30WithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_Continuous60WithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_Continuous120WithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_SilentWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_Timer2SecWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_TimerWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_ContinuousWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_SingleWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_TimerSecondsWithSize(QSizeF size, double r, double g, double b,
                                                             double fontSize, QString timerSeconds);
  static StyleKitImage imageOfDriveMode_TimerSecondsCounterWithSize(QSizeF size, double r, double g, double b,
                                                                    double fontSize, QString timerSeconds,
                                                                    QString timerCount);
  static StyleKitImage imageOfDriveMode_SonyBracketWithSize(QSizeF size, double r, double g, double b,
                                                            double fontSize, QString bracketBottomText,
                                                            QString bracketTopText);

 protected:
  KorvalumePropertiesDriveModeTimerIcons() = default;
};
