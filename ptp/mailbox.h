#pragma once
// The share mailbox: the device generation of the session and the unwrapping of
// control replies. The reader thread and its slots build on this.
#include <cstdint>
#include <vector>

#include "ptp/bytes.h"
#include "ptp/bytes.h"
#include "ptp/response_codes.h"

enum ShareMode : uint8_t {
  ShareModeNone = 0,
  ShareModeGeneration1 = 1,
  ShareModeGeneration2 = 2,
};

uint8_t shareGetMode();
void shareSetMode(uint8_t mode);

// Unwraps one whole control reply for the current share mode into its payload (moved
// to the start of the same buffer). Lengths are checked against what arrived.
PtpResponseCode shareUnwrapControlReply(ByteBuffer& message, ByteBuffer& payload);

// Takes the reply to the outstanding control request and unwraps it.
PtpResponseCode shareReceiveControlReply(ByteBuffer& payload);
