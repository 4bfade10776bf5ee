#include "ptp/vendors/canon/canon_images.h"

#include <algorithm>
#include <cstring>

#include "ptp/base/byte_reader.h"

namespace {

bool isJpegStart(const uint8_t* p) {
  return p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF && (p[3] == 0xC4 || p[3] == 0xDB);
}

const uint8_t kTagJpeg[] = {'J', 'P', 'E', 'G'};
const uint8_t kTagStsz[] = {'s', 't', 's', 'z'};
const uint8_t kTagFree[] = {'f', 'r', 'e', 'e'};
const uint8_t kTagCo64[] = {'c', 'o', '6', '4'};

// Below this the "free" box length names the wrong word.
constexpr uint32_t kCr3MinPreviewLength = 100000;

bool withinData(size_t length, uint64_t offset, uint64_t jpegLength) {
  return jpegLength > 0 && offset <= length && jpegLength <= length - offset;
}

}  // namespace

int64_t canonFindJpegStart(const uint8_t* data, size_t length) {
  if (!data || length < 5) return -1;
  size_t last = std::min<size_t>(length - 5, 255);
  for (size_t p = 0; p <= last; ++p)
    if (isJpegStart(data + p)) return static_cast<int64_t>(p);
  return -1;
}

PtpResponseCode canonExtractThumbJpeg(std::vector<uint8_t>& data, uint8_t* orientation) {
  size_t length = data.size();
  if (length == 0) return ERROR_INVALID_INPUT;
  size_t start = 0;
  if (orientation && length >= 3) {
    start = length - 2;  // no Orientation entry: nothing is found
    for (size_t q = 0; q < length - 2; ++q) {
      if (data[q] == 0x12 && data[q + 1] == 0x01) {
        start = q;
        break;
      }
    }
    if (start < length - 2 && start + 8 < length) *orientation = data[start + 8];
  }
  for (size_t s = start; s + 4 < length; ++s) {
    if (isJpegStart(data.data() + s)) {
      data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(s));
      return PTP_RC_OK;
    }
  }
  return ERROR_INVALID_INPUT;
}

bool canonFindEmbeddedJpeg(const uint8_t* data, size_t length, uint32_t& offset,
                           uint32_t& jpegLength) {
  offset = 0;
  jpegLength = 0;
  if (!data) return false;
  ByteReader r(data, length);
  auto jpeg = r.find(kTagJpeg);
  if (!jpeg) return false;
  auto stsz = r.find(kTagStsz, *jpeg);
  if (!stsz) return false;
  auto free = r.find(kTagFree, *stsz);
  if (!free || *free < 8) return false;
  auto n = r.u32be(*free - 8);
  if (n && *n < kCr3MinPreviewLength) n = *free >= 12 ? r.u32be(*free - 12) : std::nullopt;
  if (!n) return false;
  auto co64 = r.find(kTagCo64, *free + 4);
  if (!co64) return false;
  auto at = r.u32be(*co64 + 16);
  if (!at || !withinData(length, *at, *n)) return false;
  offset = *at;
  jpegLength = *n;
  return true;
}
