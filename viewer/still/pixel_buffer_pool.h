#pragma once
// Pixel buffers for the pane's decodes, which follow one another at the same size: while
// one image is shown the next decodes, and the buffer of the one before comes back as a
// spare. A spare is already mapped; a fresh buffer is mapped by the kernel a page at a time
// as the decoder first writes it (a 24 MP JPEG at a pane's scale is 6 MB, some 1,500 page
// faults, about a tenth of the decode).
//
// The images it gives own their buffer like any other: copies share it, the last one to go
// (on any thread) hands it back. A buffer that comes back after the pool is gone is freed.
#include <QImage>
#include <QSize>

#include <cstddef>
#include <memory>
#include <mutex>

// A buffer larger than this (a full-size decode when zoomed in) is freed, not kept.
inline constexpr size_t kPixelPoolSpareMaxBytes = size_t{32} << 20;

class PixelBufferPool : public std::enable_shared_from_this<PixelBufferPool> {
 public:
  static std::shared_ptr<PixelBufferPool> create(size_t spareMaxBytes = kPixelPoolSpareMaxBytes);
  ~PixelBufferPool();
  PixelBufferPool(const PixelBufferPool&) = delete;
  PixelBufferPool& operator=(const PixelBufferPool&) = delete;

  // An image of `size` in a 4-byte-per-pixel `format`, over the spare when it has the same
  // byte count, else over a new buffer. Its pixels are whatever the buffer held. Null when
  // the size is empty or memory is short.
  QImage image(QSize size, QImage::Format format);
  // The spare kept now, in bytes (0: none).
  size_t spareBytes() const;

 private:
  explicit PixelBufferPool(size_t spareMaxBytes) : spareMaxBytes_(spareMaxBytes) {}
  struct Lease;
  static void giveBack(void* lease);
  void keep(std::unique_ptr<uchar[]> buffer, size_t bytes);

  const size_t spareMaxBytes_;
  mutable std::mutex mutex_;
  std::unique_ptr<uchar[]> spare_;
  size_t spareBytes_ = 0;
};
