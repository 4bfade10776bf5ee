// fileJpegLength: SOI to matching EOI, following marker segments and, inside scans, the
// nesting of embedded JPEGs (FF DA opens, FF D9 closes).
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "ptp/base/byte_reader.h"
#include "ptp/base/filetypes.h"

namespace {

// Most FF DA / FF D9 pairs indexed for repeated scans; real entropy-coded data has none
// (an FF there is stuffed with 00), so more means hostile bytes.
constexpr size_t kJpegMaxScanMarkers = 1u << 20;

// Where the scan that starts at s ends: the first FF D9 met at depth 1, depth starting at
// 1 and raised by each FF DA. The first scan walks the bytes; when parsing resumes and
// meets another scan, an index of all pairs answers each further scan in log time, so
// hostile data with many scans stays linear.
class ScanCloser {
 public:
  explicit ScanCloser(std::span<const uint8_t> d) : d_(d) {}

  // Position after the closing FF D9, 0 when the data ends first; nullopt when the data
  // holds too many pairs to index.
  std::optional<size_t> close(size_t s) {
    if (!walked_) {
      walked_ = true;
      return walk(s);
    }
    if (!indexed_ && !buildIndex()) return std::nullopt;
    auto i0 = size_t(std::lower_bound(pos_.begin(), pos_.end(), s) - pos_.begin());
    if (i0 == pos_.size()) return 0;
    auto it = closers_.find(before_[i0]);
    if (it == closers_.end()) return 0;
    auto j = std::lower_bound(it->second.begin(), it->second.end(), i0);
    if (j == it->second.end()) return 0;
    return size_t(pos_[*j]) + 2;
  }

 private:
  size_t walk(size_t s) const {
    size_t depth = 1;
    for (size_t i = s; i + 1 < d_.size(); ++i) {
      if (d_[i] != 0xFF) continue;
      if (d_[i + 1] == 0xDA) ++depth;
      if (d_[i + 1] == 0xD9 && --depth == 0) return i + 2;
    }
    return 0;
  }

  bool buildIndex() {
    indexed_ = true;
    int64_t balance = 0;
    for (size_t i = 0; i + 1 < d_.size(); ++i) {
      if (d_[i] != 0xFF || (d_[i + 1] != 0xDA && d_[i + 1] != 0xD9)) continue;
      if (pos_.size() >= kJpegMaxScanMarkers) {
        tooMany_ = true;
        break;
      }
      pos_.push_back(i);
      before_.push_back(balance);
      if (d_[i + 1] == 0xD9) {
        closers_[balance].push_back(pos_.size() - 1);
        --balance;
      } else {
        ++balance;
      }
    }
    return !tooMany_;
  }

  std::span<const uint8_t> d_;
  bool walked_ = false, indexed_ = false, tooMany_ = false;
  std::vector<size_t> pos_;
  std::vector<int64_t> before_;
  std::unordered_map<int64_t, std::vector<size_t>> closers_;
};

}  // namespace

uint32_t fileJpegLength(std::span<const uint8_t> jpeg) {
  if (jpeg.size() > UINT32_MAX) jpeg = jpeg.first(UINT32_MAX);
  ByteReader r(jpeg);
  const size_t n = jpeg.size();
  if (n < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return 0;
  ScanCloser scans(jpeg);
  size_t p = 2;
  // An EOI in the last two bytes ends the JPEG too.
  while (p + 1 < n) {
    if (jpeg[p] != 0xFF) {
      p += 2;
      continue;
    }
    uint8_t m = jpeg[p + 1];
    if (m == 0xD9) return uint32_t(p + 2);
    if (m == 0xDA) {
      auto end = scans.close(p + 2);
      if (!end) return 0;
      if (*end) return uint32_t(*end);
      // Unclosed: resume at the first FF followed by a non-zero byte after the SOS.
      size_t q = p + 2;
      while (q + 1 < n && !(jpeg[q] == 0xFF && jpeg[q + 1] != 0)) ++q;
      if (q + 1 >= n) return 0;
      p = q;
      continue;
    }
    auto len = r.u16be(p + 2);
    if (!len) return 0;
    p += 2 + size_t(*len);
  }
  return 0;
}
