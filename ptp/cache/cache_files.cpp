// File primitives of the cache: atomic writes through a temporary file in the same
// folder, and the recognition and removal of temporaries a crash left behind.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>

#include "ptp/base/local_name.h"
#include "ptp/cache/cache_state.h"
#include "ptp/cache/cache_testing.h"

namespace {

std::mutex hookMutex;
std::function<bool(const std::string&)> beforeRename;

bool writeAll(int fd, std::span<const uint8_t> data) {
  const uint8_t* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void cacheSetBeforeRenameHook(std::function<bool(const std::string&)> hook) {
  std::lock_guard lock(hookMutex);
  beforeRename = std::move(hook);
}

bool fileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool cacheIsTempName(std::string_view name) {
  for (std::string_view marker : {kTempMarkerA, kTempMarkerB}) {
    if (!name.starts_with(marker) || name.size() != marker.size() + 6) continue;
    bool plain = true;
    for (char c : name.substr(marker.size()))
      plain = plain && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    if (plain) return true;
  }
  return false;
}

bool cacheAtomicWrite(const std::string& path, std::span<const uint8_t> data, bool durable) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  // Temporaries never start with the download prefix (the counter rescan reads those)
  // and never end in ".obj" (the loader reads those).
  const std::string& prefix = cacheState().prefix;
  std::string_view marker = (!prefix.empty() && prefix[0] == kTempMarkerA[0]) ? kTempMarkerB : kTempMarkerA;
  std::string temp = folder + "/" + std::string(marker) + "XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, data) && (!durable || ::fdatasync(fd) == 0);
  ok = ::close(fd) == 0 && ok;
  if (ok) {
    std::function<bool(const std::string&)> hook;
    {
      std::lock_guard lock(hookMutex);
      hook = beforeRename;
    }
    if (hook && !hook(temp)) return false;  // left behind on purpose, as a crash would
    ok = ::rename(temp.c_str(), path.c_str()) == 0;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void cacheRemoveStaleTemps(const std::string& folder) {
  if (folder.empty()) return;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* d = ::readdir(dir)) {
    if (cacheIsTempName(d->d_name)) ::unlinkat(::dirfd(dir), d->d_name, 0);
  }
  ::closedir(dir);
}

bool cacheHasCacheSuffix(std::string_view name) {
  for (std::string_view s : {".obj", ".thumb", ".edit", ".small", ".saved"})
    if (name.size() > s.size() && name.ends_with(s)) return true;
  return false;
}

void cacheRemoveCacheCompanions(const CacheEntry& e) {
  for (Companion c : kAllCompanions) {
    if (companionInDownloadFolder(c)) continue;
    std::string p = e.paths[size_t(c)].value_or(companionPath(e, c));
    ::unlink(p.c_str());
  }
  ::unlink(recordFilePath(e).c_str());
  ::unlink(identityPath(e).c_str());
  if (!e.loadedFrom.empty()) ::unlink(e.loadedFrom.c_str());
}
