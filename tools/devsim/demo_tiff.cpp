#include "tools/devsim/demo_tiff.h"

#include <algorithm>

namespace devsim {

TiffWriter::TiffWriter(Bytes& out, bool bigEndian) : out_(out), base_(out.size()), be_(bigEndian) {
  if (be_) {
    out_.insert(out_.end(), {'M', 'M', 0x00, 0x2A});
  } else {
    out_.insert(out_.end(), {'I', 'I', 0x2A, 0x00});
  }
  Bytes zero = u32(0);
  out_.insert(out_.end(), zero.begin(), zero.end());
}

Bytes TiffWriter::u16(uint16_t v) const {
  return be_ ? Bytes{uint8_t(v >> 8), uint8_t(v)} : Bytes{uint8_t(v), uint8_t(v >> 8)};
}

Bytes TiffWriter::u32(uint32_t v) const {
  Bytes b{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  if (be_) std::reverse(b.begin(), b.end());
  return b;
}

TiffEntry TiffWriter::ascii(uint16_t tag, const std::string& text) const {
  Bytes b(text.begin(), text.end());
  b.push_back(0);
  return {tag, kAscii, uint32_t(b.size()), b};
}

TiffEntry TiffWriter::shortValue(uint16_t tag, uint16_t v) const { return {tag, kShort, 1, u16(v)}; }

TiffEntry TiffWriter::shorts(uint16_t tag, const std::vector<uint16_t>& v) const {
  Bytes b;
  for (uint16_t s : v) {
    Bytes one = u16(s);
    b.insert(b.end(), one.begin(), one.end());
  }
  return {tag, kShort, uint32_t(v.size()), b};
}

TiffEntry TiffWriter::longValue(uint16_t tag, uint32_t v) const { return {tag, kLong, 1, u32(v)}; }

TiffEntry TiffWriter::pointers(uint16_t tag, uint32_t count) const { return {tag, kLong, count, Bytes(4 * count, 0)}; }

TiffEntry TiffWriter::rational(uint16_t tag, uint32_t num, uint32_t den) const {
  Bytes b = u32(num), d = u32(den);
  b.insert(b.end(), d.begin(), d.end());
  return {tag, kRational, 1, b};
}

TiffEntry TiffWriter::srational(uint16_t tag, int32_t num, int32_t den) const {
  Bytes b = u32(uint32_t(num)), d = u32(uint32_t(den));
  b.insert(b.end(), d.begin(), d.end());
  return {tag, kSRational, 1, b};
}

TiffEntry TiffWriter::undefined(uint16_t tag, const std::string& bytes) const {
  return {tag, kUndefined, uint32_t(bytes.size()), Bytes(bytes.begin(), bytes.end())};
}

uint32_t TiffWriter::here() const { return uint32_t(out_.size() - base_); }

uint32_t TiffWriter::append(const uint8_t* data, size_t n) {
  if (here() % 2) out_.push_back(0);
  uint32_t at = here();
  out_.insert(out_.end(), data, data + n);
  return at;
}

TiffWriter::Ifd TiffWriter::writeIfd(std::vector<TiffEntry> entries) {
  std::sort(entries.begin(), entries.end(), [](const TiffEntry& a, const TiffEntry& b) { return a.tag < b.tag; });
  if (here() % 2) out_.push_back(0);
  Ifd ifd;
  ifd.offset = here();
  // Long values follow the IFD: count, 12 bytes per entry, next-IFD offset.
  uint32_t dataAt = ifd.offset + 2 + 12 * uint32_t(entries.size()) + 4;
  Bytes data;
  Bytes head = u16(uint16_t(entries.size()));
  out_.insert(out_.end(), head.begin(), head.end());
  for (const TiffEntry& e : entries) {
    for (const Bytes& part : {u16(e.tag), u16(e.type), u32(e.count)}) out_.insert(out_.end(), part.begin(), part.end());
    if (e.value.size() <= 4) {
      ifd.valueAt[e.tag] = out_.size();
      Bytes v = e.value;
      v.resize(4, 0);
      out_.insert(out_.end(), v.begin(), v.end());
    } else {
      if (data.size() % 2) data.push_back(0);
      const uint32_t at = dataAt + uint32_t(data.size());
      ifd.valueAt[e.tag] = base_ + at;
      Bytes offset = u32(at);
      out_.insert(out_.end(), offset.begin(), offset.end());
      data.insert(data.end(), e.value.begin(), e.value.end());
    }
  }
  ifd.nextAt = out_.size();
  Bytes next = u32(0);
  out_.insert(out_.end(), next.begin(), next.end());
  out_.insert(out_.end(), data.begin(), data.end());
  return ifd;
}

void TiffWriter::put32At(size_t at, uint32_t v) {
  Bytes b = u32(v);
  std::copy(b.begin(), b.end(), out_.begin() + long(at));
}

void TiffWriter::setFirstIfd(uint32_t offset) { put32At(base_ + 4, offset); }

void TiffWriter::link(const Ifd& ifd, uint16_t tag, uint32_t target, uint32_t index) {
  put32At(ifd.valueAt.at(tag) + 4 * size_t(index), target);
}

void TiffWriter::setNext(const Ifd& ifd, uint32_t target) { put32At(ifd.nextAt, target); }

}  // namespace devsim
