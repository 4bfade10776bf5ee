#include "app/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

QImage appIconImage(int pixels) {
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(pixels / 256.0, pixels / 256.0);

  // The plate.
  QLinearGradient plate(0, 8, 0, 248);
  plate.setColorAt(0, QColor(0x2F, 0x3A, 0x4A));
  plate.setColorAt(1, QColor(0x12, 0x17, 0x1F));
  p.setPen(Qt::NoPen);
  p.setBrush(plate);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 52, 52);

  // The lens: a light barrel, a dark glass with a blue glint.
  const QPointF centre(118, 148);
  p.setBrush(QColor(0xE6, 0xE8, 0xEC));
  p.drawEllipse(centre, 72, 72);
  p.setBrush(QColor(0x1A, 0x1F, 0x27));
  p.drawEllipse(centre, 60, 60);
  QRadialGradient glass(centre + QPointF(-14, -16), 58);
  glass.setColorAt(0, QColor(0x4D, 0x9A, 0xF7));
  glass.setColorAt(0.55, QColor(0x1F, 0x5F, 0xB8));
  glass.setColorAt(1, QColor(0x0D, 0x1A, 0x30));
  p.setBrush(glass);
  p.drawEllipse(centre, 44, 44);
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawEllipse(centre + QPointF(-16, -18), 10, 10);

  // The Wi-Fi signal, up and to the right of the lens.
  const QPointF source(184, 72);
  p.setBrush(QColor(0xE6, 0xE8, 0xEC));
  p.drawEllipse(source, 8, 8);
  QPen arc(QColor(0xE6, 0xE8, 0xEC), 10, Qt::SolidLine, Qt::RoundCap);
  p.setPen(arc);
  p.setBrush(Qt::NoBrush);
  for (const qreal r : {24.0, 44.0}) p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 0, 90 * 16);
  return image;
}

QIcon appIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
  return icon;
}
