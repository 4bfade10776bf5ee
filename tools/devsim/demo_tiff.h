#pragma once
// A small TIFF writer for the demo's synthetic files (EXIF blocks and TIFF-based raws):
// IFDs of typed entries written in tag order, values longer than four bytes placed right
// after their IFD, and offsets (to another IFD or to a block of data) filled in once the
// target has been placed. Offsets are relative to the TIFF header, as the format wants.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/devsim/frames.h"

namespace devsim {

struct TiffEntry {
  uint16_t tag = 0, type = 0;
  uint32_t count = 0;
  Bytes value;  // already in the file's byte order
};

class TiffWriter {
 public:
  static constexpr uint16_t kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7, kSRational = 10;

  // Writes the header at the end of out; IFD0's offset is set by setFirstIfd.
  TiffWriter(Bytes& out, bool bigEndian);

  TiffEntry ascii(uint16_t tag, const std::string& text) const;
  TiffEntry shortValue(uint16_t tag, uint16_t v) const;
  TiffEntry shorts(uint16_t tag, const std::vector<uint16_t>& v) const;
  TiffEntry longValue(uint16_t tag, uint32_t v) const;
  // count LONGs of 0, to be pointed at something by link().
  TiffEntry pointers(uint16_t tag, uint32_t count = 1) const;
  TiffEntry rational(uint16_t tag, uint32_t num, uint32_t den) const;
  TiffEntry srational(uint16_t tag, int32_t num, int32_t den) const;
  TiffEntry undefined(uint16_t tag, const std::string& bytes) const;

  struct Ifd {
    uint32_t offset = 0;
    std::map<uint16_t, size_t> valueAt;  // where each entry's value lies in the output
    size_t nextAt = 0;
  };
  // Appends an IFD (entries sorted by tag, next-IFD offset 0) and its long values.
  Ifd writeIfd(std::vector<TiffEntry> entries);
  // Appends bytes at an even offset and answers that offset.
  uint32_t append(const uint8_t* data, size_t n);
  uint32_t append(const Bytes& b) { return append(b.data(), b.size()); }
  // The current end, relative to the header.
  uint32_t here() const;

  void setFirstIfd(uint32_t offset);
  // The index-th LONG of a pointer entry := target.
  void link(const Ifd& ifd, uint16_t tag, uint32_t target, uint32_t index = 0);
  void setNext(const Ifd& ifd, uint32_t target);

  Bytes u16(uint16_t v) const;
  Bytes u32(uint32_t v) const;

 private:
  void put32At(size_t at, uint32_t v);

  Bytes& out_;
  size_t base_;
  bool be_;
};

}  // namespace devsim
