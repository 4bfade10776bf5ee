#pragma once
// The Sony focus point, read from the property table.
#include <cstdint>

constexpr uint32_t kSonyFocusPointCode = 0xD2DC;
// "Live View Location": older bodies report the point here.
constexpr uint32_t kSonyLiveViewLocationCode = 0xD232;

// x := the high 16 bits, y := the low 16 bits of the focus-point value (0xD2DC, else
// 0xD232). False, outputs untouched, when neither is tracked.
bool sonyGetFocusPoint(int32_t& x, int32_t& y);
