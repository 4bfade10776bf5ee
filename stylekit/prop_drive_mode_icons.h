#pragma once
// Drive-mode icons of the property kit: continuous (high, extended, low), silent continuous
// (plain, high, low), quiet (plain, continuous), remote (plain, delayed) and custom.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumePropertiesDriveModeIcons {
 public:
  static void drawDriveMode_ContinuousHighSpeedWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                         double b);
  static void drawDriveMode_ContinuousExtendedWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                        double b);
  static void drawDriveMode_ContinuousLowSpeedWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                        double b);
  static void drawDriveMode_CustomWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_DelayRemoteWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_QuietContinuousWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                     double b);
  static void drawDriveMode_QuietWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_RemoteWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g, double b);
  static void drawDriveMode_SilentContinuousWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                      double b);
  static void drawDriveMode_SilentContinuousHighWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                          double b);
  static void drawDriveMode_SilentContinuousLowWithFrame(GraphicsContext& ctx, QRectF frame, double r, double g,
                                                         double b);

  static StyleKitImage imageOfDriveMode_ContinuousHighSpeedWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_ContinuousExtendedWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_ContinuousLowSpeedWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_CustomWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_DelayRemoteWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_QuietContinuousWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_QuietWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_RemoteWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_SilentContinuousWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_SilentContinuousHighWithSize(QSizeF size, double r, double g, double b);
  static StyleKitImage imageOfDriveMode_SilentContinuousLowWithSize(QSizeF size, double r, double g, double b);

 protected:
  KorvalumePropertiesDriveModeIcons() = default;
};
