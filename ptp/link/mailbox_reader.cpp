// The reader thread, its two slots and the session they belong to.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "ptp/base/byte_reader.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// One slot: a queue of messages, examined, filled and emptied under its own mutex.
// A session id ties it to the reader that fills it, so a late reader of an older
// session can neither fill it nor end it.
struct Slot {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<ByteBuffer> queue;
  size_t queuedBytes = 0;
  // The first bytes of a reply too large to take that answered the outstanding request.
  std::optional<ByteBuffer> tooLarge;
  bool ended = false;
  uint64_t session = 0;
  int waiters = 0;

  void resetLocked(uint64_t id) {
    queue.clear();
    queuedBytes = 0;
    tooLarge.reset();
    ended = false;
    session = id;
  }
};

struct Mailbox {
  Slot response, unsolicited;
  std::mutex sessionMutex;  // start and stop
  std::thread reader;
  std::atomic<uint64_t> session{0};
  std::atomic<bool> readerRunning{false};
  std::atomic<uint64_t> readerConnection{0};
  // When a byte of the awaited reply last arrived, and when a byte of a frame not yet
  // known to be or not to be that reply did (0: no such frame). Steady-clock nanoseconds.
  std::atomic<int64_t> replyProgressNs{0};
  std::atomic<int64_t> undecidedNs{0};
  std::atomic<size_t> maxQueuedBytes{kShareMaxQueuedBytes};
  std::mutex doneMutex;
  std::condition_variable doneCv;
  std::mutex callbackMutex;
  std::function<void()> callback;
};

// Never destroyed: a reader may still be ending while the process exits.
Mailbox& M() {
  static Mailbox* m = new Mailbox;
  return *m;
}

void endSlot(Slot& slot, uint64_t session) {
  {
    std::lock_guard lock(slot.mutex);
    if (slot.session != session) return;
    slot.queue.clear();
    slot.queuedBytes = 0;
    slot.tooLarge.reset();
    slot.ended = true;
  }
  slot.cv.notify_all();
}

void endSession(uint64_t session, uint64_t connection) {
  linkDisconnectConnection(connection);
  endSlot(M().unsolicited, session);
  endSlot(M().response, session);
}

// Adds a message to a slot of the given session. False when the queue is over its cap:
// the taker has stopped taking, and the session must end rather than lose messages.
bool put(Slot& slot, uint64_t session, ByteBuffer&& message) {
  {
    std::lock_guard lock(slot.mutex);
    if (slot.session != session || slot.ended) return true;  // a late reader: not ours
    if (&slot == &M().unsolicited && shareIsLiveViewFrame(message)) {
      // Only the newest live-view frame is worth showing.
      for (auto it = slot.queue.begin(); it != slot.queue.end(); ++it) {
        if (shareIsLiveViewFrame(*it)) {
          slot.queuedBytes -= it->size();
          slot.queue.erase(it);
          break;
        }
      }
    }
    if (!slot.queue.empty() && slot.queuedBytes + message.size() > M().maxQueuedBytes.load()) return false;
    slot.queuedBytes += message.size();
    slot.queue.push_back(std::move(message));
  }
  slot.cv.notify_all();
  return true;
}

// Routes one message; false when the session must end.
bool route(uint64_t session, ByteBuffer&& message) {
  if (message.size() > 4) message[4] &= 0x0F;
  Slot& slot = shareRouteTarget(message, linkExpectedKind(), linkPendingKey()) == ShareSlot::Response
                   ? M().response
                   : M().unsolicited;
  return put(slot, session, std::move(message));
}

// The oversize frame's first bytes: when they answer the outstanding request, that
// request ends at once with ERROR_TOO_LARGE; anything else is skipped.
void routeTooLarge(uint64_t session, const ByteBuffer& prefix) {
  if (shareRouteTarget(prefix, linkExpectedKind(), linkPendingKey()) != ShareSlot::Response) return;
  Slot& slot = M().response;
  {
    std::lock_guard lock(slot.mutex);
    if (slot.session != session) return;
    slot.tooLarge = prefix;
  }
  slot.cv.notify_all();
}

// The reader's view of a frame from its first bytes: the awaited reply may be as large as
// the link takes and its bytes are the request's progress; anything else is held only up
// to what its consumer accepts.
LinkFrameVerdict judgeFrame(const ByteBuffer& prefix, uint32_t) {
  if (shareRouteTarget(prefix, linkExpectedKind(), linkPendingKey()) == ShareSlot::Response)
    return {kLinkMaxFrameBytes, &M().replyProgressNs};
  return {shareUnsolicitedFrameLimit(prefix), nullptr};
}

void readLoop(uint64_t session, uint64_t connection) {
  ByteBuffer message;
  const LinkFrameJudge judge{judgeFrame, &M().undecidedNs};
  for (;;) {
    PtpResponseCode rc = linkReadMessageFrom(connection, message, judge);
    if (rc == PTP_RC_OK) {
      if (!route(session, std::move(message))) break;
      message = ByteBuffer();
      continue;
    }
    if (rc == ERROR_TOO_LARGE) {
      routeTooLarge(session, message);
      continue;
    }
    break;
  }
  linkDisconnectConnection(connection);
  endSlot(M().response, session);
  {
    // Nothing more is handed on; emptied before the reader counts as stopped, so that a
    // taker which sees it stopped finds nothing left to take.
    Slot& u = M().unsolicited;
    std::lock_guard lock(u.mutex);
    if (u.session == session) {
      u.queue.clear();
      u.queuedBytes = 0;
    }
  }
  // Marked stopped before the taker is told of the end: whoever waits for the taker to
  // leave then finds the reader stopped too, and can collect its thread.
  {
    std::lock_guard lock(M().doneMutex);
    M().readerRunning = false;
  }
  M().doneCv.notify_all();
  endSlot(M().unsolicited, session);
}

// Wakes a session start waiting for the taker to leave. Taking doneMutex first means the
// start is either before its check or already waiting: the wake is never lost.
void notifyDone() {
  { std::lock_guard lock(M().doneMutex); }
  M().doneCv.notify_all();
}

// Waits for the previous session's reader and taker, then opens a new session on that
// connection. Caller holds sessionMutex. 0 when the previous one has not ended in time.
uint64_t beginSession(uint64_t connection) {
  auto& m = M();
  {
    std::unique_lock lock(m.doneMutex);
    bool ended = m.doneCv.wait_for(lock, timing().sessionEndWait.load(), [&] {
      if (m.readerRunning) return false;
      std::lock_guard u(m.unsolicited.mutex);
      return m.unsolicited.waiters == 0;
    });
    if (!ended) return 0;
  }
  if (m.reader.joinable() && m.reader.get_id() != std::this_thread::get_id()) m.reader.join();
  // Between requests: one that went out read straight from the stream gets its reply
  // before the reader takes the stream over.
  const bool between = !linkHoldsRequests();
  if (between) linkLockRequests(1);
  uint64_t id = m.session.load() + 1;
  for (Slot* s : {&m.response, &m.unsolicited}) {
    {
      std::lock_guard lock(s->mutex);
      s->resetLocked(id);
    }
    s->cv.notify_all();
  }
  {
    std::lock_guard lock(m.doneMutex);
    m.session = id;
    m.readerConnection = connection;
    m.readerRunning = true;
  }
  if (between) linkLockRequests(0);
  return id;
}

}  // namespace

PtpResponseCode shareStartReader() {
  auto& m = M();
  std::lock_guard lock(m.sessionMutex);
  uint64_t connection = linkConnectionId();
  uint64_t session = beginSession(connection);
  if (session == 0) return ERROR_BUSY;
  m.reader = std::thread(readLoop, session, connection);
  return PTP_RC_OK;
}

int shareReadLoop() {
  uint64_t session, connection;
  {
    std::lock_guard lock(M().sessionMutex);
    connection = linkConnectionId();
    session = beginSession(connection);
    if (session == 0) return -1;
  }
  readLoop(session, connection);
  return 0;
}

void shareStopReader() {
  auto& m = M();
  std::lock_guard lock(m.sessionMutex);
  if (m.readerRunning) linkDisconnectConnection(m.readerConnection.load());
  if (m.reader.joinable() && m.reader.get_id() != std::this_thread::get_id()) m.reader.join();
}

bool shareReaderRunning() { return M().readerRunning.load(); }

uint64_t shareReaderSessionOn(uint64_t connection) {
  auto& m = M();
  std::lock_guard lock(m.doneMutex);
  return m.readerRunning && m.readerConnection.load() == connection ? m.session.load() : 0;
}

void shareRouteMessage(ByteBuffer&& message) {
  uint64_t session = M().session.load();
  if (!route(session, std::move(message))) endSession(session, linkConnectionId());
}

PtpResponseCode shareWaitReplyFor(uint64_t session, uint64_t connection, ByteBuffer& message) {
  message.clear();
  Slot& slot = M().response;
  const int64_t start = nowNs();
  std::unique_lock lock(slot.mutex);
  for (;;) {
    // Its reader has ended and another session begun: the reply can no longer come.
    if (slot.session != session) return ERROR_CANCELLED;
    if (slot.tooLarge) {
      // Only when it answers this request, not one that has already given up.
      bool ours = shareRouteTarget(*slot.tooLarge, linkExpectedKind(), linkPendingKey()) == ShareSlot::Response;
      slot.tooLarge.reset();
      if (ours) return ERROR_TOO_LARGE;
    }
    while (!slot.queue.empty()) {
      ByteBuffer m = std::move(slot.queue.front());
      slot.queue.pop_front();
      slot.queuedBytes -= m.size();
      // Only the reply to this request: a stale one for an earlier request is dropped.
      if (shareRouteTarget(m, linkExpectedKind(), linkPendingKey()) == ShareSlot::Response) {
        message.swap(m);
        return PTP_RC_OK;
      }
    }
    if (slot.ended) return ERROR_CANCELLED;
    // Silence is counted for this request alone: other traffic from the device is no
    // progress, the bytes of its reply (or of a frame that may yet turn out to be it) are.
    int64_t since = std::max({start, M().replyProgressNs.load(), M().undecidedNs.load()});
    double silent = static_cast<double>(nowNs() - since) / 1e9;
    double limit = std::chrono::duration<double>(linkGetReceiveTimeout()).count();
    if (silent >= limit) {
      lock.unlock();
      // A reply that comes later could be taken for the next request's: the pairing is
      // lost, so is the connection it went out on.
      linkDisconnectConnection(connection);
      return ERROR_CONNECTION;
    }
    auto slice = std::min(timing().waitSlice.load(),
                          std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::duration<double>(limit - silent)) +
                              std::chrono::milliseconds(1));
    slot.cv.wait_for(lock, slice);
  }
}

PtpResponseCode shareWaitReply(ByteBuffer& message) {
  uint64_t session, connection;
  {
    std::lock_guard lock(M().doneMutex);
    session = M().session.load();
    connection = M().readerConnection.load();
  }
  return shareWaitReplyFor(session, connection, message);
}

bool shareTakeUnsolicited(ByteBuffer& message) {
  message.clear();
  Slot& slot = M().unsolicited;
  {
    std::unique_lock lock(slot.mutex);
    slot.waiters++;
    // Woken by a message or by the end of the session; without any reader there is
    // nothing to wait for.
    while (slot.queue.empty() && !slot.ended && M().readerRunning.load())
      slot.cv.wait_for(lock, timing().waitSlice.load());
    slot.waiters--;
    if (slot.queue.empty()) {
      slot.ended = false;
      lock.unlock();
      notifyDone();
      return false;
    }
    message = std::move(slot.queue.front());
    slot.queue.pop_front();
    slot.queuedBytes -= message.size();
  }
  notifyDone();
  ByteReader r(message.data(), message.size());
  if ((r.u8(4).value_or(0) & 0x0F) == ShareMessageKindPtp && r.u16(11) && !shareIsLiveViewFrame(message)) {
    std::function<void()> callback;
    {
      std::lock_guard lock(M().callbackMutex);
      callback = M().callback;
    }
    if (callback) callback();
  }
  return true;
}

void shareEndUnsolicited() { endSlot(M().unsolicited, M().session.load()); }
void shareEndReplies() { endSlot(M().response, M().session.load()); }

void shareSetUnsolicitedCallback(std::function<void()> callback) {
  std::lock_guard lock(M().callbackMutex);
  M().callback = std::move(callback);
}

void shareSetMaxQueuedBytes(size_t bytes) { M().maxQueuedBytes = bytes; }

size_t shareUnsolicitedQueued() {
  std::lock_guard lock(M().unsolicited.mutex);
  return M().unsolicited.queue.size();
}
