#pragma once
// Live-view frames made in code: a flat-coloured JPEG as cameras send it (no JFIF segment,
// so quantisation tables follow the start marker), and the Canon and Sony frames around it.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "viewer/still_decoder_fixtures.h"

namespace livefix {

// A camera's JPEG: FF D8 FF DB, the APP0 segment TurboJPEG writes taken out.
inline QByteArray cameraJpeg(const QImage& image, int quality = 95) {
  QByteArray j = stillfix::encodeJpeg(image, quality);
  if (j.size() > 6 && uint8_t(j[2]) == 0xFF && uint8_t(j[3]) == 0xE0) {
    const int segment = 2 + (uint8_t(j[4]) << 8 | uint8_t(j[5]));
    j.remove(2, segment);
  }
  return j;
}

inline QImage flat(QColor c, int w = 160, int h = 120) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

inline QByteArray bmpOf(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return out;
}

struct CanonFrameSpec {
  uint8_t kind = 1;
  uint32_t rotation = 0;
  float levelAngle = 0;
  QByteArray image;
  int64_t imageLength = -1;  // -1: the image's own length
  uint32_t afFrames = 0;     // boxes laid side by side in a 6000 x 4000 sensor
};

// Header, image and the 8 spare bytes, as the library builds a frame.
inline QByteArray canonFrame(const CanonFrameSpec& s) {
  EOS_LiveViewInfoStruct h;
  std::memset(&h, 0, sizeof h);
  h.frameKind = s.kind;
  h.rotation = s.rotation;
  h.levelAngle = s.levelAngle;
  h.zoomScale = 1;
  h.fullWidth = h.visibleWidth = h.zoomWidth = 6000;
  h.fullHeight = h.visibleHeight = h.zoomHeight = 4000;
  h.afFrameCount = s.afFrames;
  for (uint32_t i = 0; i < s.afFrames && i < kCanonMaxAfFrames; ++i) {
    h.afState[i] = 0x11;
    h.afX[i] = 1000 + i * 800;
    h.afY[i] = 1800;
    h.afWidth[i] = 400;
    h.afHeight[i] = 400;
  }
  h.imageLength = s.imageLength < 0 ? uint32_t(s.image.size()) : uint32_t(s.imageLength);
  QByteArray frame(int(kCanonLiveViewImageOffset) + s.image.size() + 8, '\0');
  std::memcpy(frame.data(), &h, kCanonLiveViewImageOffset);  // the image bytes follow
  std::memcpy(frame.data() + kCanonLiveViewImageOffset, s.image.constData(), size_t(s.image.size()));
  return frame;
}

// A Sony frame: `header` bytes of camera data (level angle at 1036, focus fields where
// the caller puts them), then the JPEG.
inline QByteArray sonyFrame(const QByteArray& jpeg, size_t header = 1200, uint16_t level = 0) {
  QByteArray frame(int(header), '\0');
  if (header >= 1038) bytesPutU16(reinterpret_cast<uint8_t*>(frame.data()) + 1036, level);
  return frame + jpeg;
}

}  // namespace livefix
