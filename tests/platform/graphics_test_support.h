#pragma once
// Renders a drawing into a transparent image and reads its pixels at y-up point positions.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>

#include "platform/graphics/graphics_context.h"

namespace gfxtest {

// A canvas of `w` x `h` points at a device pixel ratio, optionally filled first.
inline QImage draw(qreal w, qreal h, qreal dpr, const std::function<void(GraphicsContext&)>& fn,
                   QColor background = Qt::transparent) {
  QImage img(QSize(qCeil(w * dpr - 1e-9), qCeil(h * dpr - 1e-9)), QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(background);
  QPainter p(&img);
  GraphicsContext ctx(p, h);
  fn(ctx);
  return img;
}

// The pixel whose centre is nearest to the y-up point (x, y) of a canvas `h` points high.
inline QColor at(const QImage& img, qreal x, qreal y) {
  const qreal dpr = img.devicePixelRatio();
  const int px = std::clamp(static_cast<int>(std::floor(x * dpr)), 0, img.width() - 1);
  const int py = std::clamp(static_cast<int>(std::floor(img.height() - y * dpr)), 0, img.height() - 1);
  return img.pixelColor(px, py);
}

inline int alphaAt(const QImage& img, qreal x, qreal y) { return at(img, x, y).alpha(); }

// Device-pixel row/column of the first pixel (scanning in the given order) with alpha > t.
inline int firstOpaqueColumn(const QImage& img, int row, int t = 0) {
  for (int x = 0; x < img.width(); ++x)
    if (qAlpha(img.pixel(x, row)) > t) return x;
  return -1;
}

// The alpha-weighted centre of the image's painted pixels, in device pixels.
inline QPointF centroid(const QImage& img) {
  double sx = 0, sy = 0, s = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const int a = qAlpha(img.pixel(x, y));
      sx += a * (x + 0.5);
      sy += a * (y + 0.5);
      s += a;
    }
  return s > 0 ? QPointF(sx / s, sy / s) : QPointF(-1, -1);
}

inline double totalAlpha(const QImage& img) {
  double s = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) s += qAlpha(img.pixel(x, y));
  return s / 255.0;
}

}  // namespace gfxtest
