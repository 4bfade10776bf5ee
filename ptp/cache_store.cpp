// Storing records and files. Every write goes through cacheAtomicWrite.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "ptp/cache.h"
#include "ptp/cache_naming.h"
#include "ptp/cache_state.h"
#include "ptp/local_name.h"

namespace {

bool sameName(const CacheEntry& e, const PtpObjectInfoStruct& r) {
  return std::strncmp(e.record.fileName, r.fileName, kObjectNameBytes) == 0;
}

CacheEntry* entryByExactName(const PtpObjectInfoStruct& r) {
  for (CacheEntry& e : cacheState().entries)
    if (sameName(e, r)) return &e;
  return nullptr;
}

bool writeRecordFile(const CacheEntry& e) {
  return cacheAtomicWrite(recordFilePath(e),
                          std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&e.record), kObjectInfoBytes));
}

// The entry a store of this object goes to: by handle when the names agree too, else by
// exact name; created when absent.
CacheEntry* entryForStore(const PtpObjectInfoStruct& record) {
  if (record.fileName[0] == '\0') return nullptr;
  CacheEntry* byHandle = nullptr;
  if (objectInfoHasHandle(record)) {
    for (CacheEntry& e : cacheState().entries)
      if (e.record.objectId == record.objectId) {
        byHandle = &e;
        break;
      }
  }
  if (byHandle && sameName(*byHandle, record)) return byHandle;
  if (CacheEntry* e = entryByExactName(record)) return e;
  return cacheAddRecord(record);
}

bool storeCompanion(const PtpObjectInfoStruct& record, Companion c, std::span<const uint8_t> data) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return false;
  CacheEntry* e = entryForStore(record);
  if (!e) return false;
  std::string path = companionPath(*e, c);
  if (e->foreign[size_t(c)] && !e->paths[size_t(c)]) {
    std::string name = cacheUniqueName(cacheDownloadFolderOrCache(), e->local + companionSuffix(c));
    if (name.empty()) return false;
    path = cacheJoin(cacheDownloadFolderOrCache(), name);
  } else if (e->paths[size_t(c)]) {
    path = *e->paths[size_t(c)];
  }
  if (!cacheAtomicWrite(path, data)) return false;
  e->paths[size_t(c)] = path;
  return true;
}

}  // namespace

CacheEntry* cacheAddRecord(const PtpObjectInfoStruct& record) {
  CacheEntry& e = cacheAppendEntry(record);
  if (!writeRecordFile(e)) return nullptr;  // the entry stays in memory
  // Companions already under this name belong to an older object. The cache's own are
  // removed; saved files in the download folder are the user's and are only set aside.
  for (Companion c : kAllCompanions) {
    std::string p = companionPath(e, c);
    if (companionInDownloadFolder(c))
      e.foreign[size_t(c)] = fileExists(p);
    else
      ::unlink(p.c_str());
  }
  return &e;
}

int cacheStoreRecordUnlocked(const PtpObjectInfoStruct& in) {
  CacheState& s = cacheState();
  PtpObjectInfoStruct record = in;
  objectInfoTerminateStrings(record);
  if (record.fileName[0] == '\0' || s.cacheFolder.empty()) return 0;
  CacheEntry* byHandle = nullptr;
  if (objectInfoHasHandle(record)) {
    for (CacheEntry& e : s.entries)
      if (e.record.objectId == record.objectId) {
        byHandle = &e;
        break;
      }
  }
  CacheEntry* same = byHandle && sameName(*byHandle, record) ? byHandle : entryByExactName(record);
  if (byHandle && byHandle != same) {
    // A handle reused for another file (handles repeat across sessions): the old entry
    // leaves memory so lookups by handle find this one; its files stay.
    cacheEraseEntry(byHandle);
  }
  if (same && (same->record.captureDate == record.captureDate || record.captureDate == 0)) {
    same->record = record;
    return writeRecordFile(*same) ? 1 : 0;
  }
  if (same) {
    // Another object under the same name: the old record and its cache files go.
    cacheRemoveCacheCompanions(*same);
    cacheEraseEntry(same);
  }
  return cacheAddRecord(record) ? 1 : 0;
}

int cacheStoreRecord(const PtpObjectInfoStruct& record) {
  std::lock_guard lock(cacheState().mutex);
  return cacheStoreRecordUnlocked(record);
}

std::optional<std::string> cacheStoreObject(const PtpObjectInfoStruct& record, std::span<const uint8_t> data) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return std::nullopt;
  CacheEntry* e = entryForStore(record);
  if (!e) return std::nullopt;
  const std::string& folder = cacheDownloadFolderOrCache();
  auto& known = e->paths[size_t(Companion::Object)];
  std::string target;
  if (s.prefix.empty() && known) {
    target = *known;  // this object's own earlier download
  } else {
    std::string name = cacheDownloadName(*e);
    target = cacheJoin(folder, name);
    // Only the object's own file may be replaced; any other saved file stays.
    auto own = cacheResolve(*e, Companion::Object);
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && (!own || *own != target)) {
      name = cacheUniqueName(folder, name);
      if (name.empty()) return std::nullopt;
      target = cacheJoin(folder, name);
    }
  }
  if (!cacheAtomicWrite(target, data)) return std::nullopt;
  known = target;
  return target;
}

int cacheStoreThumb(const PtpObjectInfoStruct& record, std::span<const uint8_t> data) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return 0;
  if (objectInfoOrientationIsSet(record)) {
    CacheEntry* e = cacheLookupEntry(record);
    if (e && e->record.orientation != record.orientation && !cacheStoreRecordUnlocked(record)) return 0;
  }
  return storeCompanion(record, Companion::Thumb, data) ? 1 : 0;
}

int cacheStoreModifiedJpeg(const PtpObjectInfoStruct& record, std::span<const uint8_t> data) {
  // The rename replaces an existing one in a single step.
  return storeCompanion(record, Companion::ModJpeg, data) ? 1 : 0;
}

std::optional<std::string> cacheStoreExtractedJpeg(const PtpObjectInfoStruct& record, const char* name,
                                                   std::span<const uint8_t> data) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return std::nullopt;
  if (!name || !*name) {
    if (!storeCompanion(record, Companion::ExtJpeg, data)) return std::nullopt;
    return entryForStore(record)->paths[size_t(Companion::ExtJpeg)];
  }
  CacheEntry* e = entryForStore(record);
  if (!e) return std::nullopt;
  const std::string& folder = cacheDownloadFolderOrCache();
  std::string target = cacheJoin(folder, localName(name) + ".ext.jpg");
  if (target != e->paths[size_t(Companion::ExtJpeg)].value_or(std::string())) {
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0) {
      std::string unique = cacheUniqueName(folder, localName(name) + ".ext.jpg");
      if (unique.empty()) return std::nullopt;
      target = cacheJoin(folder, unique);
    }
  }
  if (!cacheAtomicWrite(target, data)) return std::nullopt;
  e->paths[size_t(Companion::ExtJpeg)] = target;
  return target;
}

int cacheStoreEdit(const PtpObjectInfoStruct& record, std::span<const uint8_t> data) {
  return storeCompanion(record, Companion::Edit, data) ? 1 : 0;
}

int cacheStoreSmall(const PtpObjectInfoStruct& record, std::span<const uint8_t> data) {
  return storeCompanion(record, Companion::Small, data) ? 1 : 0;
}

int cacheWriteFile(const std::string& path, std::span<const uint8_t> data) {
  std::lock_guard lock(cacheState().mutex);  // the temporary name depends on the naming
  return cacheAtomicWrite(path, data) ? 1 : 0;
}
