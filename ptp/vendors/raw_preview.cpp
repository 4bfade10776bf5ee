// The preview JPEG inside TIFF-based raws (NEF, ARW, CR2), found by walking the bytes for
// IFD entries in the header's byte order. A found preview must lie inside the data and be a
// whole JPEG, SOI to EOI, inside its declared range: offsets relative to another header (a
// Nikon maker note) can point anywhere, and a cut-off download leaves zero fill.
#include <cstring>

#include "ptp/base/byte_reader.h"
#include "ptp/base/filetypes.h"
#include "ptp/vendors/filetypes_vendor.h"

namespace {

constexpr size_t kEntryBytes = 12;
constexpr size_t kEntryScanRest = 13;  // the walk stops when fewer bytes remain
constexpr size_t kTiffHeaderWindow = 500;
constexpr size_t kModelMax = 64;
constexpr uint16_t kTypeAscii = 2, kTypeShort = 3, kTypeLong = 4;

class TiffReader {
 public:
  TiffReader(std::span<const uint8_t> d, bool bigEndian) : r_(d), be_(bigEndian) {}
  std::optional<uint16_t> u16(uint64_t off) const { return be_ ? r_.u16be(off) : r_.u16(off); }
  std::optional<uint32_t> u32(uint64_t off) const { return be_ ? r_.u32be(off) : r_.u32(off); }
  const ByteReader& bytes() const { return r_; }
  // Every tag looked for (0x0110-0x0117, 0x0201, 0x0202) has 0x01 or 0x02 as its high
  // byte: one byte tells most positions apart, which keeps the walk near memory speed.
  bool mayBeWantedTag(uint64_t off) const {
    auto b = r_.u8(be_ ? off : off + 1);
    return b && (*b == 0x01 || *b == 0x02);
  }

 private:
  ByteReader r_;
  bool be_;
};

// Position of the first TIFF header starting before limit, and its byte order.
std::optional<size_t> findTiffHeader(std::span<const uint8_t> d, size_t limit, bool& bigEndian) {
  static const uint8_t ii[4] = {0x49, 0x49, 0x2A, 0x00}, mm[4] = {0x4D, 0x4D, 0x00, 0x2A};
  for (size_t h = 0; h < limit && h + 4 <= d.size(); ++h) {
    if (d[h] != 0x49 && d[h] != 0x4D) continue;
    if (std::memcmp(d.data() + h, ii, 4) == 0 || std::memcmp(d.data() + h, mm, 4) == 0) {
      bigEndian = d[h] == 0x4D;
      return h;
    }
  }
  return std::nullopt;
}

bool modelWantsThirdPair(const TiffReader& t, size_t entry, uint32_t count, uint32_t value) {
  // Up to four characters sit in the entry itself; longer ones at the offset it gives.
  uint64_t at = count <= 4 ? entry + 8 : value;
  auto model = t.bytes().cstring(at, std::min<size_t>(count, kModelMax));
  if (!model) return false;
  for (const char* z : {"NIKON Z 9", "NIKON Z 8", "NIKON Z6_3"})
    if (model->find(z) != std::string::npos) return true;
  return false;
}

}  // namespace

uint32_t fileExtractRawPreview(std::span<const uint8_t> data, uint8_t* orientation, std::vector<uint8_t>& jpeg) {
  jpeg.clear();
  if (!data.data() || !orientation || data.size() < 5) return 0;
  bool be = false;
  auto h = findTiffHeader(data, data.size() - 4, be);
  if (!h) return 0;
  TiffReader t(data, be);
  uint64_t offset = 0, length = 0;
  uint8_t orient = 0;
  bool haveOffset = false, haveLength = false, haveOrient = false;
  // Stops at the first complete triple whose JPEG is plausible; an implausible pair is
  // dropped and the walk goes on.
  for (size_t i = *h; data.size() - i >= kEntryScanRest;) {
    if (!t.mayBeWantedTag(i)) {
      ++i;
      continue;
    }
    auto tag = t.u16(i), type = t.u16(i + 2), shortValue = t.u16(i + 8);
    auto value = t.u32(i + 8);
    if (!tag || !type || !value || !shortValue) break;
    if (*tag == 0x0201 && *type == kTypeLong) {
      offset = *h + uint64_t(*value);
      haveOffset = true;
    } else if (*tag == 0x0202 && *type == kTypeLong) {
      length = *value;
      haveLength = true;
    } else if (*tag == 0x0112 && *type == kTypeShort) {
      orient = uint8_t(*shortValue & 0xFF);
      haveOrient = true;
    } else {
      ++i;
      continue;
    }
    i += kEntryBytes;
    if (!haveOffset || !haveLength || !haveOrient) continue;
    if (const uint32_t n = fileWholeJpegInRange(data, offset, length)) {
      jpeg.assign(data.begin() + long(offset), data.begin() + long(offset + n));
      *orientation = orient;
      return n;
    }
    haveOffset = haveLength = false;
  }
  return 0;
}

bool fileFindEmbeddedJpeg(std::span<const uint8_t> data, uint32_t& offset, uint32_t& jpegLength, uint16_t format) {
  offset = jpegLength = 0;
  if (!data.data() || data.empty()) return false;
  // A declared range counts only when a whole JPEG ends inside it, and is cut at its end.
  auto accept = [&](uint64_t o, uint64_t l) {
    const uint32_t n = o > UINT32_MAX ? 0 : fileWholeJpegInRange(data, o, l);
    if (n == 0) return false;
    offset = uint32_t(o);
    jpegLength = n;
    return true;
  };
  if (format == kFormatRaf || format == kFormatCr3) {
    FileTypesVendorHooks hooks = fileVendorHooks();
    auto& find = format == kFormatRaf ? hooks.fujiFindEmbeddedJpeg : hooks.canonFindEmbeddedJpeg;
    uint32_t o = 0, l = 0;
    return find && find(data, o, l) && accept(o, l);
  }
  if (format != kFormatNef && format != kFormatArw && format != kFormatCr2) return false;

  bool be = false;
  auto h = findTiffHeader(data, kTiffHeaderWindow, be);
  if (!h) return false;
  TiffReader t(data, be);
  auto ifdOffset = t.u32(*h + 4);
  if (!ifdOffset) return false;
  uint64_t ifd = *h + uint64_t(*ifdOffset);
  auto count = t.u16(ifd);
  if (!count || !t.bytes().has(ifd + 2, uint64_t(*count) * kEntryBytes)) return false;

  const bool cr2 = format == kFormatCr2;
  const uint16_t offsetTag = cr2 ? 0x0111 : 0x0201, lengthTag = cr2 ? 0x0117 : 0x0202;
  int target = format == kFormatNef ? 4 : 2;
  bool modelSeen = format != kFormatNef;
  int matches = 0;
  uint64_t o = 0, l = 0;
  // Takes the pair that brings the matches to the target; when that one lies outside the
  // data or is no JPEG, the next plausible pair after it.
  for (size_t i = size_t(ifd) + 2; data.size() - i >= kEntryScanRest;) {
    if (!t.mayBeWantedTag(i)) {
      ++i;
      continue;
    }
    auto tag = t.u16(i), type = t.u16(i + 2);
    auto n = t.u32(i + 4), value = t.u32(i + 8);
    if (!tag || !type || !n || !value) break;
    bool countOk = cr2 ? *n == 1 : *n <= 1;
    if (!modelSeen && *tag == 0x0110 && *type == kTypeAscii) {
      modelSeen = true;
      if (modelWantsThirdPair(t, i, *n, *value)) target = 6;
    } else if (*tag == offsetTag && *type == kTypeLong && countOk) {
      o = *h + uint64_t(*value);
      ++matches;
    } else if (*tag == lengthTag && *type == kTypeLong && countOk) {
      l = *value;
      if (++matches >= target && accept(o, l)) return true;
    } else {
      ++i;
      continue;
    }
    i += kEntryBytes;
  }
  offset = jpegLength = 0;
  return false;
}
