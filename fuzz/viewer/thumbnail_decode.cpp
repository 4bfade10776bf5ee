// Arbitrary bytes as an object whose thumbnail the strip wants: the first byte picks the
// longest side, the rest is the file.
#include <QByteArray>

#include "fuzz/fuzz_target.h"
#include "viewer/still/still_decoder.h"

KV_FUZZ_TARGET(thumbnail_decode) {
  if (size < 1) return 0;
  const int maxSide = data[0];  // 0 included: nothing is asked for
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  const QImage image = decodeThumbnail(bytes, maxSide);
  if (!image.isNull()) {
    volatile QRgb sink = image.pixel(image.width() - 1, image.height() - 1);
    (void)sink;
  }
  return 0;
}
