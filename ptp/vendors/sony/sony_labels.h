#pragma once
// The Sony label table (property names, datatypes, value names), installed into the
// property table while a Sony body is connected, and the value lists the module builds
// itself for bodies that are dialled rather than set directly.
#include <cstdint>
#include <span>
#include <vector>

#include "ptp/props/prop_types.h"

// The row holding this code ends the table.
constexpr uint32_t kSonyLabelEndCode = 0xD2D4;

// The 48 rows in table order, the first {0, "Unknown"}, the last the end code's.
std::span<const PropertyLabelRow> sonyPropertyLabels();

// "Shutter Speed" 0xD20D for a model and exposure mode (0x500E value): 53 values on
// models 166, 167, 168, 174, 175, else 56; movie modes 0x8050 / 0x78050 start at 1/4 s.
std::vector<uint32_t> sonyShutterSpeedList(uint8_t modelIndex, uint32_t exposureMode);
// "ISO" 0xD21E: automatic ISO (0xFFFFFF) followed by third-stop ISO numbers; the movie
// modes 0x8050 / 0x78050 have their own list. Model 182 (and unknown models) get none.
std::vector<uint32_t> sonyIsoList(uint8_t modelIndex, uint32_t exposureMode);
// "Aperture" 0x5007: 34 F-numbers times 100.
std::vector<uint32_t> sonyApertureList();
// "Color Temperature" 0xD20F: 75 temperatures in kelvin.
std::vector<uint32_t> sonyColorTemperatureList();

// Whether an "Auto Exposure Mode" value is one of the two movie modes that change the
// shutter and ISO lists.
bool sonyIsMovieExposureMode(uint32_t exposureMode);
