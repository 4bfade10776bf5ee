// The JPEG inside a live-view reply: it starts within the first 2,048 bytes.
#include "ptp/base/filetypes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/vendors/filetypes_vendor.h"

namespace {
constexpr size_t kLiveViewMinFrame = 1028;
constexpr size_t kLiveViewSearchSpan = 2048;
}  // namespace

bool camExtractLiveViewJpeg(std::span<const uint8_t> frame, std::vector<uint8_t>& out, uint16_t ptpCode) {
  out.clear();
  if (!frame.data() || frame.size() < kLiveViewMinFrame) return false;
  for (size_t p = 0; p < kLiveViewSearchSpan && p + 4 <= frame.size(); ++p) {
    if (frame[p] == 0xFF && frame[p + 1] == 0xD8 && frame[p + 2] == 0xFF &&
        (frame[p + 3] == 0xC4 || frame[p + 3] == 0xDB)) {
      out.assign(frame.begin() + p, frame.end());
      return true;
    }
  }
  if (ptpCode != PTP_OC_CANON_GetViewFinderData) return false;
  auto decode = fileVendorHooks().canonDecodeYuvLiveView;
  if (!decode) return false;
  uint32_t n = decode(frame, out);
  if (n == 0 || n > out.size()) {
    out.clear();
    return false;
  }
  out.resize(n);
  return true;
}
