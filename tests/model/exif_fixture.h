#pragma once
// Hand-made TIFF headers with an IFD0 and an EXIF IFD, in either byte order, and JPEGs
// that carry one in their APP1 segment, for the EXIF reading tests.
#include <cstdint>
#include <string>
#include <vector>

namespace exiffix {

using Bytes = std::vector<uint8_t>;

struct Tag {
  uint16_t tag, type;
  uint32_t count;
  Bytes payload;  // the value's bytes in the file's byte order
};

class Tiff {
 public:
  explicit Tiff(bool bigEndian = false) : be_(bigEndian) {}

  // Entries of IFD0 (ifd0 = true) or of the EXIF IFD.
  Tiff& shortTag(bool ifd0, uint16_t tag, uint16_t v) { return add(ifd0, {tag, 3, 1, u16(v)}); }
  Tiff& longTag(bool ifd0, uint16_t tag, uint32_t v) { return add(ifd0, {tag, 4, 1, u32(v)}); }
  Tiff& rational(bool ifd0, uint16_t tag, uint32_t num, uint32_t den, bool isSigned = false) {
    Bytes b = u32(num), d = u32(den);
    b.insert(b.end(), d.begin(), d.end());
    return add(ifd0, {tag, uint16_t(isSigned ? 10 : 5), 1, b});
  }
  Tiff& ascii(bool ifd0, uint16_t tag, const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return add(ifd0, {tag, 2, uint32_t(b.size()), b});
  }
  Tiff& raw(bool ifd0, Tag t) { return add(ifd0, std::move(t)); }
  // IFD0's next-IFD field (0: none).
  Tiff& nextIfd(uint32_t offset) {
    next_ = offset;
    return *this;
  }
  // Leaves the ExifTag entry out of IFD0.
  Tiff& withoutExifPointer() {
    pointer_ = false;
    return *this;
  }

  // A camera-like set: Make, Model, Orientation; exposure 1/125, f/5.6, ISO 200, bias -1/3,
  // metering 5, white balance 0, light source 0, focal 50, 6000 x 4000.
  static Tiff camera(const std::string& make, bool bigEndian = false) {
    Tiff t(bigEndian);
    t.ascii(true, 271, make).ascii(true, 272, "Model X").shortTag(true, 274, 6);
    t.rational(false, 33434, 1, 125).rational(false, 33437, 56, 10).shortTag(false, 34855, 200);
    t.rational(false, 37380, uint32_t(-1), 3, true).shortTag(false, 37383, 5).shortTag(false, 37384, 0);
    t.shortTag(false, 41987, 0).rational(false, 37386, 50, 1).longTag(false, 40962, 6000).longTag(false, 40963, 4000);
    t.ascii(false, 36867, "2024:01:02 03:04:05");
    return t;
  }

  size_t exifIfdOffset() const { return 8 + ifdSize(ifd0_.size() + (hasPointer() ? 1 : 0)); }

  Bytes build() const {
    Bytes out;
    if (be_) out = {'M', 'M', 0x00, 0x2A};
    else out = {'I', 'I', 0x2A, 0x00};
    append(out, u32(8));
    const size_t n0 = ifd0_.size() + (hasPointer() ? 1 : 0);
    size_t dataAt = 8 + ifdSize(n0) + (exif_.empty() ? 0 : ifdSize(exif_.size()));
    Bytes data;
    auto writeIfd = [&](std::vector<Tag> tags, uint32_t next) {
      append(out, u16(uint16_t(tags.size())));
      for (const Tag& t : tags) {
        append(out, u16(t.tag));
        append(out, u16(t.type));
        append(out, u32(t.count));
        if (t.payload.size() <= 4) {
          Bytes v = t.payload;
          v.resize(4, 0);
          append(out, v);
        } else {
          append(out, u32(uint32_t(dataAt + data.size())));
          append(data, t.payload);
        }
      }
      append(out, u32(next));
    };
    std::vector<Tag> first = ifd0_;
    if (hasPointer()) first.push_back({34665, 4, 1, u32(uint32_t(exifIfdOffset()))});
    writeIfd(first, next_);
    if (!exif_.empty()) writeIfd(exif_, 0);
    append(out, data);
    return out;
  }

  Bytes u16(uint16_t v) const { return be_ ? Bytes{uint8_t(v >> 8), uint8_t(v)} : Bytes{uint8_t(v), uint8_t(v >> 8)}; }
  Bytes u32(uint32_t v) const {
    Bytes b{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    if (be_) std::swap(b[0], b[3]), std::swap(b[1], b[2]);
    return b;
  }

 private:
  static size_t ifdSize(size_t n) { return 2 + 12 * n + 4; }
  static void append(Bytes& out, const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
  bool hasPointer() const { return pointer_ && !exif_.empty(); }
  Tiff& add(bool ifd0, Tag t) {
    (ifd0 ? ifd0_ : exif_).push_back(std::move(t));
    return *this;
  }

  bool be_;
  bool pointer_ = true;
  uint32_t next_ = 0;
  std::vector<Tag> ifd0_, exif_;
};

// SOI, APP1 "Exif" with the TIFF, a baseline SOF of the given size, EOI.
inline Bytes jpegWithExif(const Bytes& tiff, uint16_t width = 640, uint16_t height = 480) {
  Bytes out{0xFF, 0xD8, 0xFF, 0xE1};
  size_t len = 2 + 6 + tiff.size();
  out.push_back(uint8_t(len >> 8));
  out.push_back(uint8_t(len));
  for (char c : std::string("Exif\0\0", 6)) out.push_back(uint8_t(c));
  out.insert(out.end(), tiff.begin(), tiff.end());
  Bytes sof{0xFF, 0xC0, 0x00, 0x11, 0x08, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width),
            0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
  out.insert(out.end(), sof.begin(), sof.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace exiffix
