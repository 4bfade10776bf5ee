#pragma once
// Where a thumbnail cell puts its picture, border, name and badge, in the cell's y-up
// points. Pure arithmetic so that every orientation can be checked with numbers.
#include <QRectF>
#include <QSizeF>
#include <cstdint>

struct ThumbnailLayout {
  QRectF imageFrame;   // fitted, unturned: the picture's own frame
  QRectF shown;        // what the turned picture covers (width and height swapped for 6, 8)
  QRectF border;       // shown grown by 5
  QRectF label;        // 26 high at shown's origin
  QRectF badge;        // 12 x 12 in shown's top-right corner (y-up)
  double rotation = 0; // radians about the picture's centre, counter-clockwise
};

// The layout of an image of `image` size in a cell of `cell` size; an empty image gives
// an empty layout.
ThumbnailLayout thumbnailLayout(QSizeF cell, QSizeF image, uint8_t orientation);
// The turn an EXIF orientation asks for: 8 -> pi/2, 3 -> pi, 6 -> 3pi/2, else 0.
double thumbnailRotation(uint8_t orientation);
