#pragma once
// Thumbnail badges: RAW, TIFF, movie, and the unknown-file thumbnail.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeBadgeIcons {
 public:
  static void drawRawWithFrame(GraphicsContext& ctx, QRectF frame, qreal fontSize);
  static void drawTiffWithFrame(GraphicsContext& ctx, QRectF frame, qreal fontSize);
  static void drawMovieIconWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawUnknownThumbnailWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfRawWithSize(QSizeF size, qreal fontSize);
  static StyleKitImage imageOfTiffWithSize(QSizeF size, qreal fontSize);
  static StyleKitImage imageOfMovieIconWithSize(QSizeF size);
  static StyleKitImage imageOfUnknownThumbnailWithSize(QSizeF size);

  // The box of the unknown thumbnail's question mark, each edge with its own rounding.
  static QRectF unknownThumbnailMarkBox(QRectF frame);

 protected:
  KorvalumeBadgeIcons() = default;
};
