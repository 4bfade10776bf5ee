#pragma once
// The PTP codes the library, the simulator and the tests speak, each named once here.
//   PTP_OC_<Name>   operation         PTP_RC_<Name>   response
//   PTP_EC_<Name>   event             PTP_DPC_<Name>  device property
// A maker's code takes the maker after the kind (PTP_OC_CANON_GetThumbEx). Only the
// codes a layer below vendors/ needs are here; a maker's other codes stay in its folder.
#include <cstdint>

// Operations.
constexpr uint16_t PTP_OC_GetDeviceInfo = 0x1001;
constexpr uint16_t PTP_OC_OpenSession = 0x1002;
constexpr uint16_t PTP_OC_CloseSession = 0x1003;
constexpr uint16_t PTP_OC_GetStorageIDs = 0x1004;
constexpr uint16_t PTP_OC_GetStorageInfo = 0x1005;
constexpr uint16_t PTP_OC_GetNumObjects = 0x1006;
constexpr uint16_t PTP_OC_GetObjectHandles = 0x1007;
constexpr uint16_t PTP_OC_GetObjectInfo = 0x1008;
constexpr uint16_t PTP_OC_GetObject = 0x1009;
constexpr uint16_t PTP_OC_GetThumb = 0x100A;
constexpr uint16_t PTP_OC_DeleteObject = 0x100B;
constexpr uint16_t PTP_OC_InitiateCapture = 0x100E;
constexpr uint16_t PTP_OC_GetDevicePropDesc = 0x1014;
constexpr uint16_t PTP_OC_GetDevicePropValue = 0x1015;
constexpr uint16_t PTP_OC_SetDevicePropValue = 0x1016;
constexpr uint16_t PTP_OC_ResetDevicePropValue = 0x1017;
constexpr uint16_t PTP_OC_TerminateOpenCapture = 0x1018;
constexpr uint16_t PTP_OC_GetPartialObject = 0x101B;
constexpr uint16_t PTP_OC_InitiateOpenCapture = 0x101C;

constexpr uint16_t PTP_OC_CANON_GetStorageIDs = 0x9101;
constexpr uint16_t PTP_OC_CANON_ListObjects = 0x9109;
constexpr uint16_t PTP_OC_CANON_GetThumbEx = 0x910A;
constexpr uint16_t PTP_OC_CANON_RemoteRelease = 0x910F;
constexpr uint16_t PTP_OC_CANON_9117 = 0x9117;
constexpr uint16_t PTP_OC_CANON_SetUILock = 0x911B;
constexpr uint16_t PTP_OC_CANON_ResetUILock = 0x911C;
constexpr uint16_t PTP_OC_CANON_RemoteReleaseOn = 0x9128;
constexpr uint16_t PTP_OC_CANON_RemoteReleaseOff = 0x9129;
constexpr uint16_t PTP_OC_CANON_GetPartialObject = 0x912C;
constexpr uint16_t PTP_OC_CANON_9132 = 0x9132;
constexpr uint16_t PTP_OC_CANON_Histogram = 0x913E;
constexpr uint16_t PTP_OC_CANON_ListObjects9140 = 0x9140;
constexpr uint16_t PTP_OC_CANON_GetViewFinderData = 0x9153;
constexpr uint16_t PTP_OC_CANON_DriveLens = 0x9155;
constexpr uint16_t PTP_OC_CANON_GetObjectInfoEx = 0x9170;
constexpr uint16_t PTP_OC_CANON_GetPartialObjectEx = 0x9172;
constexpr uint16_t PTP_OC_NIKON_DeviceReady = 0x90C8;
constexpr uint16_t PTP_OC_NIKON_GetLiveViewImage = 0x9203;
constexpr uint16_t PTP_OC_NIKON_GetLiveViewImageEx = 0x9428;
constexpr uint16_t PTP_OC_SONY_SetControlDeviceB = 0x9207;

// Responses (the library's own result codes are in response_codes.h).
constexpr uint16_t PTP_RC_Undefined = 0x2000;
constexpr uint16_t PTP_RC_OK = 0x2001;
constexpr uint16_t PTP_RC_GeneralError = 0x2002;
constexpr uint16_t PTP_RC_OperationNotSupported = 0x2005;
// A set of a property the table lacks, or of a value it does not list, is refused with
// this code (the value callers have always seen; PTP names 0x200A DevicePropNotSupported).
constexpr uint16_t PTP_RC_ParameterNotSupported = 0x2006;
constexpr uint16_t PTP_RC_InvalidStorageID = 0x2008;
constexpr uint16_t PTP_RC_InvalidObjectHandle = 0x2009;
constexpr uint16_t PTP_RC_DeviceBusy = 0x2019;
constexpr uint16_t PTP_RC_InvalidDevicePropValue = 0x201C;
constexpr uint16_t PTP_RC_InvalidParameter = 0x201D;
constexpr uint16_t PTP_RC_SessionAlreadyOpen = 0x201E;

constexpr uint16_t PTP_RC_CANON_Busy = 0xA102;

// Events.
constexpr uint16_t PTP_EC_ObjectAdded = 0x4002;
constexpr uint16_t PTP_EC_ObjectRemoved = 0x4003;
constexpr uint16_t PTP_EC_DevicePropChanged = 0x4006;

// The kinds of the device's own event rows.
constexpr uint16_t PTP_EC_DEVICE_RowObjectAdded = 0x4FF0;
constexpr uint16_t PTP_EC_DEVICE_RowPropertyChanged = 0x4FF1;

// Device properties.
constexpr uint16_t PTP_DPC_ImageSize = 0x5003;
constexpr uint16_t PTP_DPC_CompressionSetting = 0x5004;
constexpr uint16_t PTP_DPC_FNumber = 0x5007;
constexpr uint16_t PTP_DPC_FocusMode = 0x500A;
constexpr uint16_t PTP_DPC_ExposureTime = 0x500D;
constexpr uint16_t PTP_DPC_ExposureProgramMode = 0x500E;
constexpr uint16_t PTP_DPC_ExposureIndex = 0x500F;
constexpr uint16_t PTP_DPC_ExposureBiasCompensation = 0x5010;
constexpr uint16_t PTP_DPC_FocusMeteringMode = 0x501C;

constexpr uint16_t PTP_DPC_CANON_ISOSpeed = 0xD103;
constexpr uint16_t PTP_DPC_NIKON_LiveViewDriveMode = 0xD1A1;
constexpr uint16_t PTP_DPC_SONY_FocusDrive = 0xD2D1;
constexpr uint16_t PTP_DPC_SONY_ISO = 0xD21E;
