#pragma once
// Renders kit drawings and reads pixels at y-up point positions.
#include <QImage>
#include <QPainter>
#include <functional>

#include "platform/graphics/graphics_context.h"

namespace sktest {

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

inline QColor at(const QImage& img, qreal x, qreal y) {
  const qreal dpr = img.devicePixelRatio();
  const int px = std::clamp(static_cast<int>(std::floor(x * dpr)), 0, img.width() - 1);
  const int py = std::clamp(static_cast<int>(std::floor(img.height() - y * dpr)), 0, img.height() - 1);
  return img.pixelColor(px, py);
}

// The extent in points (y up) of the pixels that pass a test.
struct Extent {
  qreal left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
  bool empty() const { return left > right; }
  qreal centreX() const { return (left + right) / 2; }
  qreal centreY() const { return (bottom + top) / 2; }
};
inline Extent extent(const QImage& img, const std::function<bool(QColor)>& pass) {
  Extent e;
  const qreal dpr = img.devicePixelRatio();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (pass(img.pixelColor(x, y))) {
        e.left = std::min(e.left, x / dpr);
        e.right = std::max(e.right, (x + 1) / dpr);
        e.bottom = std::min(e.bottom, (img.height() - y - 1) / dpr);
        e.top = std::max(e.top, (img.height() - y) / dpr);
      }
  return e;
}

inline bool isWhite(QColor c) { return c.alpha() > 200 && c.red() > 200 && c.green() > 200 && c.blue() > 200; }

}  // namespace sktest
