#include "viewer/strip/thumbnail_view_cell.h"

#include <QTransform>
#include <cmath>

#include "platform/graphics/font.h"
#include "platform/graphics/graphics_context.h"
#include "platform/graphics/shadow.h"
#include "platform/graphics/text.h"
#include "stylekit/badge_icons.h"
#include "stylekit/rating_star_icons.h"
#include "ui/widgets/text/adjustable_font_size_text_field.h"
#include "viewer/strip/thumbnail_layout.h"

namespace {

// A y-up rectangle of a cell as the y-down painter sees it.
QRectF flip(const QRectF& r, const QRect& cell) {
  return QRectF(cell.x() + r.x(), cell.y() + cell.height() - r.y() - r.height(), r.width(), r.height());
}

}  // namespace

void ThumbnailViewCell::paint(QPainter& painter, const QRect& rect) const {
  // The header's size gives the shape; a decoded picture may be rounded at device pixels.
  const QSizeF size = imageSize.isValid() ? QSizeF(imageSize) : QSizeF(thumbnailImage.size());
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
    painter.save();
    painter.translate(rect.topLeft());
    GraphicsContext ctx(painter, rect.height());
    const ThumbnailLabelText text = thumbnailLabelText(fileName, rect.width(), layout.label.width());
    // The field draws at the bottom of its title area, which is inset from its sides.
    const QRectF box(layout.label.x() + kThumbnailLabelInset, layout.label.y(),
                     std::max<qreal>(0, layout.label.width() - 2 * kThumbnailLabelInset), text.font.lineHeight());
    ctx.setShadow(Shadow(Qt::black, QSizeF(1, 1), 0));
    drawInRect(ctx, text.text, box, TextAttributes{text.font, Qt::white, TextAlignment::Center});
    painter.restore();
  }

  if (badge != ThumbnailBadge::None) {
    const QRectF b = flip(layout.badge, rect);
    thumbnailBadgeImage(badge).draw(painter, b);
  }
  painter.restore();
}

ThumbnailLabelText thumbnailLabelText(const QString& fileName, qreal cellWidth, qreal labelWidth) {
  const Font start = Font::fontWithName(QStringLiteral("AvenirNext-Regular"), cellWidth / 8.0);
  // Shrunk to the width the text is drawn in, not the label's whole width: a name that
  // fits only the latter would shrink and then be cut all the same.
  const qreal textWidth = std::max<qreal>(0, labelWidth - 2 * kThumbnailLabelInset);
  const Font font = AdjustableFontSizeTextField::fontShrunkToFit(fileName, start, textWidth, kThumbnailLabelMinimumSize);
  return {font, AdjustableFontSizeTextField::truncatedMiddle(fileName, font, textWidth)};
}
