#pragma once
// The one road of every PTP operation: admission, the process-wide transaction mutex,
// the bracket callback (the link's request lock), command, data and response.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "ptp/base/bytes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"

// Called with 1 before a transaction's command and with 0 after its response; a result
// of 0 or less from the call with 1 means the lock was not taken.
using PtpBracketFn = std::function<int(int)>;

void ptpSetBracketCallback(PtpBracketFn bracket);

// Up to five parameters (null: zeros). dataOut with a non-zero length is sent as a data phase; with
// dataIn an incoming data phase is expected and its payload lands there. responseParam
// (nullable) gets the response's first parameter. blocking waits for the transaction
// mutex, otherwise a busy mutex answers 0xFF13. DeviceBusy (0x2019) and 0xA102 are
// tried once more after a short pause.
PtpResponseCode ptpTransaction(uint16_t op, const uint32_t* params, uint32_t paramCount, const uint8_t* dataOut,
                               size_t dataOutLength, ByteBuffer* dataIn, uint32_t* responseParam, bool blocking);
// The transaction itself, without the retry.
PtpResponseCode ptpRunTransaction(uint16_t op, const uint32_t* params, uint32_t paramCount,
                                  const uint8_t* dataOut, size_t dataOutLength, ByteBuffer* dataIn,
                                  uint32_t* responseParam, bool blocking);
// Without admission and without an outgoing data phase; a failed send answers 0xFF07.
PtpResponseCode ptpTransactionRaw(uint16_t op, const uint32_t* params, uint32_t paramCount, ByteBuffer* dataIn,
                                  uint32_t* responseParam);
