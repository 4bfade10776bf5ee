// Explicit deletion (the only path that removes saved files, and only those proven the
// entry's own) and size trimming of the cache folder (which never does).
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"

namespace {

// By handle, or by name: the entry's name starts with the given one.
CacheEntry* entryToDelete(const PtpObjectInfoStruct& record) {
  CacheState& s = cacheState();
  if (objectInfoHasHandle(record)) {
    for (CacheEntry& e : s.entries)
      if (e.record.objectId == record.objectId) return &e;
    return nullptr;
  }
  size_t len = ::strnlen(record.fileName, kObjectNameBytes);
  if (len == 0) return nullptr;  // an empty name would match every entry
  for (CacheEntry& e : s.entries)
    if (std::strncmp(e.record.fileName, record.fileName, len) == 0) return &e;
  return nullptr;
}

int deleteOne(const PtpObjectInfoStruct& record, Companion c) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return 0;
  CacheEntry* e = cacheLookupEntry(record);
  if (!e) return 0;
  std::optional<std::string> path;
  if (!companionInDownloadFolder(c)) {
    path = cacheResolve(*e, c);
  } else if (e->owned[size_t(c)]) {
    path = e->paths[size_t(c)];
  } else {
    return 0;  // not proven this entry's: never removed
  }
  e->paths[size_t(c)].reset();
  e->owned[size_t(c)] = false;
  const bool removed = path && ::unlink(path->c_str()) == 0;
  if (companionInDownloadFolder(c)) cacheWriteIdentity(*e);
  return removed ? 1 : 0;
}

}  // namespace

int cacheDelete(const PtpObjectInfoStruct& record) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return 0;
  PtpObjectInfoStruct r = record;
  objectInfoTerminateStrings(r);
  CacheEntry* e = entryToDelete(r);
  if (!e) return 0;
  for (Companion c : kAllCompanions) {
    // A saved file goes only when it is proven this entry's own.
    std::optional<std::string> p = companionInDownloadFolder(c)
                                       ? (e->owned[size_t(c)] ? e->paths[size_t(c)] : std::nullopt)
                                       : cacheResolve(*e, c);
    if (p) ::unlink(p->c_str());
  }
  ::unlink(recordFilePath(*e).c_str());
  ::unlink(identityPath(*e).c_str());
  if (!e->loadedFrom.empty()) ::unlink(e->loadedFrom.c_str());
  cacheEraseEntry(e);
  return 1;
}

int cacheDeleteEntry(const PtpObjectInfoStruct& record) { return cacheDelete(record); }

int cacheDeleteModifiedJpeg(const PtpObjectInfoStruct& record) { return deleteOne(record, Companion::ModJpeg); }

int cacheDeleteEdit(const PtpObjectInfoStruct& record) { return deleteOne(record, Companion::Edit); }

int cacheTrim(uint32_t totalMiB, uint32_t fileMiB) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (s.cacheFolder.empty()) return 0;
  DIR* dir = ::opendir(s.cacheFolder.c_str());
  if (!dir) return 0;
  struct File {
    std::string name;
    uint64_t size;
    int64_t changed;
  };
  std::vector<File> files;
  uint64_t sum = 0;
  long double changedSum = 0;
  // Only the cache's own kinds count and go: the folder may also be the save folder.
  while (dirent* d = ::readdir(dir)) {
    if (!cacheHasCacheSuffix(d->d_name)) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    files.push_back({d->d_name, uint64_t(st.st_size), int64_t(st.st_ctim.tv_sec)});
    sum += uint64_t(st.st_size);
    changedSum += st.st_ctim.tv_sec;
  }
  int dirFd = ::dirfd(dir);
  int removed = 0;
  // An identity goes with its record, never alone: a record kept without it could no
  // longer tell its saved files from another object's.
  auto isIdentity = [](const File& f) { return std::string_view(f.name).ends_with(kIdentitySuffix); };
  if (!files.empty() && sum > uint64_t(totalMiB) << 20) {
    long double average = changedSum / files.size();
    for (const File& f : files)
      if (!isIdentity(f) && f.changed < average && ::unlinkat(dirFd, f.name.c_str(), 0) == 0) ++removed;
    if (fileMiB > 0)
      for (const File& f : files)
        if (!isIdentity(f) && f.size > uint64_t(fileMiB) << 20 && ::unlinkat(dirFd, f.name.c_str(), 0) == 0)
          ++removed;
    for (const File& f : files) {
      if (!isIdentity(f)) continue;
      const std::string record = f.name.substr(0, f.name.size() - kIdentitySuffix.size()) + ".obj";
      struct stat st;
      if (::fstatat(dirFd, record.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && ::unlinkat(dirFd, f.name.c_str(), 0) == 0)
        ++removed;
    }
  }
  ::closedir(dir);
  return removed;
}
