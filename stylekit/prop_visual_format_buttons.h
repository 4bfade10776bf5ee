#pragma once
// Image-format button faces: size letters beside a quality mark (JPEG), beside the RAW
// plate (RAW), or both with a "+" between them. The image methods take a frame, not a size,
// and draw at that frame, origin included.
#include <QRectF>
#include <QString>
#include <cstdint>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"

class KorvalumeImageFormatButtons {
 public:
  // compression 0: compressed mark, 2: smooth mark, 1: the text alone, centred; any other
  // value keeps the mark's room empty.
  static void drawImageFormat_JpegWithFrame(GraphicsContext& ctx, QRectF frame, QString size, uint64_t compression,
                                            bool buttonHighlighted, bool buttonEnabled);
  static void drawImageFormat_RawWithFrame(GraphicsContext& ctx, QRectF frame, QString size, bool buttonHighlighted,
                                           bool buttonEnabled);
  static void drawImageFormat_RawPlusJpegWithFrame(GraphicsContext& ctx, QRectF frame, QString jpegSize,
                                                   uint64_t jpegCompression, QString rawSize,
                                                   bool buttonHighlighted, bool buttonEnabled);

  static StyleKitImage imageOfImageFormat_JpegWithFrame(QRectF frame, QString size, uint64_t compression,
                                                        bool buttonHighlighted, bool buttonEnabled);
  static StyleKitImage imageOfImageFormat_RawWithFrame(QRectF frame, QString size, bool buttonHighlighted,
                                                       bool buttonEnabled);
  static StyleKitImage imageOfImageFormat_RawPlusJpegWithFrame(QRectF frame, QString jpegSize,
                                                               uint64_t jpegCompression, QString rawSize,
                                                               bool buttonHighlighted, bool buttonEnabled);

 protected:
  KorvalumeImageFormatButtons() = default;
};
