#pragma once
// The camera's DeviceInfo: the dataset parse, the one stored block that answers which
// operations may be sent, and the vendor decided from its manufacturer text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ptp/base/response_codes.h"

constexpr size_t kPtpTextBytes = 320;
constexpr uint32_t kPtpMaxCodes = 320;

struct PtpCodeList {
  uint32_t count;
  uint16_t codes[kPtpMaxCodes];
};

struct PtpDeviceInfoStruct {
  uint16_t standardVersion;
  uint32_t vendorExtensionId;
  uint16_t vendorExtensionVersion;
  char vendorExtensionDesc[kPtpTextBytes];
  uint16_t functionalMode;
  PtpCodeList operationsSupported;
  PtpCodeList eventsSupported;
  PtpCodeList devicePropertiesSupported;
  PtpCodeList captureFormats;
  PtpCodeList imageFormats;
  char manufacturer[kPtpTextBytes];
  char model[kPtpTextBytes];
  char deviceVersion[kPtpTextBytes];
  char serialNumber[kPtpTextBytes];
};
static_assert(sizeof(PtpDeviceInfoStruct) == 4832);

// A PTP string (count byte n, then n UTF-16 units) at the start of src, narrowed to the
// units' low bytes into dst (always terminated when dstSize > 0). Bytes consumed: 1 for
// an empty string, 2n + 1, or 0 when the string does not fit in src (dst untouched).
size_t ptpReadString(const uint8_t* src, size_t srcLength, char* dst, size_t dstSize);

// 0 on success; negative on failure (-22 for null arguments). block is written only on
// success.
int ptpParseDeviceInfo(PtpDeviceInfoStruct* block, const uint8_t* data, size_t length);

// GetDeviceInfo into block and, on success, into the stored block. A parse failure
// answers 0 and leaves the stored block as it was; null block answers 22.
PtpResponseCode ptpGetDeviceInfo(PtpDeviceInfoStruct* block);
// Fetches the DeviceInfo and sets the vendor code from its manufacturer (0xFF11 when the
// fetch fails, stored as the vendor code too). Answers the code.
uint16_t ptpDetectVendor();
// The vendor a manufacturer text names: by prefix, any other text is Nikon.
uint16_t ptpVendorFromManufacturer(const char* manufacturer);

// Operations that may go out: GetDeviceInfo, OpenSession and GetNumObjects always,
// those the stored DeviceInfo lists, and GetObject.
bool ptpIsOperationSupported(uint16_t op);
// Whether the stored DeviceInfo lists op (no always-admitted extras).
bool ptpOperationListed(uint16_t op);

// A copy of the stored block; replacing it (tests, a fresh session).
PtpDeviceInfoStruct ptpStoredDeviceInfo();
void ptpSetStoredDeviceInfo(const PtpDeviceInfoStruct& block);
void ptpClearStoredDeviceInfo();

// The model text, fetching the DeviceInfo first when none is stored (nullopt when that
// fails); overwriting it; the serial number.
std::optional<std::string> ptpGetModelName();
void ptpSetModelName(const char* text);
std::string ptpGetSerialNumber();
