#pragma once
// Image rotation helpers.
#include <QImage>

// The image rotated about its centre: quarter turns swap the sides, half turns keep them,
// any other angle gives a square of the larger side plus 20 (and a log line: only quarter
// turns are tried and tested). A whole turn returns the image itself.
QImage imageRotated(const QImage& image, float degrees);

// The image rotated by any angle into the bounding box of its rotated rectangle.
QImage imageRotatedByDegrees(const QImage& image, double degrees);

// An image holding a Core Image picture. Our Core Image stand-in renders into QImage, so
// this is the picture at the size of its extent; none gives an empty (zero-size) image.
QImage imageFromCIImage(const QImage& ciImage);
