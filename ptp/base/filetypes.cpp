// File types by name and by object format.
#include "ptp/base/filetypes.h"

#include <strings.h>

#include <cstring>
#include <string_view>

namespace {

// Position of the first case-insensitive occurrence of needle, or npos.
size_t findNoCase(std::string_view hay, std::string_view needle) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (::strncasecmp(hay.data() + i, needle.data(), needle.size()) == 0) return i;
  return std::string_view::npos;
}

struct NameFormat {
  const char* extension;
  uint16_t format;
};

// Searched in this order; the first that occurs anywhere in the name wins.
constexpr NameFormat kNameFormats[] = {
    {".JPG", kFormatJpeg}, {".CR2", kFormatCr2}, {".CR3", kFormatCr3}, {".NEF", kFormatNef},
    {".ARW", kFormatArw},  {".RAF", kFormatRaf}, {".TIF", kFormatTiff}, {".MOV", kFormatMov},
};

}  // namespace

uint16_t fileFormatFromName(const char* name) {
  if (!name) return 0;
  for (const NameFormat& nf : kNameFormats)
    if (findNoCase(name, nf.extension) != std::string_view::npos) return nf.format;
  return 0;
}

bool fileNameIsRaw(const char* name) {
  if (!name) return false;
  std::string_view n(name);
  if (n.size() < 4) return false;
  for (const char* ext : {".CR2", ".CR3", ".NEF", ".ARW", ".RAF"})
    if (::strcasecmp(name + n.size() - 4, ext) == 0) return true;
  return false;
}

bool fileNameIsJpeg(const char* name) {
  return name && (findNoCase(name, ".jpg") != std::string_view::npos || findNoCase(name, ".jpeg") != std::string_view::npos);
}

bool fileNameIsMovie(const char* name) { return name && findNoCase(name, ".mov") != std::string_view::npos; }

bool fileFormatIsRaw(uint16_t f) {
  return f == kFormatArw || f == kFormatCr2 || f == kFormatCr3 || f == kFormatNef || f == kFormatUndefinedRaw ||
         f == kFormatRaf;
}

bool fileFormatIsJpegOrTiff(uint16_t f) { return f == kFormatJpeg || f == kFormatTiff; }

bool fileFormatIsMovie(uint16_t f) {
  return f == kFormatVendorMovie1 || f == kFormatVendorMovie2 || f == kFormatMov || f == kFormatVendorMovie3;
}

bool fileIsTiffByteOrderMark(std::span<const uint8_t> b) {
  return b.size() >= 2 && ((b[0] == 'I' && b[1] == 'I') || (b[0] == 'M' && b[1] == 'M'));
}

bool filePreviewIsPlausible(std::span<const uint8_t> data, uint64_t offset, uint64_t length) {
  if (length < 2 || offset > data.size() || length > data.size() - offset) return false;
  return data[offset] == 0xFF && data[offset + 1] == 0xD8;
}

uint32_t fileWholeJpegInRange(std::span<const uint8_t> data, uint64_t offset, uint64_t length) {
  if (!filePreviewIsPlausible(data, offset, length)) return 0;
  return fileJpegLength(data.subspan(size_t(offset), size_t(length)));
}
