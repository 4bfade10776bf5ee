#pragma once
// The share mailbox. While a share session runs, one reader thread owns the device stream
// and routes every message either to the one outstanding request or to the queue of
// messages nobody asked for. Also: the device generation of the session, the unwrapping
// of control replies, the PTP callbacks of the share transport, the client name and the
// widening of generation-1 object records.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

enum ShareMode : uint8_t {
  ShareModeNone = 0,
  ShareModeGeneration1 = 1,
  ShareModeGeneration2 = 2,
};

// Bytes of unsolicited messages that may wait for their taker. Past it the taker has
// stopped taking: the reader ends the session as a lost link instead of dropping messages.
constexpr size_t kShareMaxQueuedBytes = 512u * 1024u * 1024u;

uint8_t shareGetMode();
void shareSetMode(uint8_t mode);

// --- Routing (pure; the reader's decision for one whole message) ---
enum class ShareSlot { Response, Unsolicited };
// A reply goes to the response slot when its kind is the expected one (0 = nothing is
// awaited) and its opcode (kinds 12, 13) or transaction id (kind 10) is the key. Fields
// are read only from messages long enough to hold them.
ShareSlot shareRouteTarget(const ByteBuffer& message, uint8_t expectedKind, uint32_t key);
// A live-view frame: kind 10 with PTP code 0x9153, 0x9203 or 0x9428, or a control
// message (kind 12 or 13) with opcode 136. A newer one replaces one still queued.
bool shareIsLiveViewFrame(const ByteBuffer& message);

// --- Sessions and the reader ---
// Starts the reader of a new session on its own thread, reading the link's current
// connection. Waits (bounded by timing().sessionEndWait) for the previous session's
// reader and unsolicited taker to end; ERROR_BUSY when they have not.
PtpResponseCode shareStartReader();
// Ends the running session: closes its connection and joins its reader.
void shareStopReader();
// The reader's body: as shareStartReader, run on the calling thread until the link
// fails. 0 when it ran, -1 when the previous session had not ended.
int shareReadLoop();
// True while a reader owns the stream: replies then come through the mailbox.
bool shareReaderRunning();
// The session whose reader owns that connection's stream now; 0 when none does.
uint64_t shareReaderSessionOn(uint64_t connection);

// Routes one message of the current session (normally only the reader calls it).
void shareRouteMessage(ByteBuffer&& message);

// Takes the reply to the outstanding request from that session's reader. 0xFF16 once
// that reader has ended; 0xFF0E when no byte of this reply arrived for the receive
// time-out, whatever else the device sent meanwhile (that connection is then closed, and
// no other); 0xFF0B when the reply was too large to take.
PtpResponseCode shareWaitReplyFor(uint64_t session, uint64_t connection, ByteBuffer& message);
// The same for the current session.
PtpResponseCode shareWaitReply(ByteBuffer& message);
// Takes and unwraps a control reply (called by linkRequest).
PtpResponseCode shareReceiveControlReply(ByteBuffer& payload);
// The next unsolicited message; false (once) when the session has ended. Blocks until
// one comes. Runs the unsolicited callback for non-live-view PTP messages.
bool shareTakeUnsolicited(ByteBuffer& message);
// End the two slots of the current session: emptied, ended flag set, waiter woken.
void shareEndUnsolicited();
void shareEndReplies();

// Run for each unsolicited PTP message except live-view frames, on the taker's thread
// and without any mailbox lock held; it must not block.
void shareSetUnsolicitedCallback(std::function<void()> callback);
// Largest frame total the consumer of unsolicited messages takes, judged from the frame's
// first bytes: a larger one is drained by the reader without being allocated.
uint32_t shareUnsolicitedFrameLimit(const ByteBuffer& prefix);

// Test hooks: the cap on queued unsolicited bytes (default kShareMaxQueuedBytes), and
// how many unsolicited messages wait for their taker.
void shareSetMaxQueuedBytes(size_t bytes);
size_t shareUnsolicitedQueued();

// --- Control replies, PTP callbacks, client name, widening ---
// Unwraps one whole control reply for the current share mode into its payload (moved
// to the start of the same buffer). Lengths are checked against what arrived.
PtpResponseCode shareUnwrapControlReply(ByteBuffer& message, ByteBuffer& payload);

// The share transport's PTP callbacks: one container per kind-10 message.
PtpResponseCode shareSendPtp(const uint8_t* container, size_t n);
PtpResponseCode shareReceivePtp(ByteBuffer& container);

// Device command 160 with the name and its NUL; no name or 200 characters or more: 0xFF15.
PtpResponseCode shareSendClientName(const char* name);
// The same, sent only while `connection` is still the open one (see linkRequestOn).
PtpResponseCode shareSendClientNameOn(uint64_t connection, const char* name);

// Widens a generation-1 record in place to the 608-byte layout; null does nothing.
void shareWidenObjectInfo(uint8_t* record);
