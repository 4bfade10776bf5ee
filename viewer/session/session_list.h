#pragma once
// The objects the current session has shown, mirrored in "handles.dat" so that a window
// opened again within six hours can rebuild the thumbnail strip from the object cache.
// The list and the file belong to the main window; this class holds them for it.
//
// What the main window calls, and when:
// - checkSession() as its window loads, before it observes any notification: the previous
//   list is read and what the cache holds is noted; once the window shows, a recent
//   previous session is offered ("Load Session"), an old or missing one is discarded;
// - addObjectToSession() for every thumbnail that reaches the strip, from any thread;
// - teardown() before it goes.
//
// Nothing is lost while the question is open: objects shown meanwhile go to this session's
// list, and the file keeps the previous list until the answer. "Load Session" merges the
// previous list, then this session's; Cancel (like a session six hours old or older)
// discards the previous list and what was cached before this session began, never what
// was stored since and never a saved image. A question closed by teardown runs neither
// answer: the file then keeps both lists.
//
// The file is untrusted on the way in: its size and entry count are capped, elements
// that are no handle or storable name are skipped, and a file that is no array is kept
// aside under "handles.dat.damaged" (never overwritten) and reported on loading.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariantList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "model/cache_folder.h"
#include "ptp/base/object_info.h"
#include "ptp/base/response_codes.h"

class KL_Alert;
class PtpObjectInfoClass;
class QVariant;

// Entries past this many in a session file are not loaded.
constexpr int kSessionMaxEntries = 100000;
// Sessions opened this long ago or longer are discarded rather than offered.
constexpr qint64 kSessionReloadSeconds = 21600;

inline constexpr const char* kSessionFileName = "handles.dat";
inline constexpr const char* kSessionDamagedSuffix = ".damaged";

// The record a session-file element names: a handle (an integer within 32 bits) or a file
// name (a non-empty string that fits the record whole); nothing for anything else.
std::optional<PtpObjectInfoStruct> sessionRecordForElement(const QVariant& element);

class SessionList : public std::enable_shared_from_this<SessionList> {
 public:
  // Where a loaded object's thumbnail goes (the strip's addThumnailImage); GUI thread.
  using ThumbnailSink = std::function<void(const QByteArray&, std::shared_ptr<PtpObjectInfoClass>)>;

  // Made through create(): the question and the loader hold it weakly.
  static std::shared_ptr<SessionList> create();

  // GUI thread.
  void setThumbnailSink(ThumbnailSink sink) { sink_ = std::move(sink); }

  // "<Documents>/handles.dat".
  static QString sessionFilePath();
  // True when a session stamped `last` may be offered at `now` (a missing date counts as 0
  // seconds, a future one by its distance).
  static bool isRecent(const QDateTime& last, const QDateTime& now);

  // At window load, before the window observes (GUI thread; queued there from any other):
  // reads the previous list, notes the cache's files and stamps "LastSessionTime"; then
  // queues the question (or the discard) to run once the window shows.
  void checkSession();
  // "Load Session": the list becomes the previous one followed by this session's, the
  // file follows, and the strip gets the previous objects' thumbnails from the cache
  // through the command runner ("LoadSessionFailure" when the file was damaged).
  void loadPreviousSession();
  // Cancel: the list is this session's alone, the file follows (removed when empty), and
  // the cache files found at checkSession that are still as they were go, through the
  // command runner.
  void clearSession();
  // Any thread. Appends one object (its handle, or its name when it has none); the file is
  // rewritten once the question is answered.
  void addObjectToSession(const PtpObjectInfoStruct* record);
  // GUI thread, before the window goes: an open question closes without running either
  // answer and the file keeps both lists; no thumbnail reaches the sink any more.
  void teardown();

  // This session's list as the file has it, or will once the question is answered.
  QVariantList objects() const;
  // Any thread: returns once the file holds the last list written (the writes run on the
  // shared pool).
  static void waitForFileWrites();
  // No question pending or open, and no load or discard running (GUI thread).
  bool isIdle() const;

 private:
  enum class Phase { Unchecked, Pending, Answered };

  SessionList() = default;
  // GUI thread, once the window shows: the alert to show, or null when there is nothing to
  // ask (an old or missing session is then discarded).
  std::shared_ptr<KL_Alert> prepareQuestion(bool offer);
  // The loader's step (the runner's thread): thumbnails of the previous objects found in
  // the cache, handed to the sink on the GUI thread until teardown.
  static int32_t loadThumbnails(const std::weak_ptr<SessionList>& list, const QVariantList& previous, bool damaged,
                                const std::shared_ptr<std::atomic<bool>>& tornDown);
  void runFinished() { --runsGoing_; }
  void readPreviousListLocked();
  void writeLocked();

  mutable std::mutex mutex_;
  Phase phase_ = Phase::Unchecked;
  QVariantList mSessionObjects;   // this session's, then (answered) the file's
  QVariantList mPreviousObjects;  // read at checkSession, until the answer
  bool previousFound_ = false;
  bool previousDamaged_ = false;
  CacheFolderSnapshot cachedBefore_;

  // GUI thread.
  ThumbnailSink sink_;
  std::shared_ptr<KL_Alert> alert_;
  bool questionQueued_ = false;
  int runsGoing_ = 0;
  std::shared_ptr<std::atomic<bool>> tornDown_ = std::make_shared<std::atomic<bool>>(false);
};
