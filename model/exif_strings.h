#pragma once
// The display texts of the EXIF strip, formatted the way photographers read them. Pure
// functions of the values; Exif keeps what they give.
#include <cstdint>
#include <optional>
#include <string>

// Exposure time in seconds for the camera make (13 Canon, 15 Nikon, other); nullopt for
// a time of 0 (missing), below 0 or not finite.
std::optional<std::string> exifShutterSpeedText(float seconds, uint8_t make);
std::string exifApertureText(float fNumber);
std::string exifIsoText(uint16_t iso);
// Nullopt for no compensation (0, or not finite).
std::optional<std::string> exifExposureCompensationText(float ev);
// Nullopt when the image has no size.
std::optional<std::string> exifSizeText(uint16_t width, uint16_t height);
std::string exifFocalLengthText(uint16_t millimetres);
