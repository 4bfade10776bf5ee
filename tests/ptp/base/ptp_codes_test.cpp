#include <gtest/gtest.h>

#include <cstdint>

#include "ptp/base/ptp_codes.h"

namespace {

// The library, the simulator and the tests all read the one table, so a wrong number in
// it would pass everywhere else: each code is held against the protocol's number here.
struct Code {
  const char* name;
  uint16_t value;
  uint16_t protocol;
};

#define KV_CODE(name, number) Code{#name, name, number}

constexpr Code kOperations[] = {
    KV_CODE(PTP_OC_GetDeviceInfo, 0x1001),
    KV_CODE(PTP_OC_OpenSession, 0x1002),
    KV_CODE(PTP_OC_CloseSession, 0x1003),
    KV_CODE(PTP_OC_GetStorageIDs, 0x1004),
    KV_CODE(PTP_OC_GetStorageInfo, 0x1005),
    KV_CODE(PTP_OC_GetNumObjects, 0x1006),
    KV_CODE(PTP_OC_GetObjectHandles, 0x1007),
    KV_CODE(PTP_OC_GetObjectInfo, 0x1008),
    KV_CODE(PTP_OC_GetObject, 0x1009),
    KV_CODE(PTP_OC_GetThumb, 0x100A),
    KV_CODE(PTP_OC_DeleteObject, 0x100B),
    KV_CODE(PTP_OC_InitiateCapture, 0x100E),
    KV_CODE(PTP_OC_GetDevicePropDesc, 0x1014),
    KV_CODE(PTP_OC_GetDevicePropValue, 0x1015),
    KV_CODE(PTP_OC_SetDevicePropValue, 0x1016),
    KV_CODE(PTP_OC_ResetDevicePropValue, 0x1017),
    KV_CODE(PTP_OC_TerminateOpenCapture, 0x1018),
    KV_CODE(PTP_OC_GetPartialObject, 0x101B),
    KV_CODE(PTP_OC_InitiateOpenCapture, 0x101C),
    KV_CODE(PTP_OC_CANON_GetStorageIDs, 0x9101),
    KV_CODE(PTP_OC_CANON_ListObjects, 0x9109),
    KV_CODE(PTP_OC_CANON_GetThumbEx, 0x910A),
    KV_CODE(PTP_OC_CANON_RemoteRelease, 0x910F),
    KV_CODE(PTP_OC_CANON_9117, 0x9117),
    KV_CODE(PTP_OC_CANON_SetUILock, 0x911B),
    KV_CODE(PTP_OC_CANON_ResetUILock, 0x911C),
    KV_CODE(PTP_OC_CANON_RemoteReleaseOn, 0x9128),
    KV_CODE(PTP_OC_CANON_RemoteReleaseOff, 0x9129),
    KV_CODE(PTP_OC_CANON_GetPartialObject, 0x912C),
    KV_CODE(PTP_OC_CANON_9132, 0x9132),
    KV_CODE(PTP_OC_CANON_Histogram, 0x913E),
    KV_CODE(PTP_OC_CANON_ListObjects9140, 0x9140),
    KV_CODE(PTP_OC_CANON_GetViewFinderData, 0x9153),
    KV_CODE(PTP_OC_CANON_DriveLens, 0x9155),
    KV_CODE(PTP_OC_CANON_GetObjectInfoEx, 0x9170),
    KV_CODE(PTP_OC_CANON_GetPartialObjectEx, 0x9172),
    KV_CODE(PTP_OC_NIKON_DeviceReady, 0x90C8),
    KV_CODE(PTP_OC_NIKON_GetLiveViewImage, 0x9203),
    KV_CODE(PTP_OC_NIKON_GetLiveViewImageEx, 0x9428),
    KV_CODE(PTP_OC_SONY_SetControlDeviceB, 0x9207),
};

constexpr Code kResponses[] = {
    KV_CODE(PTP_RC_Undefined, 0x2000),
    KV_CODE(PTP_RC_OK, 0x2001),
    KV_CODE(PTP_RC_GeneralError, 0x2002),
    KV_CODE(PTP_RC_OperationNotSupported, 0x2005),
    KV_CODE(PTP_RC_ParameterNotSupported, 0x2006),
    KV_CODE(PTP_RC_InvalidStorageID, 0x2008),
    KV_CODE(PTP_RC_InvalidObjectHandle, 0x2009),
    KV_CODE(PTP_RC_DeviceBusy, 0x2019),
    KV_CODE(PTP_RC_InvalidDevicePropValue, 0x201C),
    KV_CODE(PTP_RC_InvalidParameter, 0x201D),
    KV_CODE(PTP_RC_SessionAlreadyOpen, 0x201E),
    KV_CODE(PTP_RC_CANON_Busy, 0xA102),
};

constexpr Code kEvents[] = {
    KV_CODE(PTP_EC_ObjectAdded, 0x4002),
    KV_CODE(PTP_EC_ObjectRemoved, 0x4003),
    KV_CODE(PTP_EC_DevicePropChanged, 0x4006),
    KV_CODE(PTP_EC_DEVICE_RowObjectAdded, 0x4FF0),
    KV_CODE(PTP_EC_DEVICE_RowPropertyChanged, 0x4FF1),
};

constexpr Code kProperties[] = {
    KV_CODE(PTP_DPC_ImageSize, 0x5003),
    KV_CODE(PTP_DPC_CompressionSetting, 0x5004),
    KV_CODE(PTP_DPC_FNumber, 0x5007),
    KV_CODE(PTP_DPC_FocusMode, 0x500A),
    KV_CODE(PTP_DPC_ExposureTime, 0x500D),
    KV_CODE(PTP_DPC_ExposureProgramMode, 0x500E),
    KV_CODE(PTP_DPC_ExposureIndex, 0x500F),
    KV_CODE(PTP_DPC_ExposureBiasCompensation, 0x5010),
    KV_CODE(PTP_DPC_FocusMeteringMode, 0x501C),
    KV_CODE(PTP_DPC_CANON_ISOSpeed, 0xD103),
    KV_CODE(PTP_DPC_NIKON_LiveViewDriveMode, 0xD1A1),
    KV_CODE(PTP_DPC_SONY_FocusDrive, 0xD2D1),
    KV_CODE(PTP_DPC_SONY_ISO, 0xD21E),
};

#undef KV_CODE

template <size_t N>
void expectProtocolNumbers(const Code (&codes)[N]) {
  for (const Code& c : codes) EXPECT_EQ(c.value, c.protocol) << c.name;
}

}  // namespace

TEST(PtpCodes, OperationsCarryTheProtocolNumbers) { expectProtocolNumbers(kOperations); }
TEST(PtpCodes, ResponsesCarryTheProtocolNumbers) { expectProtocolNumbers(kResponses); }
TEST(PtpCodes, EventsCarryTheProtocolNumbers) { expectProtocolNumbers(kEvents); }
TEST(PtpCodes, PropertiesCarryTheProtocolNumbers) { expectProtocolNumbers(kProperties); }
