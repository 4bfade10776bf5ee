#pragma once
// The on-disk object cache: for each object its 608-byte record as a ".obj" file in the
// cache folder, its thumbnail, edit data and small image beside it, and the downloaded
// object with its modified and extracted JPEGs in the download (save) folder. One
// recursive mutex guards everything; every function hands out copies.
//
// Safety rules kept by every function here:
// - a device name becomes a file name only through localName();
// - files are written to a temporary name in the same folder and renamed into place;
// - automatic deletions (load cap, a replaced record, stale companions, trim) remove only
//   cache-folder files (".obj", ".thumb", ".edit", ".small"); only cacheDelete removes
//   downloaded objects and their ".mod.jpg" / ".ext.jpg";
// - a new object never overwrites a saved file that belongs to another record: it is
//   saved under a name made unique with a numeric suffix, which its entry remembers.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ptp/base/object_info.h"

// The most records that cacheLoad keeps (the most recently accessed ones).
constexpr size_t cacheRecordLimit = 2001;
// Longest folder names accepted; a longer one is refused rather than cut.
constexpr size_t kCacheFolderMax = 2047;
constexpr size_t kDownloadFolderMax = 511;
constexpr size_t kDownloadPrefixMax = 1023;
// Largest file the cache reads into memory.
constexpr uint64_t kCacheReadCap = 1ull << 30;

// Set-up and enumeration.
int cacheLoad(const char* cacheFolder, const char* downloadFolder);
int cacheSetDownloadDir(const char* folder);
int cacheSetDownloadNaming(const char* prefix, bool byName);
void cacheClear();
std::optional<PtpObjectInfoStruct> cacheFirst();
std::optional<PtpObjectInfoStruct> cacheNext();
int cacheLock();
void cacheUnlock();
bool cacheIsLoaded();
size_t cacheCount();
uint32_t cacheDownloadCounter();

// Lookup: by handle, or without one by file name. An exact (case-insensitive) name wins
// over an entry whose name is only a prefix of the asked one.
std::optional<PtpObjectInfoStruct> cacheFind(const PtpObjectInfoStruct& record, bool create);
int cacheGetRecord(const PtpObjectInfoStruct& record, PtpObjectInfoStruct* out);

// Paths (nullopt when absent).
std::optional<std::string> cacheObjectPath(const PtpObjectInfoStruct& record);
std::optional<std::string> cacheModifiedJpegPath(const PtpObjectInfoStruct& record);
std::optional<std::string> cacheExtractedJpegPath(const PtpObjectInfoStruct& record);
std::optional<std::string> cacheBestImagePath(const PtpObjectInfoStruct& record, bool preferExtracted);
int cacheHasSmall(const PtpObjectInfoStruct& record);

// Reading: 1 with the bytes in out (never empty), 0 on failure.
uint32_t cacheReadFile(const std::string& path, std::vector<uint8_t>& out);
int cacheReadObject(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out);
int cacheReadThumb(PtpObjectInfoStruct& record, std::vector<uint8_t>& out);
int cacheReadModifiedJpeg(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out);
int cacheReadExtractedJpeg(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out);
int cacheReadEdit(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out);
int cacheReadSmall(const PtpObjectInfoStruct& record, std::vector<uint8_t>& out);
int cacheCopyThumbToFile(const PtpObjectInfoStruct& record, const std::string& path);
int cacheReadRecordFile(const std::string& path, PtpObjectInfoStruct* out);

// Storing.
int cacheStoreRecord(const PtpObjectInfoStruct& record);
std::optional<std::string> cacheStoreObject(const PtpObjectInfoStruct& record, std::span<const uint8_t> data);
int cacheStoreThumb(const PtpObjectInfoStruct& record, std::span<const uint8_t> data);
int cacheStoreModifiedJpeg(const PtpObjectInfoStruct& record, std::span<const uint8_t> data);
std::optional<std::string> cacheStoreExtractedJpeg(const PtpObjectInfoStruct& record, const char* name,
                                                   std::span<const uint8_t> data);
int cacheStoreEdit(const PtpObjectInfoStruct& record, std::span<const uint8_t> data);
int cacheStoreSmall(const PtpObjectInfoStruct& record, std::span<const uint8_t> data);
int cacheWriteFile(const std::string& path, std::span<const uint8_t> data);

// Deleting.
int cacheDelete(const PtpObjectInfoStruct& record);
int cacheDeleteModifiedJpeg(const PtpObjectInfoStruct& record);
int cacheDeleteEdit(const PtpObjectInfoStruct& record);
int cacheTrim(uint32_t totalMiB, uint32_t fileMiB);

// The same as cacheFind and cacheDelete: the mutex is recursive, so the names the rest of
// the library knows for the bodies called with it held stay valid.
std::optional<PtpObjectInfoStruct> cacheLookup(const PtpObjectInfoStruct& record, bool create);
int cacheDeleteEntry(const PtpObjectInfoStruct& record);
