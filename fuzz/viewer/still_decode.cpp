// Arbitrary bytes through the still pane's decoder. The first three bytes pick the object
// format, the orientation asked for, quick raw mode and a small view; the rest is the file.
#include <QByteArray>
#include <atomic>

#include "fuzz/fuzz_target.h"
#include "ptp/base/filetypes.h"
#include "viewer/still/still_decoder.h"

KV_FUZZ_TARGET(still_decode) {
  if (size < 3) return 0;
  static constexpr uint16_t kFormats[] = {kFormatJpeg, kFormatTiff, kFormatNef, kFormatArw, kFormatCr2,
                                          kFormatCr3,  kFormatRaf,  kFormatUndefinedRaw, 0};
  StillDecodeRequest request;
  request.format = kFormats[data[0] % std::size(kFormats)];
  const uint8_t o = data[1] % 10;  // 0: the file's own; 1..8; 9: an invalid value
  request.orientation = o == 0 ? 255 : o == 9 ? 0 : o;
  request.recordOrientation = uint8_t(data[1] / 10 % 10);
  request.quickRawMode = (data[2] & 1) != 0;
  const int side = 1 + (data[2] >> 1);
  request.minimumPixels = QSize(side, side);
  request.data = QByteArray(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
  const std::atomic<bool> cancel{false};
  const StillDecodeResult result = decodeStillImage(request, cancel);
  if (!result.image.isNull()) {
    volatile QRgb sink = result.image.pixel(result.image.width() - 1, result.image.height() - 1);
    (void)sink;
  }
  return 0;
}
