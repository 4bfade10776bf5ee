#pragma once
// Exposure-step arithmetic for bracketing and focus stacking, battery read-outs and a
// value stepper over a property's list. No transactions: the vendor code, model index
// and steps per stop come from the installed camera services.
#include <cstdint>
#include <optional>
#include <vector>

#include "ptp/props/prop_types.h"

// Steps as EV (whole stops, halves or thirds by the camera's exposure step).
float camStepsToEv(int steps, float ev);
// n times value := trunc(value x 0.5 x (2 - factor)), kept within 0..2^32-1.
uint32_t camScaleRepeated(uint32_t value, int n, float factor);
// Passes of halving until value drops below 100 (at most 100 passes).
uint32_t camCountHalvings(uint32_t value, int mode, float factor);
// Longest table camBuildEvTable makes.
constexpr uint32_t kEvTableMaxEntries = 1024;
// count values base x 2^e centred on base, e growing by step; empty when count exceeds
// kEvTableMaxEntries or memory runs out.
std::vector<uint32_t> camBuildEvTable(uint32_t base, uint32_t count, float step);
// Battery level property value as percent, by vendor.
uint32_t camBatteryPercent(uint32_t level);

// Positions reachable from value in the code's list by whole steps of `step`: mode 2
// those towards the end plus 1, mode 1 those towards the start plus 1, mode 0 the bracket
// positions centred on value (2 x the smaller side + 1), any other mode 1. Aperture lists
// count the other way. 0 when the record, its list or the value is missing.
uint32_t propCountSteps(uint32_t code, uint32_t value, int step, int mode);
// The list entry count - 1 steps away from value (a copy), or the value's text when mode
// equals side; nullopt when it lies outside the list or value is not listed.
std::optional<PropertyValueNamesStruct> propStepValue(uint32_t code, uint32_t value, int step, int count, int mode,
                                                      int side);
