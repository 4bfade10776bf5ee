#include "viewer/still/raw_decoder.h"

#include <libraw/libraw.h>

#include <memory>
#include <mutex>

namespace {

// LibRaw's memory use for one decode is large (the unpacked sensor and the working image),
// so decodes take turns.
std::mutex& rawDecodeMutex() {
  static std::mutex m;
  return m;
}

int cancelOnRequest(void* data, enum LibRaw_progress, int, int) {
  return static_cast<const std::atomic<bool>*>(data)->load(std::memory_order_acquire) ? 1 : 0;
}

// LibRaw's flip code (transpose 4, vertical 2, horizontal 1) as an EXIF orientation.
uint8_t orientationFromFlip(int flip) {
  static constexpr uint8_t kByFlip[8] = {1, 2, 4, 3, 5, 8, 6, 7};
  return flip >= 0 && flip < 8 ? kByFlip[flip] : 0;
}

struct ProcessedImageDeleter {
  void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};

QString librawError(int code) { return QString::fromUtf8(libraw_strerror(code)); }

}  // namespace

RawDecodeOutcome decodeRaw(std::span<const uint8_t> data, bool halfSize, qint64 maxRawPixels,
                           const std::atomic<bool>& cancel) {
  RawDecodeOutcome out;
  if (data.empty()) {
    out.error = QStringLiteral("The raw file holds no data.");
    return out;
  }
  // A decode cancelled while it waited here stops at LibRaw's first progress report.
  std::lock_guard lock(rawDecodeMutex());
  auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
  raw->set_progress_handler(cancelOnRequest, const_cast<std::atomic<bool>*>(&cancel));
  auto& params = raw->imgdata.params;
  params.user_flip = 0;  // the caller turns the pixels
  params.half_size = halfSize ? 1 : 0;
  params.use_camera_wb = 1;
  params.output_bps = 8;
  // LibRaw does not write to the buffer it reads.
  int rc = raw->open_buffer(const_cast<uint8_t*>(data.data()), data.size());
  if (rc != LIBRAW_SUCCESS) {
    out.cancelled = rc == LIBRAW_CANCELLED_BY_CALLBACK;
    out.error = QStringLiteral("The raw file cannot be read: %1").arg(librawError(rc));
    return out;
  }
  out.opened = true;
  const auto& sizes = raw->imgdata.sizes;
  out.fileOrientation = orientationFromFlip(sizes.flip);
  out.fullSize = QSize(sizes.width, sizes.height);
  if (qint64(sizes.raw_width) * qint64(sizes.raw_height) > maxRawPixels) {
    out.error = QStringLiteral("The raw image is too large to show (%1 x %2 pixels).")
                    .arg(sizes.raw_width)
                    .arg(sizes.raw_height);
    return out;
  }
  if ((rc = raw->unpack()) != LIBRAW_SUCCESS || (rc = raw->dcraw_process()) != LIBRAW_SUCCESS) {
    out.cancelled = rc == LIBRAW_CANCELLED_BY_CALLBACK;
    out.error = QStringLiteral("The raw image cannot be decoded: %1").arg(librawError(rc));
    return out;
  }
  int memError = LIBRAW_SUCCESS;
  std::unique_ptr<libraw_processed_image_t, ProcessedImageDeleter> processed(raw->dcraw_make_mem_image(&memError));
  if (!processed || memError != LIBRAW_SUCCESS || processed->type != LIBRAW_IMAGE_BITMAP ||
      processed->bits != 8 || (processed->colors != 3 && processed->colors != 1) ||
      size_t(processed->width) * processed->height * processed->colors > processed->data_size) {
    out.error = QStringLiteral("The raw image cannot be decoded: %1").arg(librawError(memError));
    return out;
  }
  if (cancel.load(std::memory_order_acquire)) {
    out.cancelled = true;
    return out;
  }
  const int w = processed->width, h = processed->height, colors = processed->colors;
  QImage image(w, h, QImage::Format_RGB32);
  if (image.isNull()) {
    out.error = QStringLiteral("Not enough memory to show the image.");
    return out;
  }
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = processed->data + size_t(y) * size_t(w) * size_t(colors);
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x, in += colors)
      line[x] = colors == 3 ? qRgb(in[0], in[1], in[2]) : qRgb(in[0], in[0], in[0]);
  }
  out.reduced = halfSize;
  if (!halfSize) out.fullSize = image.size();
  out.image = std::move(image);
  return out;
}
