#pragma once
// The Fujifilm AF point: the "Focus Area" text 0xD395 ("column,row,size", offsets from
// the centre in -19..19, size one digit), its grid from "Focus Points" 0xD025, and the AF
// frame pseudo-properties 0xEEE0-0xEEE3.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiFocusArea = 0xD395;
constexpr uint32_t kFujiFocusPoints = 0xD025;
constexpr int kFujiFocusOffsetLimit = 19;

struct FujiFocusPoint {
  int row = 0;
  int column = 0;
  int size = 0;
};

// "column,row,size"; nullopt when an offset lies outside -19..19 or the size is not a digit.
std::optional<std::string> fujiFormatFocusArea(const FujiFocusPoint& point);
// The text back into a point; nullopt unless it is exactly that form.
std::optional<FujiFocusPoint> fujiParseFocusArea(std::string_view text);

PtpResponseCode fujiGetFocusPoint(FujiFocusPoint& point);
// Writes the point (0xFF15 outside the ranges), switching to manual focus for the write
// on the bodies that need it.
PtpResponseCode fujiSetFocusPoint(const FujiFocusPoint& point);
// 0 row + 1, 1 row - 1, 2 column - 1, 3 column + 1; others keep the point.
PtpResponseCode fujiMoveAfPoint(int direction);
// x, y: fractions of the frame, y from the top.
PtpResponseCode fujiSetAfPoint(float x, float y);
// The AF frame read back into its pseudo-properties, marking those that change.
PtpResponseCode fujiSyncAfFrameProperties();
