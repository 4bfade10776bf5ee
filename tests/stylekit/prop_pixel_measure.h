#pragma once
// Measuring the property icons: ink inside a region, and the pixels where two renders differ.
#include <QImage>
#include <QRectF>
#include <string>

#include "tests/stylekit/stylekit_test_support.h"

namespace propmeasure {

inline bool inked(QColor c) { return c.alpha() > 0; }

// The extent (y up, points) of inked pixels whose centres lie inside `region`, given as
// (left, bottom, width, height).
inline sktest::Extent regionExtent(const QImage& img, const QRectF& region) {
  sktest::Extent e;
  const qreal dpr = img.devicePixelRatio();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const qreal cx = (x + 0.5) / dpr, cy = (img.height() - y - 0.5) / dpr;
      if (cx < region.left() || cx > region.right() || cy < region.top() || cy > region.bottom()) continue;
      if (!inked(img.pixelColor(x, y))) continue;
      e.left = std::min(e.left, x / dpr);
      e.right = std::max(e.right, (x + 1) / dpr);
      e.bottom = std::min(e.bottom, (img.height() - y - 1) / dpr);
      e.top = std::max(e.top, (img.height() - y) / dpr);
    }
  return e;
}

inline QRectF box(const sktest::Extent& e) { return {e.left, e.bottom, e.right - e.left, e.top - e.bottom}; }

// "(left, bottom) width x height", for readable failures.
inline std::string text(const QRectF& r) {
  return "(" + std::to_string(r.x()) + ", " + std::to_string(r.y()) + ") " + std::to_string(r.width()) + " x " +
         std::to_string(r.height());
}

// An image holding, opaque, the pixels where `a` and `b` differ.
inline QImage difference(const QImage& a, const QImage& b) {
  QImage d(a.size(), QImage::Format_ARGB32);
  d.setDevicePixelRatio(a.devicePixelRatio());
  d.fill(Qt::transparent);
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) d.setPixel(x, y, qRgba(255, 255, 255, 255));
  return d;
}

// True when every inked pixel of `part` is the same in `whole`.
inline bool containedIn(const QImage& part, const QImage& whole) {
  for (int y = 0; y < part.height(); ++y)
    for (int x = 0; x < part.width(); ++x)
      if (qAlpha(part.pixel(x, y)) > 0 && part.pixel(x, y) != whole.pixel(x, y)) return false;
  return true;
}

}  // namespace propmeasure
