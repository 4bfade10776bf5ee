#pragma once
// Objects on the camera: whole objects, thumbnails, byte ranges, deletion, and the
// Canon-only housekeeping operations.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

// Sony 0xFF0F; Fujifilm sends the handle only, others handle and format. A Nikon
// deletion also queues ObjectRemoved for the handle.
PtpResponseCode ptpDeleteObject(uint32_t handle, uint16_t format);
PtpResponseCode ptpGetObject(uint32_t handle, ByteBuffer& data);
// The object (or thumbnail) written to path through a temporary file; 0xFF01 when the
// file cannot be written.
PtpResponseCode ptpGetObjectToFile(const std::string& path, uint32_t handle);
// Sony 0xFF0F; Canon its own read (flag passed on); others GetThumb.
// Canon also yields the thumbnail's orientation byte when orientation is given.
PtpResponseCode ptpGetThumb(uint32_t handle, ByteBuffer& data, uint32_t flag, uint8_t* orientation = nullptr);
PtpResponseCode ptpGetThumbToFile(const std::string& path, uint32_t handle);
// The thumbnail copied into buffer with its size in length when it fits; 0xFF12 with
// length 0 when it does not, or the failed fetch's code. The status never stands in for
// the length.
PtpResponseCode ptpGetThumbToBuffer(uint32_t handle, uint8_t* buffer, uint32_t capacity, uint32_t& length);

bool ptpCanGetPartialObject();
// Fujifilm, Sony, Nikon GetPartialObject; Canon its listed variant; others 0xFF0F.
PtpResponseCode ptpGetPartialObject(uint32_t handle, uint32_t offset, uint32_t maxBytes, ByteBuffer& data);

// Canon only (success without sending otherwise, or when the camera does not list them).
PtpResponseCode ptpCanonOp9117(uint32_t handle);
PtpResponseCode ptpCanonOp9132();
// Resent while busy, every 500 ms for up to `seconds`; a negative time (no limit given)
// is capped at kCanon911BMaxResends.
constexpr long kCanon911BMaxResends = 120;
PtpResponseCode ptpCanonOp911B(double seconds);
PtpResponseCode ptpCanonOp911C();
