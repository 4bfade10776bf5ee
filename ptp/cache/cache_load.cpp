// cacheLoad: reads every whole ".obj" record of the cache folder and keeps the
// cacheRecordLimit most recently accessed ones.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"

namespace {

struct Candidate {
  timespec accessed;
  std::list<CacheEntry>::iterator entry;
};

bool newerFirst(const Candidate& a, const Candidate& b) {
  if (a.accessed.tv_sec != b.accessed.tv_sec) return a.accessed.tv_sec > b.accessed.tv_sec;
  return a.accessed.tv_nsec > b.accessed.tv_nsec;
}

int isRecordName(const dirent* d) {
  size_t n = std::strlen(d->d_name);
  return n > 4 && std::strcmp(d->d_name + n - 4, ".obj") == 0;
}

// Reads exactly one record; the access time is taken before the read, which may change it.
bool readRecord(int dirFd, const char* name, PtpObjectInfoStruct& record, timespec& accessed) {
  // Non-blocking: a FIFO named like a record must not stall the load.
  int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == off_t(kObjectInfoBytes);
  uint8_t buf[kObjectInfoBytes + 1];
  size_t got = 0;
  while (ok && got < sizeof buf) {
    ssize_t n = ::read(fd, buf + got, sizeof buf - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += size_t(n);
  }
  ::close(fd);
  if (!ok || got != kObjectInfoBytes) return false;
  auto r = objectInfoFromBytes(std::span<const uint8_t>(buf, kObjectInfoBytes));
  if (!r) return false;
  record = *r;
  accessed = st.st_atim;
  return true;
}

void trimToLimit(std::vector<Candidate>& candidates) {
  if (candidates.size() <= cacheRecordLimit) return;
  std::stable_sort(candidates.begin(), candidates.end(), newerFirst);
  std::unordered_set<std::string> keptNames;
  for (size_t i = 0; i < cacheRecordLimit; ++i) keptNames.insert(candidates[i].entry->local);
  CacheState& s = cacheState();
  // Each candidate is deleted as itself: handles repeat across sessions, so a lookup by
  // record could hit a kept entry instead.
  for (size_t i = candidates.size(); i-- > cacheRecordLimit;) {
    CacheEntry& e = *candidates[i].entry;
    if (keptNames.count(e.local))
      ::unlink(e.loadedFrom.c_str());  // its name's companions belong to a kept record
    else
      cacheRemoveCacheCompanions(e);
    s.entries.erase(candidates[i].entry);
  }
}

}  // namespace

int cacheLoad(const char* cacheFolder, const char* downloadFolder) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  std::string cache = cacheFolder ? cacheFolder : "";
  std::string download = downloadFolder ? downloadFolder : "";
  s.entries.clear();
  s.iterator = 0;
  if (cache.size() > kCacheFolderMax || download.size() > kDownloadFolderMax || cache.empty()) {
    // A folder name that does not fit is refused, never cut: a cut name is another folder.
    s.loaded = false;
    s.cacheFolder.clear();
    return 0;
  }
  s.downloadFolder = download;
  s.cacheFolder = cache;
  if (!download.empty() && download != cache) cacheRemoveStaleTemps(download);

  // One pass over the folder: records to read, temporaries a crash left behind to remove.
  std::vector<std::string> names;
  std::unordered_set<std::string> identities;
  int dirFd = ::open(cache.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = dirFd >= 0 ? ::fdopendir(dirFd) : nullptr;
  if (dir) {
    while (dirent* d = ::readdir(dir)) {
      if (isRecordName(d))
        names.emplace_back(d->d_name);
      else if (std::string_view(d->d_name).ends_with(kIdentitySuffix))
        identities.insert(d->d_name);
      else if (cacheIsTempName(d->d_name))
        ::unlinkat(dirFd, d->d_name, 0);
    }
  }
  // Entries keep the folder's alphabetical order.
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return std::strcoll(a.c_str(), b.c_str()) < 0; });
  std::vector<Candidate> candidates;
  candidates.reserve(names.size());
  for (const std::string& name : names) {
    PtpObjectInfoStruct record;
    timespec accessed;
    if (readRecord(dirFd, name.c_str(), record, accessed)) {
      CacheEntry& e = cacheAppendEntry(record);
      e.loadedFrom = cacheJoin(cache, name);
      if (identities.count(e.local + std::string(kIdentitySuffix))) cacheReadIdentity(e);
      candidates.push_back({accessed, std::prev(s.entries.end())});
    }
  }
  if (dir) ::closedir(dir);  // closes dirFd too
  else if (dirFd >= 0) ::close(dirFd);
  s.loaded = true;
  trimToLimit(candidates);
  cacheRescanCounter();
  return 1;
}
