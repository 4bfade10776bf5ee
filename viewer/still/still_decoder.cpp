#include "viewer/still/still_decoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>
#include <span>

#include "model/exif_image_source.h"
#include "ptp/base/filetypes.h"
#include "viewer/still/jpeg_decoder.h"
#include "viewer/still/raw_decoder.h"

namespace {

std::span<const uint8_t> bytesOf(const QByteArray& data) {
  return {reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size())};
}

bool isOrientation(int value) { return value >= 1 && value <= 8; }

// Orientations 5 to 8 swap width and height.
bool swapsSides(uint8_t orientation) { return orientation >= 5 && orientation <= 8; }

QSize upright(QSize stored, uint8_t orientation) { return swapsSides(orientation) ? stored.transposed() : stored; }

// The orientation the file itself records, 0 when it has none.
uint8_t fileOrientation(std::span<const uint8_t> data) {
  const auto props = exifImageSourceProperties(data);
  if (!props || !props->top.contains(kCGImagePropertyOrientation)) return 0;
  const double value = props->top.number(kCGImagePropertyOrientation);
  return isOrientation(int(value)) && double(int(value)) == value ? uint8_t(value) : 0;
}

bool startsWithJpeg(std::span<const uint8_t> data) { return data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8; }

// What a decode path gives before orientation is applied.
struct Decoded {
  QImage image;     // as stored
  QSize fullSize;   // as stored
  bool reduced = false;
  bool fromEmbeddedPreview = false;
  uint8_t ownOrientation = 0;  // the file's, 0 when none
  bool cancelled = false;
  QString error;
};

Decoded decodeJpegPath(std::span<const uint8_t> jpeg, QSize coverUpright, uint8_t requestedOrientation,
                       const std::atomic<bool>& cancel, PixelBufferPool* pool) {
  Decoded d;
  d.ownOrientation = fileOrientation(jpeg);
  // The view's minimum is upright; compare it with the stored image in the same frame.
  const uint8_t applied = isOrientation(requestedOrientation) ? requestedOrientation : d.ownOrientation;
  const QSize cover = swapsSides(applied) ? coverUpright.transposed() : coverUpright;
  JpegDecodeOutcome j = decodeJpeg(jpeg, cover, kStillMaxPixels, cancel, pool);
  d.image = std::move(j.image);
  d.fullSize = j.fullSize;
  d.reduced = !d.image.isNull() && d.image.size() != d.fullSize;
  d.cancelled = j.cancelled;
  d.error = j.error;
  return d;
}

Decoded decodeTiffPath(const QByteArray& data, const std::atomic<bool>& cancel) {
  Decoded d;
  d.ownOrientation = fileOrientation(bytesOf(data));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "tiff");
  reader.setAutoTransform(false);  // orientation is applied once, by us
  reader.setAllocationLimit(kStillTiffAllocationLimitMB);
  const QSize size = reader.size();
  if (size.isValid() && qint64(size.width()) * size.height() > kStillMaxPixels) {
    d.fullSize = size;
    d.error = QStringLiteral("The image is too large to show (%1 x %2 pixels).").arg(size.width()).arg(size.height());
    return d;
  }
  if (cancel.load(std::memory_order_acquire)) {
    d.cancelled = true;
    return d;
  }
  QImage image = reader.read();
  if (image.isNull()) {
    d.error = QStringLiteral("The TIFF image cannot be decoded: %1").arg(reader.errorString());
    return d;
  }
  if (cancel.load(std::memory_order_acquire)) {
    d.cancelled = true;
    return d;
  }
  d.fullSize = image.size();
  d.image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  return d;
}

// The preview JPEG a raw carries; empty when it has none.
std::span<const uint8_t> embeddedPreview(std::span<const uint8_t> data, uint16_t format) {
  uint32_t offset = 0, length = 0;
  if (!fileFindEmbeddedJpeg(data, offset, length, format) || offset >= data.size()) return {};
  // From the preview's start to the end of the data: the decoder stops at its end of image.
  return data.subspan(offset);
}

Decoded decodeRawPath(const QByteArray& data, uint16_t format, bool quickRawMode, QSize coverUpright,
                      uint8_t requestedOrientation, const std::atomic<bool>& cancel, PixelBufferPool* pool) {
  const auto bytes = bytesOf(data);
  RawDecodeOutcome r = decodeRaw(bytes, quickRawMode, kStillRawMaxPixels, cancel);
  if (!r.image.isNull() || r.cancelled) {
    Decoded d;
    d.image = std::move(r.image);
    d.fullSize = r.fullSize;
    d.reduced = r.reduced;
    d.cancelled = r.cancelled;
    d.error = r.error;
    const uint8_t tagged = fileOrientation(bytes);
    d.ownOrientation = tagged ? tagged : r.fileOrientation;
    return d;
  }
  // LibRaw cannot show it (unknown to it, damaged or cut off): the camera's own preview.
  const auto preview = embeddedPreview(bytes, format);
  if (preview.empty()) {
    Decoded d;
    d.fullSize = r.fullSize;
    d.error = r.error;
    return d;
  }
  Decoded d = decodeJpegPath(preview, coverUpright, requestedOrientation, cancel, pool);
  d.fromEmbeddedPreview = true;
  if (!d.ownOrientation) d.ownOrientation = fileOrientation(bytes);
  if (!d.ownOrientation) d.ownOrientation = r.fileOrientation;
  return d;
}

}  // namespace

StillDecodeResult decodeStillImage(const StillDecodeRequest& request, const std::atomic<bool>& cancel) {
  StillDecodeResult result;
  if (cancel.load(std::memory_order_acquire)) {
    result.cancelled = true;
    return result;
  }
  const auto bytes = bytesOf(request.data);
  Decoded d;
  if (request.data.isEmpty()) {
    d.error = QStringLiteral("The image holds no data.");
  } else if (startsWithJpeg(bytes)) {
    d = decodeJpegPath(bytes, request.minimumPixels, request.orientation, cancel, request.pixelPool.get());
  } else if (fileFormatIsRaw(request.format)) {
    d = decodeRawPath(request.data, request.format, request.quickRawMode, request.minimumPixels,
                      request.orientation, cancel, request.pixelPool.get());
  } else if (fileIsTiffByteOrderMark(bytes)) {
    d = decodeTiffPath(request.data, cancel);
  } else {
    d.error = QStringLiteral("The image format cannot be shown.");
  }

  uint8_t orientation = request.orientation;
  if (!isOrientation(orientation)) {
    orientation = d.ownOrientation ? d.ownOrientation : request.recordOrientation;
    if (!isOrientation(orientation)) orientation = 1;
  }
  result.orientation = orientation;
  result.fullSize = upright(d.fullSize, orientation);
  result.reduced = d.reduced;
  result.fromEmbeddedPreview = d.fromEmbeddedPreview;
  result.cancelled = d.cancelled;
  if (d.cancelled) return result;
  if (d.image.isNull()) {
    result.error = d.error.isEmpty() ? QStringLiteral("The image cannot be decoded.") : d.error;
    return result;
  }
  result.image = applyOrientation(d.image, orientation);
  if (result.image.isNull()) result.error = QStringLiteral("Not enough memory to show the image.");
  return result;
}

QImage applyOrientation(const QImage& image, uint8_t orientation) {
  if (image.isNull() || !isOrientation(orientation) || orientation == 1) return image;
  // EXIF orientation names where row 0 and column 0 of the stored image belong; each case
  // is the transform that brings them to the top left.
  switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.transformed(QTransform().rotate(180));
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(-90)).mirrored(true, false);
    case 8: return image.transformed(QTransform().rotate(-90));
    default: return image;
  }
}

uint8_t nextRotation(uint8_t orientation) {
  switch (orientation) {
    case 1: return 6;
    case 6: return 3;
    case 3: return 8;
    case 8: return 1;
    default: return orientation;
  }
}
