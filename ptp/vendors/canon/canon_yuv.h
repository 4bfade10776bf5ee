#pragma once
// Uncompressed Canon live-view frames (YCbCr 4:2:2, Cb Y0 Cr Y1 per pixel pair) turned
// into a 32-bit BMP file image or a raw RGB buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

// Smallest frame the converters look at.
constexpr size_t kCanonYuvMinFrame = 256;

// BMP file image of the frame into `bmp`; returns its length, 0 (bmp empty) when the
// frame is short, its header or pixels do not fit, or the picture is over the canvas caps.
size_t canonDecodeYuvLiveView(const uint8_t* frame, size_t length, std::vector<uint8_t>& bmp,
                              uint8_t modelIndex);
// The same BMP written into `out` from byte `at`, after `at` zero bytes and followed by
// `tail` zero bytes, so that a frame record is built around it without a second copy.
// Returns the BMP's length; 0 (out empty) on failure.
size_t canonDecodeYuvLiveViewAt(const uint8_t* frame, size_t length, std::vector<uint8_t>& out,
                                size_t at, size_t tail, uint8_t modelIndex);

// u32 width, u32 width x 0.59 (in the height's slot), then red, green, blue and one zero
// byte per pixel. Returns 4 x W x H + 2 as the camera library always has; `out` holds all
// 8 + 4 x W x H bytes. 0 on failure.
size_t canonYuvToRgbBuffer(const uint8_t* frame, size_t length, std::vector<uint8_t>& out,
                           uint8_t modelIndex);

uint8_t canonClampByte(int64_t value);
uint8_t canonYuvRed(uint8_t y, int8_t cr);
uint8_t canonYuvGreen(uint8_t y, int8_t cb, int8_t cr);
uint8_t canonYuvBlue(uint8_t y, int8_t cb);
