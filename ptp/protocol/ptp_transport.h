#pragma once
// The PTP layer's transport: it never touches a socket. Containers go out through a send
// callback and come back, one heap container each, through a receive callback.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

using PtpSendFn = std::function<PtpResponseCode(const uint8_t* buffer, size_t length)>;
// Fills container with what arrived (no link header); argument and parameter are passed
// along for transports that use them.
using PtpReceiveFn = std::function<PtpResponseCode(ByteBuffer& container, void* argument, uint32_t* parameter)>;

void ptpSetTransport(PtpSendFn send, PtpReceiveFn receive);
void ptpResetTransactionId();
void ptpSetTransactionId(uint32_t value);
uint32_t ptpGetTransactionId();

PtpResponseCode ptpTransportSend(const uint8_t* buffer, size_t length);

PtpResponseCode ptpSendCommand(uint16_t code, const uint32_t* params, uint32_t count, const uint8_t* data,
                               size_t dataLength, uint32_t* transactionId);
PtpResponseCode ptpSendCommandNoData(uint16_t code, const uint32_t* params, uint32_t count,
                                     uint32_t* transactionId);
// The response code; its first parameter (0 when the response has none) to firstParam.
PtpResponseCode ptpReadResponse(void* argument, uint32_t* firstParam);
// A data container (payload to data) then the response; or a response without data.
PtpResponseCode ptpReadDataAndResponse(ByteBuffer& data, void* argument, uint32_t* firstParam);
