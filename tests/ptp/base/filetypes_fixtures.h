#pragma once
// Generated TIFF-based raws and JPEGs for the file-type tests: a tiny JPEG, and a raw
// whose IFD0 holds a model, an orientation and preview pairs placed after the IFD.
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace fixtures {

using Bytes = std::vector<uint8_t>;

// SOI, a 2-byte DQT segment, SOS with scan bytes, EOI; id changes one scan byte.
inline Bytes tinyJpeg(uint8_t id = 0x33) {
  return {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0x00, 0xFF, 0xDA, 0x00, 0x02, 0x11, 0x22, id, 0xFF, 0xD9};
}

struct Entry {
  uint16_t tag, type;
  uint32_t count;
  std::variant<uint32_t, std::string> value;  // a number, or the name of a blob
};

class TiffBuilder {
 public:
  explicit TiffBuilder(bool bigEndian) : be_(bigEndian) {}
  TiffBuilder& entry(uint16_t tag, uint16_t type, uint32_t count, std::variant<uint32_t, std::string> v) {
    entries_.push_back({tag, type, count, std::move(v)});
    return *this;
  }
  TiffBuilder& blob(const std::string& name, Bytes b) {
    blobs_.push_back({name, std::move(b)});
    return *this;
  }
  TiffBuilder& lead(Bytes b) {
    lead_ = std::move(b);
    return *this;
  }
  Bytes build() const {
    Bytes out = lead_;
    size_t h = out.size();
    if (be_) out.insert(out.end(), {'M', 'M', 0x00, 0x2A});
    else out.insert(out.end(), {'I', 'I', 0x2A, 0x00});
    put32(out, 8);
    size_t dataAt = 8 + 2 + 12 * entries_.size() + 4;
    std::map<std::string, uint32_t> where;
    Bytes data;
    for (auto& [name, b] : blobs_) {
      where[name] = uint32_t(dataAt + data.size());
      data.insert(data.end(), b.begin(), b.end());
    }
    put16(out, uint16_t(entries_.size()));
    for (const Entry& e : entries_) {
      uint32_t v = std::holds_alternative<uint32_t>(e.value) ? std::get<uint32_t>(e.value)
                                                             : where.at(std::get<std::string>(e.value));
      put16(out, e.tag);
      put16(out, e.type);
      put32(out, e.count);
      if (e.type == 3) {
        put16(out, uint16_t(v));
        put16(out, 0);
      } else {
        put32(out, v);
      }
    }
    put32(out, 0);
    out.insert(out.end(), data.begin(), data.end());
    (void)h;
    return out;
  }

 private:
  void put16(Bytes& o, uint16_t v) const {
    if (be_) o.insert(o.end(), {uint8_t(v >> 8), uint8_t(v)});
    else o.insert(o.end(), {uint8_t(v), uint8_t(v >> 8)});
  }
  void put32(Bytes& o, uint32_t v) const {
    if (be_) o.insert(o.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    else o.insert(o.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  }
  bool be_;
  Bytes lead_;
  std::vector<Entry> entries_;
  std::vector<std::pair<std::string, Bytes>> blobs_;
};

// A raw with a model, orientation 6 and `pairs` preview pairs (JPEG i has id i), as
// JPEGInterchangeFormat pairs or, for CR2, as strip pairs.
inline Bytes rawWithPreviews(bool bigEndian, const std::string& model, int pairs, bool cr2 = false) {
  TiffBuilder t(bigEndian);
  Bytes m(model.begin(), model.end());
  m.push_back(0);
  t.blob("model", m).entry(0x0110, 2, uint32_t(m.size()), "model").entry(0x0112, 3, 1, 6u);
  for (int i = 0; i < pairs; ++i) {
    std::string name = "jpeg" + std::to_string(i);
    t.blob(name, tinyJpeg(uint8_t(i)));
    t.entry(cr2 ? 0x0111 : 0x0201, 4, 1, name).entry(cr2 ? 0x0117 : 0x0202, 4, 1, uint32_t(tinyJpeg().size()));
  }
  return t.build();
}

}  // namespace fixtures
