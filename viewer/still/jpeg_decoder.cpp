#include "viewer/still/jpeg_decoder.h"

#include <turbojpeg.h>

#include <QtEndian>
#include <algorithm>
#include <memory>
#include <vector>

#include "viewer/still/pixel_buffer_pool.h"

namespace {

struct TjHandleDeleter {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjHandleDeleter>;

// TurboJPEG's scales up to 1:1, smallest first.
std::vector<tjscalingfactor> reducingScales() {
  int count = 0;
  const tjscalingfactor* all = tjGetScalingFactors(&count);
  std::vector<tjscalingfactor> out;
  for (int i = 0; all && i < count; ++i)
    if (all[i].num <= all[i].denom) out.push_back(all[i]);
  std::sort(out.begin(), out.end(), [](const tjscalingfactor& a, const tjscalingfactor& b) {
    return int64_t(a.num) * b.denom < int64_t(b.num) * a.denom;
  });
  return out;
}

// TurboJPEG cannot turn CMYK into RGB; such files (not from cameras, but a saved or edited
// image may be one) are stored inverted, the way Adobe writes them.
bool decodeCmyk(tjhandle tj, std::span<const uint8_t> jpeg, QImage& image, int flags) {
  const int w = image.width(), h = image.height();
  std::vector<uint8_t> cmyk;
  try {
    cmyk.resize(size_t(w) * size_t(h) * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (tjDecompress2(tj, jpeg.data(), jpeg.size(), cmyk.data(), w, w * 4, h, TJPF_CMYK, flags) != 0 &&
      tjGetErrorCode(tj) != TJERR_WARNING)
    return false;
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = cmyk.data() + size_t(y) * size_t(w) * 4;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x, in += 4) {
      const int k = in[3];
      out[x] = qRgb(in[0] * k / 255, in[1] * k / 255, in[2] * k / 255);
    }
  }
  return true;
}

// TurboJPEG reports a fatal error that follows a warning (a cut-off file whose last bytes
// end inside a table) as a warning, with no pixel written. So each row's first and last
// pixel start with their X byte 0, which TurboJPEG sets to 0xFF in each pixel it writes:
// the rows still 0 were never reached. Some rows: those are what arrived and the rest is
// grey; none: a failure. Only the two marks are set, not the whole buffer: it may hold an
// earlier image, and every row TurboJPEG reaches it writes whole.
bool decodeRgb(tjhandle tj, std::span<const uint8_t> jpeg, QImage& image, int flags) {
  for (int y = 0; y < image.height(); ++y) {  // setPixel() would make RGB32 opaque
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    line[0] = 0;
    line[image.width() - 1] = 0;
  }
  const int pixelFormat = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
  if (tjDecompress2(tj, jpeg.data(), jpeg.size(), image.bits(), image.width(), int(image.bytesPerLine()),
                    image.height(), pixelFormat, flags) == 0)
    return true;
  bool anyRow = false;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const bool written = qAlpha(line[0]) == 0xFF && qAlpha(line[image.width() - 1]) == 0xFF;
    anyRow = anyRow || written;
    if (!written) std::fill(line, line + image.width(), qRgb(128, 128, 128));
  }
  return anyRow;
}

}  // namespace

QSize jpegScaledSizeCovering(QSize full, QSize cover) {
  if (full.isEmpty() || cover.isEmpty()) return full;
  for (const tjscalingfactor& sf : reducingScales()) {
    const QSize scaled(TJSCALED(full.width(), sf), TJSCALED(full.height(), sf));
    if (scaled.width() >= cover.width() || scaled.height() >= cover.height()) return scaled;
  }
  return full;
}

JpegDecodeOutcome decodeJpeg(std::span<const uint8_t> jpeg, QSize cover, qint64 maxPixels,
                             const std::atomic<bool>& cancel, PixelBufferPool* pool) {
  JpegDecodeOutcome out;
  if (jpeg.empty()) {
    out.error = QStringLiteral("The image holds no data.");
    return out;
  }
  TjHandle tj(tjInitDecompress());
  if (!tj) {
    out.error = QStringLiteral("The JPEG decoder could not start.");
    return out;
  }
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(tj.get(), jpeg.data(), jpeg.size(), &width, &height, &subsampling, &colorspace) != 0 ||
      width <= 0 || height <= 0) {
    out.error = QStringLiteral("The JPEG header cannot be read: %1").arg(QString::fromUtf8(tjGetErrorStr2(tj.get())));
    return out;
  }
  out.fullSize = QSize(width, height);
  if (qint64(width) * qint64(height) > maxPixels) {
    out.error = QStringLiteral("The image is too large to show (%1 x %2 pixels).").arg(width).arg(height);
    return out;
  }
  if (cancel.load(std::memory_order_acquire)) {
    out.cancelled = true;
    return out;
  }
  const QSize scaled = jpegScaledSizeCovering(out.fullSize, cover);
  QImage image = pool ? pool->image(scaled, QImage::Format_RGB32) : QImage(scaled, QImage::Format_RGB32);
  if (image.isNull()) {
    out.error = QStringLiteral("Not enough memory to show the image.");
    return out;
  }
  // Warnings (a cut-off download, a damaged scan) keep the rows decoded so far; a file
  // with endless progressive scans is refused.
  const int flags = TJFLAG_LIMITSCANS;
  const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
  bool ok = false;
  if (cmyk) {
    ok = decodeCmyk(tj.get(), jpeg, image, flags);
  } else {
    ok = decodeRgb(tj.get(), jpeg, image, flags);
  }
  if (!ok) {
    out.error = QStringLiteral("The JPEG cannot be decoded: %1").arg(QString::fromUtf8(tjGetErrorStr2(tj.get())));
    return out;
  }
  if (cancel.load(std::memory_order_acquire)) {
    out.cancelled = true;
    return out;
  }
  out.image = std::move(image);
  return out;
}
