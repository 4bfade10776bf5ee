#pragma once
// Generated images for the still decoder tests: an asymmetric picture, JPEGs made with
// TurboJPEG (with an EXIF orientation spliced in, progressive, cut off or with a forged
// size), a TIFF-based raw carrying a real preview JPEG, and a tiny uncompressed DNG.
#include <turbojpeg.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "model/exif_fixture.h"
#include "ptp/base/filetypes_fixtures.h"

namespace stillfix {

// Four coloured quadrants: no turn or mirror of it looks like another, and it is wider
// than tall. Sides are multiples of 16 so JPEG blocks do not blur across quadrants.
inline const QColor kQuadrant[4] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(40, 50, 220),
                                    QColor(230, 220, 40)};  // top left, top right, bottom left, bottom right

inline QImage quadrants(int w = 64, int h = 48) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixelColor(x, y, kQuadrant[(y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0)]);
  return img;
}

// The stored image a camera writes with EXIF orientation o for what is `upright` when
// shown: written pixel by pixel from the orientation's definition (where row 0 and
// column 0 of the stored image belong), not with the code under test.
inline QImage storedFor(const QImage& upright, int o) {
  const int uw = upright.width(), uh = upright.height();
  const bool swap = o >= 5;
  const int sw = swap ? uh : uw, sh = swap ? uw : uh;
  QImage stored(sw, sh, QImage::Format_RGB32);
  for (int y = 0; y < uh; ++y) {
    for (int x = 0; x < uw; ++x) {
      int sx = x, sy = y;
      switch (o) {
        case 2: sx = sw - 1 - x; break;
        case 3: sx = sw - 1 - x, sy = sh - 1 - y; break;
        case 4: sy = sh - 1 - y; break;
        case 5: sx = y, sy = x; break;
        case 6: sx = y, sy = sh - 1 - x; break;
        case 7: sx = sw - 1 - y, sy = sh - 1 - x; break;
        case 8: sx = sw - 1 - y, sy = x; break;
        default: break;
      }
      stored.setPixel(sx, sy, upright.pixel(x, y));
    }
  }
  return stored;
}

inline QByteArray encodeJpeg(const QImage& image, int quality = 95, int flags = 0) {
  const QImage src = image.convertToFormat(QImage::Format_RGB32);
  tjhandle tj = tjInitCompress();
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(tj, src.constBits(), src.width(), int(src.bytesPerLine()), src.height(), TJPF_BGRX, &buf,
                             &size, TJSAMP_444, quality, flags);
  QByteArray out = rc == 0 ? QByteArray(reinterpret_cast<const char*>(buf), qsizetype(size)) : QByteArray();
  tjFree(buf);
  tjDestroy(tj);
  return out;
}

// The JPEG with an APP1 EXIF segment holding IFD0 Orientation = o, right after SOI.
inline QByteArray withOrientation(const QByteArray& jpeg, uint16_t o, bool bigEndian = false) {
  const exiffix::Bytes tiff = exiffix::Tiff(bigEndian).shortTag(true, 274, o).build();
  QByteArray app1("\xFF\xE1", 2);
  const int len = 2 + 6 + int(tiff.size());
  app1.append(char(len >> 8)).append(char(len & 0xFF)).append(QByteArray("Exif\0\0", 6));
  app1.append(reinterpret_cast<const char*>(tiff.data()), qsizetype(tiff.size()));
  return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Offset of the first marker FF xx (xx not 00, not a restart) at or after `from`.
inline qsizetype nextMarker(const QByteArray& j, qsizetype from) {
  for (qsizetype i = from; i + 1 < j.size(); ++i) {
    const auto m = uint8_t(j[i + 1]);
    if (uint8_t(j[i]) == 0xFF && m != 0x00 && m != 0xFF && !(m >= 0xD0 && m <= 0xD7)) return i;
  }
  return -1;
}

// Rewrites the first SOF's height and width.
inline QByteArray withDeclaredSize(QByteArray jpeg, int width, int height) {
  for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
    const auto m = uint8_t(jpeg[i + 1]);
    if (uint8_t(jpeg[i]) == 0xFF && (m == 0xC0 || m == 0xC1 || m == 0xC2)) {
      jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height & 0xFF);
      jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width & 0xFF);
      break;
    }
  }
  return jpeg;
}

// A progressive JPEG whose last scan (header and entropy-coded data) is repeated `extra`
// times before EOI: a scan count a file can inflate at almost no cost.
inline QByteArray withRepeatedLastScan(const QByteArray& progressive, int extra) {
  qsizetype lastSos = -1;
  for (qsizetype p = nextMarker(progressive, 2); p >= 0; p = nextMarker(progressive, p + 2))
    if (uint8_t(progressive[p + 1]) == 0xDA) lastSos = p;
  const qsizetype eoi = progressive.size() - 2;
  if (lastSos < 0) return {};
  const QByteArray scan = progressive.mid(lastSos, eoi - lastSos);
  QByteArray out = progressive.left(eoi);
  for (int i = 0; i < extra; ++i) out += scan;
  return out + progressive.mid(eoi);
}

inline QByteArray bytesOf(const std::vector<uint8_t>& b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}
inline std::vector<uint8_t> vectorOf(const QByteArray& b) { return std::vector<uint8_t>(b.begin(), b.end()); }

// A TIFF-based raw (NEF layout: the second JPEGInterchangeFormat pair is the preview) that
// no raw decoder knows, with orientation `o` in IFD0 (0: no entry) and `preview` as its
// large preview; without a preview it carries no pairs.
inline QByteArray rawWithRealPreview(const QByteArray& preview, uint16_t o) {
  fixtures::TiffBuilder t(false);
  t.blob("model", {'T', 'E', 'S', 'T', 0});
  t.entry(0x0110, 2, 5, "model");
  if (o) t.entry(0x0112, 3, 1, uint32_t(o));
  if (!preview.isEmpty()) {
    t.blob("thumb", fixtures::tinyJpeg()).blob("preview", vectorOf(preview));
    t.entry(0x0201, 4, 1, "thumb").entry(0x0202, 4, 1, uint32_t(fixtures::tinyJpeg().size()));
    t.entry(0x0201, 4, 1, "preview").entry(0x0202, 4, 1, uint32_t(preview.size()));
  }
  return bytesOf(t.build());
}

// An uncompressed 16-bit Bayer DNG, w x h, bright in its top-left quadrant and dark
// elsewhere, with orientation `o` (0: no entry).
inline QByteArray tinyDng(int w, int h, uint16_t o) {
  using exiffix::Tag;
  auto build = [&](uint32_t stripOffset) {
    exiffix::Tiff t(false);
    auto shorts = [&](std::initializer_list<uint16_t> v) {
      exiffix::Bytes b;
      for (uint16_t s : v) b.push_back(uint8_t(s)), b.push_back(uint8_t(s >> 8));
      return b;
    };
    auto srational = [&](int32_t n, int32_t d) {
      exiffix::Bytes b = t.u32(uint32_t(n)), e = t.u32(uint32_t(d));
      b.insert(b.end(), e.begin(), e.end());
      return b;
    };
    exiffix::Bytes matrix;
    for (int i = 0; i < 9; ++i) {
      auto r = srational(i % 4 == 0 ? 10000 : 0, 10000);
      matrix.insert(matrix.end(), r.begin(), r.end());
    }
    exiffix::Bytes neutral;
    for (int i = 0; i < 3; ++i) {
      auto r = srational(1, 1);
      neutral.insert(neutral.end(), r.begin(), r.end());
    }
    t.longTag(true, 254, 0).longTag(true, 256, uint32_t(w)).longTag(true, 257, uint32_t(h));
    t.shortTag(true, 258, 16).shortTag(true, 259, 1).shortTag(true, 262, 32803);
    t.ascii(true, 271, "Korvalume").ascii(true, 272, "Test DNG").longTag(true, 273, stripOffset);
    if (o) t.shortTag(true, 274, o);
    t.shortTag(true, 277, 1).longTag(true, 278, uint32_t(h)).longTag(true, 279, uint32_t(w * h * 2));
    t.shortTag(true, 284, 1);
    t.raw(true, Tag{33421, 3, 2, shorts({2, 2})});
    t.raw(true, Tag{33422, 1, 4, {0, 1, 1, 2}});
    t.raw(true, Tag{50706, 1, 4, {1, 4, 0, 0}});
    t.ascii(true, 50708, "Korvalume Test DNG");
    t.longTag(true, 50717, 65535);
    t.raw(true, Tag{50721, 10, 9, matrix});
    t.raw(true, Tag{50728, 5, 3, neutral});
    t.shortTag(true, 50778, 21);
    return t.build();
  };
  const exiffix::Bytes head = build(0);
  exiffix::Bytes file = build(uint32_t(head.size()));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint16_t v = (x < w / 2 && y < h / 2) ? 60000 : 3000;
      file.push_back(uint8_t(v)), file.push_back(uint8_t(v >> 8));
    }
  return bytesOf(file);
}

}  // namespace stillfix
