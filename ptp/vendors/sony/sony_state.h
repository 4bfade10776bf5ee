#pragma once
// Per-connection Sony state that several module files share. Each is one atomic, read and
// written from the caller's thread and the event poller alike.
#include <cstdint>
#include <vector>

// Which way the last focus toggle went (true: focus engaged by the toggle).
bool sonyIsFocusEngaged();
void sonySetFocusEngaged(bool engaged);
// Set when start-autofocus found the body in manual focus and switched it.
bool sonyAfSwitched();
void sonySetAfSwitched(bool switched);
// When set, capture-and-wait waits twice the exposure time.
bool sonyLongExposure();
void sonySetLongExposure(bool on);
// The live-view position pair last reported with "Zoom Amount" 0xD254 (high << 16 | low).
uint32_t sonyLiveViewPosition();
void sonySetLiveViewPosition(uint32_t position);
// The first bytes of the last live-view frame, kept when the body reports 0xD253.
std::vector<uint8_t> sonyLastLiveViewHeader();
void sonySetLastLiveViewHeader(std::vector<uint8_t> header);

// Everything above back to its start value (camera set-up).
void sonyResetModuleState();
