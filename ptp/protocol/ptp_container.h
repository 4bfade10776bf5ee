#pragma once
// PTP containers: {u32 length, u16 type, u16 code, u32 transaction id} and up to five
// u32 parameters (command, response) or the payload (data). Little-endian.
#include <cstddef>
#include <cstdint>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

enum PtpContainerType : uint16_t {
  PtpContainerCommand = 1,
  PtpContainerData = 2,
  PtpContainerResponse = 3,
};

constexpr size_t kPtpHeaderBytes = 12;
constexpr uint32_t kPtpMaxParams = 5;

// The header fields of a received container, the length field checked against what
// arrived: 12 <= length <= received bytes.
struct PtpContainerHeader {
  uint32_t length;
  uint16_t type;
  uint16_t code;
  uint32_t transactionId;
};
PtpResponseCode ptpParseHeader(const ByteBuffer& container, PtpContainerHeader& header);

// Host order for the first 12 bytes, in place (the host is little-endian: no change).
void ptpDecodeHeader(uint8_t* container);

// Builds a command container (count parameters; zeros when params is null) followed,
// when data is given, by the data container. Bytes written, 0 when it does not fit.
size_t ptpBuildContainer(uint16_t code, const uint32_t* params, uint32_t count, const uint8_t* data,
                         size_t dataLength, uint8_t* buffer, size_t bufferSize);
