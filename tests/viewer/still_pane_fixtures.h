#pragma once
// Images for the still pane's tests, made in code: JPEGs with an EXIF block (orientation,
// shooting data), and a TIFF-based raw whose only decodable picture is its embedded JPEG.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "model/object_info_wrapper.h"
#include "ptp/base/filetypes.h"
#include "tests/model/exif_fixture.h"

namespace stillpanefix {

inline QByteArray encodeJpeg(const QImage& image, int quality = 95) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(quality);
  writer.write(image);
  return out;
}

// The JPEG with an APP1 "Exif" segment holding tiff put right after its SOI.
inline QByteArray withExif(const QByteArray& jpeg, const exiffix::Bytes& tiff) {
  QByteArray app1("\xFF\xE1", 2);
  const size_t len = 2 + 6 + tiff.size();
  app1.append(char(len >> 8)).append(char(len & 0xFF));
  app1.append("Exif\0\0", 6);
  app1.append(reinterpret_cast<const char*>(tiff.data()), qsizetype(tiff.size()));
  return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Shooting data as a camera writes it, without pixel dimensions, and an orientation.
inline exiffix::Tiff shootingData(uint16_t orientation) {
  exiffix::Tiff t;
  t.ascii(true, 271, "NIKON CORPORATION").ascii(true, 272, "Model X").shortTag(true, 274, orientation);
  t.rational(false, 33434, 1, 125).rational(false, 33437, 56, 10).shortTag(false, 34855, 200);
  t.shortTag(false, 37383, 5).shortTag(false, 37384, 0).rational(false, 37386, 50, 1);
  return t;
}

// Four quadrants: red top-left, blue top-right, green bottom-left, yellow bottom-right.
inline QImage quadrantImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.fillRect(0, 0, width / 2, height / 2, Qt::red);
  p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::blue);
  p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::green);
  p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
  return image;
}

// A smooth picture with some structure, so reduced and full decodes differ.
inline QImage gradientImage(int width, int height, int hue = 0) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = qRgb((x * 255 / std::max(1, width - 1) + hue) % 256, y * 255 / std::max(1, height - 1), (x ^ y) & 0x3F);
  }
  return image;
}

// The colour a quadrant's middle shows, by name.
inline char colourName(QColor c) {
  const bool r = c.red() > 160, g = c.green() > 160, b = c.blue() > 160;
  if (r && g && !b) return 'Y';
  if (r && !g && !b) return 'R';
  if (!r && g && !b) return 'G';
  if (!r && !g && b) return 'B';
  return '?';
}

// Top-left, top-right, bottom-left, bottom-right.
inline std::string quadrantsOf(const QImage& image) {
  const int w = image.width(), h = image.height();
  std::string out;
  for (QPoint p : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4), QPoint(3 * w / 4, 3 * h / 4)})
    out += colourName(image.pixelColor(p));
  return out;
}

// A little-endian TIFF-based ARW whose IFD0 points at the embedded JPEG that follows it and
// carries no raw data LibRaw could decode.
inline QByteArray rawWithPreview(const QByteArray& preview) {
  auto build = [&](uint32_t offset) {
    exiffix::Tiff t;
    t.longTag(true, 0x0201, offset).longTag(true, 0x0202, uint32_t(preview.size()));
    return t.build();
  };
  const exiffix::Bytes header = build(uint32_t(build(0).size()));
  QByteArray out(reinterpret_cast<const char*>(header.data()), qsizetype(header.size()));
  out += preview;
  out += QByteArray(64, '\0');  // room after the entries, as real files have
  return out;
}

inline std::shared_ptr<PtpObjectInfoClass> objectInfo(const char* name, uint16_t format, uint8_t orientation = 0) {
  PtpObjectInfoStruct record{};
  record.objectId = 0x1234;
  record.objectFormat = format;
  std::strncpy(record.fileName, name, sizeof(record.fileName) - 1);
  record.fileNameLength = uint16_t(std::strlen(name));
  record.orientation = orientation;
  return PtpObjectInfoClass::init(&record);
}

}  // namespace stillpanefix
