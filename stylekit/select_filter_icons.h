#pragma once
// Labelled line icons for dark ground: the select-all box in its two states and the
// file-type filter funnels. The labels are letter outlines, filled like the rest.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeSelectFilterIcons {
 public:
  static void drawSelectAllSelectedWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawSelectAllUnselectedWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawFilterJpgWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawFilterRawWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawFilterVideoWithTextWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawFilterAllWithTextWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfSelectAllSelectedWithTextWithSize(QSizeF size);
  static StyleKitImage imageOfSelectAllUnselectedWithTextWithSize(QSizeF size);
  static StyleKitImage imageOfFilterJpgWithTextWithSize(QSizeF size);
  static StyleKitImage imageOfFilterRawWithTextWithSize(QSizeF size);
  static StyleKitImage imageOfFilterVideoWithTextWithSize(QSizeF size);
  static StyleKitImage imageOfFilterAllWithTextWithSize(QSizeF size);

  // The select-all box: left and bottom on whole points, right and top on half points.
  static QRectF selectAllBox(QRectF frame);
  // The funnel, moved left by dx (a fraction of the width).
  static BezierPath filterFunnelPath(QRectF frame, qreal dx);

 protected:
  KorvalumeSelectFilterIcons() = default;
};
