// The own TIFF/EXIF walker, for data the image reader gives nothing for (raws it can't
// read, partial objects, CR3). Little-endian headers only. It reads IFD0 and one EXIF IFD
// and follows no IFD chain, so a looping file cannot keep it going; every offset is checked
// against the header's window in 64-bit arithmetic before it is read.
#include <algorithm>
#include <cstring>

#include "model/exif_reader.h"
#include "ptp/base/byte_reader.h"
#include "ptp/base/camera_vendor.h"

namespace {

constexpr uint8_t kTiffSignature[4] = {0x49, 0x49, 0x2A, 0x00};
// Bytes of one header the walker looks at: IFD0 and the EXIF IFD of a camera file lie
// well inside this.
constexpr uint64_t kExifWalkWindow = 128000;
// Longest text kept from one entry.
constexpr uint64_t kExifTextCap = 4096;
constexpr uint64_t kEntrySize = 12;

enum class ReadAs { Entry, Ascii, Long, IsoList };

struct TagRule {
  uint16_t tag;
  const char* key;
  ReadAs as;
};

const TagRule kTiffTags[] = {
    {259, kCGImagePropertyTIFFCompression, ReadAs::Entry},
    {271, kCGImagePropertyTIFFMake, ReadAs::Entry},
    {272, kCGImagePropertyTIFFModel, ReadAs::Entry},
    {274, kCGImagePropertyTIFFOrientation, ReadAs::Entry},
    {282, kCGImagePropertyTIFFXResolution, ReadAs::Entry},
    // YResolution is kept on the XResolution key as its raw value field, the layout this
    // walker's dictionaries have always had; nothing in the viewer reads either.
    {283, kCGImagePropertyTIFFXResolution, ReadAs::Long},
    {296, kCGImagePropertyTIFFResolutionUnit, ReadAs::Entry},
    {306, kCGImagePropertyTIFFDateTime, ReadAs::Entry},
    {315, kCGImagePropertyTIFFArtist, ReadAs::Entry},
    {33432, kCGImagePropertyTIFFCopyright, ReadAs::Entry},
    {34665, kExifTiffExifTagKey, ReadAs::Entry},
};

const TagRule kExifTags[] = {
    {33434, kCGImagePropertyExifExposureTime, ReadAs::Entry},
    {33437, kCGImagePropertyExifFNumber, ReadAs::Entry},
    {34850, "ExposureProgram", ReadAs::Entry},
    {34855, kCGImagePropertyExifISOSpeedRatings, ReadAs::IsoList},
    {36864, "ExifVersion", ReadAs::Ascii},
    {36867, "DateTimeOriginal", ReadAs::Entry},
    {36868, "DateTimeDigitized", ReadAs::Entry},
    {37121, "ComponentsConfiguration", ReadAs::Long},
    {37377, "ShutterSpeedValue", ReadAs::Entry},
    {37378, "ApertureValue", ReadAs::Entry},
    {37380, kCGImagePropertyExifExposureBiasValue, ReadAs::Entry},
    {37383, kCGImagePropertyExifMeteringMode, ReadAs::Entry},
    {37385, "Flash", ReadAs::Entry},
    {37386, kCGImagePropertyExifFocalLength, ReadAs::Entry},
    {37510, "UserComment", ReadAs::Ascii},
    {37520, "SubsecTime", ReadAs::Entry},
    {37522, "SubsecTimeDigitized", ReadAs::Entry},
    {40960, "FlashPixVersion", ReadAs::Ascii},
    {40961, "ColorSpace", ReadAs::Entry},
    {40962, kCGImagePropertyExifPixelXDimension, ReadAs::Entry},
    {40963, kCGImagePropertyExifPixelYDimension, ReadAs::Entry},
    {41486, "FocalPlaneXResolution", ReadAs::Entry},
    {41487, "FocalPlaneYResolution", ReadAs::Entry},
    {41488, "FocalPlaneResolutionUnit", ReadAs::Entry},
    {41985, "CustomRendered", ReadAs::Entry},
    {41986, "ExposureMode", ReadAs::Entry},
    {41987, kCGImagePropertyExifWhiteBalance, ReadAs::Entry},
    {41990, "SceneCaptureType", ReadAs::Entry},
    {42032, "CameraOwnerName", ReadAs::Entry},
    {42033, "BodySerialNumber", ReadAs::Entry},
    {42034, "LensSpecification", ReadAs::Entry},
    {42036, "LensModel", ReadAs::Entry},
    {42037, "LensSerialNumber", ReadAs::Entry},
};

bool startsWithSignature(const ByteReader& r) {
  auto head = r.bytes(0, 4);
  return head && std::memcmp(head->data(), kTiffSignature, 4) == 0;
}

// A rational at the offset in the value field; a zero denominator reads as 0 rather than
// an infinity that would travel into the display strings.
std::optional<double> rationalAt(const ByteReader& tiff, uint64_t entry, bool isSigned) {
  auto off = tiff.u32(entry + 8);
  if (!off) return std::nullopt;
  auto num = tiff.u32(*off), den = tiff.u32(uint64_t(*off) + 4);
  if (!num || !den) return std::nullopt;
  if (*den == 0) return 0.0;
  if (isSigned) return double(int32_t(*num)) / double(int32_t(*den));
  return double(*num) / double(*den);
}

std::optional<ExifValue> asciiAt(const ByteReader& tiff, uint64_t entry, uint32_t count) {
  std::optional<std::string> text;
  if (count < 5) {
    // Short texts sit in the value field itself.
    if (tiff.has(entry + 8, 4)) text = tiff.cstring(entry + 8, count);
  } else {
    auto off = tiff.u32(entry + 8);
    if (!off || *off >= tiff.size()) return std::nullopt;
    text = tiff.cstring(*off, std::min<uint64_t>(count, kExifTextCap));
  }
  if (!text) return std::nullopt;
  return ExifValue(std::move(*text));
}

std::optional<ExifValue> entryValue(const ByteReader& tiff, uint64_t entry, uint16_t type, uint32_t count) {
  std::optional<ExifValue> out;
  if (type == 10 || type == 5) {
    if (auto r = rationalAt(tiff, entry, type == 10)) out.emplace(std::in_place_type<double>, *r);
  } else if (type == 2) {
    out = asciiAt(tiff, entry, count);
  } else if (auto v = tiff.u32(entry + 8)) {
    out.emplace(std::in_place_type<int64_t>, int64_t(*v));
  }
  return out;
}

// The entries of the IFD at ifd that the rules keep; nullopt when its count can't be read.
// Entries are read in order, at most the count of them, while the next one ends before
// the window does.
template <size_t N>
std::optional<ExifDictionary> walkIfd(const ByteReader& tiff, uint64_t ifd, const TagRule (&rules)[N]) {
  auto count = tiff.u16(ifd);
  if (!count) return std::nullopt;
  ExifDictionary out;
  for (uint64_t i = 0; i < *count; ++i) {
    uint64_t entry = ifd + 2 + kEntrySize * i;
    if (entry + kEntrySize >= tiff.size()) break;
    uint16_t tag = *tiff.u16(entry), type = *tiff.u16(entry + 2);
    uint32_t n = *tiff.u32(entry + 4);
    const TagRule* rule = std::find_if(std::begin(rules), std::end(rules), [&](const TagRule& r) { return r.tag == tag; });
    if (rule == std::end(rules)) continue;
    if (rule->as == ReadAs::Ascii) type = 2;
    if (rule->as == ReadAs::Long || rule->as == ReadAs::IsoList) type = 4;
    auto value = entryValue(tiff, entry, type, n);
    if (!value) continue;
    if (rule->as == ReadAs::IsoList) value = ExifValue(std::vector<double>{double(std::get<int64_t>(*value))});
    out.set(rule->key, std::move(*value));
  }
  return out;
}

// End of the box whose head (big-endian size, four-letter type) stands right before the
// header at p, as a CR3's metadata boxes hold one TIFF header each; nullopt when none.
std::optional<uint64_t> boxEndBefore(const ByteReader& r, uint64_t p) {
  if (p < 8) return std::nullopt;
  auto size = r.u32be(p - 8);
  auto type = r.bytes(p - 4, 4);
  if (!size || !type || *size < 16) return std::nullopt;
  for (uint8_t c : *type)
    if (c < 0x20 || c > 0x7E) return std::nullopt;
  return p - 8 + *size;
}

// Whether the first directory of the header at p ends by limit. Signature bytes inside
// other data (a maker note, an earlier box) give directories that run on into whatever
// follows; reading one of those shows nonsense.
bool directoryFits(const ByteReader& r, uint64_t p, uint64_t limit) {
  auto ifd = r.u32(p + 4);
  if (!ifd) return false;
  const uint64_t at = p + *ifd;
  auto count = r.u16(at);
  return count && at + 2 + kEntrySize * *count <= limit;
}

// Model indexes whose files carry the EXIF IFD behind a third TIFF header.
bool modelUsesThirdHeader(uint8_t index) {
  return index == 229 || index == 230 || index == 234 || (index >= 245 && index <= 251);
}

}  // namespace

std::optional<ExifDictionary> Exif::tiffDictionaryFromHeader(std::span<const uint8_t> header) {
  ByteReader r(header);
  if (r.size() < 20 || !startsWithSignature(r)) return std::nullopt;
  uint64_t ifd = *r.u32(4);
  if (ifd + 2 >= r.size()) return std::nullopt;
  return walkIfd(r, ifd, kTiffTags);
}

std::optional<ExifDictionary> Exif::exifDictionaryFromHeader(std::span<const uint8_t> header, int32_t headerIndex) {
  ByteReader r(header);
  uint64_t ifd = 0;
  if (headerIndex == 0) {
    if (r.size() < 20 || !startsWithSignature(r)) return std::nullopt;
    ifd = *r.u32(4);
  } else {
    if (headerIndex > 0) return std::nullopt;
    ifd = uint64_t(-int64_t(headerIndex));
    if (ifd > r.size() || r.size() - ifd < 20) return std::nullopt;
  }
  return walkIfd(r, ifd, kExifTags);
}

std::optional<ExifProperties> Exif::getManualMetaDataDictionary(std::span<const uint8_t> data) {
  const ByteReader r(data);
  const int wanted = modelUsesThirdHeader(camModelIndex()) ? 3 : 2;
  const std::span<const uint8_t> signature(kTiffSignature, 4);
  ExifProperties props;
  int found = 0;
  // End of the box of the latest header that stood in one.
  std::optional<uint64_t> boxEnd;
  for (auto at = r.find(signature); at; at = r.find(signature, *at + 1)) {
    const uint64_t p = *at, rest = data.size() - p;
    // A header counts only when its directory ends inside its box, or inside the box of
    // an earlier header that it sits in, and inside the data.
    uint64_t limit = data.size();
    if (auto own = boxEndBefore(r, p)) boxEnd = own, limit = std::min(limit, *own);
    else if (boxEnd && p < *boxEnd) limit = std::min(limit, *boxEnd);
    if (!directoryFits(r, p, limit)) continue;
    ++found;
    if (found == 1) {
      props.tiff = tiffDictionaryFromHeader(data.subspan(p, std::min(rest, kExifWalkWindow)));
      if (props.tiff && props.tiff->contains(kExifTiffExifTagKey)) {
        const int64_t e = exifTruncate(props.tiff->number(kExifTiffExifTagKey));
        if (e >= 0 && uint64_t(e) <= rest && e <= INT32_MAX) {
          auto exif = exifDictionaryFromHeader(data.subspan(p, e + std::min(rest - e, kExifWalkWindow)), -int32_t(e));
          if (exif) {
            props.exif = std::move(exif);
            break;
          }
        }
      }
    }
    if (found == wanted) {
      props.exif = exifDictionaryFromHeader(data.subspan(p, std::min(rest, kExifWalkWindow)), 0);
      break;
    }
  }
  if (props.keyCount() == 0) return std::nullopt;
  return props;
}
