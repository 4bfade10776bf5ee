#pragma once
// A small in-memory picture written out as a Windows BMP file image (14-byte file header,
// 40-byte BITMAPINFOHEADER, rows bottom-up, padded to 4 bytes). Every pixel is stored as
// a 32-bit colour (0xAARRGGBB, blue in the low byte) whatever the depth; the depth only
// decides the palette and the packing on output.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// A canvas keeps 4 bytes per pixel, so its size is capped: live-view frames are a few
// thousand pixels wide at most.
constexpr uint32_t kBmpMaxWidth = 8192;
constexpr uint32_t kBmpMaxHeight = 8192;
constexpr uint64_t kBmpMaxPixels = 16ull * 1024 * 1024;  // 64 MiB of stored colours

constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kBmpInfoHeaderBytes = 40;
constexpr size_t kBmpHeaderBytes = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;
constexpr uint32_t kBmpWhite = 0x00FFFFFF;

struct BmpCanvas {
  uint8_t header[kBmpHeaderBytes] = {};  // exactly the bytes written to the file
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> pixels;  // row by row from the top; a row is `width` colours
  std::vector<uint8_t> palette;  // 4 bytes per entry: blue, green, red, 0
};
using BmpCanvasPtr = std::unique_ptr<BmpCanvas>;

// Null for a depth other than 1, 4, 8, 16, 24, 32, for a size over the caps, for a width
// without a height, or when memory runs out. Every pixel starts white.
BmpCanvasPtr bmpCreate(uint32_t width, uint32_t height, uint32_t bits);
void bmpFree(BmpCanvasPtr& canvas);
// The 54 header bytes bmpCreate gives a canvas of that size, for writers that fill the
// pixel rows themselves; false (header untouched) for a depth or size bmpCreate refuses.
bool bmpInitHeader(uint8_t header[kBmpHeaderBytes], uint32_t width, uint32_t height, uint32_t bits);

uint32_t bmpWidth(const BmpCanvas& canvas);
uint32_t bmpHeight(const BmpCanvas& canvas);
uint32_t bmpBitsPerPixel(const BmpCanvas& canvas);
void bmpCopyFileHeader(uint8_t out[kBmpFileHeaderBytes], const BmpCanvas& canvas);
void bmpCopyInfoHeader(uint8_t out[kBmpInfoHeaderBytes], const BmpCanvas& canvas);

uint32_t bmpDpiX(const BmpCanvas& canvas);
uint32_t bmpDpiY(const BmpCanvas& canvas);
void bmpSetDpi(BmpCanvas& canvas, uint32_t dpiX, uint32_t dpiY);

// The stored colour of column x, row index y counted from the top; null outside.
uint32_t* bmpPixelPtr(BmpCanvas& canvas, uint32_t x, uint32_t y);
// y counted from the bottom (0 is the bottom row); false outside.
bool bmpSetPixel(BmpCanvas& canvas, uint32_t x, uint32_t y, uint32_t colour);
// Bresenham line in bmpSetPixel coordinates, both ends drawn, points outside skipped.
// Returns the vertical step: +1, 0 or -1.
int bmpDrawLine(BmpCanvas& canvas, int x0, int y0, int x1, int y1, uint32_t colour);
uint32_t bmpNearestColour(const BmpCanvas& canvas, uint32_t colour);

// Row packers for one stored row (row index from the top) into a row buffer of `size`
// bytes; a buffer too small for the width is left untouched.
void bmpPackRow1(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex);
void bmpPackRow4(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex);
void bmpPackRow8(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex);
void bmpPackRow24(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex);
void bmpPackRow32(const BmpCanvas& canvas, uint8_t* row, size_t size, uint32_t rowIndex);

// The whole file image; returns its length (0, out empty, when memory runs out).
size_t bmpEncode(const BmpCanvas& canvas, std::vector<uint8_t>& out);
// 1 after writing and flushing the file image, 0 for a null stream or a failed write.
int bmpWrite(const BmpCanvas& canvas, FILE* stream);
// Writes through a temporary file renamed into place; 0 when that fails.
int bmpWriteFile(const BmpCanvas& canvas, const std::string& path);
