#include "viewer/strip/thumbnail_layout.h"

#include <cmath>
#include <numbers>

double thumbnailRotation(uint8_t orientation) {
  switch (orientation) {
    case 8: return std::numbers::pi / 2;
    case 3: return std::numbers::pi;
    case 6: return 3 * std::numbers::pi / 2;
    default: return 0;
  }
}

ThumbnailLayout thumbnailLayout(QSizeF cell, QSizeF image, uint8_t orientation) {
  ThumbnailLayout out;
  const double W = cell.width(), H = cell.height(), w = image.width(), h = image.height();
  if (!(w > 0) || !(h > 0) || !(W > 10) || !(H > 10)) return out;
  double fw, fh;
  if (w > h) {
    fw = std::trunc(W - 10);
    fh = std::trunc(h * (W - 10) / w);
  } else {
    fh = std::trunc(H - 10);
    fw = std::trunc(w * (H - 10) / h);
  }
  out.imageFrame = QRectF(std::trunc((W - fw) / 2), std::trunc((H - fh) / 2), fw, fh);
  const bool quarter = orientation == 6 || orientation == 8;
  const double sw = quarter ? fh : fw, sh = quarter ? fw : fh;
  out.shown = QRectF(std::trunc((W - sw) / 2), std::trunc((H - sh) / 2), sw, sh);
  out.border = out.shown.adjusted(-5, -5, 5, 5);
  out.label = QRectF(out.shown.x(), out.shown.y(), out.shown.width(), 26);
  out.badge = QRectF(out.shown.x() + out.shown.width() - 12, out.shown.y() + out.shown.height() - 12, 12, 12);
  out.rotation = thumbnailRotation(orientation);
  return out;
}
