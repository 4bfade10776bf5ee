#include "ptp/vendors/common/bmp_canvas.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "ptp/base/bytes.h"

namespace {

constexpr double kInchesPerMetre = 39.37007874015748;
constexpr uint32_t kDefaultPixelsPerMetre = 3780;

bool validDepth(uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint32_t paletteEntries(uint32_t bits) { return bits <= 8 ? (1u << bits) : 0; }

uint64_t paddedRowBytes(uint32_t width, uint32_t bits) {
  uint64_t bytes = (static_cast<uint64_t>(width) * bits + 7) / 8;
  return (bytes + 3) & ~uint64_t{3};
}

uint32_t headerU32(const BmpCanvas& c, size_t off) { return bytesGetU32(c.header + off); }
uint16_t headerU16(const BmpCanvas& c, size_t off) { return bytesGetU16(c.header + off); }

void setPaletteEntry(std::vector<uint8_t>& palette, size_t i, uint32_t rgb) {
  palette[i * 4 + 0] = static_cast<uint8_t>(rgb);
  palette[i * 4 + 1] = static_cast<uint8_t>(rgb >> 8);
  palette[i * 4 + 2] = static_cast<uint8_t>(rgb >> 16);
  palette[i * 4 + 3] = 0;
}

void makeDefaultPalette(std::vector<uint8_t>& palette, uint32_t bits) {
  static const uint32_t k4[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                  0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                  0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  static const uint32_t kLow[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                    0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
  static const uint32_t kHigh[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                     0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  if (bits == 1) {
    setPaletteEntry(palette, 0, 0x000000);
    setPaletteEntry(palette, 1, 0xFFFFFF);
  } else if (bits == 4) {
    for (size_t i = 0; i < 16; ++i) setPaletteEntry(palette, i, k4[i]);
  } else if (bits == 8) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t red = (i & 7) * 32, green = ((i >> 3) & 7) * 32, blue = (i >> 6) * 64;
      setPaletteEntry(palette, i, red << 16 | green << 8 | blue);
    }
    for (size_t i = 0; i < 10; ++i) {
      setPaletteEntry(palette, i, kLow[i]);
      setPaletteEntry(palette, 246 + i, kHigh[i]);
    }
  }
}

uint8_t channel(uint32_t colour, int shift) { return static_cast<uint8_t>(colour >> shift); }

const uint32_t* storedRow(const BmpCanvas& c, uint32_t x, uint32_t rowIndex) {
  return &c.pixels[static_cast<size_t>(rowIndex) * c.width + x];
}

}  // namespace

bool bmpInitHeader(uint8_t h[kBmpHeaderBytes], uint32_t width, uint32_t height, uint32_t bits) {
  if (!validDepth(bits)) return false;
  if (width > kBmpMaxWidth || height > kBmpMaxHeight) return false;
  if (static_cast<uint64_t>(width) * height > kBmpMaxPixels) return false;
  std::memset(h, 0, kBmpHeaderBytes);  // the reserved words stay 0
  uint32_t colours = paletteEntries(bits);
  uint32_t paletteBytes = bits == 16 ? 12 : colours * 4;
  uint32_t dataOffset = static_cast<uint32_t>(kBmpHeaderBytes) + paletteBytes;
  uint32_t imageSize = static_cast<uint32_t>(paddedRowBytes(width, bits) * height);
  h[0] = 'B';
  h[1] = 'M';
  bytesPutU32(h + 2, dataOffset + imageSize);
  bytesPutU32(h + 10, dataOffset);
  bytesPutU32(h + 14, static_cast<uint32_t>(kBmpInfoHeaderBytes));
  bytesPutU32(h + 18, width);
  bytesPutU32(h + 22, height);
  bytesPutU16(h + 26, 1);
  bytesPutU16(h + 28, static_cast<uint16_t>(bits));
  bytesPutU32(h + 30, bits == 16 ? 3 : 0);
  bytesPutU32(h + 34, imageSize);
  bytesPutU32(h + 38, kDefaultPixelsPerMetre);
  bytesPutU32(h + 42, kDefaultPixelsPerMetre);
  bytesPutU32(h + 46, static_cast<uint32_t>(uint64_t{1} << bits));  // 0 for 32 bits
  bytesPutU32(h + 50, 0);
  return true;
}

BmpCanvasPtr bmpCreate(uint32_t width, uint32_t height, uint32_t bits) {
  if (!validDepth(bits)) return nullptr;
  if (width > kBmpMaxWidth || height > kBmpMaxHeight) return nullptr;
  if (static_cast<uint64_t>(width) * height > kBmpMaxPixels) return nullptr;
  if (width > 0 && height == 0) return nullptr;
  try {
    auto canvas = std::make_unique<BmpCanvas>();
    canvas->width = width;
    canvas->height = height;
    canvas->pixels.assign(static_cast<size_t>(width) * height, kBmpWhite);
    uint32_t colours = paletteEntries(bits);
    canvas->palette.assign(static_cast<size_t>(colours) * 4, 0);
    makeDefaultPalette(canvas->palette, bits);
    bmpInitHeader(canvas->header, width, height, bits);
    return canvas;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void bmpFree(BmpCanvasPtr& canvas) { canvas.reset(); }

uint32_t bmpWidth(const BmpCanvas& canvas) { return headerU32(canvas, 18); }
uint32_t bmpHeight(const BmpCanvas& canvas) { return headerU32(canvas, 22); }
uint32_t bmpBitsPerPixel(const BmpCanvas& canvas) { return headerU16(canvas, 28); }

void bmpCopyFileHeader(uint8_t out[kBmpFileHeaderBytes], const BmpCanvas& canvas) {
  std::memcpy(out, canvas.header, kBmpFileHeaderBytes);
}

void bmpCopyInfoHeader(uint8_t out[kBmpInfoHeaderBytes], const BmpCanvas& canvas) {
  std::memcpy(out, canvas.header + kBmpFileHeaderBytes, kBmpInfoHeaderBytes);
}

uint32_t bmpDpiX(const BmpCanvas& canvas) {
  return static_cast<uint32_t>(headerU32(canvas, 38) / kInchesPerMetre);
}

uint32_t bmpDpiY(const BmpCanvas& canvas) {
  return static_cast<uint32_t>(headerU32(canvas, 42) / kInchesPerMetre);
}

void bmpSetDpi(BmpCanvas& canvas, uint32_t dpiX, uint32_t dpiY) {
  bytesPutU32(canvas.header + 38, static_cast<uint32_t>(dpiX * kInchesPerMetre));
  bytesPutU32(canvas.header + 42, static_cast<uint32_t>(dpiY * kInchesPerMetre));
}

uint32_t* bmpPixelPtr(BmpCanvas& canvas, uint32_t x, uint32_t y) {
  if (x >= canvas.width || y >= canvas.height) return nullptr;
  return &canvas.pixels[static_cast<size_t>(y) * canvas.width + x];
}

bool bmpSetPixel(BmpCanvas& canvas, uint32_t x, uint32_t y, uint32_t colour) {
  if (x >= canvas.width || y >= canvas.height) return false;
  canvas.pixels[static_cast<size_t>(canvas.height - 1 - y) * canvas.width + x] = colour;
  return true;
}

int bmpDrawLine(BmpCanvas& canvas, int x0, int y0, int x1, int y1, uint32_t colour) {
  auto plot = [&](int64_t x, int64_t y) {
    if (x >= 0 && y >= 0 && x <= UINT32_MAX && y <= UINT32_MAX)
      bmpSetPixel(canvas, static_cast<uint32_t>(x), static_cast<uint32_t>(y), colour);
  };
  int64_t x = x0, y = y0;
  plot(x, y);
  int64_t dx = x1 >= x0 ? int64_t{x1} - x0 : int64_t{x0} - x1;
  int64_t dy = y1 >= y0 ? int64_t{y1} - y0 : int64_t{y0} - y1;
  int sx = x1 >= x0 ? 1 : -1;
  int sy = y1 > y0 ? 1 : (y1 < y0 ? -1 : 0);
  if (dx >= dy) {
    if (x0 == x1) return sy;
    int64_t e = dx / 2;
    for (int64_t i = 0; i < dx; ++i) {
      x += sx;
      if (e + dy >= dx) {
        y += sy;
        e = e + dy - dx;
      } else {
        e += dy;
      }
      plot(x, y);
    }
  } else {
    int64_t e = dy / 2;
    for (int64_t i = 0; i < dy; ++i) {
      y += sy;
      if (e + dx >= dy) {
        x += sx;
        e = e + dx - dy;
      } else {
        e += dx;
      }
      plot(x, y);
    }
  }
  return sy;
}

uint32_t bmpNearestColour(const BmpCanvas& canvas, uint32_t colour) {
  size_t entries = canvas.palette.size() / 4;
  uint32_t best = 0;
  int64_t bestDistance = 999999;
  for (size_t i = 0; i < entries; ++i) {
    const uint8_t* e = &canvas.palette[i * 4];
    int64_t db = int64_t{e[0]} - channel(colour, 0);
    int64_t dg = int64_t{e[1]} - channel(colour, 8);
    int64_t dr = int64_t{e[2]} - channel(colour, 16);
    int64_t d = db * db + dg * dg + dr * dr;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<uint32_t>(i);
    }
    if (d == 0) break;
  }
  return best;
}

void bmpPackRow1(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex) {
  if (!row || rowIndex >= canvas.height || canvas.width > static_cast<uint64_t>(size) * 8) return;
  for (uint32_t x = 0; x < canvas.width; ++x) {
    uint32_t index = bmpNearestColour(canvas, *storedRow(canvas, x, rowIndex));
    row[x / 8] = static_cast<uint8_t>(row[x / 8] + (index << (7 - x % 8)));
  }
}

void bmpPackRow4(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex) {
  if (!row || rowIndex >= canvas.height || canvas.width > static_cast<uint64_t>(size) * 2) return;
  for (uint32_t x = 0; x < canvas.width; ++x) {
    uint32_t index = bmpNearestColour(canvas, *storedRow(canvas, x, rowIndex));
    row[x / 2] = static_cast<uint8_t>(row[x / 2] + (x % 2 == 0 ? index * 16 : index));
  }
}

void bmpPackRow8(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex) {
  if (!row || rowIndex >= canvas.height || canvas.width > size) return;
  for (uint32_t x = 0; x < canvas.width; ++x)
    row[x] = static_cast<uint8_t>(bmpNearestColour(canvas, *storedRow(canvas, x, rowIndex)));
}

void bmpPackRow24(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex) {
  if (!row || rowIndex >= canvas.height || canvas.width > size / 3) return;
  for (uint32_t x = 0; x < canvas.width; ++x) {
    uint32_t c = *storedRow(canvas, x, rowIndex);
    row[x * 3 + 0] = channel(c, 0);
    row[x * 3 + 1] = channel(c, 8);
    row[x * 3 + 2] = channel(c, 16);
  }
}

void bmpPackRow32(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex) {
  if (!row || rowIndex >= canvas.height || canvas.width > size / 4) return;
  for (uint32_t x = 0; x < canvas.width; ++x)
    bytesPutU32(row + static_cast<size_t>(x) * 4, *storedRow(canvas, x, rowIndex));
}

namespace {

void packRow16(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex) {
  if (rowIndex >= canvas.height || canvas.width > size / 2) return;
  for (uint32_t x = 0; x < canvas.width; ++x) {
    uint32_t c = *storedRow(canvas, x, rowIndex);
    uint16_t v = static_cast<uint16_t>((channel(c, 16) & 0xF8) << 8 | (channel(c, 8) & 0xFC) << 3 |
                                       channel(c, 0) >> 3);
    bytesPutU16(row + static_cast<size_t>(x) * 2, v);
  }
}

}  // namespace

size_t bmpEncode(const BmpCanvas& canvas, std::vector<uint8_t>& out) {
  out.clear();
  uint32_t bits = bmpBitsPerPixel(canvas);
  size_t rowBytes = static_cast<size_t>(paddedRowBytes(canvas.width, bits));
  size_t dataOffset = headerU32(canvas, 10);
  size_t total = dataOffset + rowBytes * canvas.height;
  try {
    out.assign(total, 0);
  } catch (const std::bad_alloc&) {
    out.clear();
    return 0;
  }
  std::memcpy(out.data(), canvas.header, kBmpHeaderBytes);
  uint8_t* p = out.data() + kBmpHeaderBytes;
  if (bits == 16) {
    bytesPutU32(p, 0x0000F800);
    bytesPutU32(p + 4, 0x000007E0);
    bytesPutU32(p + 8, 0x0000001F);
  } else if (!canvas.palette.empty()) {
    std::memcpy(p, canvas.palette.data(), canvas.palette.size());
  }
  uint8_t* row = out.data() + dataOffset;
  for (uint32_t i = canvas.height; i-- > 0; row += rowBytes) {
    switch (bits) {
      case 1: bmpPackRow1(canvas, row, rowBytes, i); break;
      case 4: bmpPackRow4(canvas, row, rowBytes, i); break;
      case 8: bmpPackRow8(canvas, row, rowBytes, i); break;
      case 16: packRow16(canvas, row, rowBytes, i); break;
      case 24: bmpPackRow24(canvas, row, rowBytes, i); break;
      default: bmpPackRow32(canvas, row, rowBytes, i); break;
    }
  }
  return total;
}

int bmpWrite(const BmpCanvas& canvas, FILE* stream) {
  if (!stream) return 0;
  std::vector<uint8_t> image;
  size_t n = bmpEncode(canvas, image);
  if (n == 0) return 0;
  if (std::fwrite(image.data(), 1, n, stream) != n) return 0;
  return std::fflush(stream) == 0 ? 1 : 0;
}

int bmpWriteFile(const BmpCanvas& canvas, const std::string& path) {
  if (path.empty()) return 0;
  std::string temporary = path + ".tmp";
  FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return 0;
  int ok = bmpWrite(canvas, f);
  if (std::fclose(f) != 0) ok = 0;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return 0;
  }
  return 1;
}
