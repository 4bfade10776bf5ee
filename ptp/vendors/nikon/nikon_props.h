#pragma once
// Nikon property writes and reads over PTP: the value encoding of SetDevicePropValue,
// waiting for a value to take, re-reading values into the table, and the image-format,
// bracketing and flash settings built on them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ptp/base/response_codes.h"

// SetDevicePropValue 0x1016 for a record in the table (0xFF1B when absent). 0xD16A is
// sent inverted, 0xD01E through the Kelvin map; a string property sends the text of the
// list entry holding value (0xFF0B when none does).
PtpResponseCode nikonSetPropertyValue(uint32_t code, uint32_t value);
// Up to 10 re-reads 100 ms apart until the camera reports value.
bool nikonWaitPropertyValue(uint32_t code, uint32_t value);
// GetDevicePropValue into the record (string values become their list index, 0xD01E
// its Kelvin), then DevicePropChanged. False when the code is unknown or the read fails.
bool nikonRefreshPropertyValue(uint32_t code);
// Every record re-read; the first failure (0xFF01), 0xFF01 for an empty table.
PtpResponseCode nikonRefreshAllProperties();

PtpResponseCode nikonSetImageFormat(int64_t raw, int64_t jpeg);
PtpResponseCode nikonSetBracketing(uint32_t step);
PtpResponseCode nikonClearBracketing();
// 1: the remembered mode back (0x8010 by default); 0: remember the mode and switch off.
PtpResponseCode nikonSetFlashMode(uint32_t on);
// 0xD061 at 2 := 0 and 0xD161 at 4 := 0 (not waited), then DevicePropChanged for 0xD061.
void nikonResetLiveViewAfMode();
// A capture with the flash on or off. The flash setting is FlashMode 0x500C as
// nikonSetFlashMode switches it: 2 is off, any other mode on. When the body is in the
// other state the flash is switched, the picture taken through the camera interface
// (camTakePicture) and the flash switched back; the capture's failure is answered before
// the restore's. Without a 0x500C record there is nothing to switch: only the capture.
PtpResponseCode nikonCaptureWithFlash(bool flashOn);

// The 64 vendor codes as the heap list the device-link fetch takes.
PtpResponseCode nikonGetVendorPropCodes(std::vector<uint32_t>& codes);
// The capture command container (0x9207, or 0x100E without it) into buffer; bytes written.
size_t nikonBuildCaptureCommand(uint8_t* buffer, size_t size);
