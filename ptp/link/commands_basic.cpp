// The plain query and setting wrappers.
#include <cstdio>
#include <ctime>
#include <memory>

#include "ptp/link/commands.h"
#include "ptp/link/commands_internal.h"

using namespace devdetail;

PtpResponseCode devQuery16(uint8_t* value) {
  if (!value) return ERROR_INVALID_INPUT;
  linkClearError();
  return requestByte(DeviceOpcode16, nullptr, 0, value);
}

PtpResponseCode devQuery32(ByteBuffer& out) { return linkRequest(DeviceOpcode32, nullptr, 0, out); }

PtpResponseCode devGetFirmwareVersion(uint8_t* version) {
  if (!version) return ERROR_INVALID_INPUT;
  return requestByte(DeviceOpcodeFirmwareVersion, nullptr, 0, version);
}

float devGetFloat49() {
  ByteBuffer reply;
  PtpResponseCode rc = linkRequest(DeviceOpcode49, nullptr, 0, reply);
  if (rc == ERROR_INVALID_INPUT) return 2.0f;
  if (rc != PTP_RC_OK || reply.size() != 4) return 0.0f;
  return bytesGetFloat(reply.data());
}

PtpResponseCode devSet112(uint8_t value) { return commandByte(DeviceOpcode112, value); }

PtpResponseCode devSetClientCanSave(uint8_t flag) { return commandByte(DeviceOpcodeClientCanSave, flag != 0); }

PtpResponseCode devFetchEvents(ByteBuffer& out, uint8_t blocking) {
  return linkRequest(DeviceOpcodeGetEvents, &blocking, 1, out);
}

PtpResponseCode devQuery134() {
  ByteBuffer reply;
  PtpResponseCode rc = requestExact(DeviceOpcode134, nullptr, 0, 2, reply);
  return rc == PTP_RC_OK ? bytesGetU16(reply.data()) : rc;
}

PtpResponseCode devGetBatteryInfo(uint8_t* record44) {
  if (!record44) return ERROR_INVALID_INPUT;
  ByteBuffer reply;
  PtpResponseCode rc = linkRequest(DeviceOpcodeBatteryInfo, nullptr, 0, reply);
  if (rc != PTP_RC_OK) return rc;
  if (reply.size() != kDevBatteryRecordBytes) return 0;
  std::memcpy(record44, reply.data(), kDevBatteryRecordBytes);
  return PTP_RC_OK;
}

PtpResponseCode devGetLiveViewFrame(ByteBuffer& out, uint8_t relayMode) {
  if (relayMode != 0)
    return linkRelayRequest(nullptr, 0, DeviceOpcodeLiveViewFrame, relayMode, 0, 0, nullptr, out);
  return linkRequest(DeviceOpcodeLiveViewFrame, nullptr, 0, out);
}

std::optional<ByteBuffer> devQuery144() {
  ByteBuffer reply;
  if (linkRequest(DeviceOpcode144, nullptr, 0, reply) != PTP_RC_OK || reply.empty()) return std::nullopt;
  return reply;
}

PtpResponseCode devHeartbeat() { return linkCommand(DeviceOpcodeHeartbeat, nullptr, 0); }
PtpResponseCode devHeartbeatOn(uint64_t connection) {
  return linkCommandOn(connection, DeviceOpcodeHeartbeat, nullptr, 0);
}

PtpResponseCode devUploadFile(const char* path) {
  if (!path) return ERROR_INVALID_INPUT;
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path, "rb"), std::fclose);
  if (!f) return ERROR_INVALID_INPUT;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return ERROR_GENERAL;
  long size = std::ftell(f.get());
  if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return ERROR_GENERAL;
  if (uint64_t(size) + 10 > kLinkMaxFrameBytes) return ERROR_TOO_LARGE;
  ByteBuffer data;
  try {
    data.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return ERROR_NO_MEMORY;
  }
  if (size > 0 && std::fread(data.data(), 1, data.size(), f.get()) != data.size()) return ERROR_GENERAL;
  return linkCommand(DeviceOpcodeUploadFile, data.data(), data.size());
}

PtpResponseCode devQuery209(uint8_t* value) {
  if (!value) return ERROR_INVALID_INPUT;
  return requestByte(DeviceOpcode209, nullptr, 0, value);
}

PtpResponseCode devCommand210() { return linkCommand(DeviceOpcode210, nullptr, 0); }
PtpResponseCode devSet213(uint8_t value) { return commandByte(DeviceOpcode213, value); }

std::optional<std::array<uint8_t, kDevQuery215Bytes>> devQuery215() {
  std::array<uint8_t, kDevQuery215Bytes> buffer{};
  ByteBuffer reply;
  if (linkRequest(DeviceOpcode215, nullptr, 0, reply) != PTP_RC_OK) return std::nullopt;
  std::memcpy(buffer.data(), reply.data(), std::min(reply.size(), buffer.size()));
  return buffer;
}

PtpResponseCode devCommand224() { return linkCommand(DeviceOpcode224, nullptr, 0); }
PtpResponseCode devSet225(uint8_t value) { return commandByte(DeviceOpcode225, value); }

PtpResponseCode devQuery226(uint8_t* value) {
  if (!value) return ERROR_INVALID_INPUT;
  return requestByte(DeviceOpcode226, nullptr, 0, value);
}

PtpResponseCode devGetObjectOrientation(uint32_t handle, uint8_t* orientation) {
  if (!orientation) return ERROR_INVALID_INPUT;
  uint8_t payload[4];
  bytesPutU32(payload, handle);
  return requestByte(DeviceOpcodeObjectOrientation, payload, sizeof payload, orientation);
}

PtpResponseCode devSet234(uint8_t value) { return commandByte(DeviceOpcode234, value); }

PtpResponseCode devGetPropDescs(const uint32_t* codes, uint32_t count, ByteBuffer& out) {
  out.clear();
  if (!codes && count > 0) return ERROR_INVALID_INPUT;
  if (uint64_t(count) * 4 > kLinkMaxFrameBytes) return ERROR_INVALID_INPUT;
  ByteBuffer payload;
  for (uint32_t i = 0; i < count; ++i) bytesAppendU32(payload, codes[i]);
  return linkRequest(DeviceOpcodeGetPropDescs, payload.data(), payload.size(), out);
}

PtpResponseCode devQuery240(ByteBuffer& out) { return linkRequest(DeviceOpcode240, nullptr, 0, out); }

PtpResponseCode devSetLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  uint64_t seconds = static_cast<uint64_t>(int64_t(now) + local.tm_gmtoff);
  uint8_t payload[8];
  bytesPutU32(payload, static_cast<uint32_t>(seconds));
  bytesPutU32(payload + 4, static_cast<uint32_t>(seconds >> 32));
  return linkCommand(DeviceOpcodeLocalTime, payload, sizeof payload);
}

PtpResponseCode devQuery245(uint64_t* first, uint64_t* second) {
  if (!first || !second) return 0;
  ByteBuffer reply;
  PtpResponseCode rc = requestExact(DeviceOpcode245, nullptr, 0, 16, reply);
  if (rc != PTP_RC_OK) return rc;
  *first = bytesGetU32(reply.data()) | (uint64_t(bytesGetU32(reply.data() + 4)) << 32);
  *second = bytesGetU32(reply.data() + 8) | (uint64_t(bytesGetU32(reply.data() + 12)) << 32);
  return PTP_RC_OK;
}

PtpResponseCode devQuery246(ByteBuffer& out) { return linkRequest(DeviceOpcode246, nullptr, 0, out); }

PtpResponseCode devPutObjectInfo(const PtpObjectInfoStruct* record) {
  if (!record) return ERROR_INVALID_INPUT;
  PtpObjectInfoStruct copy = *record;
  ptpObjectInfoHook(copy);
  return linkCommand(DeviceOpcodePutObjectInfo, reinterpret_cast<const uint8_t*>(&copy), sizeof copy);
}
