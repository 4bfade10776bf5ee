// The cache's state, its entries and the names of their files.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "ptp/base/local_name.h"
#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"

CacheState& cacheState() {
  static CacheState state;
  return state;
}

bool companionInDownloadFolder(Companion c) {
  return c == Companion::Object || c == Companion::ModJpeg || c == Companion::ExtJpeg;
}

const char* companionSuffix(Companion c) {
  switch (c) {
    case Companion::Object: return "";
    case Companion::Thumb: return ".thumb";
    case Companion::ModJpeg: return ".mod.jpg";
    case Companion::ExtJpeg: return ".ext.jpg";
    case Companion::Edit: return ".edit";
    case Companion::Small: return ".small";
  }
  return "";
}

const std::string& cacheDownloadFolderOrCache() {
  CacheState& s = cacheState();
  return s.downloadFolder.empty() ? s.cacheFolder : s.downloadFolder;
}

std::string cacheJoin(const std::string& folder, const std::string& name) { return folder + "//" + name; }

std::string companionPath(const CacheEntry& e, Companion c) {
  const std::string& folder = companionInDownloadFolder(c) ? cacheDownloadFolderOrCache() : cacheState().cacheFolder;
  return cacheJoin(folder, e.local + companionSuffix(c));
}

std::string recordFilePath(const CacheEntry& e) { return cacheJoin(cacheState().cacheFolder, e.local + ".obj"); }

CacheEntry* cacheLookupEntry(const PtpObjectInfoStruct& record) {
  CacheState& s = cacheState();
  if (objectInfoHasHandle(record)) {
    for (CacheEntry& e : s.entries)
      if (e.record.objectId == record.objectId) return &e;
    return nullptr;
  }
  // Exact name first, then without case, then an entry whose name is a prefix of the
  // asked one: a prefix alone must not hide the object's own entry.
  const char* name = record.fileName;
  size_t nameLen = ::strnlen(name, kObjectNameBytes);
  CacheEntry* caseless = nullptr;
  CacheEntry* prefix = nullptr;
  for (CacheEntry& e : s.entries) {
    size_t len = ::strnlen(e.record.fileName, kObjectNameBytes);
    if (len == 0 || len > nameLen) continue;
    if (::strncasecmp(e.record.fileName, name, len) != 0) continue;
    if (len == nameLen) {
      if (std::memcmp(e.record.fileName, name, len) == 0) return &e;
      if (!caseless) caseless = &e;
    } else if (!prefix) {
      prefix = &e;
    }
  }
  return caseless ? caseless : prefix;
}

CacheEntry& cacheAppendEntry(const PtpObjectInfoStruct& record) {
  CacheState& s = cacheState();
  CacheEntry& e = s.entries.emplace_back();
  e.record = record;
  objectInfoTerminateStrings(e.record);
  e.local = localName(objectInfoFileName(e.record));
  e.serial = s.nextSerial++;
  return e;
}

void cacheEraseEntry(CacheEntry* victim) {
  CacheState& s = cacheState();
  for (auto it = s.entries.begin(); it != s.entries.end(); ++it) {
    if (&*it != victim) continue;
    // The iterator moves back one, so cacheNext still gives the entry after the victim.
    if (s.iterator == it->serial) s.iterator = it == s.entries.begin() ? 0 : std::prev(it)->serial;
    s.entries.erase(it);
    return;
  }
}

std::optional<std::string> cacheResolve(CacheEntry& e, Companion c) {
  auto& known = e.paths[size_t(c)];
  if (known) return known;
  if (e.foreign[size_t(c)] || cacheState().cacheFolder.empty()) return std::nullopt;
  std::string p = companionPath(e, c);
  if (!fileExists(p)) return std::nullopt;
  known = p;
  return known;
}

int cacheLock() {
  cacheState().mutex.lock();
  return 1;
}

void cacheUnlock() { cacheState().mutex.unlock(); }

bool cacheIsLoaded() {
  std::lock_guard lock(cacheState().mutex);
  return cacheState().loaded;
}

size_t cacheCount() {
  std::lock_guard lock(cacheState().mutex);
  return cacheState().entries.size();
}

void cacheClear() {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  s.entries.clear();
  s.iterator = 0;
}

std::optional<PtpObjectInfoStruct> cacheFirst() {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (s.entries.empty()) {
    s.iterator = 0;
    return std::nullopt;
  }
  s.iterator = s.entries.front().serial;
  return s.entries.front().record;
}

std::optional<PtpObjectInfoStruct> cacheNext() {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  auto it = s.entries.begin();
  if (s.iterator != 0) {
    while (it != s.entries.end() && it->serial != s.iterator) ++it;
    if (it != s.entries.end()) ++it;
  }
  if (it == s.entries.end()) return std::nullopt;
  s.iterator = it->serial;
  return it->record;
}

std::optional<PtpObjectInfoStruct> cacheFind(const PtpObjectInfoStruct& record, bool create) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (CacheEntry* e = cacheLookupEntry(record)) return e->record;
  if (!create || !s.loaded) return std::nullopt;
  if (CacheEntry* e = cacheAddRecord(record)) return e->record;
  return std::nullopt;
}

std::optional<PtpObjectInfoStruct> cacheLookup(const PtpObjectInfoStruct& record, bool create) {
  return cacheFind(record, create);
}

int cacheGetRecord(const PtpObjectInfoStruct& record, PtpObjectInfoStruct* out) {
  if (!out) return 0;
  std::lock_guard lock(cacheState().mutex);
  CacheEntry* e = cacheLookupEntry(record);
  if (!e) return 0;
  *out = e->record;
  return 1;
}
