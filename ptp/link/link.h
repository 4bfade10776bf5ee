#pragma once
// The device link: the one TCP connection to the device, its framed messages and the
// request mutex that pairs every request with its reply. Process-wide, one at a time.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

enum ShareMessageKind : uint8_t {
  ShareMessageKindRaw = 9,
  ShareMessageKindPtp = 10,
  ShareMessageKindControl = 12,
  ShareMessageKindControlResponse = 13,
  ShareMessageKindRelay = 15,
};

enum RelayMode : uint8_t {
  RelayModeRelayOnly = 160,
  RelayModeRelayAndKeep = 161,
  RelayMode162 = 162,
};

enum RelayCode : uint8_t {
  RelayCodeObjectInfo = 176,
  RelayCodePartialObjectInfo = 177,
  RelayCodeFileName = 178,
};

constexpr size_t kShareHeaderBytes = 5;
// Largest frame the link takes whole; far above the biggest object the viewer fetches.
constexpr uint32_t kLinkMaxFrameBytes = 256u * 1024u * 1024u;
// How much of an oversize frame is kept (header, opcode, PTP code, transaction id).
constexpr size_t kLinkOversizePrefixBytes = 32;
// Host names longer than this are refused (DNS names end at 253).
constexpr size_t kLinkMaxHostNameBytes = 255;

// Connection.
int linkConnect(const std::string& host, int port);
int linkDisconnect();
// Identity of the open connection (0 when closed); each linkConnect makes a new one.
uint64_t linkConnectionId();
// Closes the link only while it is still that connection: a late reader of an old
// connection never closes the next one.
int linkDisconnectConnection(uint64_t id);
bool linkIsConnected();
int linkGetSocket();
std::string linkGetHostName();
void linkClearError();
bool linkHasError();
double linkSecondsSinceLastReceive();
// Seconds since any byte arrived (a long message still arriving is not silence).
double linkSecondsSinceLastData();
bool linkCancelReceive();
int64_t linkElapsedMs(int64_t startUs, int64_t endUs);

// The receive time-out; a change reaches a wait already in progress.
void linkSetReceiveTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds linkGetReceiveTimeout();
// Back to the library's default receive time-out.
void linkResetReceiveTimeout();

// Request serialisation: flag 0 unlocks, any other flag locks. 1 on success.
int linkLockRequests(int flag);
// Whether the calling thread holds the request mutex.
bool linkHoldsRequests();

// Routing key of the one outstanding request, read by the mailbox's router.
void linkSetExpectedReply(uint8_t kind, uint32_t key);
void linkClearExpectedReply();
uint8_t linkExpectedKind();
uint32_t linkPendingKey();

// Raw stream.
PtpResponseCode linkWriteAll(const uint8_t* buffer, size_t n);
PtpResponseCode linkReadExact(uint8_t* buffer, int64_t n);
// One framed message, header included. An oversize frame is drained and answered with
// ERROR_TOO_LARGE; message then holds only its first kLinkOversizePrefixBytes.
PtpResponseCode linkReadMessage(ByteBuffer& message);

// What a reader makes of a frame from its first bytes (up to kLinkOversizePrefixBytes,
// fewer when the frame is shorter) and its total length, before anything is allocated.
struct LinkFrameVerdict {
  // Largest total taken whole; a longer frame is drained unallocated (ERROR_TOO_LARGE).
  uint32_t limit = kLinkMaxFrameBytes;
  // Stamped (steady-clock nanoseconds) as each later piece of the frame arrives.
  std::atomic<int64_t>* progress = nullptr;
};
struct LinkFrameJudge {
  std::function<LinkFrameVerdict(const ByteBuffer& prefix, uint32_t total)> decide;
  // Stamped as a frame's first bytes arrive, before anyone knows whose it is; back to 0
  // once decided.
  std::atomic<int64_t>* undecided = nullptr;
};

// The same, from that connection only: once it has been replaced, ERROR_CONNECTION without
// touching the new stream or its error flag.
PtpResponseCode linkReadMessageFrom(uint64_t connection, ByteBuffer& message,
                                    const LinkFrameJudge& judge = {});
// Test hook: the largest message buffer the readers have allocated since the last reset.
uint64_t linkLargestFrameTaken();
void linkResetLargestFrameTaken();

// Senders.
PtpResponseCode linkSendPtp(const uint8_t* container, size_t n);
PtpResponseCode linkSendControl(uint8_t opcode, const uint8_t* payload, size_t n);
PtpResponseCode linkSendRaw(const uint8_t* data, size_t n);
PtpResponseCode linkSendRelayHeader(uint8_t mode, uint8_t code, uint32_t m, const uint8_t* relay,
                                    uint32_t e);

// Pure reply parsers shared by the direct readers (message = one whole frame).
PtpResponseCode linkParseReply(ByteBuffer& message, ByteBuffer& payload);
PtpResponseCode linkParsePtpReply(ByteBuffer& message, ByteBuffer& container);
PtpResponseCode linkParseRaw(ByteBuffer& message, ByteBuffer& data);
PtpResponseCode linkParseRawU32(const ByteBuffer& message, uint32_t* value);

// Direct readers: take the next message from the socket themselves.
PtpResponseCode linkReadReplyDirect(ByteBuffer& payload);
PtpResponseCode linkReadPtpDirect(ByteBuffer& container);
PtpResponseCode linkReadRaw(ByteBuffer& data);
PtpResponseCode linkReadRawU32(uint32_t* value);

// Binds the request about to go out (kind and key of its reply) to the open connection
// (with `connection` set, only while that one is still open) and fixes the route of its
// reply. The senders do it themselves; a PTP send callback calls it before linkSendPtp.
// ERROR_CONNECTION when there is no such connection. Cleared with the expected reply.
PtpResponseCode linkBindRequest(uint8_t kind, uint32_t key, uint64_t connection = 0);
// The reply to the outstanding request, taken the way that was bound when it went out:
// from the share reader that owned its connection then (0xFF16 once that reader has
// ended), else straight from that connection. Never from a later connection.
PtpResponseCode linkAwaitReply(ByteBuffer& message);
// Test hook: run on the requester's thread after its request has gone out, just before
// the reply is awaited (null: nothing).
void linkSetAwaitHook(std::function<void()> hook);

// Request/response pairs.
PtpResponseCode linkRequest(uint8_t opcode, const uint8_t* payload, size_t n,
                            ByteBuffer& reply);
PtpResponseCode linkCommand(uint8_t opcode, const uint8_t* payload, size_t n);
// The same, sent only while `connection` is still the open one: checked and bound under
// the link's lock, so a request of an older connection never reaches a newer one.
// ERROR_CONNECTION, with nothing sent and nothing marked, once it has been replaced.
PtpResponseCode linkRequestOn(uint64_t connection, uint8_t opcode, const uint8_t* payload, size_t n,
                              ByteBuffer& reply);
PtpResponseCode linkCommandOn(uint64_t connection, uint8_t opcode, const uint8_t* payload, size_t n);
PtpResponseCode linkRelayRequest(const uint8_t* payload, size_t n, uint8_t opcode, uint8_t mode,
                                 uint8_t code, uint32_t m, const uint8_t* relay,
                                 ByteBuffer& reply);
PtpResponseCode linkRelayPtp(const uint8_t* container, size_t n, uint8_t mode, uint8_t code,
                             uint32_t m, const uint8_t* relay, ByteBuffer& out);
// Writes a prepared message unchanged and takes its kind-13 reply (payload only on
// success), all under the request mutex.
PtpResponseCode linkExchangeDirect(const uint8_t* message, size_t n, ByteBuffer& payload);
PtpResponseCode linkExchangeDirectU16(const uint8_t* message, size_t n, uint16_t* value);
