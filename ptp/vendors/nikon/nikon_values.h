#pragma once
// Nikon value rules read from the property table: the composite image-quality value and
// its RAW and JPEG parts, exposure compensation and bracketing steps, shutter speed,
// flash and speedlight read-outs, auto ISO, drive and focus-mode predicates, and the
// white-balance Kelvin map. Nothing here talks to the camera.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "ptp/base/response_codes.h"
#include "ptp/props/prop_types.h"

// Image quality. The table keeps 0x5004 as a composite: low 16 bits the camera's quality
// value, bits 16-23 the image size (0x5003), bits 24-31 the RAW image size (0xD0B6).
uint32_t nikonComposeImageQuality(uint32_t quality, uint32_t imageSize, uint32_t rawSize);
// Rewrites the 0x5004 record's value as the composite of the three records.
void nikonRebuildImageQuality();
// Model 229, or a 0x5004 list of more than ten values.
bool nikonHasManyQualityValues();
bool nikonQualityIncludesRaw();
bool nikonQualityHasRaw(uint32_t value);
bool nikonQualityIncludesJpeg(uint32_t value);
// Size code of a packed RAW (type 6) or JPEG (type 1) value; quality := 0. 0xFF01 when the
// packed value holds no part of that type; 0xFF15 for a null out.
PtpResponseCode nikonDecodeImageFormat(uint32_t packed, uint8_t type, uint16_t* sizeCode, uint8_t* quality);
// The packed RAW / JPEG part of the current quality (-1: none); 0xFF01 without 0x5004.
PtpResponseCode nikonGetRawFormat(int64_t& packed);
PtpResponseCode nikonGetJpegFormat(int64_t& packed);
// The camera quality value that records these packed parts (-1: none); -1 when both are none.
int64_t nikonQualityValueFor(int64_t raw, int64_t jpeg);
// -1 first, then the packed choices of that type (1 JPEG, 6 RAW).
PtpResponseCode nikonGetImageFormatChoices(uint32_t type, std::vector<int64_t>& list);
// "RAW", "M RAW + L JPG (FINE)", "--" for -1.
std::string nikonImageQualityText(int64_t packed);

// Exposure compensation in thousandths of a stop (INT16).
float nikonExposureBiasToEv(uint32_t value);
uint32_t nikonEvToExposureBias(float ev);
int nikonGetEvStepsPerStop();
float nikonGetExposureBiasMax();
float nikonGetExposureBiasMin();
float nikonGetFlashBiasMax();
float nikonGetFlashBiasMin();
bool nikonIsExposureBiasAdjustable();
bool nikonIsBracketingAvailable();

// Bracketing.
float nikonBracketingStepToEv(uint32_t step, bool force);
uint32_t nikonEvToBracketingStep(float ev);
bool nikonGetBracketingShots(uint8_t& below, uint8_t& above);
int nikonGetBracketingSequence(std::vector<float>& offsets, bool force, float ev);
// The largest step of the 0xD0C1 list in EV (0 without it).
float nikonGetMaxBracketingEv();

uint32_t nikonShutterSpeedToMs(uint32_t value);
bool nikonGetFixedRange(uint32_t code, uint32_t& min, uint32_t& max);
bool nikonIsBulbSelected();
bool nikonIsBulbSupported();
bool nikonIsLensTypeZero();

// Flash and speedlight (0 when the record is missing).
uint32_t nikonIsSpeedlightMounted();
uint32_t nikonGetSpeedlightChargeStatus();
uint32_t nikonGetFlashMode();
uint32_t nikonGetSpeedlightFlashMode();
uint8_t nikonGetBurstLimit();
bool nikonIsMirrorUp();
bool nikonHasMirrorUpSetting();
bool nikonHasModelCapabilityA();

// Auto ISO.
PropertyStruct* nikonGetAutoIsoRecord();
uint32_t nikonGetAutoIsoCode();
bool nikonIsNotAutoIsoRecord(const PropertyStruct* record);
bool nikonHasAutoIsoSetting();

bool nikonIsContinuousDriveValue(uint32_t code, uint32_t value);
uint32_t nikonFocusModeCode();
bool nikonIsRecentModel();
bool nikonModelHasIsoAuto();
bool nikonModelHasWbKelvinMap();
// Kelvin-map index to Kelvin on model 197 (above 30: 5000); other models unchanged.
uint32_t nikonMapWhiteBalanceKelvin(uint32_t value);
// Kelvin to the index of the nearest map entry on model 197; other models unchanged.
uint32_t nikonKelvinToWhiteBalanceIndex(uint32_t kelvin);

// AF-mode read-outs.
uint32_t nikonLiveViewAfModeStep();
uint32_t nikonAutoFocusModeStep();
PropertyStruct* nikonAfAreaRecordFor(uint32_t focusMode, bool lock);
bool nikonIsAutoFocusMode();
bool nikonCanAutoFocus();
bool nikonIsHostMode();

// The model index tests used throughout the module.
bool nikonModelIn(std::initializer_list<uint8_t> models);
bool nikonModelBetween(uint8_t low, uint8_t high);
