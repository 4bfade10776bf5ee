// decodeThumbnail: a small upright picture of an object, from the JPEG itself or the
// preview JPEG a raw carries, never from a full raw decode.
#include <QByteArray>
#include <QImage>
#include <cstring>
#include <span>

#include "model/exif_image_source.h"
#include "ptp/base/filetypes.h"
#include "viewer/still/jpeg_decoder.h"
#include "viewer/still/still_decoder.h"

namespace {

bool hasAt(std::span<const uint8_t> data, size_t at, const char* text) {
  const size_t n = std::strlen(text);
  return data.size() >= at + n && std::memcmp(data.data() + at, text, n) == 0;
}

// The raw formats a file's first bytes suggest, most likely first (the object's format is
// not known here). TIFF-based NEF and ARW look alike: NEF's second pair is its larger
// preview, ARW's first.
std::vector<uint16_t> rawFormatsByContent(std::span<const uint8_t> data) {
  if (hasAt(data, 0, "FUJIFILM")) return {kFormatRaf};
  if (hasAt(data, 4, "ftypcrx ")) return {kFormatCr3};
  if (!fileIsTiffByteOrderMark(data)) return {};
  if (hasAt(data, 8, "CR\x02")) return {kFormatCr2};
  return {kFormatNef, kFormatArw, kFormatCr2};
}

uint8_t orientationOf(std::span<const uint8_t> data) {
  const auto props = exifImageSourceProperties(data);
  if (!props || !props->top.contains(kCGImagePropertyOrientation)) return 0;
  const double v = props->top.number(kCGImagePropertyOrientation);
  return v >= 1 && v <= 8 && double(int(v)) == v ? uint8_t(v) : 0;
}

}  // namespace

QImage decodeThumbnail(const QByteArray& data, int maxSide) {
  if (maxSide <= 0 || data.size() < 2) return {};
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
  std::span<const uint8_t> jpeg;
  uint8_t containerOrientation = 0;
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) {
    jpeg = bytes;
  } else {
    for (uint16_t format : rawFormatsByContent(bytes)) {
      uint32_t offset = 0, length = 0;
      if (fileFindEmbeddedJpeg(bytes, offset, length, format) && offset < bytes.size()) {
        jpeg = bytes.subspan(offset);
        containerOrientation = orientationOf(bytes);
        break;
      }
    }
  }
  if (jpeg.empty()) return {};
  const std::atomic<bool> never{false};
  JpegDecodeOutcome j = decodeJpeg(jpeg, QSize(maxSide, maxSide), kStillMaxPixels, never);
  if (j.image.isNull()) return {};
  uint8_t orientation = orientationOf(jpeg);
  if (!orientation) orientation = containerOrientation;
  QImage image = j.image;
  if (image.width() > maxSide || image.height() > maxSide)
    image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return applyOrientation(image, orientation);
}
