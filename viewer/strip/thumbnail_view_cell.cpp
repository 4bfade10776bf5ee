#include "viewer/strip/thumbnail_view_cell.h"

#include <QFontMetricsF>
#include <QRawFont>
#include <QTransform>
#include <cmath>

#include "platform/graphics/font.h"
#include "stylekit/badge_icons.h"
#include "stylekit/rating_star_icons.h"
#include "viewer/strip/thumbnail_layout.h"

namespace {

// A y-up rectangle of a cell as the y-down painter sees it.
QRectF flip(const QRectF& r, const QRect& cell) {
  return QRectF(cell.x() + r.x(), cell.y() + cell.height() - r.y() - r.height(), r.width(), r.height());
}

QFont labelFont(qreal pixelSize) {
  QFont font(Font::fontWithName(QStringLiteral("AvenirNext-Regular"), pixelSize).rawFont().familyName());
  font.setPixelSize(std::max(2, static_cast<int>(pixelSize)));
  return font;
}

}  // namespace

void ThumbnailViewCell::paint(QPainter& painter, const QRect& rect) const {
  const QSizeF size = thumbnailImage.isNull() ? QSizeF(imageSize) : QSizeF(thumbnailImage.size());
  // Before the header is known the picture is taken as square.
  const ThumbnailLayout layout = thumbnailLayout(rect.size(), size.isEmpty() ? QSizeF(1, 1) : size, orientation);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);

  // The picture, turned about its centre; a counter-clockwise y-up turn is a negative
  // y-down one.
  const QRectF image = flip(layout.imageFrame, rect);
  painter.save();
  painter.translate(image.center());
  painter.rotate(-layout.rotation * 180 / M_PI);
  const QRectF local(-image.width() / 2, -image.height() / 2, image.width(), image.height());
  if (!thumbnailImage.isNull()) {
    painter.drawImage(local, thumbnailImage);
  } else if (decodeFailed) {
    KorvalumeBadgeIcons::imageOfUnknownThumbnailWithSize(local.size()).draw(painter, local);
  } else {
    painter.fillRect(local, QColor(255, 255, 255, 24));
  }
  painter.restore();

  if (rating >= 1 && rating <= 5) {
    // Stars along the top of what is shown, clear of the name below.
    const QRectF shown = flip(layout.shown, rect);
    const qreal side = 14;
    for (int i = 0; i < rating; ++i) {
      const QRectF star(shown.x() + 2 + i * side, shown.top() + 2, side, side);
      KorvalumeRatingStarIcons::imageOfYellowStarIconWithSize(star.size(), true).draw(painter, star);
    }
  }

  if (selected) {
    painter.setPen(QPen(QColor(255, 255, 0), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(flip(layout.border, rect).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
  }

  if (showFilename && !fileName.isEmpty()) {
    const QRectF label = flip(layout.label, rect);
    const QFont font = labelFont(rect.width() / 8.0);
    painter.setFont(font);
    const QString text = QFontMetricsF(font).elidedText(fileName, Qt::ElideMiddle, label.width());
    painter.setPen(Qt::black);
    painter.drawText(label.translated(1, 1), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(label, Qt::AlignCenter, text);
  }

  if (badge != ThumbnailBadge::None) {
    const QRectF b = flip(layout.badge, rect);
    thumbnailBadgeImage(badge).draw(painter, b);
  }
  painter.restore();
}
