#include <thread>

#include "tests/ptp/cache/cache_fixture.h"

namespace {

using CacheThreadsTest = CacheTest;

// Share-session, command and main threads use the cache at once: every answer is a copy,
// so an entry deleted by one thread never leaves another holding freed memory.
TEST_F(CacheThreadsTest, ConcurrentStoresReadsDeletesAndWalks) {
  load();
  auto work = [&](int seed) {
    for (int i = 0; i < 150; ++i) {
      PtpObjectInfoStruct r = record("IMG_" + std::to_string((i * 7 + seed) % 12) + ".JPG", uint32_t(i % 12),
                                     uint64_t(1 + (i + seed) % 3));
      std::vector<uint8_t> out;
      switch ((i + seed) % 6) {
        case 0: cacheStoreRecord(r); break;
        case 1: cacheStoreThumb(r, bytes("thumb")); break;
        case 2: cacheReadThumb(r, out); break;
        case 3: cacheStoreObject(r, bytes("object")); break;
        case 4: cacheDelete(r); break;
        case 5:
          for (auto e = cacheFirst(); e; e = cacheNext()) {
            EXPECT_LE(std::strlen(e->fileName), 255u);
          }
          if (auto p = cacheBestImagePath(r, true)) {
            EXPECT_FALSE(p->empty());
          }
          break;
      }
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(work, t);
  for (auto& t : threads) t.join();
  EXPECT_EQ(list(root), (std::set<std::string>{"c", "d"}));
}

}  // namespace
