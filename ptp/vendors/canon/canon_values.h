#pragma once
// Canon EOS value rules: property datatypes, the packed image-format value, exposure and
// bracketing codes in eighth stops, ISO and shutter-speed codes, and the read-outs of the
// property table that the camera interface asks the Canon module for.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ptp/base/response_codes.h"

struct PropertyStruct;

constexpr uint32_t kCanonImageFormatCode = 0xD120;
constexpr uint32_t kCanonBracketingCode = 0xD1D9;

// PTP datatype of a Canon property code.
int32_t canonPropertyDatatype(uint32_t code);

// The camera's image-format structure (count, then 16-byte entries of size, type, size
// code, quality) into the packed value; `consumed` := 20 or 36. 0xFF15 when an entry does
// not fit in `data`; 0xFF0A when the count is not 1 or 2.
PtpResponseCode canonPackImageFormat(std::span<const uint8_t> data, uint32_t& packed, size_t& consumed);
// The packed value back into the structure (20 or 36 bytes); 0xFF15 for a count other
// than 1 or 2.
PtpResponseCode canonUnpackImageFormat(uint32_t packed, std::vector<uint8_t>& out);

// The RAW and JPEG parts of the current 0xD120 value (one-entry packed values, -1 for
// none); 0xFF01 without 0xD120.
PtpResponseCode canonGetRawFormat(int64_t& packed);
PtpResponseCode canonGetJpegFormat(int64_t& packed);
// -1 first, then every one-entry allowed 0xD120 value of that image type (at most 33).
PtpResponseCode canonGetImageFormatChoices(uint32_t type, std::vector<int64_t>& choices);
// The value that sets RAW and JPEG parts together (-1: none); 0xFF15 when both are none.
PtpResponseCode canonComposeImageFormat(int64_t raw, int64_t jpeg, uint32_t& value);
// Sets 0xD120 from the RAW and JPEG parts (-1: none) and waits for the camera to report it.
PtpResponseCode canonSetImageFormat(int64_t raw, int64_t jpeg);
// Size code and quality of the entry of that image type; 0xFF01 when none has it.
PtpResponseCode canonDecodeImageFormat(uint32_t packed, uint8_t type, uint16_t& sizeCode, uint8_t& quality);
bool canonQualityIncludesJpeg(uint32_t packed);
// The object format of this body's raw files.
uint16_t canonRawObjectFormat();

float canonExposureBiasToEv(uint32_t code);
uint32_t canonEvToExposureBias(float ev);
// 2 (half stops) or 3 (third stops), read from the table's lists.
int canonGetEvStepsPerStop();
float canonGetExposureBiasMax();
float canonGetExposureBiasMin();
bool canonIsExposureBiasAdjustable();
bool canonIsBracketingAvailable(bool checkProperty);
int canonGetBracketingShots();
std::vector<float> canonGetBracketingSequence(float ev);
// The largest 0xD1D9 choice in EV (0 for an empty list); nullopt without the record.
std::optional<float> canonMaxBracketingEvFromTable();
// The same, 0 when the body has no bracketing property (the camera interface caches it).
float canonGetMaxBracketingEv();
// Bracketing off: 0xFF1B without 0xD1D9, nothing sent when it is off already.
PtpResponseCode canonClearBracketing();
// Replaces the record's list with the bracketing choices of this body's exposure step.
void canonFillBracketingChoices(PropertyStruct& record);
bool canonIsBulbSelected();
bool canonIsContinuousDriveValue(uint32_t value);
// ISO number of a Canon ISO code (0 for codes not listed).
float canonIsoCodeToValue(uint32_t code);
uint32_t canonShutterSpeedToMs(uint32_t code);
// The pair of list values between which fixed-range steps are counted.
bool canonGetFixedRange(uint32_t code, uint32_t& min, uint32_t& max);

// The Canon exposure mode (0xD138, else 0xD105) or nullopt without either record.
std::optional<uint32_t> canonExposureMode();
