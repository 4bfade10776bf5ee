#pragma once
// One thumbnail of the strip as it is painted: the turned picture, the yellow selection
// border, the file name with its shadow, the rating stars and the format badge. The strip
// paints thousands of these from its item delegate, so a cell is a value and a paint
// function rather than a widget per item.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdint>

#include "platform/graphics/font.h"
#include "viewer/strip/thumbnail_badge.h"

// The name label: the font shrinks from an eighth of the cell's width down to this before
// the name is cut in the middle; the text sits this far inside the label's sides.
constexpr double kThumbnailLabelMinimumSize = 2;
constexpr double kThumbnailLabelInset = 2;

struct ThumbnailLabelText {
  Font font;
  QString text;  // the name as drawn: whole, or cut in the middle at the smallest size
};
ThumbnailLabelText thumbnailLabelText(const QString& fileName, qreal cellWidth, qreal labelWidth);

struct ThumbnailViewCell {
  QImage thumbnailImage;  // decoded picture at device pixels; null while it is being decoded
  QSize imageSize;        // the picture's size from its header (for the layout before decode)
  bool decodeFailed = false;
  uint8_t orientation = 1;
  bool showFilename = true;
  QString fileName;
  ThumbnailBadge badge = ThumbnailBadge::None;
  int64_t rating = 0;  // stars drawn for 1 to 5
  bool selected = false;

  // Paints the cell into rect (y-down painter; the layout is y-up and flipped here).
  void paint(QPainter& painter, const QRect& rect) const;
  // The cell's side: 120 x 120.
  static QSize cellSize() { return {120, 120}; }
};
