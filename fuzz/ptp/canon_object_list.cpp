// Arbitrary bytes as one Canon object-listing reply, in both entry layouts. The parse stays
// inside the reply, stops at the record cap, and every name it keeps is terminated.
#include <cstring>

#include "fuzz/fuzz_target.h"
#include "ptp/vendors/canon/canon_listing.h"

KV_FUZZ_TARGET(canon_object_list) {
  for (bool ptpNames : {false, true}) {
    std::vector<CanonObjectRecord> found;
    if (!canonParseObjectList(data, size, ptpNames, found)) continue;
    if (found.size() > kCanonListMaxRecords || found.size() > size / 4) __builtin_trap();
    for (const CanonObjectRecord& r : found)
      if (!std::memchr(r.name, 0, sizeof r.name)) __builtin_trap();
  }
  return 0;
}
