#pragma once
// Sony value rules read from the property table: display texts, shutter and exposure
// arithmetic, drive, bulb and focus predicates, and small frame helpers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The module's own text for a value: "Aperture" as an F-number, the two compensations
// in EV, and the focus, exposure-mode and metering names; nullopt for every other code
// (the label table's names then serve).
std::optional<std::string> sonyValueText(uint32_t code, uint32_t value);
// The text stored with a value: the module's text, else the label table's, else the
// number.
std::string sonyDisplayText(uint32_t code, uint32_t value, int32_t datatype);

// (numerator << 16 | denominator) seconds in milliseconds; 0 for values below 0x10000,
// numerator 0xFFFF or denominator 0.
uint32_t sonyShutterSpeedToMs(uint32_t value);
// The current "Shutter Speed" in seconds (0 when not a timed value).
double sonyExposureSeconds();
float sonyExposureBiasToEv(uint32_t value);
uint32_t sonyEvToExposureBias(float ev);

// The shots a bracketing drive code takes (0: not bracketing).
int sonyBracketingShots(uint32_t driveMode);
bool sonyIsContinuousDriveValue(uint32_t value);
bool sonyIsContinuousDrive();
bool sonyIsDriveCodeSpecial();

float sonyGetExposureBiasMax();
float sonyGetExposureBiasMin();
bool sonyIsExposureBiasAdjustable();

bool sonyIsBulbSelected();
bool sonyIsBulbSupported();
bool sonyIsManualFocus();
bool sonyIsAutoFocusMode();
bool sonyIsInFocus();
bool sonyIsWideFocusArea();
bool sonyIsFlashModeSettable();
bool sonyIsLiveViewZoomEnabled();
// "Zoom Bar Information": its fourth, third and first byte; false without the property.
bool sonyGetZoomBarInfo(uint8_t& a, uint8_t& b, uint8_t& c);

uint32_t sonyGetFixedRange();

// The TIFF preview of a Sony raw: "II" within the first 100 bytes, then the entries of
// tags 0x0201 and 0x0202 (type 4, count 1) of its first directory. The offset is relative
// to the "II". False when not found or when the preview is no whole JPEG inside the buffer;
// the length answered ends at the JPEG's end of image.
bool sonyFindTiffPreview(const uint8_t* buffer, size_t length, uint32_t& offset, uint32_t& previewLength);
