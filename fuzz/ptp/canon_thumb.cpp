// A GetThumbEx (0x910A) reply cut to its JPEG, with and without the orientation.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "ptp/vendors/canon/canon_images.h"

KV_FUZZ_TARGET(canon_thumb) {
  for (bool withOrientation : {true, false}) {
    std::vector<uint8_t> d(data, data + size);
    uint8_t orientation = 0;
    PtpResponseCode rc = canonExtractThumbJpeg(d, withOrientation ? &orientation : nullptr);
    if (rc == PTP_RC_OK) {
      if (d.size() < 5 || d[0] != 0xFF || d[1] != 0xD8) abort();
      if (std::memcmp(d.data(), data + (size - d.size()), d.size()) != 0) abort();
    } else if (rc != ERROR_INVALID_INPUT || d.size() != size) {
      abort();
    }
  }
  return 0;
}
