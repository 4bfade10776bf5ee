#pragma once
// The YCbCr conversion as it stood before it became table-driven, kept word for word as
// the reference the fast one must match byte for byte.
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/vendors/canon/canon_yuv.h"
#include "ptp/vendors/common/bmp_canvas.h"

namespace canonyuvref {

inline uint8_t canonClampByte(int64_t value);
inline uint8_t canonYuvRed(uint8_t y, int8_t cr);
inline uint8_t canonYuvGreen(uint8_t y, int8_t cb, int8_t cr);
inline uint8_t canonYuvBlue(uint8_t y, int8_t cb);

namespace {

struct YuvLayout {
  uint32_t width = 0;
  uint32_t rows = 0;
  size_t dataOffset = 0;
};

// Bodies whose frame starts with the offset of its header.
bool headerOffsetInFirstByte(uint8_t modelIndex) {
  return modelIndex == 235 || modelIndex == 237 || (modelIndex >= 239 && modelIndex <= 244);
}

// Reads the header and checks that every pixel pair lies inside the frame and that the
// picture fits a canvas.
bool readLayout(const uint8_t* frame, size_t length, uint8_t modelIndex, bool rowRule,
                YuvLayout& layout) {
  if (!frame || length < kCanonYuvMinFrame) return false;
  ByteReader r(frame, length);
  size_t h = headerOffsetInFirstByte(modelIndex) ? frame[0] : 0;
  auto headerLength = r.u8(h);
  auto width = r.u32(h + 12);
  auto height = r.u32(h + 16);
  if (!headerLength || !width || !height) return false;
  layout.width = *width;
  layout.rows = rowRule && modelIndex == 225 ? 425 : *height;
  layout.dataOffset = (h + *headerLength) % 256;
  if (layout.width == 0 || layout.width % 2 != 0 || layout.rows == 0) return false;
  if (layout.width > kBmpMaxWidth || layout.rows > kBmpMaxHeight) return false;
  uint64_t pixels = uint64_t{layout.width} * layout.rows;
  if (pixels > kBmpMaxPixels) return false;
  return r.has(layout.dataOffset, 2 * pixels);
}

struct Rgb {
  uint8_t red, green, blue;
};

Rgb convert(uint8_t y, int8_t cb, int8_t cr) {
  return {canonYuvRed(y, cr), canonYuvGreen(y, cb, cr), canonYuvBlue(y, cb)};
}

}  // namespace

inline uint8_t canonClampByte(int64_t value) {
  if (value >= 255) return 255;
  if (value < 1) return 0;
  return static_cast<uint8_t>(value);
}

inline uint8_t canonYuvRed(uint8_t y, int8_t cr) {
  float red = static_cast<float>(y) + 1.403f * static_cast<float>(cr);
  return canonClampByte(static_cast<int64_t>(red));
}

inline uint8_t canonYuvGreen(uint8_t y, int8_t cb, int8_t cr) {
  return canonClampByte(static_cast<int64_t>(y - 0.344 * cb - 0.714 * cr));
}

inline uint8_t canonYuvBlue(uint8_t y, int8_t cb) {
  return canonClampByte(static_cast<int64_t>(y + 1.77 * cb));
}

inline size_t canonDecodeYuvLiveView(const uint8_t* frame, size_t length, std::vector<uint8_t>& bmp,
                              uint8_t modelIndex) {
  bmp.clear();
  YuvLayout layout;
  if (!readLayout(frame, length, modelIndex, true, layout)) return 0;
  BmpCanvasPtr canvas = bmpCreate(layout.width, layout.rows, 32);
  if (!canvas) return 0;
  const uint8_t* p = frame + layout.dataOffset;
  for (uint32_t row = 0; row < layout.rows; ++row) {
    uint32_t y = layout.rows - 1 - row;  // the canvas counts rows from the bottom
    for (uint32_t x = 0; x < layout.width; x += 2, p += 4) {
      int8_t cb = static_cast<int8_t>(p[0]), cr = static_cast<int8_t>(p[2]);
      for (uint32_t k = 0; k < 2; ++k) {
        Rgb c = convert(p[1 + 2 * k], cb, cr);
        uint32_t colour = 0xFF000000u | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
        bmpSetPixel(*canvas, x + k, y, colour);
      }
    }
  }
  return bmpEncode(*canvas, bmp);
}

inline size_t canonYuvToRgbBuffer(const uint8_t* frame, size_t length, std::vector<uint8_t>& out,
                           uint8_t modelIndex) {
  out.clear();
  YuvLayout layout;
  if (!readLayout(frame, length, modelIndex, false, layout)) return 0;
  size_t pixels = size_t{layout.width} * layout.rows;
  try {
    out.assign(8 + 4 * pixels, 0);
  } catch (const std::bad_alloc&) {
    out.clear();
    return 0;
  }
  bytesPutU32(out.data(), layout.width);
  bytesPutU32(out.data() + 4, static_cast<uint32_t>(layout.width * 0.59));
  const uint8_t* p = frame + layout.dataOffset;
  uint8_t* q = out.data() + 8;
  for (size_t pair = 0; pair < pixels / 2; ++pair, p += 4) {
    int8_t cb = static_cast<int8_t>(p[0]), cr = static_cast<int8_t>(p[2]);
    for (int k = 0; k < 2; ++k, q += 4) {
      Rgb c = convert(p[1 + 2 * k], cb, cr);
      q[0] = c.red;
      q[1] = c.green;
      q[2] = c.blue;
    }
  }
  return 4 * pixels + 2;
}

}  // namespace canonyuvref
