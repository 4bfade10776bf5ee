#pragma once
// The Sony image format as one packed quality value. With an "Image Format" 0xD253
// property (new scheme) the low byte is 1 RAW, 2 RAW + JPEG, 3 JPEG and bits 8-15 hold
// the JPEG compression (0xD252); with only 0x5004 (old scheme) bit 4 marks RAW, 16 alone
// is RAW only and the low nibble 1-4 is the JPEG quality. Bits 16-23 hold the image size
// (0xD203) in both.
#include <cstdint>
#include <string>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"

constexpr uint32_t kSonyImageFormatNew = 0xD253;
constexpr uint32_t kSonyImageCompression = 0xD252;
constexpr uint32_t kSonyImageSize = 0xD203;

// Whether the table holds the new scheme's format property.
bool sonyUsesNewImageFormat();
// The format property of the scheme in use (0xD253, else 0x5004).
uint32_t sonyImageFormatCode();

// "--" for -1, else e.g. "RAW + L JPG (FINE)".
std::string sonyImageQualityText(int64_t value);
bool sonyValueHasRaw(int64_t value);
bool sonyQualityIncludesJpeg(uint32_t value);

// Rebuilds the packed value on the format record from the format's low byte,
// compression and size. False without a format record.
bool sonyRebuildQualityValue();

// 1 (new) or 16 (old) when the current value has RAW, else -1. 0xFF01 without the
// format property.
PtpResponseCode sonyGetRawFormat(int64_t& out);
// The current value's JPEG part, -1 when it has none. 0xFF01 without the property.
PtpResponseCode sonyGetJpegFormat(int64_t& out);
// Kind 1: JPEG choices, kind 6: RAW choices; -1 (none) always first.
std::vector<int64_t> sonyGetImageFormatChoices(int kind);

// Sets the format from a RAW and a JPEG choice (-1: none), then the compression and the
// size. The first failing set is answered.
PtpResponseCode sonySetImageFormat(int64_t raw, int64_t jpeg);
