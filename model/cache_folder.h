#pragma once
// The cache's own files in its folder (records and the companions beside them), and what a
// session found there when it began, so that discarding that session takes only what it
// found: never what was stored since, never the saved images of the download folder.
#include <QFileInfo>
#include <QString>

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>

// Files past this many in the cache folder are left out of a snapshot (and so kept).
constexpr size_t kCacheSnapshotMaxFiles = 200000;

// True for a regular file (not a link) whose name carries one of the cache's own suffixes.
// Nothing else in the folder is ours to remove: a user may keep photos there, or pick it
// as the save folder.
bool isCacheOwnFile(const QFileInfo& file);

class CacheFolderSnapshot {
 public:
  CacheFolderSnapshot() = default;

  // The cache's own files in folder as they are now.
  static CacheFolderSnapshot take(const QString& folder);

  size_t size() const { return files_.size(); }

  // Removes the snapshot's files that are still the very files seen then, holding the cache
  // lock so that no store interleaves. An object stored again since keeps all its files:
  // when any file of a name changed or appeared, none of that name's files goes. Returns
  // how many were removed.
  int removeUnchanged() const;

  // A file's identity: a file rewritten (written aside and renamed into place) is another.
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    bool operator==(const Identity&) const = default;
  };

 private:
  QString folder_;
  std::unordered_map<std::string, Identity> files_;
};

// The cache as it was just before the current session started, noted by the connect run:
// the device may push a shot at once, before the main window's session list looks. The
// list takes it (once); a window opened without a connect run takes its own.
void noteCacheBeforeSession(CacheFolderSnapshot snapshot);
std::optional<CacheFolderSnapshot> takeCacheBeforeSession();
