#include "viewer/liveview/live_view_render.h"

#include <QBuffer>
#include <QImageReader>
#include <array>
#include <cstdlib>

#include "ptp/base/byte_reader.h"
#include "viewer/still/jpeg_decoder.h"
#include "viewer/still/still_decoder.h"

namespace {

// A Canon BMP (a converted YCbCr frame): its size is checked from the header before Qt
// makes a buffer for it.
QImage decodeBmp(std::span<const uint8_t> bytes) {
  const ByteReader in(bytes);
  const auto w = in.u32(18), h = in.u32(22);
  if (!w || !h) return {};
  const int64_t width = int32_t(*w), height = std::llabs(int64_t(int32_t(*h)));
  if (width <= 0 || height <= 0 || width * height > kLiveViewMaxPixels) return {};
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  QBuffer buffer(&data);
  QImageReader reader(&buffer, "bmp");
  QImage image = reader.read();
  if (image.isNull()) return {};
  return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

bool isBmp(std::span<const uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

}  // namespace

QImage liveViewHistogramRendering(const QImage& shown) {
  if (shown.isNull()) return {};
  constexpr int side = kLiveViewHistogramSide;
  if (shown.format() != QImage::Format_RGB32)
    return shown.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage out(side, side, QImage::Format_RGB32);
  if (out.isNull()) return {};
  // Output pixel i of n takes the source pixel under its centre, (i + 0.5) x n / side; a
  // centre on a pixel boundary takes the pixel before it, as Qt's fast scaling does.
  const int64_t w = shown.width(), h = shown.height();
  auto source = [](int i, int64_t n) { return static_cast<int>(((2 * i + 1) * n - 1) / (2 * side)); };
  std::array<int, side> columns;
  for (int x = 0; x < side; ++x) columns[static_cast<size_t>(x)] = source(x, w);
  for (int y = 0; y < side; ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(shown.constScanLine(source(y, h)));
    auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
    for (int x = 0; x < side; ++x) line[x] = in[columns[static_cast<size_t>(x)]];
  }
  return out;
}

QRect liveViewCanonCropRect(QSize picture) {
  const int w = std::max(picture.width(), 0), h = std::max(picture.height(), 0);
  return QRect(w / 4, h / 4, w / 2, h / 2);
}

LiveViewRendered renderLiveViewPicture(std::span<const uint8_t> picture, const LiveViewRenderSettings& settings,
                                       LiveViewFilterChain& chain, const std::atomic<bool>& cancel) {
  LiveViewRendered out;
  QImage image;
  if (isBmp(picture)) {
    image = decodeBmp(picture);
  } else {
    JpegDecodeOutcome d = decodeJpeg(picture, QSize(), kLiveViewMaxPixels, cancel);
    out.cancelled = d.cancelled;
    image = std::move(d.image);
  }
  if (image.isNull() || cancel.load(std::memory_order_acquire)) {
    out.cancelled = out.cancelled || cancel.load(std::memory_order_acquire);
    return out;
  }
  if (!settings.filters.empty() &&
      !chain.apply(settings.filters, reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
                   image.bytesPerLine()))
    return out;  // a filter that is not there yields no image
  if (settings.canonCrop) image = image.copy(liveViewCanonCropRect(image.size()));
  if (settings.orientation != 1) image = applyOrientation(image, settings.orientation);
  if (image.isNull()) return out;
  if (settings.histogram)
    out.histogram = liveViewHistogramRendering(image);
  out.image = std::move(image);
  return out;
}
