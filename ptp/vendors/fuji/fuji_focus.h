#pragma once
// Fujifilm focus state read from the property table: the AF status and the AF frame
// the camera reports through four pseudo-properties.
#include <cstdint>

#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiAfStatusCode = 0xD209;
constexpr uint32_t kFujiAfStatusInFocus = 2;
// Centre x, centre y, width, height, each in thousandths of the picture.
constexpr uint32_t kFujiAfFrameCodes[4] = {0xEEE0, 0xEEE1, 0xEEE2, 0xEEE3};

// The AF status reads "in focus"; false when the status is not tracked.
bool fujiIsInFocus();
// The AF frame as fractions of the picture. Each tracked value is written out; PTP_RC_OK
// only when all four are tracked, else ERROR_GENERAL (so a missing one never reads as 0).
PtpResponseCode fujiGetAfFrame(float& x, float& y, float& width, float& height);
