#pragma once
// Internals of the object cache shared by its source files. Everything here is used with
// the cache mutex held.
#include <array>
#include <list>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "ptp/object_info.h"

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
bool cacheAtomicWrite(const std::string& path, std::span<const uint8_t> data);
bool cacheIsTempName(std::string_view name);
void cacheRemoveStaleTemps(const std::string& folder);
bool cacheHasCacheSuffix(std::string_view name);
void cacheRemoveCacheCompanions(const CacheEntry& e);

// Unlocked bodies.
int cacheStoreRecordUnlocked(const PtpObjectInfoStruct& record);
CacheEntry* cacheAddRecord(const PtpObjectInfoStruct& record);
void cacheRescanCounter();
std::string cacheUniqueName(const std::string& folder, const std::string& name);
