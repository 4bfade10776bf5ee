#include "ui/widgets/small/image_transform.h"

#include <QPainter>
#include <QTransform>
#include <QtGlobal>

#include <cmath>

#include "platform/geometry.h"

namespace {

// Draws `image` whole, centred on the new image's centre, rotated by `degrees`
// counter-clockwise (y up), copied with full opacity.
QImage drawRotated(const QImage& image, QSize size, double degrees) {
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.translate(size.width() / 2.0, size.height() / 2.0);
  p.rotate(-degrees);  // y down: a negative Qt angle turns counter-clockwise on screen
  p.drawImage(QPointF(-image.width() / 2.0, -image.height() / 2.0), image);
  return out;
}

}  // namespace

QImage imageRotated(const QImage& image, float degrees) {
  if (!std::isfinite(degrees) || image.isNull()) return image;
  if (std::fmod(degrees, 90.0f) != 0)
    qWarning("This code has only been tested for multiples of 90 degrees. (TODO: test and remove this line)");
  if (std::fmod(degrees, 360.0f) == 0) return image;
  QSize size = image.size();
  if (degrees == 90 || degrees == 270 || degrees == -90 || degrees == -270)
    size.transpose();
  else if (degrees != 180 && degrees != -180) {
    const int side = std::max(image.width(), image.height()) + 20;
    size = QSize(side, side);
  }
  return drawRotated(image, size, degrees);
}

QImage imageRotatedByDegrees(const QImage& image, double degrees) {
  if (!std::isfinite(degrees) || image.isNull()) return image;
  QTransform t;
  t.rotate(degrees);
  const QRectF box = t.mapRect(QRectF(0, 0, image.width(), image.height()));
  const QSize size(Geometry::toIntSafe(std::round(box.width())), Geometry::toIntSafe(std::round(box.height())));
  if (size.isEmpty()) return image;
  return drawRotated(image, size, degrees);
}

QImage imageFromCIImage(const QImage& ciImage) { return ciImage.isNull() ? QImage() : ciImage.copy(); }
