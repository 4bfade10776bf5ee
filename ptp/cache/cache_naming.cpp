// Download folder, download names and their counter.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "ptp/base/local_name.h"
#include "ptp/cache/cache.h"
#include "ptp/cache/cache_naming.h"
#include "ptp/cache/cache_state.h"

namespace {

// The number in "<prefix><sep><digits>[.…]"; nullopt unless the digits are all there is
// up to the first "." and the value leaves room for the next one.
std::optional<uint32_t> numberAfterPrefix(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix) || name.size() < prefix.size() + 2) return std::nullopt;
  std::string_view rest = name.substr(prefix.size() + 1);
  rest = rest.substr(0, rest.find('.'));
  if (rest.empty() || rest.size() > 10) return std::nullopt;
  uint64_t n = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + uint64_t(c - '0');
  }
  if (n >= UINT32_MAX) return std::nullopt;
  return uint32_t(n);
}

}  // namespace

void cacheRescanCounter() {
  CacheState& s = cacheState();
  if (s.prefix.empty()) {
    s.counter = 0;
    return;
  }
  const std::string& folder = cacheDownloadFolderOrCache();
  if (folder.empty()) return;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  // As the prefix appears at the start of a local name: a leading "." is escaped there.
  std::string prefix = localNameEscape(s.prefix);
  if (prefix.starts_with('.')) prefix.replace(0, 1, "%2E");
  while (dirent* d = ::readdir(dir)) {
    if (d->d_type != DT_REG && d->d_type != DT_UNKNOWN) continue;
    auto n = numberAfterPrefix(d->d_name, prefix);
    if (!n) continue;
    if (d->d_type == DT_UNKNOWN) {
      struct stat st;
      if (::fstatat(::dirfd(dir), d->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
    }
    if (*n + 1 > s.counter) s.counter = *n + 1;
  }
  ::closedir(dir);
}

int cacheSetDownloadDir(const char* folder) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  std::string f = folder ? folder : "";
  if (f.size() > kDownloadFolderMax) return 0;
  s.downloadFolder = f;
  cacheRescanCounter();
  return 1;
}

int cacheSetDownloadNaming(const char* prefix, bool byName) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  std::string p = prefix ? prefix : "";
  if (p.size() > kDownloadPrefixMax) return 0;
  if (p.empty()) {
    s.prefix.clear();
    s.counter = 0;
    return 1;
  }
  s.prefix = p;
  s.byName = byName;
  if (!byName) {
    s.counter = 1;
    cacheRescanCounter();
  }
  return 1;
}

uint32_t cacheDownloadCounter() {
  std::lock_guard lock(cacheState().mutex);
  return cacheState().counter;
}

std::string cacheDownloadName(const CacheEntry& e) {
  CacheState& s = cacheState();
  if (s.prefix.empty()) return e.local;
  std::string fileName = objectInfoFileName(e.record);
  std::string composed;
  if (s.byName) {
    composed = s.prefix + "_" + fileName;
  } else {
    size_t dot = fileName.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : fileName.substr(dot);
    composed = s.prefix + "_" + std::to_string(s.counter) + ext;
  }
  ++s.counter;
  return localName(composed);
}

std::string cacheUniqueName(const std::string& folder, const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == 0 || dot == std::string::npos) dot = name.size();
  std::string stem = name.substr(0, dot), ext = name.substr(dot);
  for (uint32_t n = 2; n < 100000; ++n) {
    std::string candidate = stem + "_" + std::to_string(n) + ext;
    struct stat st;
    if (::lstat(cacheJoin(folder, candidate).c_str(), &st) != 0) return candidate;
  }
  return {};
}
