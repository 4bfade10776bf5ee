#pragma once
// Internals of the object cache shared by its source files. Everything here is used with
// the cache mutex held.
#include <array>
#include <list>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ptp/base/object_info.h"

enum class Companion { Object, Thumb, ModJpeg, ExtJpeg, Edit, Small };
constexpr size_t kCompanionCount = 6;
constexpr std::array<Companion, kCompanionCount> kAllCompanions = {
    Companion::Object, Companion::ModJpeg, Companion::Thumb, Companion::ExtJpeg, Companion::Edit, Companion::Small};

struct CacheEntry {
  PtpObjectInfoStruct record{};
  std::string local;  // localName(fileName)
  // Known paths, by Companion; nullopt until resolved or stored.
  std::array<std::optional<std::string>, kCompanionCount> paths;
  // Download-folder files under this name that were there before the entry was added:
  // they belong to another object, so they are never adopted, overwritten or removed.
  std::array<bool, kCompanionCount> foreign{};
  // Download-folder files proven this entry's own: written by it, or listed in its
  // identity file. Only these are ever overwritten or removed; a path known otherwise (a
  // file found under the entry's name) may be read, never replaced or deleted.
  std::array<bool, kCompanionCount> owned{};
  std::string loadedFrom;  // the ".obj" file the record was loaded from, if any
  uint64_t serial = 0;
};

struct CacheState {
  std::recursive_mutex mutex;
  std::string cacheFolder;
  std::string downloadFolder;
  std::list<CacheEntry> entries;
  bool loaded = false;
  // Serial of the iterator's entry; 0 = none (cacheNext gives the first).
  uint64_t iterator = 0;
  uint64_t nextSerial = 1;
  std::string prefix;
  bool byName = false;
  uint32_t counter = 0;
};

CacheState& cacheState();

// Folders and names.
bool companionInDownloadFolder(Companion c);
const char* companionSuffix(Companion c);
const std::string& cacheDownloadFolderOrCache();
std::string cacheJoin(const std::string& folder, const std::string& name);
std::string companionPath(const CacheEntry& e, Companion c);
std::string recordFilePath(const CacheEntry& e);

// Entries.
CacheEntry* cacheLookupEntry(const PtpObjectInfoStruct& record);
CacheEntry& cacheAppendEntry(const PtpObjectInfoStruct& record);
void cacheEraseEntry(CacheEntry* e);
CacheEntry* cacheEntryForStore(const PtpObjectInfoStruct& record);
std::optional<std::string> cacheResolve(CacheEntry& e, Companion c);

// Files.
bool fileExists(const std::string& path);
// durable: the data reaches the disk before the rename (files in the save folder, which
// nothing rebuilds). The cache's own files are rebuilt from the device and skip that wait.
bool cacheAtomicWrite(const std::string& path, std::span<const uint8_t> data, bool durable);
bool cacheIsTempName(std::string_view name);
void cacheRemoveStaleTemps(const std::string& folder);
bool cacheHasCacheSuffix(std::string_view name);
void cacheRemoveCacheCompanions(const CacheEntry& e);

// Reads a regular file of at most cap bytes whole into out (empty for an empty file).
// False when it cannot be opened, is no regular file (a FIFO never blocks the open) or is
// larger than cap. followLinks false refuses a symbolic link as the last component.
bool cacheReadRegularFile(const std::string& path, uint64_t cap, bool followLinks, std::vector<uint8_t>& out);

// Identity: which saved files an entry owns and which files under its name are another
// object's, kept in the cache folder as name + kIdentitySuffix so that it survives a
// restart. Written before the saved file it names.
constexpr std::string_view kIdentitySuffix = ".saved";
// Largest identity file read back.
constexpr size_t kIdentityFileMax = 8192;
std::string identityPath(const CacheEntry& e);
// The entry's identity as it is, or with `pending` (a companion and its new saved path)
// already owned.
bool cacheWriteIdentity(const CacheEntry& e, const std::optional<std::pair<Companion, std::string>>& pending = {});
// Fills the entry's owned paths and foreign marks from its identity file, when it has one.
void cacheReadIdentity(CacheEntry& e);

// Unlocked bodies.
int cacheStoreRecordUnlocked(const PtpObjectInfoStruct& record);
CacheEntry* cacheAddRecord(const PtpObjectInfoStruct& record);
void cacheRescanCounter();
std::string cacheUniqueName(const std::string& folder, const std::string& name);
