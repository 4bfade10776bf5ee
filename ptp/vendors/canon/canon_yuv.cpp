#include "ptp/vendors/canon/canon_yuv.h"

#include <cstring>
#include <new>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/vendors/common/bmp_canvas.h"

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

// The camera library's formulas, evaluated once per table entry: red in single
// precision, green and blue in double, truncated toward zero, then clamped.
uint8_t redFormula(uint8_t y, int8_t cr) {
  float red = static_cast<float>(y) + 1.403f * static_cast<float>(cr);
  return canonClampByte(static_cast<int64_t>(red));
}

uint8_t greenFormula(uint8_t y, int8_t cb, int8_t cr) {
  return canonClampByte(static_cast<int64_t>(y - 0.344 * cb - 0.714 * cr));
}

uint8_t blueFormula(uint8_t y, int8_t cb) {
  return canonClampByte(static_cast<int64_t>(y + 1.77 * cb));
}

// Red and blue depend on one chroma byte and Y: 64 KiB each, filled from the formulas.
// Green depends on all three. For a (Cb, Cr) pair, g = Y - (344 Cb + 714 Cr) / 1000, whose
// fraction is a whole number of thousandths; where it is not 0, the double evaluation
// (off by far less than a thousandth) truncates to Y + floor(g - Y), so the pair needs only
// an offset into a clamped ramp. Where (344 Cb + 714 Cr) is a multiple of 1000 the double
// result may fall just under the whole number for some Y and not others: those 132 pairs
// get a row of their own, filled from the formula.
struct YuvTables {
  static constexpr int kRampZero = 256;  // ramp[kRampZero + i] = clamp(i), i in -256..511
  uint8_t red[256][256];                 // [Cr byte][Y]
  uint8_t blue[256][256];                // [Cb byte][Y]
  uint16_t greenRow[256][256];           // [Cb byte][Cr byte] -> start of its row in green
  std::vector<uint8_t> green;            // the ramp, then the rows of the exact pairs

  YuvTables() {
    for (int c = 0; c < 256; ++c)
      for (int y = 0; y < 256; ++y) {
        red[c][y] = redFormula(static_cast<uint8_t>(y), static_cast<int8_t>(c));
        blue[c][y] = blueFormula(static_cast<uint8_t>(y), static_cast<int8_t>(c));
      }
    green.resize(768);
    for (int i = 0; i < 768; ++i) green[i] = canonClampByte(i - kRampZero);
    for (int cbByte = 0; cbByte < 256; ++cbByte)
      for (int crByte = 0; crByte < 256; ++crByte) {
        int8_t cb = static_cast<int8_t>(cbByte), cr = static_cast<int8_t>(crByte);
        int thousandths = -(344 * cb + 714 * cr);
        if (thousandths % 1000 != 0) {
          int floorOffset = thousandths >= 0 ? thousandths / 1000 : -((-thousandths + 999) / 1000);
          greenRow[cbByte][crByte] = static_cast<uint16_t>(kRampZero + floorOffset);
          continue;
        }
        greenRow[cbByte][crByte] = static_cast<uint16_t>(green.size());
        for (int y = 0; y < 256; ++y) green.push_back(greenFormula(static_cast<uint8_t>(y), cb, cr));
      }
  }
};

const YuvTables& tables() {
  static const YuvTables t;
  return t;
}

// Converts `pairs` pixel pairs (Cb Y0 Cr Y1) into 0xAARRGGBB words stored little-endian,
// with the red and blue bytes at `redAt` and `blueAt` of each 4 and `alpha` in the rest.
template <int redAt, int blueAt>
void convertRow(const YuvTables& t, const uint8_t* p, uint8_t* q, size_t pairs, uint8_t alpha) {
  const uint8_t* green = t.green.data();
  for (size_t i = 0; i < pairs; ++i, p += 4, q += 8) {
    uint8_t cb = p[0], y0 = p[1], cr = p[2], y1 = p[3];
    const uint8_t* r = t.red[cr];
    const uint8_t* b = t.blue[cb];
    const uint8_t* g = green + t.greenRow[cb][cr];
    q[redAt] = r[y0];
    q[1] = g[y0];
    q[blueAt] = b[y0];
    q[3] = alpha;
    q[4 + redAt] = r[y1];
    q[5] = g[y1];
    q[4 + blueAt] = b[y1];
    q[7] = alpha;
  }
}

}  // namespace

uint8_t canonClampByte(int64_t value) {
  if (value >= 255) return 255;
  if (value < 1) return 0;
  return static_cast<uint8_t>(value);
}

uint8_t canonYuvRed(uint8_t y, int8_t cr) { return tables().red[static_cast<uint8_t>(cr)][y]; }

uint8_t canonYuvGreen(uint8_t y, int8_t cb, int8_t cr) {
  const YuvTables& t = tables();
  return t.green[t.greenRow[static_cast<uint8_t>(cb)][static_cast<uint8_t>(cr)] + size_t{y}];
}

uint8_t canonYuvBlue(uint8_t y, int8_t cb) { return tables().blue[static_cast<uint8_t>(cb)][y]; }

size_t canonDecodeYuvLiveView(const uint8_t* frame, size_t length, std::vector<uint8_t>& bmp,
                              uint8_t modelIndex) {
  return canonDecodeYuvLiveViewAt(frame, length, bmp, 0, 0, modelIndex);
}

size_t canonDecodeYuvLiveViewAt(const uint8_t* frame, size_t length, std::vector<uint8_t>& out,
                                size_t at, size_t tail, uint8_t modelIndex) {
  out.clear();
  YuvLayout layout;
  if (!readLayout(frame, length, modelIndex, true, layout)) return 0;
  uint8_t header[kBmpHeaderBytes];
  if (!bmpInitHeader(header, layout.width, layout.rows, 32)) return 0;
  size_t rowBytes = size_t{layout.width} * 4;
  size_t bmpLength = kBmpHeaderBytes + rowBytes * layout.rows;
  try {
    out.resize(at + bmpLength + tail);
  } catch (const std::bad_alloc&) {
    out.clear();
    return 0;
  }
  uint8_t* bmp = out.data() + at;
  std::memcpy(bmp, header, kBmpHeaderBytes);
  const YuvTables& t = tables();
  const uint8_t* p = frame + layout.dataOffset;
  // A 32-bit BMP stores rows bottom-up, unpadded, each pixel as blue, green, red, alpha.
  for (uint32_t row = 0; row < layout.rows; ++row, p += 2 * size_t{layout.width}) {
    uint8_t* q = bmp + kBmpHeaderBytes + (layout.rows - 1 - row) * rowBytes;
    convertRow<2, 0>(t, p, q, layout.width / 2, 0xFF);
  }
  return bmpLength;
}

size_t canonYuvToRgbBuffer(const uint8_t* frame, size_t length, std::vector<uint8_t>& out,
                           uint8_t modelIndex) {
  out.clear();
  YuvLayout layout;
  if (!readLayout(frame, length, modelIndex, false, layout)) return 0;
  size_t pixels = size_t{layout.width} * layout.rows;
  try {
    out.resize(8 + 4 * pixels);
  } catch (const std::bad_alloc&) {
    out.clear();
    return 0;
  }
  bytesPutU32(out.data(), layout.width);
  bytesPutU32(out.data() + 4, static_cast<uint32_t>(layout.width * 0.59));
  convertRow<0, 2>(tables(), frame + layout.dataOffset, out.data() + 8, pixels / 2, 0);
  return 4 * pixels + 2;
}
