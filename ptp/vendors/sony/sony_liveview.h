#pragma once
// Sony live-view frames: a camera header followed by the JPEG.
#include <cstddef>
#include <cstdint>
#include <vector>

// Smallest frame whose focus fields are read.
constexpr size_t kSonyFocusFrameMinBytes = 1101;

// Offset of the first FF D8 FF DB, -1 when there is none.
int64_t sonyFindJpegStart(const uint8_t* buffer, size_t length);
// Moves the JPEG to the front and shortens the buffer; false (unchanged) without one.
bool sonyStripLiveViewHeader(std::vector<uint8_t>& buffer);
// Sony frames carry no orientation: always 1.
uint8_t sonyLiveViewFrameOrientation(const uint8_t* buffer, size_t length);
uint8_t sonyGetLiveViewOrientation();

// The focus frame of a direct-set body's frame: four u16 at 581 (models 176, 182, 183,
// 189) or 1093, handed out first, second, fourth, third. `modelIndex` and `directSet` are
// the Sony model state. False when the body or frame does not carry them.
bool sonyGetLiveViewFocusFrame(const uint8_t* frame, size_t length, uint16_t out[4],
                               uint8_t modelIndex, bool directSet);
