#include "model/ptp_errors.h"

#include <array>
#include <utility>

#include "platform/bundle.h"
#include "ptp/base/camera_vendor.h"
#include "ptp/base/response_codes.h"

namespace {

using CodeKey = std::pair<uint16_t, const char*>;

// Keys of the standard codes 0x2000-0x2020, in code order.
constexpr std::array<const char*, 0x21> kStandardKeys = {
    "PTP_Response_Undefined",
    "PTP_Response_OK",
    "PTP_Response_GeneralError",
    "PTP_Response_SessionNotOpen",
    "PTP_Response_InvalidTransactionID",
    "PTP_Response_OperationNotSupported",
    "PTP_Response_ParameterNotSupported",
    "PTP_Response_IncompleteTransfer",
    "PTP_Response_InvalidStorageId",
    "PTP_Response_InvalidObjectHandle",
    "PTP_Response_DevicePropNotSupported",
    "PTP_Response_InvalidObjectFormatCode",
    "PTP_Response_StoreFull",
    "PTP_Response_ObjectWriteProtected",
    "PTP_Response_StoreReadOnly",
    "PTP_Response_AccessDenied",
    "PTP_Response_NoThumbnailPresent",
    "PTP_Response_SelfTestFailed",
    "PTP_Response_PartialDeletion",
    "PTP_Response_StoreNotAvailable",
    "PTP_Response_SpecificationByFormatUnsupported",
    "PTP_Response_NoValidObjectInfo",
    "PTP_Response_InvalidCodeFormat",
    "PTP_Response_UnknownVendorCode",
    "PTP_Response_CaptureAlreadyTerminated",
    "PTP_Response_DeviceBusy",
    "PTP_Response_InvalidParentObject",
    "PTP_Response_InvalidDevicePropFormat",
    "PTP_Response_InvalidDevicePropValue",
    "PTP_Response_InvalidParameter",
    "PTP_Response_SessionAlreadyOpened",
    "PTP_Response_TransactionCanceled",
    "PTP_Response_SpecificationOfDestinationUnsupported",
};

// Codes whose key does not depend on the camera.
constexpr CodeKey kFixedKeys[] = {
    {DEVICE_RELAY_RESPONSE_ERROR, "RELAY_RESPONSE_ERROR"},
    {DEVICE_CONTROL_ERROR, "CONTROL_ERROR"},
    {0xA002, "NIKON_Out_Of_Focus"},
    {ERROR_GENERAL, "ERROR_GENERAL"},
    {ERROR_INVALID_TYPE, "ERROR_INVALID_TYPE"},
    {PTP_ERROR_PROP_NOT_CONFIRMED, "PTP_ERROR_PROP_NOT_CONFIRMED"},
    {ERROR_CAMERA_NOT_SUPPORTED, "ERROR_CAMERA_NOT_SUPPORTED"},
    {ERROR_INVALID_INPUT, "ERROR_INVALID_INPUT"},
    {ERROR_BULB_MODE_INVALID, "ERROR_BULB_MODE_INVALID"},
    {PTP_ERROR_UNSUPPORTED_COMMAND, "PTP_ERROR_UNSUPPORTED_COMMAND"},
    {ERROR_INVALID_CONTINUOUS_DRIVE_MODE, "ERROR_INVALID_CONTINUOUS_DRIVE_MODE"},
};

// Codes with a fixed English text, not looked up.
constexpr std::pair<uint16_t, const char*> kLiteralTexts[] = {
    {DEVICE_SD_CARD_MISSING, "SD Card missing or not mounted."},
    {ERROR_CONNECTION, "Connection failure."},
    {ERROR_CANCELLED, "Action cancelled."},
};

constexpr CodeKey kNikonKeys[] = {
    {0xA001, "NIKON_Hardware_Error"},
    {0xA003, "NIKON_Change_CameraMode_Failed"},
    {0xA004, "NIKON_Invalid_Status"},
    {0xA006, "NIKON_Wb_Preset_Error"},
    {0xA007, "NIKON_Dust_Reference_Error"},
    {0xA008, "NIKON_Shutter_Speed_Bulb"},
    {0xA009, "NIKON_Mirror_Up_Sequence"},
    {0xA00A, "NIKON_CameraMode_Not_Adjust_Fnumber"},
    {0xA00B, "NIKON_Not_LiveView"},
    {0xA00C, "NIKON_MfDrive_Step_End"},
    {0xA00E, "NIKON_MfDrive_Step_Insufficiency"},
    {0xA021, "NIKON_Store_Error"},
    {0xA022, "NIKON_Store_Unformatted"},
    {0xA200, "NIKON_Bulb_Release_Busy"},
    {0xA801, "NIKON_Invalid_ObjectPropCode"},
    {0xA802, "NIKON_Invalid_ObjectProp_Format"},
};

constexpr CodeKey kCanonKeys[] = {
    {0xA001, "CANON_Response_Unknown_Command"},
    {0xA005, "CANON_Response_Operation_Refused"},
    {0xA006, "CANON_Response_Lens_Cover"},
    {0xA101, "CANON_Response_Battery_Low"},
    {0xA102, "CANON_Response_Not_Ready"},
    {0xA104, "CANON_Response_CannotMakeObject"},
    {0xA106, "CANON_Response_MemoryStatusNotReady"},
};

constexpr CodeKey kFujifilmKeys[] = {
    {0xA001, "PTP_Response_DeviceBusy"},
};

template <size_t N>
const char* find(const CodeKey (&table)[N], uint16_t code) {
  for (const CodeKey& row : table)
    if (row.first == code) return row.second;
  return nullptr;
}

QString localized(const char* key) { return Bundle::localizedString(QString::fromLatin1(key), QString()); }

const char* vendorKey(uint16_t code) {
  if (camIsNikon()) return find(kNikonKeys, code);
  if (camIsCanon()) return find(kCanonKeys, code);
  if (camIsFujifilm()) return find(kFujifilmKeys, code);
  return nullptr;
}

}  // namespace

QString PtpErrors::stringForResponseCode(uint16_t code) {
  if (code >= PTP_RC_Undefined && code < PTP_RC_Undefined + kStandardKeys.size())
    return localized(kStandardKeys[code - PTP_RC_Undefined]);
  for (const auto& [literalCode, text] : kLiteralTexts)
    if (literalCode == code) return QString::fromLatin1(text);
  if (const char* key = find(kFixedKeys, code)) return localized(key);
  if (const char* key = vendorKey(code)) return localized(key);
  return QStringLiteral("0x") + QString::number(code, 16).toUpper();
}

QString PtpErrors::appendString(const QString& text, uint16_t withResponseCode) {
  return QStringLiteral("%1 %2").arg(text, stringForResponseCode(withResponseCode));
}
