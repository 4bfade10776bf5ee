#pragma once
// Decoding one object for the still pane: JPEG through TurboJPEG (DCT-scaled to what the
// view needs), TIFF through Qt, raws through LibRaw with the embedded preview as fallback.
// The result is upright; orientation and rotation reuse the decoded pixels.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

class PixelBufferPool;

// Largest JPEG or TIFF decoded, from the size its header declares (checked before any
// pixel buffer is allocated).
constexpr qint64 kStillMaxPixels = 200'000'000;
// Largest raw sensor unpacked: LibRaw holds about 10 bytes a pixel while it works (the
// sensor data and a 4-channel 16-bit image), so this bounds a decode near 1.2 GB.
constexpr qint64 kStillRawMaxPixels = 120'000'000;
// Qt's allocation limit for one TIFF read, in megabytes (a 200 MP image at 4 bytes a pixel).
constexpr int kStillTiffAllocationLimitMB = 800;

struct StillDecodeRequest {
  QByteArray data;
  uint16_t format = 0;            // PTP object format (0x3801 JPEG, 0x380D TIFF, raws ...)
  uint8_t orientation = 255;      // 1..8 to apply, or 255: the file's own, else recordOrientation
  uint8_t recordOrientation = 0;  // the object record's orientation (0: none)
  bool quickRawMode = false;      // read once by the caller when the decode starts
  QSize minimumPixels;            // decode at least this large (device pixels); empty: full size
  std::shared_ptr<PixelBufferPool> pixelPool;  // where a JPEG's pixels go (null: a plain image)
};

struct StillDecodeResult {
  QImage image;                   // upright, Format_RGB32 (or ARGB32 only where needed); null on failure
  QSize fullSize;                 // full pixel size from the header, upright
  uint8_t orientation = 1;        // orientation applied (1..8)
  bool reduced = false;           // image smaller than fullSize (DCT-scaled or half-size)
  bool fromEmbeddedPreview = false;
  bool cancelled = false;
  QString error;                  // why nothing can be shown (empty on success)
};

StillDecodeResult decodeStillImage(const StillDecodeRequest& request, const std::atomic<bool>& cancel);

// EXIF orientation 1..8 to upright; any other value leaves the image as it is.
QImage applyOrientation(const QImage& image, uint8_t orientation);

// 1->6->3->8->1 (a quarter turn clockwise each); any other value unchanged.
uint8_t nextRotation(uint8_t orientation);

// The thumbnail decode the strip and histogram may share: a JPEG (or embedded preview)
// decoded to at most maxSide pixels on its longer side, upright. Null when not an image.
QImage decodeThumbnail(const QByteArray& data, int maxSide);
