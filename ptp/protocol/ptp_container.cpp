#include "ptp/protocol/ptp_container.h"

#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/protocol/ptp_transport.h"

PtpResponseCode ptpParseHeader(const ByteBuffer& container, PtpContainerHeader& header) {
  ByteReader r(container.data(), container.size());
  auto length = r.u32(0);
  auto type = r.u16(4);
  auto code = r.u16(6);
  auto tid = r.u32(8);
  if (!length || !type || !code || !tid || *length < kPtpHeaderBytes || *length > container.size())
    return ERROR_BAD_REPLY;
  header = {*length, *type, *code, *tid};
  return PTP_RC_OK;
}

void ptpDecodeHeader(uint8_t*) {}

size_t ptpBuildContainer(uint16_t code, const uint32_t* params, uint32_t count, const uint8_t* data,
                         size_t dataLength, uint8_t* buffer, size_t bufferSize) {
  if (!buffer) return 0;
  if (count > kPtpMaxParams) return 0;
  uint64_t commandLength = uint64_t(count) * 4 + kPtpHeaderBytes;
  if (commandLength > bufferSize) return 0;
  std::memset(buffer, 0, bufferSize);
  uint32_t tid = ptpGetTransactionId();
  bytesPutU32(buffer, static_cast<uint32_t>(commandLength));
  bytesPutU16(buffer + 4, PtpContainerCommand);
  bytesPutU16(buffer + 6, code);
  bytesPutU32(buffer + 8, tid);
  if (params) {
    for (uint32_t i = 0; i < count; ++i) bytesPutU32(buffer + 12 + 4 * i, params[i]);
  }
  if (!data || dataLength == 0) return static_cast<size_t>(commandLength);
  uint64_t total = commandLength + uint64_t(dataLength) + kPtpHeaderBytes;
  if (total > bufferSize || uint64_t(dataLength) + kPtpHeaderBytes > UINT32_MAX) return 0;
  uint8_t* d = buffer + commandLength;
  bytesPutU32(d, static_cast<uint32_t>(dataLength + kPtpHeaderBytes));
  bytesPutU16(d + 4, PtpContainerData);
  bytesPutU16(d + 6, code);
  bytesPutU32(d + 8, tid);
  std::memcpy(d + kPtpHeaderBytes, data, dataLength);
  return static_cast<size_t>(total);
}
