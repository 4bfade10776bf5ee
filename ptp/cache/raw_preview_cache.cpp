// A raw file's preview JPEG stored as the record's ".ext.jpg".
#include <sys/stat.h>

#include "ptp/base/filetypes.h"
#include "ptp/cache/cache.h"

std::optional<std::string> fileExtractRawJpegToCache(const PtpObjectInfoStruct& record, const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || uint64_t(st.st_size) > kRawFileReadCap) return std::nullopt;
  std::vector<uint8_t> raw;
  if (cacheReadFile(path, raw) == 0) return std::nullopt;
  PtpObjectInfoStruct r = record;
  objectInfoTerminateStrings(r);
  uint16_t format = r.objectFormat ? r.objectFormat : fileFormatFromName(r.fileName);
  uint32_t offset = 0, length = 0;
  if (!fileFindEmbeddedJpeg(raw, offset, length, format)) return std::nullopt;
  std::span<const uint8_t> jpeg(raw.data() + offset, length);
  if (!cacheStoreExtractedJpeg(r, nullptr, jpeg)) return std::nullopt;
  return cacheExtractedJpegPath(r);
}
