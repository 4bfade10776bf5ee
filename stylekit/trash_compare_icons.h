#pragma once
// White trash can and compare sign for dark ground, their labelled button faces ("Delete",
// "Compare" as letter outlines) and the translucent blue save disk.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeTrashCompareIcons {
 public:
  static void drawWhiteTrashWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawCompareWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawWhiteTrashWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawCompareWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawSaveDiskWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfWhiteTrashWithSize(QSizeF size);
  static StyleKitImage imageOfWhiteTrashWithTextWithSize(QSizeF size);
  static StyleKitImage imageOfCompareWithTextWithSize(QSizeF size);

  // The save disk's inset box: 0.07292 to 0.92708 of the frame, size and inset snapped.
  static QRectF saveDiskInsetFrame(QRectF frame);

 protected:
  KorvalumeTrashCompareIcons() = default;
};
