#pragma once
// Renders kit drawings (through the graphics tests' helpers) and measures what they paint.
#include <QImage>
#include <QPainter>
#include <QtMath>
#include <functional>

#include "platform/graphics/graphics_context.h"
#include "platform/graphics/stylekit_image.h"
#include "platform/graphics_test_support.h"

namespace sktest {

using gfxtest::at;
using gfxtest::draw;

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

// The image composited over a coloured ground, as a button would show it.
inline QImage over(const StyleKitImage& image, QColor ground, qreal dpr) {
  const QSizeF s = image.size();
  QImage out(QSize(qCeil(s.width() * dpr), qCeil(s.height() * dpr)), QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(dpr);
  out.fill(ground);
  QPainter p(&out);
  image.draw(p, QRectF(QPointF(0, 0), s));
  return out;
}

inline bool isWhite(QColor c) { return c.alpha() > 200 && c.red() > 200 && c.green() > 200 && c.blue() > 200; }

}  // namespace sktest
