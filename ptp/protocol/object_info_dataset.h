#pragma once
// The PTP ObjectInfo dataset into the object record, and GetObjectInfo.
#include <cstddef>
#include <cstdint>

#include "ptp/base/object_info.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"

// Bytes of the fixed fields before the file name (Canon's 0x9170 carries 4 more).
constexpr size_t kObjectInfoFixedBytes = 52;

// Fills record from the dataset; op selects Canon's 0x9170 layout. False for null
// arguments or a dataset shorter than its fixed fields (record untouched then). The
// strings of the record are terminated whatever came in.
bool ptpParseObjectInfo(PtpObjectInfoStruct* record, const uint8_t* data, size_t length, uint16_t op);

// GetObjectInfo (Canon: 0x9170 when listed) for handle into record; objectId becomes the
// handle. Null record 0xFF15, unparsable dataset 0xFF06 (record untouched).
PtpResponseCode ptpGetObjectInfo(uint32_t handle, PtpObjectInfoStruct* record);

// Fujifilm carries the orientation in AssociationType: EXIF orientation, 0 for others.
uint8_t ptpFujiOrientationFromAssociation(uint16_t associationType);
