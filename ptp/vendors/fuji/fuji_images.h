#pragma once
// The preview JPEG inside a Fujifilm RAF raw.
#include <cstddef>
#include <cstdint>

// The first FF D8 FF E1 among the first 500 positions starts the JPEG; its length is
// measured to its end marker. False, both outputs 0, when there is none or it is empty.
bool fujiFindEmbeddedJpeg(const uint8_t* data, size_t length, uint32_t& offset,
                          uint32_t& jpegLength);
