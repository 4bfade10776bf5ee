#pragma once
// Fujifilm focus modes (0x500A: 1 manual, 0x8001 AF-S, 0x8002 AF-C), autofocus by a half
// press on the bodies that need it, and the focus stack.
#include <cstdint>
#include <functional>

#include "ptp/base/response_codes.h"

constexpr uint32_t kFujiManualFocus = 1;
constexpr uint32_t kFujiSingleAf = 0x8001;
// Busy answers to the focus-mode restore are retried at most this often.
constexpr int kFujiRestoreTries = 10;

bool fujiIsAutoFocusMode();
bool fujiIsManualFocus();
bool fujiCanAutoFocus();
PtpResponseCode fujiGetFocusMode(uint32_t& out);
// 0xFF1B for a `manual` other than 0 and 1; nothing is sent when the mode matches.
PtpResponseCode fujiSetManualFocus(int manual);
PtpResponseCode fujiStartAutoFocus();
PtpResponseCode fujiStopAutoFocus();
// count pictures, driving focus by step between them; progress(k) before each step.
PtpResponseCode fujiFocusStack(int count, int step, uint32_t delayMs, const std::function<void(int)>& progress);
