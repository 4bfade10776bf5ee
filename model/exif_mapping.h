#pragma once
// EXIF metering mode and white balance mapped to the values the camera's own PTP
// properties use, per camera make, so the icon kit draws the same icons as for live
// camera properties.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// 13 Canon, 15 Nikon, 14 Sony (the camera vendor codes), 0 for any other make; the
// first of "Canon", "Nikon", "Sony" found in the text, ignoring case, decides.
uint8_t exifCameraMakeFromText(const std::string& make);

uint16_t exifMapMeteringMode(uint8_t make, int64_t metering);

// White balance from the EXIF LightSource and WhiteBalance (Sony and Nikon).
uint16_t exifMapWhiteBalance(uint8_t make, int64_t lightSource, int64_t whiteBalance);

// Canon files keep the body's white balance 15 bytes after the first 00 44 00 00 00 at
// positions 512 to 2047; nullopt when there is none inside the data.
std::optional<uint8_t> exifCanonWhiteBalanceFromFile(std::span<const uint8_t> data);
