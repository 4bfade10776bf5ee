#pragma once
// Storage and transfer: the memory card in four forms (full colour, black, black on a white
// button, white), a database, a folder and a download sign.
#include <QRectF>
#include <QSizeF>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeStorageIcons {
 public:
  static void drawSDCardWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawSDCard_NoMarginWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawSdCardButtonWithFrame(GraphicsContext& ctx, QRectF frame);  // no image method
  static void drawSdCardWhiteWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawDatabaseWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawFolderWithFrame(GraphicsContext& ctx, QRectF frame);
  static void drawDownloadWhiteWithFrame(GraphicsContext& ctx, QRectF frame);

  static StyleKitImage imageOfSDCardWithSize(QSizeF size);
  static StyleKitImage imageOfSDCard_NoMarginWithSize(QSizeF size);
  static StyleKitImage imageOfSdCardWhiteWithSize(QSizeF size);
  static StyleKitImage imageOfDatabaseWithSize(QSizeF size);
  static StyleKitImage imageOfFolderWithSize(QSizeF size);
  static StyleKitImage imageOfDownloadWhiteWithSize(QSizeF size);

  // The boxes the drawings are laid out in, edges rounded as each card needs.
  static QRectF sdCardBox(QRectF frame);
  static QRectF sdCardNoMarginBox(QRectF frame);
  static QRectF sdCardWhiteBox(QRectF frame);
  static QRectF sdCardLabelBand(QRectF frame);
  static QRectF sdCardButtonCardFrame(QRectF frame);
  static QRectF databaseBox(QRectF frame);

 protected:
  KorvalumeStorageIcons() = default;
};
