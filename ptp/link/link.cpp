#include "ptp/link/link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>

#include "ptp/base/byte_reader.h"
#include "ptp/base/bytes.h"
#include "ptp/base/timing.h"
#include "ptp/link/mailbox.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kReceiveBufferBytes = 64 * 1024;
constexpr size_t kDrainChunkBytes = 64 * 1024;

// One open socket. Closed when the last user lets go, so a reader still inside recv()
// never sees its descriptor reused by another open.
struct Connection {
  Connection(int f, uint64_t i) : fd(f), id(i), buffer(new uint8_t[kReceiveBufferBytes]) {}
  ~Connection() { ::close(fd); }
  const int fd;
  const uint64_t id;
  std::atomic<bool> closing{false};
  std::mutex readMutex;  // one reader at a time owns the receive buffer
  std::unique_ptr<uint8_t[]> buffer;
  size_t start = 0, end = 0;
  // The last receive took everything there was: wait before the next one instead of
  // trying a receive that would only say "nothing yet".
  bool drained = false;
};

struct CancelPipe {
  int readEnd = -1, writeEnd = -1;
  ~CancelPipe() {
    if (readEnd >= 0) ::close(readEnd);
    if (writeEnd >= 0) ::close(writeEnd);
  }
};

// The outstanding request: the connection it went out on and the route of its reply,
// fixed when it is sent. One at a time, like the request mutex.
struct Binding {
  bool active = false;
  uint8_t kind = 0;
  uint32_t key = 0;
  std::shared_ptr<Connection> conn;
  std::shared_ptr<CancelPipe> pipe;
  uint64_t session = 0;  // the share session whose reader routes the reply; 0: read directly
};

struct LinkState {
  std::mutex stateMutex;  // guards conn, pipe, hostName and bound
  std::shared_ptr<Connection> conn;
  std::shared_ptr<CancelPipe> pipe;
  std::string hostName;
  Binding bound;
  std::atomic<uint64_t> largestFrame{0};
  std::atomic<int> fd{-1};
  uint64_t nextId = 0;  // under stateMutex
  std::atomic<uint64_t> currentId{0};  // 0: closed
  std::atomic<bool> sticky{false};
  std::atomic<int64_t> receiveTimeoutMs{-1};  // -1: the library default
  std::atomic<uint8_t> expectedKind{0};
  std::atomic<uint32_t> pendingKey{0};
  std::atomic<int64_t> lastReceiveNs{0};
  std::atomic<int64_t> lastDataNs{0};
  std::mutex requestMutex;
  std::atomic<std::thread::id> requestOwner{};
};

// Never destroyed: threads may still use the link while the process exits.
LinkState& S() {
  static LinkState* s = new LinkState;
  return *s;
}

int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

std::chrono::milliseconds currentTimeout() {
  int64_t t = S().receiveTimeoutMs.load();
  return t < 0 ? timing().receiveTimeout.load() : std::chrono::milliseconds(t);
}

struct Handles {
  std::shared_ptr<Connection> conn;
  std::shared_ptr<CancelPipe> pipe;
};

Handles handles() {
  std::lock_guard lock(S().stateMutex);
  return {S().conn, S().pipe};
}

// The handles of one connection only: empty once another connection has replaced it.
Handles handlesOf(uint64_t id) {
  std::lock_guard lock(S().stateMutex);
  if (!S().conn || S().conn->id != id) return {};
  return {S().conn, S().pipe};
}

bool drainCancelByte(const CancelPipe* pipe) {
  if (!pipe || pipe->readEnd < 0) return false;
  uint8_t b;
  return ::read(pipe->readEnd, &b, 1) == 1;
}

enum class Wait { Readable, Cancelled, TimedOut, NotReadable, Failed };

// Waits for the socket or the cancel pipe, in slices so that a changed time-out
// reaches a wait in progress.
Wait waitReadable(const Connection& c, const CancelPipe* pipe) {
  const auto start = Clock::now();
  for (;;) {
    auto deadline = start + currentTimeout();
    auto now = Clock::now();
    if (now >= deadline) return Wait::TimedOut;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    int sliceMs = static_cast<int>(std::max<int64_t>(1, std::min(left, timing().waitSlice.load()).count()));
    pollfd fds[2] = {{c.fd, POLLIN, 0}, {pipe ? pipe->readEnd : -1, POLLIN, 0}};
    nfds_t n = (pipe && pipe->readEnd >= 0) ? 2 : 1;
    int r = ::poll(fds, n, sliceMs);
    if (r < 0) {
      if (errno == EINTR) continue;
      return Wait::Failed;
    }
    if (r == 0) continue;
    if (n == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
      drainCancelByte(pipe);
      return Wait::Cancelled;
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) return Wait::Readable;
    return Wait::NotReadable;
  }
}

// A failure on a connection that has since been replaced must not mark the new one.
PtpResponseCode failSticky(const Connection* c = nullptr) {
  std::lock_guard lock(S().stateMutex);
  if (c ? S().conn.get() == c : !S().conn) S().sticky = true;
  return ERROR_CONNECTION;
}

// Receives exactly n bytes; the caller holds c.readMutex. Each piece that arrives is
// stamped into progress when one is given.
PtpResponseCode readExactLocked(Connection& c, const CancelPipe* pipe, uint8_t* out, size_t n,
                                std::atomic<int64_t>* progress = nullptr) {
  size_t got = std::min(n, c.end - c.start);
  if (got) {
    std::memcpy(out, c.buffer.get() + c.start, got);
    c.start += got;
  }
  while (got < n) {
    if (c.drained) {
      switch (waitReadable(c, pipe)) {
        case Wait::Readable: break;
        case Wait::Cancelled: return ERROR_RECEIVE_CANCELLED;
        case Wait::NotReadable: return ERROR_CONNECTION;
        case Wait::TimedOut:
        case Wait::Failed: return failSticky(&c);
      }
    }
    size_t want = n - got;
    bool direct = want >= kReceiveBufferBytes;
    size_t asked = direct ? want : kReceiveBufferBytes;
    ssize_t r = ::recv(c.fd, direct ? out + got : c.buffer.get(), asked, MSG_DONTWAIT);
    if (r > 0) {
      S().lastDataNs = nowNs();
      if (progress) progress->store(nowNs());
      c.drained = static_cast<size_t>(r) < asked;
      if (direct) {
        got += static_cast<size_t>(r);
      } else {
        size_t take = std::min(want, static_cast<size_t>(r));
        std::memcpy(out + got, c.buffer.get(), take);
        got += take;
        c.start = take;
        c.end = static_cast<size_t>(r);
      }
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      c.drained = true;
      continue;
    }
    // Peer closed or the socket failed. A disconnect from our side reads as a cancel.
    if (c.closing) {
      drainCancelByte(pipe);
      return ERROR_RECEIVE_CANCELLED;
    }
    return failSticky(&c);
  }
  S().lastReceiveNs = nowNs();
  return PTP_RC_OK;
}

bool stickyFor(const Connection& c) { return S().sticky.load() && S().currentId.load() == c.id; }

// Writes all n bytes on that connection; more = further pieces of the same message follow.
PtpResponseCode writeOn(const std::shared_ptr<Connection>& conn, const uint8_t* buffer, size_t n, bool more) {
  if (!buffer || n == 0) return ERROR_INVALID_INPUT;
  if (!conn) return ERROR_CONNECTION;
  if (stickyFor(*conn)) return ERROR_CONNECTION;
  size_t sent = 0;
  int flags = MSG_NOSIGNAL | (more ? MSG_MORE : 0);
  while (sent < n) {
    ssize_t r = ::send(conn->fd, buffer + sent, n - sent, flags);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    return failSticky(conn.get());
  }
  return PTP_RC_OK;
}

void putHeader(uint8_t* p, uint32_t total, uint8_t kind) {
  bytesPutU32(p, total);
  p[4] = kind;
}

uint8_t kindOf(const ByteBuffer& message) { return message.size() > 4 ? (message[4] & 0x0F) : 0; }

void releaseRequests() { linkLockRequests(0); }

void clearBindingLocked() {
  S().bound = Binding();
  S().expectedKind = 0;
  S().pendingKey = 0;
}

// Where the pieces of a message go: the outstanding request's connection, else the open one.
Handles target() {
  std::lock_guard lock(S().stateMutex);
  if (S().bound.active) return {S().bound.conn, S().bound.pipe};
  return {S().conn, S().pipe};
}

PtpResponseCode writeAll(const uint8_t* buffer, size_t n, bool more) {
  return writeOn(target().conn, buffer, n, more);
}

// Binds the request about to go out to the open connection (with `connection` set, only
// while that one is still open) and fixes the route of its reply: through the share reader
// that owns that stream now, else straight from it. One check under the link's lock, so
// no reconnect can come between the check and the send. A further piece of the same
// request (a data phase, a relay's embedded message) keeps the binding it has.
PtpResponseCode bindRequest(uint8_t kind, uint32_t key, uint64_t connection) {
  auto& s = S();
  std::lock_guard lock(s.stateMutex);
  Binding& b = s.bound;
  if (b.active && b.kind == kind && b.key == key && (connection == 0 || b.conn->id == connection))
    return PTP_RC_OK;
  if (!s.conn || (connection != 0 && s.conn->id != connection)) {
    clearBindingLocked();
    return ERROR_CONNECTION;
  }
  b.active = true;
  b.kind = kind;
  b.key = key;
  b.conn = s.conn;
  b.pipe = s.pipe;
  b.session = shareReaderSessionOn(s.conn->id);
  s.pendingKey = key;
  s.expectedKind = kind;
  return PTP_RC_OK;
}

// Closes the connection the outstanding request went out on, and no other.
void disconnectTarget(const Handles& h) {
  if (h.conn) linkDisconnectConnection(h.conn->id);
}

}  // namespace

int linkConnect(const std::string& host, int port) {
  if (host.empty() || host.size() > kLinkMaxHostNameBytes || port <= 0 || port > 65535) return -1;
  linkDisconnect();  // a still-open previous socket goes first

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res) return -1;
  sockaddr_in addr{};
  std::memcpy(&addr, res->ai_addr, std::min<size_t>(sizeof addr, res->ai_addrlen));
  ::freeaddrinfo(res);
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));

  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  auto fail = [fd] {
    ::close(fd);
    return -1;
  };
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return fail();
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0) {
    if (errno != EINPROGRESS) return fail();
    pollfd p{fd, POLLOUT, 0};
    int r;
    do {
      r = ::poll(&p, 1, static_cast<int>(timing().connectTimeout.load().count()));
    } while (r < 0 && errno == EINTR);
    if (r < 1) return fail();
    int soError = 0;
    socklen_t len = sizeof soError;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) < 0 || soError != 0) return fail();
  }
  if (::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) return fail();
  int one = 1;
  // Requests go out as several small writes; do not let Nagle hold them back.
  if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) < 0) return fail();

  auto pipe = std::make_shared<CancelPipe>();
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    pipe->readEnd = ends[0];
    pipe->writeEnd = ends[1];
  }
  {
    std::lock_guard lock(S().stateMutex);
    S().conn = std::make_shared<Connection>(fd, ++S().nextId);
    S().currentId = S().conn->id;
    S().pipe = pipe;
    S().hostName = host;
    S().fd = fd;
    S().sticky = false;
  }
  return fd;
}

namespace {
// Closes the current connection; with onlyId set, only when it is that connection.
int disconnect(uint64_t onlyId) {
  std::shared_ptr<Connection> conn;
  std::shared_ptr<CancelPipe> pipe;
  {
    std::lock_guard lock(S().stateMutex);
    if (onlyId != 0 && (!S().conn || S().conn->id != onlyId)) return 1;
    conn.swap(S().conn);
    S().currentId = 0;
    pipe = S().pipe;
    S().fd = -1;
    S().hostName.clear();
  }
  if (!conn) return 1;
  conn->closing = true;
  int soError = 0;
  socklen_t len = sizeof soError;
  ::getsockopt(conn->fd, SOL_SOCKET, SO_ERROR, &soError, &len);
  // The wake byte goes first, so a woken reader reads it as a cancel.
  if (pipe && pipe->writeEnd >= 0) {
    uint8_t one = 1;
    [[maybe_unused]] auto w = ::write(pipe->writeEnd, &one, 1);
  }
  ::shutdown(conn->fd, SHUT_RDWR);
  return 1;  // the socket closes when its last reader lets go
}
}  // namespace

int linkDisconnect() { return disconnect(0); }
int linkDisconnectConnection(uint64_t id) { return id == 0 ? 1 : disconnect(id); }
uint64_t linkConnectionId() { return S().currentId.load(); }

bool linkIsConnected() { return S().fd.load() >= 0; }
int linkGetSocket() { return S().fd.load(); }

std::string linkGetHostName() {
  std::lock_guard lock(S().stateMutex);
  return S().hostName;
}

void linkClearError() { S().sticky = false; }
bool linkHasError() { return S().sticky.load(); }

static double secondsSince(int64_t ns) {
  if (ns == 0) return static_cast<double>(std::time(nullptr));  // never: as long ago as 1970
  return static_cast<double>(nowNs() - ns) / 1e9;
}

double linkSecondsSinceLastReceive() { return secondsSince(S().lastReceiveNs.load()); }
double linkSecondsSinceLastData() { return secondsSince(S().lastDataNs.load()); }

bool linkCancelReceive() {
  auto pipe = handles().pipe;
  if (!pipe || pipe->writeEnd < 0) return false;
  uint8_t one = 1;
  return ::write(pipe->writeEnd, &one, 1) == 1;
}

int64_t linkElapsedMs(int64_t startUs, int64_t endUs) {
  return static_cast<int64_t>(static_cast<double>(endUs - startUs) / 1000000.0 * 1000.0);
}

void linkSetReceiveTimeout(std::chrono::milliseconds timeout) { S().receiveTimeoutMs = timeout.count(); }
std::chrono::milliseconds linkGetReceiveTimeout() { return currentTimeout(); }
void linkResetReceiveTimeout() { S().receiveTimeoutMs = -1; }

int linkLockRequests(int flag) {
  auto& s = S();
  if (flag == 0) {
    // Unlocking a mutex this thread does not hold would be undefined: refuse instead.
    if (s.requestOwner.load() != std::this_thread::get_id()) return 0;
    // The transaction is over: a later frame with its key is no longer its reply.
    linkClearExpectedReply();
    s.requestOwner = std::thread::id();
    s.requestMutex.unlock();
    return 1;
  }
  s.requestMutex.lock();
  s.requestOwner = std::this_thread::get_id();
  linkClearExpectedReply();  // a new request starts unbound
  return 1;
}

bool linkHoldsRequests() { return S().requestOwner.load() == std::this_thread::get_id(); }

void linkSetExpectedReply(uint8_t kind, uint32_t key) {
  S().pendingKey = key;
  S().expectedKind = kind;
}
void linkClearExpectedReply() {
  std::lock_guard lock(S().stateMutex);
  clearBindingLocked();
}
uint8_t linkExpectedKind() { return S().expectedKind.load(); }
uint32_t linkPendingKey() { return S().pendingKey.load(); }

PtpResponseCode linkWriteAll(const uint8_t* buffer, size_t n) { return writeAll(buffer, n, false); }

PtpResponseCode linkReadExact(uint8_t* buffer, int64_t n) {
  auto h = handles();
  if (!h.conn) return failSticky();
  if (n <= 0) {
    S().lastReceiveNs = nowNs();
    return PTP_RC_OK;
  }
  if (!buffer) return ERROR_INVALID_INPUT;
  std::lock_guard lock(h.conn->readMutex);
  return readExactLocked(*h.conn, h.pipe.get(), buffer, static_cast<size_t>(n));
}

namespace {
void noteAllocation(uint64_t bytes) {
  uint64_t seen = S().largestFrame.load();
  while (bytes > seen && !S().largestFrame.compare_exchange_weak(seen, bytes)) {
  }
}

PtpResponseCode readMessage(const Handles& h, ByteBuffer& message, const LinkFrameJudge& judge = {}) {
  struct Undecided {  // whatever way the read ends, the frame is no longer undecided
    std::atomic<int64_t>* stamp;
    ~Undecided() {
      if (stamp) stamp->store(0);
    }
  } undecided{judge.undecided};
  message.clear();
  if (!h.conn) return S().sticky ? ERROR_CONNECTION : failSticky();
  if (stickyFor(*h.conn)) return ERROR_CONNECTION;
  std::lock_guard lock(h.conn->readMutex);
  uint8_t header[kShareHeaderBytes];
  if (readExactLocked(*h.conn, h.pipe.get(), header, sizeof header, judge.undecided) != PTP_RC_OK)
    return failSticky(h.conn.get());
  uint32_t total = bytesGetU32(header);
  if (total < kShareHeaderBytes) return ERROR_BAD_REPLY;
  // The first bytes decide, before any allocation, whether anyone takes the frame.
  size_t prefix = std::min<size_t>(total, kLinkOversizePrefixBytes);
  message.resize(prefix);
  noteAllocation(prefix);
  std::memcpy(message.data(), header, sizeof header);
  if (readExactLocked(*h.conn, h.pipe.get(), message.data() + kShareHeaderBytes, prefix - kShareHeaderBytes,
                      judge.undecided) != PTP_RC_OK) {
    message.clear();
    return failSticky(h.conn.get());
  }
  LinkFrameVerdict verdict = judge.decide ? judge.decide(message, total) : LinkFrameVerdict{};
  if (verdict.progress) verdict.progress->store(nowNs());
  if (undecided.stamp) undecided.stamp->store(0);
  if (total > std::min(verdict.limit, kLinkMaxFrameBytes)) {
    // Nobody takes it whole: keep its first bytes so the request it answers can be
    // ended, and drain the rest in chunks so the stream stays in step.
    PtpResponseCode rc = PTP_RC_OK;
    uint64_t left = uint64_t(total) - prefix;
    std::unique_ptr<uint8_t[]> scratch(new uint8_t[kDrainChunkBytes]);
    while (rc == PTP_RC_OK && left > 0) {
      size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, kDrainChunkBytes));
      rc = readExactLocked(*h.conn, h.pipe.get(), scratch.get(), chunk, verdict.progress);
      left -= chunk;
    }
    if (rc != PTP_RC_OK) {
      message.clear();
      return failSticky(h.conn.get());
    }
    return ERROR_TOO_LARGE;
  }
  try {
    message.resize(total);
  } catch (const std::bad_alloc&) {
    message.clear();
    return ERROR_NO_MEMORY;
  }
  noteAllocation(total);
  if (readExactLocked(*h.conn, h.pipe.get(), message.data() + prefix, total - prefix, verdict.progress) !=
      PTP_RC_OK) {
    // Half a message read: the stream has lost its framing.
    message.clear();
    return failSticky(h.conn.get());
  }
  return PTP_RC_OK;
}
}  // namespace

PtpResponseCode linkReadMessage(ByteBuffer& message) { return readMessage(handles(), message); }

PtpResponseCode linkReadMessageFrom(uint64_t connection, ByteBuffer& message, const LinkFrameJudge& judge) {
  Handles h = handlesOf(connection);
  if (!h.conn) {
    // Not this connection any more: nothing to read, and nothing of the new one touched.
    message.clear();
    return ERROR_CONNECTION;
  }
  return readMessage(h, message, judge);
}

PtpResponseCode linkBindRequest(uint8_t kind, uint32_t key, uint64_t connection) {
  return bindRequest(kind, key, connection);
}

uint64_t linkLargestFrameTaken() { return S().largestFrame.load(); }
void linkResetLargestFrameTaken() { S().largestFrame = 0; }

namespace {
std::mutex gAwaitHookMutex;
std::function<void()> gAwaitHook;
}  // namespace

void linkSetAwaitHook(std::function<void()> hook) {
  std::lock_guard lock(gAwaitHookMutex);
  gAwaitHook = std::move(hook);
}

PtpResponseCode linkAwaitReply(ByteBuffer& message) {
  message.clear();
  std::function<void()> hook;
  {
    std::lock_guard lock(gAwaitHookMutex);
    hook = gAwaitHook;
  }
  if (hook) hook();
  Binding b;
  {
    std::lock_guard lock(S().stateMutex);
    b = S().bound;
  }
  if (!b.active) {
    // Nothing was bound (a reply read on its own): the way the stream is read now.
    return shareReaderRunning() ? shareWaitReply(message) : linkReadMessage(message);
  }
  if (b.session != 0) return shareWaitReplyFor(b.session, b.conn->id, message);
  return readMessage({b.conn, b.pipe}, message);
}

PtpResponseCode linkSendPtp(const uint8_t* container, size_t n) {
  if (!container || n == 0 || n > kLinkMaxFrameBytes) return ERROR_INVALID_INPUT;
  uint8_t header[5];
  putHeader(header, static_cast<uint32_t>(n + 5), ShareMessageKindPtp);
  auto conn = target().conn;
  PtpResponseCode rc = writeOn(conn, header, sizeof header, true);
  if (rc == PTP_RC_OK) rc = writeOn(conn, container, n, false);
  return rc;
}

namespace {
// A control request; the reply will come as expectedKind with the opcode as its key. With
// `connection` set it goes out only on that connection.
PtpResponseCode sendControl(uint8_t opcode, const uint8_t* payload, size_t n, uint8_t expectedKind,
                            uint64_t connection = 0) {
  if ((n > 0 && !payload) || n > kLinkMaxFrameBytes) {
    linkClearExpectedReply();
    releaseRequests();
    return ERROR_INVALID_INPUT;
  }
  if (PtpResponseCode bound = bindRequest(expectedKind, opcode, connection); bound != PTP_RC_OK) {
    releaseRequests();
    return bound;
  }
  Handles h = target();
  uint8_t header[10];
  putHeader(header, static_cast<uint32_t>(n + 10), ShareMessageKindControl);
  bytesPutU32(header + 5, static_cast<uint32_t>(n + 5));
  header[9] = opcode;
  PtpResponseCode rc = writeOn(h.conn, header, 5, true);
  if (rc == PTP_RC_OK) rc = writeOn(h.conn, header + 5, 5, n > 0);
  if (rc == PTP_RC_OK && n > 0) rc = writeOn(h.conn, payload, n, false);
  if (rc != PTP_RC_OK) {
    linkClearExpectedReply();
    disconnectTarget(h);
    releaseRequests();
  }
  return rc;
}

PtpResponseCode readAnswer(ByteBuffer& message) { return linkAwaitReply(message); }
}  // namespace

PtpResponseCode linkSendControl(uint8_t opcode, const uint8_t* payload, size_t n) {
  return sendControl(opcode, payload, n,
                     shareGetMode() == ShareModeGeneration1 ? ShareMessageKindControl
                                                            : ShareMessageKindControlResponse);
}

PtpResponseCode linkSendRaw(const uint8_t* data, size_t n) {
  if (!data || n == 0 || n > kLinkMaxFrameBytes) return ERROR_INVALID_INPUT;
  uint8_t header[5];
  putHeader(header, static_cast<uint32_t>(n + 5), ShareMessageKindRaw);
  Handles h = target();
  PtpResponseCode rc = writeOn(h.conn, header, sizeof header, true);
  if (rc == PTP_RC_OK) rc = writeOn(h.conn, data, n, false);
  if (rc != PTP_RC_OK) disconnectTarget(h);
  return rc;
}

PtpResponseCode linkSendRelayHeader(uint8_t mode, uint8_t code, uint32_t m, const uint8_t* relay,
                                    uint32_t e) {
  if ((m > 0 && !relay) || uint64_t(m) + e + 15 > kLinkMaxFrameBytes) return ERROR_INVALID_INPUT;
  uint8_t header[15];
  putHeader(header, m + e + 15, ShareMessageKindRelay);
  bytesPutU32(header + 5, m + 10);
  header[9] = mode;
  header[10] = code;
  bytesPutU32(header + 11, m);
  Handles h = target();
  PtpResponseCode rc = writeOn(h.conn, header, 5, true);
  if (rc == PTP_RC_OK) rc = writeOn(h.conn, header + 5, 10, true);
  if (rc == PTP_RC_OK && m > 0) rc = writeOn(h.conn, relay, m, true);
  if (rc != PTP_RC_OK) disconnectTarget(h);
  return rc;
}

PtpResponseCode linkParseReply(ByteBuffer& message, ByteBuffer& payload) {
  payload.clear();
  ByteReader r(message.data(), message.size());
  auto inner = r.u32(5);
  uint64_t total = message.size();
  if (kindOf(message) != ShareMessageKindControlResponse || total < 12 || !inner || *inner < 7 ||
      uint64_t(*inner) > total - 5) {
    message.clear();
    return ERROR_BAD_REPLY;
  }
  uint32_t length = *inner - 7;
  PtpResponseCode result = *r.u16(10);
  if (length != 0 && result == PTP_RC_OK) {
    message.erase(message.begin(), message.begin() + 12);
    message.resize(length);
    payload.swap(message);
  }
  message.clear();
  return result;
}

PtpResponseCode linkParsePtpReply(ByteBuffer& message, ByteBuffer& container) {
  container.clear();
  ByteReader r(message.data(), message.size());
  uint8_t kind = kindOf(message);
  PtpResponseCode rc;
  if (kind == ShareMessageKindControlResponse) {
    auto result = r.u16(10);
    rc = (result && *result == 0) ? RESPONSE_EMPTY_ACK : ERROR_BAD_REPLY;
  } else if (message.size() <= 16) {
    rc = ERROR_INVALID_INPUT;
  } else if (kind != ShareMessageKindPtp) {
    rc = ERROR_BAD_REPLY;
  } else {
    message.erase(message.begin(), message.begin() + kShareHeaderBytes);
    container.swap(message);
    rc = PTP_RC_OK;
  }
  message.clear();
  return rc;
}

PtpResponseCode linkParseRaw(ByteBuffer& message, ByteBuffer& data) {
  data.clear();
  if (kindOf(message) != ShareMessageKindRaw || message.size() < kShareHeaderBytes) {
    message.clear();
    return ERROR_BAD_REPLY;
  }
  message.erase(message.begin(), message.begin() + kShareHeaderBytes);
  data.swap(message);
  message.clear();
  return PTP_RC_OK;
}

PtpResponseCode linkParseRawU32(const ByteBuffer& message, uint32_t* value) {
  if (!value) return ERROR_INVALID_INPUT;
  auto v = ByteReader(message.data(), message.size()).u32(5);
  if (kindOf(message) != ShareMessageKindRaw || !v) return ERROR_BAD_REPLY;
  *value = *v;
  return PTP_RC_OK;
}

PtpResponseCode linkReadReplyDirect(ByteBuffer& payload) {
  payload.clear();
  ByteBuffer message;
  PtpResponseCode rc = readMessage(target(), message);
  if (rc != PTP_RC_OK) return rc;
  return linkParseReply(message, payload);
}

PtpResponseCode linkReadPtpDirect(ByteBuffer& container) {
  container.clear();
  ByteBuffer message;
  PtpResponseCode rc = readMessage(target(), message);
  if (rc != PTP_RC_OK) return rc;
  return linkParsePtpReply(message, container);
}

PtpResponseCode linkReadRaw(ByteBuffer& data) {
  data.clear();
  ByteBuffer message;
  PtpResponseCode rc = readMessage(target(), message);
  if (rc != PTP_RC_OK) return rc;
  return linkParseRaw(message, data);
}

PtpResponseCode linkReadRawU32(uint32_t* value) {
  if (!value) return ERROR_INVALID_INPUT;
  ByteBuffer message;
  PtpResponseCode rc = readMessage(target(), message);
  if (rc != PTP_RC_OK) return rc;
  return linkParseRawU32(message, value);
}

PtpResponseCode linkRequest(uint8_t opcode, const uint8_t* payload, size_t n, ByteBuffer& reply) {
  return linkRequestOn(0, opcode, payload, n, reply);
}

PtpResponseCode linkRequestOn(uint64_t connection, uint8_t opcode, const uint8_t* payload, size_t n,
                              ByteBuffer& reply) {
  reply.clear();
  linkLockRequests(1);
  PtpResponseCode rc = sendControl(opcode, payload, n,
                                   shareGetMode() == ShareModeGeneration1 ? ShareMessageKindControl
                                                                          : ShareMessageKindControlResponse,
                                   connection);
  if (rc != PTP_RC_OK) return rc;  // the sender has released the mutex
  rc = shareReceiveControlReply(reply);
  linkClearExpectedReply();
  releaseRequests();
  return rc;
}

PtpResponseCode linkCommand(uint8_t opcode, const uint8_t* payload, size_t n) {
  ByteBuffer reply;
  return linkRequest(opcode, payload, n, reply);
}

PtpResponseCode linkCommandOn(uint64_t connection, uint8_t opcode, const uint8_t* payload, size_t n) {
  ByteBuffer reply;
  return linkRequestOn(connection, opcode, payload, n, reply);
}

PtpResponseCode linkRelayRequest(const uint8_t* payload, size_t n, uint8_t opcode, uint8_t mode,
                                 uint8_t code, uint32_t m, const uint8_t* relay,
                                 ByteBuffer& reply) {
  reply.clear();
  if (n > kLinkMaxFrameBytes) return ERROR_INVALID_INPUT;
  linkLockRequests(1);
  // The device answers a relayed request with a kind-13 reply in both generations.
  PtpResponseCode rc = bindRequest(ShareMessageKindControlResponse, opcode, 0);
  if (rc == PTP_RC_OK) rc = linkSendRelayHeader(mode, code, m, relay, static_cast<uint32_t>(n + 10));
  if (rc != PTP_RC_OK) {
    releaseRequests();
    return rc;
  }
  rc = sendControl(opcode, payload, n, ShareMessageKindControlResponse);
  if (rc != PTP_RC_OK) return rc;
  ByteBuffer message;
  rc = readAnswer(message);
  if (rc == PTP_RC_OK) rc = linkParseReply(message, reply);
  linkClearExpectedReply();
  releaseRequests();
  return rc;
}

PtpResponseCode linkRelayPtp(const uint8_t* container, size_t n, uint8_t mode, uint8_t code, uint32_t m,
                             const uint8_t* relay, ByteBuffer& out) {
  out.clear();
  if (n > kLinkMaxFrameBytes) return ERROR_INVALID_INPUT;
  if (!container || n < 12) return ERROR_INVALID_INPUT;
  linkLockRequests(1);
  PtpResponseCode rc = bindRequest(ShareMessageKindPtp, bytesGetU32(container + 8), 0);
  if (rc == PTP_RC_OK) rc = linkSendRelayHeader(mode, code, m, relay, static_cast<uint32_t>(n + 5));
  if (rc == PTP_RC_OK) rc = linkSendPtp(container, n);
  ByteBuffer message;
  if (rc == PTP_RC_OK) rc = readAnswer(message);
  if (rc == PTP_RC_OK) rc = linkParsePtpReply(message, out);
  linkClearExpectedReply();
  releaseRequests();
  return rc;
}

PtpResponseCode linkExchangeDirect(const uint8_t* message, size_t n, ByteBuffer& payload) {
  payload.clear();
  if (!message || n == 0) return ERROR_INVALID_INPUT;
  if (linkLockRequests(1) != 1) return ERROR_BUSY;
  ByteBuffer answer;
  // The reply is a kind-13 message with the opcode of the control request sent, which
  // may sit inside a relay message.
  ByteReader r(message, n);
  uint64_t at = 0;
  if (r.u8(4).value_or(0) == ShareMessageKindRelay) at = 15 + uint64_t(r.u32(11).value_or(0));
  PtpResponseCode rc = PTP_RC_OK;
  if (r.u8(at + 4).value_or(0) == ShareMessageKindControl && r.u8(at + 9))
    rc = bindRequest(ShareMessageKindControlResponse, *r.u8(at + 9), 0);
  else
    rc = bindRequest(0, 0, 0);  // no key: nothing routes to it, but it stays on this connection
  if (rc == PTP_RC_OK) rc = linkWriteAll(message, n);
  if (rc == PTP_RC_OK) rc = readAnswer(answer);
  if (rc == PTP_RC_OK) rc = linkParseReply(answer, payload);
  linkClearExpectedReply();
  releaseRequests();
  return rc;
}

PtpResponseCode linkExchangeDirectU16(const uint8_t* message, size_t n, uint16_t* value) {
  if (!message || n == 0 || !value) return ERROR_INVALID_INPUT;
  ByteBuffer payload;
  PtpResponseCode rc = linkExchangeDirect(message, n, payload);
  if (rc != PTP_RC_OK) return rc;
  if (payload.size() < 2) return ERROR_BAD_REPLY;
  *value = bytesGetU16(payload.data());
  return PTP_RC_OK;
}
