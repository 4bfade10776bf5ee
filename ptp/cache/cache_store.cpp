// Storing records and files. Every write goes through cacheAtomicWrite.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ptp/base/local_name.h"
#include "ptp/cache/cache.h"
#include "ptp/cache/cache_naming.h"
#include "ptp/cache/cache_state.h"

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
                          std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&e.record), kObjectInfoBytes),
                          false);
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

bool ownsPath(const CacheEntry& e, Companion c, const std::string& path) {
  return e.owned[size_t(c)] && e.paths[size_t(c)] == path;
}

// Where a saved file of the entry goes: `name` in the download folder, unless a file that
// is not proven the entry's own is there; then that name made unique.
std::optional<std::string> savedTarget(const CacheEntry& e, Companion c, const std::string& name) {
  const std::string& folder = cacheDownloadFolderOrCache();
  std::string target = cacheJoin(folder, name);
  struct stat st;
  if (ownsPath(e, c, target) || ::lstat(target.c_str(), &st) != 0) return target;
  std::string unique = cacheUniqueName(folder, name);
  if (unique.empty()) return std::nullopt;
  return cacheJoin(folder, unique);
}

// The identity goes to disk before the saved file it names, so that after a crash or a
// restart no entry takes another object's file for its own.
bool writeSaved(CacheEntry& e, Companion c, const std::string& target, std::span<const uint8_t> data) {
  const bool listed = ownsPath(e, c, target);
  if (!listed && !cacheWriteIdentity(e, std::make_pair(c, target))) return false;
  if (!cacheAtomicWrite(target, data, true)) {
    if (!listed) cacheWriteIdentity(e);  // back to what is true; a failure leaves a name that names nothing
    return false;
  }
  e.paths[size_t(c)] = target;
  e.owned[size_t(c)] = true;
  return true;
}

bool storeCompanion(const PtpObjectInfoStruct& record, Companion c, std::span<const uint8_t> data) {
  CacheState& s = cacheState();
  std::lock_guard lock(s.mutex);
  if (!s.loaded) return false;
  CacheEntry* e = entryForStore(record);
  if (!e) return false;
  auto& known = e->paths[size_t(c)];
  if (!companionInDownloadFolder(c)) {
    std::string path = known.value_or(companionPath(*e, c));
    if (!cacheAtomicWrite(path, data, false)) return false;
    known = path;
    return true;
  }
  std::optional<std::string> target =
      e->owned[size_t(c)] && known ? known : savedTarget(*e, c, e->local + companionSuffix(c));
  return target && writeSaved(*e, c, *target, data);
}

}  // namespace

CacheEntry* cacheAddRecord(const PtpObjectInfoStruct& record) {
  CacheEntry& e = cacheAppendEntry(record);
  // Companions already under this name belong to an older object. The cache's own are
  // removed; saved files in the download folder are the user's and are only set aside,
  // and marked so on disk before the record that could claim them is.
  bool anyForeign = false;
  for (Companion c : kAllCompanions) {
    std::string p = companionPath(e, c);
    if (companionInDownloadFolder(c))
      anyForeign |= e.foreign[size_t(c)] = fileExists(p);
    else
      ::unlink(p.c_str());
  }
  // An older object's identity must not pass to this record (the entry stays in memory).
  if (anyForeign) {
    if (!cacheWriteIdentity(e)) return nullptr;
  } else if (::unlink(identityPath(e).c_str()) != 0 && errno != ENOENT) {
    return nullptr;
  }
  if (!writeRecordFile(e)) return nullptr;
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
  const auto& known = e->paths[size_t(Companion::Object)];
  std::optional<std::string> target;
  if (s.prefix.empty() && known && e->owned[size_t(Companion::Object)])
    target = known;  // this object's own earlier download
  else
    target = savedTarget(*e, Companion::Object, cacheDownloadName(*e));
  if (!target || !writeSaved(*e, Companion::Object, *target, data)) return std::nullopt;
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
  auto target = savedTarget(*e, Companion::ExtJpeg, localName(name) + ".ext.jpg");
  if (!target || !writeSaved(*e, Companion::ExtJpeg, *target, data)) return std::nullopt;
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
  return cacheAtomicWrite(path, data, true) ? 1 : 0;
}
