#pragma once
// The device's own one-byte control commands, as typed wrappers over the link's request
// pairs, the two whole-object downloads, the SD-card format and the focus drive.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ptp/base/bytes.h"
#include "ptp/base/object_info.h"
#include "ptp/base/response_codes.h"

enum DeviceOpcode : uint8_t {
  DeviceOpcode16 = 16,
  DeviceOpcode32 = 32,
  DeviceOpcodeFirmwareVersion = 48,
  DeviceOpcode49 = 49,
  DeviceOpcodePartialObject = 65,
  DeviceOpcode112 = 112,
  DeviceOpcodeWatermarkSettings = 128,
  DeviceOpcodeClientCanSave = 129,
  DeviceOpcodeGetEvents = 130,
  DeviceOpcode134 = 134,
  DeviceOpcodeBatteryInfo = 135,
  DeviceOpcodeLiveViewFrame = 136,
  DeviceOpcode144 = 144,
  DeviceOpcodeClientName = 160,
  DeviceOpcodeHeartbeat = 176,
  DeviceOpcodeExtractedJpeg = 177,
  DeviceOpcode178 = 178,
  DeviceOpcodeUploadFile = 208,
  DeviceOpcode209 = 209,
  DeviceOpcode210 = 210,
  DeviceOpcode211 = 211,
  DeviceOpcode213 = 213,
  DeviceOpcodeFormatSdCard = 214,
  DeviceOpcode215 = 215,
  DeviceOpcode224 = 224,
  DeviceOpcode225 = 225,
  DeviceOpcode226 = 226,
  DeviceOpcodeObjectOrientation = 227,
  DeviceOpcode228 = 228,
  DeviceOpcode229 = 229,
  DeviceOpcode230 = 230,
  DeviceOpcode231 = 231,
  DeviceOpcodeExiv2 = 233,
  DeviceOpcode234 = 234,
  DeviceOpcodeGetPropDescs = 235,
  DeviceOpcode240 = 240,
  DeviceOpcodeThumbnailByName = 242,
  DeviceOpcodeFileSizeByName = 243,
  DeviceOpcodeLocalTime = 244,
  DeviceOpcode245 = 245,
  DeviceOpcode246 = 246,
  DeviceOpcode247 = 247,
  DeviceOpcodePartialObjectByName = 248,
  DeviceOpcodeExtractedJpegByName = 249,
  DeviceOpcode252 = 252,
  DeviceOpcodePutObjectInfo = 253,
  DeviceOpcode255 = 255,
};

// Largest object a download takes (the device announces the size; nothing larger is
// allocated, and every offset of it fits the u32 of a range request).
constexpr uint64_t kDevMaxObjectBytes = 1024ull * 1024ull * 1024ull;
// Objects below this size come by PTP GetObject, others in ranges.
constexpr uint32_t kDevGetObjectLimit = 5120000;
constexpr uint32_t kDevRangeBytes = 0x200000;
constexpr uint32_t kDevCanonRecentRangeBytes = 0x100000;
constexpr uint32_t kDevBusyTries = 5;
constexpr size_t kDevWatermarkRecordBytes = 135;
constexpr size_t kDevWatermarkTextBytes = 128;
constexpr size_t kDevBatteryRecordBytes = 44;
constexpr size_t kDevQuery215Bytes = 256;
// Name limits: most by-name commands take 199 characters; a name that ends up in a
// record's 256-byte fileName at most 255.
constexpr size_t kDevNameMaxChars = 199;
constexpr size_t kDevRecordNameMaxChars = 255;
constexpr size_t kDevExiv2MaxBytes = 500;      // path or arguments, NUL included
constexpr size_t kDevExiv2FormatBytes = 512;   // the formatted argument string, NUL included
constexpr int kDevCanonMaxDriveSteps = 300;

// Queries and settings.
PtpResponseCode devQuery16(uint8_t* value);
PtpResponseCode devQuery32(ByteBuffer& out);
PtpResponseCode devGetFirmwareVersion(uint8_t* version);
float devGetFloat49();
PtpResponseCode devSet112(uint8_t value);
PtpResponseCode devSetWatermark(uint8_t show, const char* text, uint8_t size, uint8_t location);
PtpResponseCode devClearWatermark();
PtpResponseCode devSetWatermarkOn(const char* text, uint8_t size, uint8_t location);
// The 135-byte record sent by devSetWatermark.
std::array<uint8_t, kDevWatermarkRecordBytes> devBuildWatermarkRecord(uint8_t show, const char* text, uint8_t size,
                                                                      uint8_t location);
PtpResponseCode devSetClientCanSave(uint8_t flag);
PtpResponseCode devFetchEvents(ByteBuffer& out, uint8_t blocking);
PtpResponseCode devQuery134();
PtpResponseCode devGetBatteryInfo(uint8_t* record44);
PtpResponseCode devGetLiveViewFrame(ByteBuffer& out, uint8_t relayMode);
std::optional<ByteBuffer> devQuery144();
PtpResponseCode devHeartbeat();
// The heartbeat on that connection only: ERROR_CONNECTION, with nothing sent, once
// another connection has replaced it.
PtpResponseCode devHeartbeatOn(uint64_t connection);
PtpResponseCode devGetExtractedJpeg(const PtpObjectInfoStruct* record, ByteBuffer& out, uint8_t relayMode);
PtpResponseCode devSet178(uint8_t value, const char* first, const char* second);
std::array<uint8_t, 129> devBuild178Record(uint8_t value, const char* first, const char* second);
PtpResponseCode devUploadFile(const char* path);
PtpResponseCode devQuery209(uint8_t* value);
PtpResponseCode devCommand210();
PtpResponseCode devSet211Simple(uint16_t code, uint8_t flag, float a, float d, float b, float c, float e);
PtpResponseCode devSet211(uint16_t focusCount, uint32_t code, uint32_t first, uint32_t second, uint16_t count,
                          uint8_t mode, uint8_t flag, float x, float y, float z, float value);
// The records of opcode 211 (empty when refused).
ByteBuffer devBuild211Simple(uint16_t code, uint8_t flag, float a, float d, float b, float c, float e);
ByteBuffer devBuild211(uint16_t focusCount, uint32_t code, uint32_t first, uint32_t second, uint16_t count,
                       uint8_t mode, uint8_t flag, float x, float y, float z, float value);
PtpResponseCode devSet213(uint8_t value);
PtpResponseCode devFormatSdCard();
std::optional<std::array<uint8_t, kDevQuery215Bytes>> devQuery215();
PtpResponseCode devCommand224();
PtpResponseCode devSet225(uint8_t value);
PtpResponseCode devQuery226(uint8_t* value);
PtpResponseCode devGetObjectOrientation(uint32_t handle, uint8_t* orientation);
PtpResponseCode devQueryName228(const char* name, ByteBuffer& out);
PtpResponseCode devSendNames229(const char* first, const char* second);
PtpResponseCode devQueryName230(const char* name, uint8_t* value);
PtpResponseCode devSetName231(const char* name, uint8_t value);
PtpResponseCode devExiv2(const char* path, const char* arguments);
PtpResponseCode devSetImageDescription(const char* path, const char* text);
PtpResponseCode devSetRating(const char* path, uint8_t rating);
PtpResponseCode devSetDescriptionAndRating(const char* path, const char* text, uint8_t rating);
PtpResponseCode devSet234(uint8_t value);
PtpResponseCode devGetPropDescs(const uint32_t* codes, uint32_t count, ByteBuffer& out);
PtpResponseCode devQuery240(ByteBuffer& out);
PtpResponseCode devGetThumbnailByName(const char* name, ByteBuffer& out, uint8_t* orientation, uint8_t relayMode);
PtpResponseCode devGetObjectSizeByName(const char* name, uint64_t* size);
PtpResponseCode devSetLocalTime();
PtpResponseCode devQuery245(uint64_t* first, uint64_t* second);
PtpResponseCode devQuery246(ByteBuffer& out);
PtpResponseCode devSend247(const char* text);
PtpResponseCode devGetExtractedJpegByName(const char* name, ByteBuffer& out, uint8_t relayMode);
PtpResponseCode devSend252(const char* text);
PtpResponseCode devPutObjectInfo(const PtpObjectInfoStruct* record);
PtpResponseCode devQueryName255(const char* name, uint8_t* value);

// Byte ranges and whole objects. out holds what was received; empty when nothing was
// kept (relay mode 160 forwards the data instead).
PtpResponseCode devGetPartialObject(const PtpObjectInfoStruct* record, uint32_t offset, uint32_t length,
                                    ByteBuffer& out, uint8_t relayMode);
PtpResponseCode devDownloadObject(const PtpObjectInfoStruct* record, ByteBuffer& out, uint8_t relayMode);
PtpResponseCode devDownloadFileByName(const char* name, ByteBuffer& out, uint8_t relayMode,
                                      const PtpObjectInfoStruct* relayRecord);

// Focus.
uint16_t devFocusStepSize(uint16_t step);
PtpResponseCode devDriveFocus(int16_t stepSize, int count);

// Relay registrations and the event and property hooks.
int devSetLiveViewRelay(int on);
int devRegisterObjectInfoRelay(uint32_t key);
int devRegisterRelay(uint32_t key);
int devUnregisterRelay(uint32_t key);
PtpResponseCode devFetchEventsVendor(ByteBuffer& out, uint8_t blocking);
void devInstallEventFetch(int vendorPath);
PtpResponseCode devLoadNikonPropDescs();
