#include "model/cache_folder.h"

#include <mutex>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <unordered_set>

#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"

namespace {

using Files = std::unordered_map<std::string, CacheFolderSnapshot::Identity>;

// The cache's own files of the open folder, at most kCacheSnapshotMaxFiles.
Files listOwnFiles(int folderFd) {
  Files files;
  const int dupFd = ::dup(folderFd);
  DIR* dir = dupFd >= 0 ? ::fdopendir(dupFd) : nullptr;
  if (dir == nullptr) {
    if (dupFd >= 0) ::close(dupFd);
    return files;
  }
  ::rewinddir(dir);
  while (const dirent* d = ::readdir(dir)) {
    if (files.size() >= kCacheSnapshotMaxFiles) break;
    if (!cacheHasCacheSuffix(d->d_name)) continue;
    struct stat st;
    if (::fstatat(folderFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    files.emplace(d->d_name, CacheFolderSnapshot::Identity{st.st_dev, st.st_ino, st.st_size,
                                                           st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec});
  }
  ::closedir(dir);
  return files;
}

// The name an object's files share: every cache suffix is one extension.
std::string stem(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

class FolderFd {
 public:
  explicit FolderFd(const QString& folder)
      : fd_(folder.isEmpty() ? -1 : ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~FolderFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderFd(const FolderFd&) = delete;
  FolderFd& operator=(const FolderFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool isCacheOwnFile(const QFileInfo& file) {
  return file.isFile() && !file.isSymLink() && cacheHasCacheSuffix(file.fileName().toStdString());
}

CacheFolderSnapshot CacheFolderSnapshot::take(const QString& folder) {
  CacheFolderSnapshot snapshot;
  snapshot.folder_ = folder;
  const FolderFd fd(folder);
  if (fd.get() >= 0) snapshot.files_ = listOwnFiles(fd.get());
  return snapshot;
}

int CacheFolderSnapshot::removeUnchanged() const {
  if (files_.empty()) return 0;
  const FolderFd fd(folder_);
  if (fd.get() < 0) return 0;
  int removed = 0;
  cacheLock();
  const Files now = listOwnFiles(fd.get());
  if (now.size() >= kCacheSnapshotMaxFiles) {
    // Not all of the folder was seen: what was stored since may be among the rest.
    cacheUnlock();
    return 0;
  }
  std::unordered_set<std::string> storedSince;
  for (const auto& [name, identity] : now) {
    const auto then = files_.find(name);
    if (then == files_.end() || !(then->second == identity)) storedSince.insert(stem(name));
  }
  for (const auto& [name, identity] : files_) {
    const auto current = now.find(name);
    if (current == now.end() || !(current->second == identity) || storedSince.count(stem(name))) continue;
    if (::unlinkat(fd.get(), name.c_str(), 0) == 0) ++removed;
  }
  cacheUnlock();
  return removed;
}

namespace {
std::mutex gBeforeSessionMutex;
std::optional<CacheFolderSnapshot> gBeforeSession;
}  // namespace

void noteCacheBeforeSession(CacheFolderSnapshot snapshot) {
  std::lock_guard lock(gBeforeSessionMutex);
  gBeforeSession = std::move(snapshot);
}

std::optional<CacheFolderSnapshot> takeCacheBeforeSession() {
  std::lock_guard lock(gBeforeSessionMutex);
  return std::exchange(gBeforeSession, std::nullopt);
}
