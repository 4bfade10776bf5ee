// Raw files searched for their preview JPEG by the CR2, CR3 and RAF finders; whatever
// they find must lie inside the data.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "ptp/vendors/canon/canon_images.h"
#include "ptp/vendors/fuji/fuji_images.h"

namespace {
void check(bool found, size_t size, uint32_t offset, uint32_t length) {
  if (!found && (offset || length)) abort();
  if (found && (length == 0 || offset > size || length > size - offset)) abort();
}
}  // namespace

KV_FUZZ_TARGET(vendor_raw_previews) {
  uint32_t offset = 0, length = 0;
  bool found = canonFindCr2Jpeg(data, size, offset, length);
  check(found, size, offset, length);
  found = canonFindEmbeddedJpeg(data, size, offset, length);
  check(found, size, offset, length);
  found = fujiFindEmbeddedJpeg(data, size, offset, length);
  check(found, size, offset, length);
  return 0;
}
