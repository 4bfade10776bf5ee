#pragma once
// Canon image extraction: the JPEG start of live-view replies, the GetThumbEx (0x910A)
// thumbnail cut, and the preview JPEG inside CR2 and CR3 raw files.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"

// First p in 0 .. min(length - 5, 255) holding FF D8 FF C4 or FF D8 FF DB; -1 when there
// is none (a null buffer or fewer than 4 bytes included).
int64_t canonFindJpegStart(const uint8_t* data, size_t length);

// Moves the thumbnail JPEG of a GetThumbEx reply to the front and shortens the data.
// With `orientation`, the JPEG is looked for from the first Orientation entry (12 01) on
// and that entry's value byte is stored when the data holds it. PTP_RC_OK, or
// ERROR_INVALID_INPUT (data unchanged) when no JPEG is found.
PtpResponseCode canonExtractThumbJpeg(std::vector<uint8_t>& data, uint8_t* orientation);

// Preview JPEG of a little-endian TIFF raw (CR2), located in place. False, with both
// outputs 0, unless a non-empty JPEG lies wholly inside the data.
bool canonFindCr2Jpeg(const uint8_t* data, size_t length, uint32_t& offset, uint32_t& jpegLength);

// Preview JPEG of a CR3 (ISO base media) raw, located in place from its "free" box length
// and its first "co64" chunk offset. Same result rules as above.
bool canonFindEmbeddedJpeg(const uint8_t* data, size_t length, uint32_t& offset,
                           uint32_t& jpegLength);
