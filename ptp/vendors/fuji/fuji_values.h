#pragma once
// Fujifilm value rules over the property table: value texts, image-size names, the packed
// image format (JPEG quality code, size index, RAW marker, RAW compression) and exposure
// compensation in thousandths of an EV.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiImageQuality = 0xD018;
constexpr uint32_t kFujiRawCompression = 0xD022;
constexpr uint32_t kFujiMediaCapacity = 0xD20D;
// None, in a packed image-format value.
constexpr int64_t kFujiFormatNone = -1;
// The RAW marker in bits 16-23 of a packed value.
constexpr uint32_t kFujiRawMarker = 0x10000;
// Image-format kinds of fujiGetImageFormatChoices.
constexpr int kFujiFormatKindJpeg = 1;
constexpr int kFujiFormatKindRaw = 6;

// The module's own text for a value: the image-size name (0x5003), the aperture (0x5007)
// and the exposure compensation (0x5010); nullopt for other codes and unnamed sizes.
std::optional<std::string> fujiValueText(uint32_t code, uint32_t value);
// The image-size index of a name, searched in the session model's range; 0xFFFF if none.
uint32_t fujiImageSizeIndexFromName(const std::string& name);

bool fujiIsRawQualityValue(uint32_t quality);
bool fujiIsJpegQualityValue(uint32_t quality);
// The current image quality (0xD018) includes a RAW file.
bool fujiQualityIncludesRaw();

// The current quality, size and compression as one packed value; 0xFF15 without 0xD018
// or 0x5003.
PtpResponseCode fujiGetImageFormat(uint32_t& out);
// The RAW part (-1 when the quality has none); 0xFF01 without 0xD018.
PtpResponseCode fujiGetRawFormat(int64_t& out);
// The JPEG part (-1 when the quality has none); 0xFF01 without 0xD018 or 0x5003.
PtpResponseCode fujiGetJpegFormat(int64_t& out);
// The packed values a format menu offers for a kind, -1 first.
PtpResponseCode fujiGetImageFormatChoices(int kind, std::vector<int64_t>& list);
// "C-RAW + L JPG (NORM)", "S JPG (S-FINE)", "--" for -1.
std::string fujiImageQualityText(int64_t packed);

// Exposure compensation: signed 16-bit thousandths of an EV.
float fujiExposureBiasToEv(uint32_t value);
uint32_t fujiEvToExposureBias(float ev);
// The largest and smallest listed compensation; never below (above) 0.
float fujiGetExposureBiasMax();
float fujiGetExposureBiasMin();
int fujiGetEvStepsPerStop();
bool fujiIsExposureBiasAdjustable();

// Shots left, from the "Media Capacity" text (the fifth field on model 35, else the first).
uint32_t fujiGetAvailableShots();
