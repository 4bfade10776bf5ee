#include "ptp/protocol/ptp_transaction.h"

#include <chrono>
#include <memory>
#include <mutex>

#include "ptp/base/sleep.h"
#include "ptp/protocol/device_info.h"
#include "ptp/protocol/ptp_transport.h"

namespace {
constexpr std::chrono::milliseconds kBusyRetryPause{100};

struct State {
  std::mutex transaction;  // one PTP transaction at a time, process-wide
  std::mutex callbackMutex;
  std::shared_ptr<const PtpBracketFn> bracket;
};

State& S() {
  static State* s = new State;  // never destroyed: transactions may run during exit
  return *s;
}

std::shared_ptr<const PtpBracketFn> bracket() {
  std::lock_guard lock(S().callbackMutex);
  return S().bracket;
}

// Takes the transaction mutex, then the bracket lock. False (nothing held) when either
// is refused; a refused bracket must not be "unlocked" later.
bool enter(bool blocking, const std::shared_ptr<const PtpBracketFn>& b) {
  if (blocking) {
    S().transaction.lock();
  } else if (!S().transaction.try_lock()) {
    return false;
  }
  if (b && *b && (*b)(1) <= 0) {
    S().transaction.unlock();
    return false;
  }
  return true;
}

void leave(const std::shared_ptr<const PtpBracketFn>& b) {
  if (b && *b) (*b)(0);
  S().transaction.unlock();
}

// Responses are matched to their command by the transport, not here.
PtpResponseCode receive(ByteBuffer* dataIn, uint32_t* responseParam) {
  if (dataIn) return ptpReadDataAndResponse(*dataIn, nullptr, responseParam);
  return ptpReadResponse(nullptr, responseParam);
}
}  // namespace

void ptpSetBracketCallback(PtpBracketFn fn) {
  auto next = fn ? std::make_shared<const PtpBracketFn>(std::move(fn)) : nullptr;
  std::lock_guard lock(S().callbackMutex);
  S().bracket = std::move(next);
}

PtpResponseCode ptpRunTransaction(uint16_t op, const uint32_t* params, uint32_t paramCount,
                                  const uint8_t* dataOut, size_t dataOutLength, ByteBuffer* dataIn,
                                  uint32_t* responseParam, bool blocking) {
  if (!ptpIsOperationSupported(op)) return PTP_ERROR_UNSUPPORTED_COMMAND;
  auto b = bracket();
  if (!enter(blocking, b)) return ERROR_BUSY;
  PtpResponseCode rc = dataOut && dataOutLength
                           ? ptpSendCommand(op, params, paramCount, dataOut, dataOutLength, nullptr)
                           : ptpSendCommandNoData(op, params, paramCount, nullptr);
  if (rc == PTP_RC_OK) rc = receive(dataIn, responseParam);
  leave(b);
  return rc;
}

PtpResponseCode ptpTransaction(uint16_t op, const uint32_t* params, uint32_t paramCount, const uint8_t* dataOut,
                               size_t dataOutLength, ByteBuffer* dataIn, uint32_t* responseParam, bool blocking) {
  PtpResponseCode rc =
      ptpRunTransaction(op, params, paramCount, dataOut, dataOutLength, dataIn, responseParam, blocking);
  if (rc != PTP_RC_DeviceBusy && rc != PTP_RC_CANON_Busy) return rc;
  libSleep(kBusyRetryPause);
  return ptpRunTransaction(op, params, paramCount, dataOut, dataOutLength, dataIn, responseParam, blocking);
}

PtpResponseCode ptpTransactionRaw(uint16_t op, const uint32_t* params, uint32_t paramCount, ByteBuffer* dataIn,
                                  uint32_t* responseParam) {
  auto b = bracket();
  if (!enter(true, b)) return ERROR_BUSY;
  PtpResponseCode rc = ptpSendCommandNoData(op, params, paramCount, nullptr);
  if (rc != PTP_RC_OK) {
    leave(b);
    return ERROR_SEND_FAILED;
  }
  rc = receive(dataIn, responseParam);
  leave(b);
  return rc;
}
