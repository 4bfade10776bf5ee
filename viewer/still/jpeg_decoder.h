#pragma once
// JPEG decoding through TurboJPEG: sizes are checked from the header before any pixel
// buffer exists, progressive scans are limited, and a truncated file still shows what
// arrived. Pixels come out as QImage::Format_RGB32.
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <cstdint>
#include <span>

class PixelBufferPool;

struct JpegDecodeOutcome {
  QImage image;    // null on failure or cancel
  QSize fullSize;  // the header's size, as stored (before any orientation)
  bool cancelled = false;
  QString error;
};

// The size TurboJPEG's smallest DCT scale (at most 1:1) gives whose image need not be
// enlarged to fit `cover`: its width reaches cover's width or its height reaches cover's
// height. An empty cover, or one no scale reaches, gives the full size.
QSize jpegScaledSizeCovering(QSize full, QSize cover);

// Decodes `jpeg`, DCT-scaled as jpegScaledSizeCovering(header size, cover) says (`cover`
// in the file's own orientation). A header over maxPixels is refused before decoding.
// With a pool, the pixels go into one of its buffers.
JpegDecodeOutcome decodeJpeg(std::span<const uint8_t> jpeg, QSize cover, qint64 maxPixels,
                             const std::atomic<bool>& cancel, PixelBufferPool* pool = nullptr);
