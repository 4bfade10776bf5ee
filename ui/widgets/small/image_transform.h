#pragma once
// Image rotation helpers.
#include <QImage>

// The image rotated about its centre: quarter turns swap the sides, half turns keep them,
// any other angle gives a square of the larger side plus 20 (and a log line: only quarter
// turns are tried and tested). A whole turn returns the image itself.
QImage imageRotated(const QImage& image, float degrees);

// The image rotated by any angle into the bounding box of its rotated rectangle.
QImage imageRotatedByDegrees(const QImage& image, double degrees);
