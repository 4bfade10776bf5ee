#pragma once
// The threads of one share session, without any window: the mailbox reader, the
// unsolicited loop with its serial decoding worker, and the heartbeat watchdog. One
// session at a time, on the connection that is open when it starts.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"
#include "ptp/link/mailbox.h"

// Connection-status values the session reports (the windows' ConnectionStatus numbers).
constexpr int kShareStatusLost = 2;
constexpr int kShareStatusStartFailed = 3;

struct ShareSessionHooks {
  // An unsolicited PTP message other than a live-view frame was taken (loop thread,
  // before the message is queued for decoding).
  std::function<void()> incomingOob;
  // Every unsolicited message, one at a time in arrival order, on the session's serial
  // worker thread. Messages queued before the session ended are still handed on. While
  // it falls behind, a newer live-view frame replaces one still queued; past
  // maxQueuedBytes waiting, the session ends as a lost link.
  std::function<void(ByteBuffer& message)> message;
  size_t maxQueuedBytes = kShareMaxQueuedBytes;
  // kShareStatusStartFailed when the first heartbeat fails (caller's thread), and
  // kShareStatusLost once when a running session ends (loop or watchdog thread).
  std::function<void(int status)> status;
  // The name this client shows on the device.
  std::function<std::string()> clientName;
  // Waits on cv until done() holds or the deadline passes, lock held; returns done().
  // Lets a GUI thread that stops the session keep serving hops made to it meanwhile; a
  // plain wait when unset.
  std::function<bool(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                     const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline)>
      wait;
  // Label of the serial worker (its thread name is the label's tail).
  std::string queueLabel = "ptp.bgqueue";
};

class ShareSession {
 public:
  explicit ShareSession(ShareSessionHooks hooks);
  // Stops the session and waits a bounded time for its threads; one still inside a hook
  // then is let go.
  ~ShareSession();
  ShareSession(const ShareSession&) = delete;
  ShareSession& operator=(const ShareSession&) = delete;

  // Starts a session on the open link: reader, unsolicited loop, then the first heartbeat
  // on this thread; on success the client name and the watchdog follow on their own
  // thread. A session still running on an earlier connection is stopped first and posts
  // nothing more; one running on this very connection is kept (true). When the
  // first heartbeat fails: kShareStatusStartFailed, the session is ended, false.
  // Refused (false) on one of the session's own threads.
  bool start();
  // Ends the session without waiting: its watchdog stops and its connection is closed,
  // which ends the reader and then the loop (which reports the loss). Any thread.
  void kill();
  // kill(), then waits for the session's threads, at most timing().sessionEndWait: one
  // still inside a hook then is collected by a later start or stop. On one of the
  // session's own threads it does not wait (the others end on their own).
  void stop();
  // True from a successful start until the unsolicited loop has ended.
  bool running() const;

 private:
  struct Run;
  std::shared_ptr<Run> current() const;
  static void kill(Run& run);
  // True when the run's threads ended within sessionEndWait and were joined; otherwise the
  // run is kept among the stragglers.
  bool join(const std::shared_ptr<Run>& run, bool collectReader);
  // Joins the stragglers whose threads have ended by the deadline.
  void collectStragglers(std::chrono::steady_clock::time_point deadline);

  bool begin();

  ShareSessionHooks hooks_;
  // Held by start and stop while they wait; recursive because a GUI-thread wait may run a
  // hop that stops the session again.
  std::recursive_mutex lifecycle_;
  mutable std::mutex mutex_;
  std::shared_ptr<Run> run_;
  // Ended sessions with a thread still inside a hook (under lifecycle_).
  std::list<std::shared_ptr<Run>> stragglers_;
};
