#include "ptp/protocol/ptp_transport.h"

#include <atomic>
#include <mutex>
#include <new>

#include "ptp/base/byte_reader.h"
#include "ptp/protocol/ptp_container.h"

namespace {
struct Transport {
  std::mutex mutex;  // guards the callbacks
  PtpSendFn send;
  PtpReceiveFn receive;
  std::atomic<uint32_t> transactionId{0};
};

Transport& T() {
  static Transport* t = new Transport;
  return *t;
}

PtpReceiveFn receiver() {
  std::lock_guard lock(T().mutex);
  return T().receive;
}
}  // namespace

void ptpSetTransport(PtpSendFn send, PtpReceiveFn receive) {
  std::lock_guard lock(T().mutex);
  T().send = std::move(send);
  T().receive = std::move(receive);
  T().transactionId = 0;
}

void ptpResetTransactionId() { T().transactionId = 0; }
void ptpSetTransactionId(uint32_t value) { T().transactionId = value; }
uint32_t ptpGetTransactionId() { return T().transactionId.load(); }

PtpResponseCode ptpTransportSend(const uint8_t* buffer, size_t length) {
  PtpSendFn send;
  {
    std::lock_guard lock(T().mutex);
    send = T().send;
  }
  if (!send) return ERROR_INVALID_INPUT;
  return send(buffer, length);
}

PtpResponseCode ptpSendCommand(uint16_t code, const uint32_t* params, uint32_t count, const uint8_t* data,
                               size_t dataLength, uint32_t* transactionId) {
  if (count > kPtpMaxParams) return ERROR_TOO_LARGE;
  if (dataLength > UINT32_MAX - 2 * kPtpHeaderBytes - 4 * kPtpMaxParams) return ERROR_TOO_LARGE;
  ByteBuffer buffer;
  try {
    buffer.resize(dataLength + size_t(count) * 4 + 2 * kPtpHeaderBytes);
  } catch (const std::bad_alloc&) {
    return ERROR_NO_MEMORY;
  }
  size_t n = ptpBuildContainer(code, params, count, data, dataLength, buffer.data(), buffer.size());
  if (n < 1) return ERROR_TOO_LARGE;
  uint32_t tid = ptpGetTransactionId();
  PtpResponseCode rc = ptpTransportSend(buffer.data(), n);
  if (rc != PTP_RC_OK) return rc;
  if (transactionId) *transactionId = tid;
  T().transactionId = tid + 1;  // wraps as u32
  return PTP_RC_OK;
}

PtpResponseCode ptpSendCommandNoData(uint16_t code, const uint32_t* params, uint32_t count,
                                     uint32_t* transactionId) {
  return ptpSendCommand(code, params, count, nullptr, 0, transactionId);
}

PtpResponseCode ptpReadResponse(void* argument, uint32_t* firstParam) {
  auto receive = receiver();
  if (!receive) return ERROR_INVALID_INPUT;
  ByteBuffer container;
  PtpResponseCode rc = receive(container, argument, firstParam);
  if (rc == RESPONSE_EMPTY_ACK) {  // acknowledged without a container, so no parameter
    if (firstParam) *firstParam = 0;
    return PTP_RC_OK;
  }
  if (rc != PTP_RC_OK) return rc;
  PtpContainerHeader h;
  if (ptpParseHeader(container, h) != PTP_RC_OK) return ERROR_BAD_REPLY;
  if (h.type != PtpContainerResponse) return ERROR_INVALID_TYPE;
  if (firstParam) *firstParam = h.length >= 16 ? bytesGetU32(container.data() + 12) : 0;
  return h.code;
}

PtpResponseCode ptpReadDataAndResponse(ByteBuffer& data, void* argument, uint32_t* firstParam) {
  data.clear();
  auto receive = receiver();
  if (!receive) return ERROR_INVALID_INPUT;
  ByteBuffer container;
  PtpResponseCode rc = receive(container, argument, firstParam);
  if (rc != PTP_RC_OK) return rc;
  PtpContainerHeader h;
  if (ptpParseHeader(container, h) != PTP_RC_OK) return ERROR_BAD_REPLY;
  switch (h.type) {
    case PtpContainerData:
      container.resize(h.length);
      container.erase(container.begin(), container.begin() + kPtpHeaderBytes);
      data.swap(container);
      return ptpReadResponse(argument, firstParam);
    case PtpContainerResponse:
      if (firstParam) *firstParam = h.length >= 16 ? bytesGetU32(container.data() + 12) : 0;
      return h.code;
    default:
      return ERROR_INVALID_TYPE;
  }
}
