#pragma once
// The image scroll view's geometry as pure y-up functions.
#include <QPointF>
#include <QRectF>
#include <QSizeF>

struct ZoomResult {
  QSizeF documentSize;
  QPointF origin;  // the visible rectangle's origin in the document
};
// Zoom to `factor` keeping `point` (measured from the lower-left corner of the image as
// fitted into the current document) at the same relative place, centred in the view.
ZoomResult zoomAtPoint(QSizeF imageSize, QSizeF documentSize, qreal factor, QPointF point, QSizeF viewSize);

// The part of the image (pixels, y down as images count rows) that lands in `exposed`
// (document points, y up) when the image is drawn into `imageFrame` (document points, y up).
QRectF imageSourceRect(QSizeF imagePixels, const QRectF& imageFrame, const QRectF& exposed);
