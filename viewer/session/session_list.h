#pragma once
// The objects the current session has shown, mirrored in "handles.dat" so that a window
// opened again within six hours can rebuild the thumbnail strip from the object cache.
// The list and the file belong to the main window; this class holds them for it.
//
// The file is untrusted on the way in: its size and entry count are capped, elements
// that are no handle or storable name are skipped, and a file that is no array is kept
// aside under "handles.dat.damaged" (never overwritten) and reported.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "ptp/object_info.h"
#include "ptp/response_codes.h"

class PtpObjectInfoClass;
class QVariant;

// Entries past this many in a session file are not loaded.
constexpr int kSessionMaxEntries = 100000;
// Sessions opened this long ago or longer are discarded rather than offered.
constexpr qint64 kSessionReloadSeconds = 21600;

inline constexpr const char* kSessionFileName = "handles.dat";
inline constexpr const char* kSessionDamagedSuffix = ".damaged";
inline constexpr const char* kLastSessionTimeKey = "LastSessionTime";

// The record a session-file element names: a handle (an integer within 32 bits) or a file
// name (a non-empty string that fits the record whole); nothing for anything else.
std::optional<PtpObjectInfoStruct> sessionRecordForElement(const QVariant& element);

class SessionList : public std::enable_shared_from_this<SessionList> {
 public:
  // Where a loaded object's thumbnail goes (the strip's addThumnailImage).
  using ThumbnailSink = std::function<void(const QByteArray&, std::shared_ptr<PtpObjectInfoClass>)>;
  // Asks whether to reload; runs exactly one of the two actions. The default is the
  // "Load Session" alert.
  using Prompt = std::function<void(std::function<void()> load, std::function<void()> discard)>;
  // Empties the object cache (Utilities::clearCache by default).
  using CacheClearer = std::function<void()>;
  // Runs the loader step and reports its result (the command runner by default).
  using Runner = std::function<void(std::function<int32_t()> step, std::function<void(int32_t)> done)>;

  SessionList();

  void setThumbnailSink(ThumbnailSink sink) { sink_ = std::move(sink); }
  void setPrompt(Prompt prompt) { prompt_ = std::move(prompt); }
  void setCacheClearer(CacheClearer clearer) { clearer_ = std::move(clearer); }
  void setRunner(Runner runner) { runner_ = std::move(runner); }

  // "<Documents>/handles.dat".
  static QString sessionFilePath();
  // True when a session stamped `last` may be offered at `now` (a missing date counts as 0
  // seconds, a future one by its distance).
  static bool isRecent(const QDateTime& last, const QDateTime& now);

  // Offers the previous session when its file exists and it is recent, else discards it;
  // then stamps "LastSessionTime". GUI thread (queued there from any other).
  void checkSession();
  // Rebuilds the strip from the file through the runner; a failure shows "LoadSessionFailure".
  // A list held in a shared_ptr stays alive until the run ends.
  void loadPreviousSession();
  // The loader's step itself (any thread): 0x2001, or ERROR_DATASET when the file was
  // damaged (it is then kept aside and the list starts empty).
  PtpResponseCode loadStep();
  // Empties the list, removes the file, then empties the cache.
  void clearSession();
  // Appends one object (its handle, or its name when it has none) and rewrites the file.
  void addObjectToSession(const PtpObjectInfoStruct* record);

  QVariantList objects() const;

 private:
  bool writeLocked();

  mutable std::mutex mutex_;
  QVariantList mSessionObjects;
  ThumbnailSink sink_;
  Prompt prompt_;
  CacheClearer clearer_;
  Runner runner_;
};
