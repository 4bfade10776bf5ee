// Reading cached files whole into the caller's buffer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"

bool cacheReadRegularFile(const std::string& path, uint64_t cap, bool followLinks, std::vector<uint8_t>& out) {
  out.clear();
  // Non-blocking, so a FIFO in a folder cannot stall the open; only a plain file is read.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW));
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 || uint64_t(st.st_size) > cap) {
    ::close(fd);
    return false;
  }
  out.resize(size_t(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += size_t(n);
  }
  ::close(fd);
  out.resize(got);  // a file that shrank meanwhile gives what was there
  return true;
}

uint32_t cacheReadFile(const std::string& path, std::vector<uint8_t>& out) {
  if (!cacheReadRegularFile(path, kCacheReadCap, true, out) || out.empty()) {
    out.clear();
    return 0;
  }
  return uint32_t(out.size());
}

namespace {

// Reads one companion; an empty or unreadable file makes the entry forget its path.
int readCompanion(const PtpObjectInfoStruct& record, Companion c, std::vector<uint8_t>& out,
                  PtpObjectInfoStruct* cached = nullptr) {
  out.clear();
  std::lock_guard lock(cacheState().mutex);
  CacheEntry* e = cacheLookupEntry(record);
  if (!e) return 0;
  auto path = cacheResolve(*e, c);
  if (!path) return 0;
  if (cacheReadFile(*path, out) == 0) {
    e->paths[size_t(c)].reset();
    e->owned[size_t(c)] = false;
    return 0;
  }
  if (cached) *cached = e->record;
  return 1;
}

}  // namespace

int cacheReadObject(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out) {
  return readCompanion(record, Companion::Object, out);
}

int cacheReadThumb(PtpObjectInfoStruct& record, std::vector<uint8_t>& out) {
  PtpObjectInfoStruct cached;
  if (!readCompanion(record, Companion::Thumb, out, &cached)) return 0;
  record.orientation = cached.orientation;
  return 1;
}

int cacheReadModifiedJpeg(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out) {
  return readCompanion(record, Companion::ModJpeg, out);
}

int cacheReadExtractedJpeg(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out) {
  return readCompanion(record, Companion::ExtJpeg, out);
}

int cacheReadEdit(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out) {
  return readCompanion(record, Companion::Edit, out);
}

int cacheReadSmall(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out) {
  return readCompanion(record, Companion::Small, out);
}

int cacheCopyThumbToFile(const PtpObjectInfoStruct& record, const std::string& path) {
  std::lock_guard lock(cacheState().mutex);  // the temporary name depends on the naming
  std::vector<uint8_t> data;
  PtpObjectInfoStruct copy = record;
  if (!cacheReadThumb(copy, data)) return 0;
  return cacheAtomicWrite(path, data, true) ? 1 : 0;
}

int cacheReadRecordFile(const std::string& path, PtpObjectInfoStruct* out) {
  if (!out) return 0;
  std::vector<uint8_t> bytes;
  if (cacheReadFile(path, bytes) != kObjectInfoBytes) return 0;
  auto r = objectInfoFromBytes(bytes);
  if (!r) return 0;
  *out = *r;
  return 1;
}
