#pragma once
// The 608-byte record of one object, little-endian with natural alignment. The ".obj"
// file is this record byte for byte, so the layout is a file format: pinned below.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>

constexpr uint32_t kObjectIdNone = 0xFFFFFFFF;  // no handle: identified by file name
constexpr size_t kObjectInfoBytes = 608;
constexpr size_t kObjectNameBytes = 256;

struct PtpObjectInfoStruct {
  uint32_t objectId;
  uint16_t objectFormat;
  uint16_t protectionStatus;
  uint32_t objectCompressedSize;
  uint16_t thumbFormat;
  uint8_t padding1[2];
  uint32_t thumbCompressedSize;
  uint32_t thumbPixWidth;
  uint32_t thumbPixHeight;
  uint32_t imagePixWidth;
  uint32_t imagePixHeight;
  uint32_t imageBitDepth;
  uint32_t parentObject;
  uint16_t associationType;
  uint8_t padding2[2];
  uint32_t associationDesc;
  uint32_t sequenceNumber;
  uint32_t fieldPad1;
  char fileName[kObjectNameBytes];
  uint16_t fileNameLength;
  uint8_t padding3[2];
  uint64_t captureDate;
  uint64_t modificationDate;
  uint32_t fieldPad2;
  char keywords[kObjectNameBytes];
  uint8_t orientation;
  uint8_t padding4[3];
  uint64_t rating;
};

static_assert(std::is_trivially_copyable_v<PtpObjectInfoStruct>);
static_assert(std::is_standard_layout_v<PtpObjectInfoStruct>);
static_assert(sizeof(PtpObjectInfoStruct) == kObjectInfoBytes);
static_assert(offsetof(PtpObjectInfoStruct, objectId) == 0);
static_assert(offsetof(PtpObjectInfoStruct, objectFormat) == 4);
static_assert(offsetof(PtpObjectInfoStruct, protectionStatus) == 6);
static_assert(offsetof(PtpObjectInfoStruct, objectCompressedSize) == 8);
static_assert(offsetof(PtpObjectInfoStruct, thumbFormat) == 12);
static_assert(offsetof(PtpObjectInfoStruct, thumbCompressedSize) == 16);
static_assert(offsetof(PtpObjectInfoStruct, thumbPixWidth) == 20);
static_assert(offsetof(PtpObjectInfoStruct, thumbPixHeight) == 24);
static_assert(offsetof(PtpObjectInfoStruct, imagePixWidth) == 28);
static_assert(offsetof(PtpObjectInfoStruct, imagePixHeight) == 32);
static_assert(offsetof(PtpObjectInfoStruct, imageBitDepth) == 36);
static_assert(offsetof(PtpObjectInfoStruct, parentObject) == 40);
static_assert(offsetof(PtpObjectInfoStruct, associationType) == 44);
static_assert(offsetof(PtpObjectInfoStruct, associationDesc) == 48);
static_assert(offsetof(PtpObjectInfoStruct, sequenceNumber) == 52);
static_assert(offsetof(PtpObjectInfoStruct, fieldPad1) == 56);
static_assert(offsetof(PtpObjectInfoStruct, fileName) == 60);
static_assert(offsetof(PtpObjectInfoStruct, fileNameLength) == 316);
static_assert(offsetof(PtpObjectInfoStruct, captureDate) == 320);
static_assert(offsetof(PtpObjectInfoStruct, modificationDate) == 328);
static_assert(offsetof(PtpObjectInfoStruct, fieldPad2) == 336);
static_assert(offsetof(PtpObjectInfoStruct, keywords) == 340);
static_assert(offsetof(PtpObjectInfoStruct, orientation) == 596);
static_assert(offsetof(PtpObjectInfoStruct, rating) == 600);

// Byte-order hooks for records coming in from and going out to the device. The host is
// little-endian like the wire, so both leave the record as it is.
void ptpObjectInfoToHostOrder(PtpObjectInfoStruct& record);
void ptpObjectInfoHook(PtpObjectInfoStruct& record);

// Terminates fileName and keywords at their last byte, as every record that comes in
// (wire, ".obj" file, short read) must be before its strings are used.
void objectInfoTerminateStrings(PtpObjectInfoStruct& record);

// A record from exactly kObjectInfoBytes bytes, strings terminated; nullopt otherwise.
std::optional<PtpObjectInfoStruct> objectInfoFromBytes(std::span<const uint8_t> bytes);

// The record's file name (up to its first NUL).
std::string objectInfoFileName(const PtpObjectInfoStruct& record);

// Stores name (cut to 255 bytes) and its length; the rest of the field is zeroed.
void objectInfoSetFileName(PtpObjectInfoStruct& record, const std::string& name);

// Whether the record has a handle; one without is identified by its file name.
bool objectInfoHasHandle(const PtpObjectInfoStruct& record);

// Identity: by handle, or by file name when neither record has a handle.
bool objectInfoSameObject(const PtpObjectInfoStruct& a, const PtpObjectInfoStruct& b);

// Orientation values 2 and above count as set (1 is the default upright).
bool objectInfoOrientationIsSet(const PtpObjectInfoStruct& record);
