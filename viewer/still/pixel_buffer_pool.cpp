#include "viewer/still/pixel_buffer_pool.h"

#include <new>
#include <utility>

// What an image holds of its buffer: the buffer itself and the way back to the pool.
struct PixelBufferPool::Lease {
  std::weak_ptr<PixelBufferPool> pool;
  std::unique_ptr<uchar[]> buffer;
  size_t bytes = 0;
};

std::shared_ptr<PixelBufferPool> PixelBufferPool::create(size_t spareMaxBytes) {
  return std::shared_ptr<PixelBufferPool>(new PixelBufferPool(spareMaxBytes));
}

PixelBufferPool::~PixelBufferPool() = default;

QImage PixelBufferPool::image(QSize size, QImage::Format format) {
  if (size.isEmpty() || QImage::toPixelFormat(format).bitsPerPixel() != 32) return QImage();
  const size_t bytesPerLine = size_t(size.width()) * 4;
  const size_t bytes = bytesPerLine * size_t(size.height());
  auto lease = std::make_unique<Lease>();
  lease->pool = weak_from_this();
  lease->bytes = bytes;
  {
    std::lock_guard lock(mutex_);
    if (spare_ && spareBytes_ == bytes) {
      lease->buffer = std::move(spare_);
      spareBytes_ = 0;
    }
  }
  if (!lease->buffer) lease->buffer.reset(new (std::nothrow) uchar[bytes]);
  if (!lease->buffer) return QImage();
  uchar* data = lease->buffer.get();
  QImage image(data, size.width(), size.height(), qsizetype(bytesPerLine), format, &PixelBufferPool::giveBack,
               lease.get());
  if (image.isNull()) return QImage();  // the lease still owns the buffer and frees it
  lease.release();  // the image's cleanup owns it now
  return image;
}

void PixelBufferPool::giveBack(void* info) {
  std::unique_ptr<Lease> lease(static_cast<Lease*>(info));
  if (const std::shared_ptr<PixelBufferPool> pool = lease->pool.lock())
    pool->keep(std::move(lease->buffer), lease->bytes);
}

void PixelBufferPool::keep(std::unique_ptr<uchar[]> buffer, size_t bytes) {
  if (bytes > spareMaxBytes_) return;
  // The newest comes back as the spare; the one it replaces is freed outside the lock.
  std::unique_ptr<uchar[]> replaced;
  {
    std::lock_guard lock(mutex_);
    replaced = std::exchange(spare_, std::move(buffer));
    spareBytes_ = bytes;
  }
}

size_t PixelBufferPool::spareBytes() const {
  std::lock_guard lock(mutex_);
  return spare_ ? spareBytes_ : 0;
}
