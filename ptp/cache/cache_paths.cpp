// Paths of an object's files, resolved on first use and kept in its entry.
#include "ptp/cache/cache.h"
#include "ptp/cache/cache_state.h"

namespace {

std::optional<std::string> resolved(const PtpObjectInfoStruct& record, Companion c) {
  std::lock_guard lock(cacheState().mutex);
  CacheEntry* e = cacheLookupEntry(record);
  if (!e) return std::nullopt;
  return cacheResolve(*e, c);
}

}  // namespace

std::optional<std::string> cacheObjectPath(const PtpObjectInfoStruct& record) {
  return resolved(record, Companion::Object);
}

std::optional<std::string> cacheModifiedJpegPath(const PtpObjectInfoStruct& record) {
  return resolved(record, Companion::ModJpeg);
}

std::optional<std::string> cacheExtractedJpegPath(const PtpObjectInfoStruct& record) {
  return resolved(record, Companion::ExtJpeg);
}

std::optional<std::string> cacheBestImagePath(const PtpObjectInfoStruct& record, bool preferExtracted) {
  std::lock_guard lock(cacheState().mutex);
  CacheEntry* e = cacheLookupEntry(record);
  if (!e) return std::nullopt;
  auto& paths = e->paths;
  if (paths[size_t(Companion::ModJpeg)]) return paths[size_t(Companion::ModJpeg)];
  if (preferExtracted) {
    if (!paths[size_t(Companion::ExtJpeg)] && !paths[size_t(Companion::Object)]) {
      auto mod = cacheResolve(*e, Companion::ModJpeg);
      cacheResolve(*e, Companion::ExtJpeg);
      cacheResolve(*e, Companion::Object);
      if (mod) return mod;
    }
    if (paths[size_t(Companion::ExtJpeg)]) return paths[size_t(Companion::ExtJpeg)];
  } else if (!paths[size_t(Companion::Object)]) {
    auto mod = cacheResolve(*e, Companion::ModJpeg);
    cacheResolve(*e, Companion::Object);
    if (mod) return mod;
  }
  return paths[size_t(Companion::Object)];
}

int cacheHasSmall(const PtpObjectInfoStruct& record) {
  return resolved(record, Companion::Small) ? 1 : 0;
}
