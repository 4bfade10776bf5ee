#include "viewer/liveview/live_view_render.h"

#include <QBuffer>
#include <QImageReader>
#include <turbojpeg.h>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

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

// TurboJPEG writes rows that start on a vector boundary with stores that go past the cache:
// right for a picture that is put away, wrong for one whose every pixel the filters and the
// histogram read straight after. So a frame's rows start 4 bytes past a 32-byte boundary,
// and its pixels are still in the cache when they are read.
QImage cachedRowsImage(QSize size) {
  if (size.isEmpty() || qint64(size.width()) * size.height() > kLiveViewMaxPixels) return {};
  const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
  auto* raw = static_cast<uchar*>(std::malloc(size_t(bytesPerLine) * size_t(size.height()) + 32));
  if (!raw) return {};
  uchar* first = raw + ((36 - (reinterpret_cast<uintptr_t>(raw) & 31)) & 31);
  return QImage(first, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32,
                [](void* block) { std::free(block); }, raw);
}

// Frames come one after another at one size: their pixels go into two buffers kept on the
// worker, taken in turn as the view lets go of each, so that a frame costs no allocation
// and its pixels land in memory that is already mapped and warm. A buffer is taken only
// while nothing else holds it: the view's copy of the last frame keeps that one apart.
class FrameBuffers {
 public:
  QImage take(QSize size) {
    for (QImage& slot : slots_)
      if (slot.size() == size && slot.isDetached()) return std::move(slot);
    return cachedRowsImage(size);
  }
  // Kept for a later frame: a shared copy, free again once the picture shown is replaced.
  void keep(const QImage& image) {
    if (image.isNull()) return;
    for (QImage& slot : slots_)
      if (slot.isNull() || slot.size() != image.size()) {
        slot = image;
        return;
      }
    slots_[next_] = image;
    next_ = (next_ + 1) % slots_.size();
  }

 private:
  std::array<QImage, 2> slots_;
  size_t next_ = 0;
};

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};

// The plain case, a whole baseline or progressive RGB JPEG within the size cap, decoded
// into a kept buffer with one TurboJPEG handle per worker. Anything else (a damaged or
// cut-off frame, CMYK, a size over the cap) answers a null image, and the caller takes
// the still decoder's careful path, which reports it.
QImage decodePlainJpeg(std::span<const uint8_t> jpeg, FrameBuffers& buffers) {
  thread_local std::unique_ptr<void, TjDestroy> tj(tjInitDecompress());
  if (!tj || jpeg.empty()) return {};
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(tj.get(), jpeg.data(), jpeg.size(), &width, &height, &subsampling, &colorspace) != 0 ||
      width <= 0 || height <= 0 || qint64(width) * height > kLiveViewMaxPixels || colorspace == TJCS_CMYK ||
      colorspace == TJCS_YCCK)
    return {};
  QImage image = buffers.take(QSize(width, height));
  if (image.isNull()) return {};
  const int pixelFormat = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
  if (tjDecompress2(tj.get(), jpeg.data(), jpeg.size(), image.bits(), width, int(image.bytesPerLine()), height,
                    pixelFormat, TJFLAG_LIMITSCANS) != 0) {
    buffers.keep(image);
    return {};
  }
  return image;
}

// The histogram's rendering, into a kept buffer when given: the GUI thread counts it and
// lets it go, so one comes back free for every frame.
QImage histogramRendering(const QImage& shown, FrameBuffers* buffers) {
  if (shown.isNull()) return {};
  constexpr int side = kLiveViewHistogramSide;
  if (shown.format() != QImage::Format_RGB32)
    return shown.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage out = buffers ? buffers->take(QSize(side, side)) : QImage(side, side, QImage::Format_RGB32);
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
  if (buffers) buffers->keep(out);
  return out;
}

}  // namespace

QImage liveViewHistogramRendering(const QImage& shown) { return histogramRendering(shown, nullptr); }

QRect liveViewCanonCropRect(QSize picture) {
  const int w = std::max(picture.width(), 0), h = std::max(picture.height(), 0);
  return QRect(w / 4, h / 4, w / 2, h / 2);
}

LiveViewRendered renderLiveViewPicture(std::span<const uint8_t> picture, const LiveViewRenderSettings& settings,
                                       LiveViewFilterChain& chain, const std::atomic<bool>& cancel) {
  LiveViewRendered out;
  thread_local FrameBuffers buffers;
  QImage image;
  bool kept = false;
  if (isBmp(picture)) {
    image = decodeBmp(picture);
  } else {
    if (!cancel.load(std::memory_order_acquire)) image = decodePlainJpeg(picture, buffers);
    kept = !image.isNull();
    if (!kept) {
      JpegDecodeOutcome d = decodeJpeg(picture, QSize(), kLiveViewMaxPixels, cancel);
      out.cancelled = d.cancelled;
      image = std::move(d.image);
    }
  }
  if (image.isNull() || cancel.load(std::memory_order_acquire)) {
    out.cancelled = out.cancelled || cancel.load(std::memory_order_acquire);
    return out;
  }
  if (!settings.filters.empty() &&
      !chain.apply(settings.filters, reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
                   image.bytesPerLine()))
    return out;  // a filter that is not there yields no image
  // Only read from here on: the buffer can be shared with the next frame's pool.
  if (kept) buffers.keep(image);
  if (settings.canonCrop) image = image.copy(liveViewCanonCropRect(image.size()));
  if (settings.orientation != 1) image = applyOrientation(image, settings.orientation);
  if (image.isNull()) return out;
  if (settings.histogram) {
    thread_local FrameBuffers histograms;
    out.histogram = histogramRendering(image, &histograms);
  }
  out.image = std::move(image);
  return out;
}
