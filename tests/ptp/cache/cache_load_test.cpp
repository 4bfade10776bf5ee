#include <fcntl.h>
#include <sys/stat.h>

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

#include "ptp/base/local_name.h"
#include "tests/ptp/cache/cache_fixture.h"

namespace {

// Writes a ".obj" file and sets its access time (modification time older, so that
// reading does not move the access time).
void writeRecordFile(const std::string& path, const PtpObjectInfoStruct& r, time_t accessed) {
  CacheTest::writeBytes(path, &r, sizeof r);
  timespec times[2] = {{accessed, 0}, {accessed - 100000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class CacheLoadTest : public CacheTest {
 protected:
  // n records "IMG_<i>.JPG", handles repeating every 100, records at zeroIndices all
  // zeroes; record i accessed at base + i. Each has a ".thumb" and a saved object.
  void populate(int n, std::set<int> zeroIndices = {}) {
    time_t base = ::time(nullptr) - 20000;
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
      PtpObjectInfoStruct r = zeroIndices.count(i) ? PtpObjectInfoStruct{} : record(name, uint32_t(i % 100));
      writeRecordFile(cache + "/" + name + ".obj", r, base + i);
      writeText(cache + "/" + name + ".thumb", "t");
      writeText(download + "/" + name, "saved");
    }
  }
  static std::string name(int i) {
    char n[32];
    std::snprintf(n, sizeof n, "IMG_%04d.JPG", i);
    return n;
  }
};

TEST_F(CacheLoadTest, KeepsTheNewest2001AndDeletesTheOthersAsThemselvesSavedFilesStay) {
  populate(2500, {10, 2400});
  load();
  EXPECT_EQ(cacheCount(), cacheRecordLimit);
  for (int i = 0; i < 2500; ++i) {
    bool kept = i >= 499;
    EXPECT_EQ(exists(cache + "/" + name(i) + ".obj"), kept) << i;
    if (i != 10) {
      EXPECT_EQ(exists(cache + "/" + name(i) + ".thumb"), kept) << i;
    }
    EXPECT_TRUE(exists(download + "/" + name(i))) << i;  // the user's saved photo
  }
  // Every kept record is in memory, including the zeroed one; none of the deleted.
  std::set<std::string> names;
  int zeroed = 0;
  for (auto r = cacheFirst(); r; r = cacheNext()) {
    if (r->fileName[0] == '\0') ++zeroed;
    else names.insert(r->fileName);
  }
  EXPECT_EQ(zeroed, 1);
  EXPECT_EQ(names.size(), 2000u);
  EXPECT_TRUE(names.count(name(499)));
  EXPECT_FALSE(names.count(name(498)));
}

TEST_F(CacheLoadTest, Exactly2001DeletesNothing) {
  populate(2001);
  load();
  EXPECT_EQ(cacheCount(), 2001u);
  EXPECT_EQ(list(cache).size(), 2 * 2001u);
}

TEST_F(CacheLoadTest, OnlyWhole608ByteRecordsBecomeEntries) {
  PtpObjectInfoStruct r = record("WHOLE.JPG");
  writeBytes(cache + "/WHOLE.JPG.obj", &r, sizeof r);
  r = record("SHORT.JPG");
  writeBytes(cache + "/SHORT.JPG.obj", &r, 100);
  std::string longer(reinterpret_cast<const char*>(&r), sizeof r);
  writeText(cache + "/LONG.JPG.obj", longer + "x");
  writeText(cache + "/EMPTY.JPG.obj", "");
  std::filesystem::create_directory(cache + "/DIR.obj");
  load();
  ASSERT_EQ(cacheCount(), 1u);
  EXPECT_STREQ(cacheFirst()->fileName, "WHOLE.JPG");
  EXPECT_TRUE(exists(cache + "/SHORT.JPG.obj"));  // left alone, just not loaded
}

TEST_F(CacheLoadTest, RecordStringsAreTerminated) {
  std::vector<uint8_t> raw(kObjectInfoBytes, 'A');
  writeBytes(cache + "/A.obj", raw.data(), raw.size());
  load();
  auto r = cacheFirst();
  ASSERT_TRUE(r);
  EXPECT_EQ(std::strlen(r->fileName), 255u);
  EXPECT_EQ(std::strlen(r->keywords), 255u);
}

TEST_F(CacheLoadTest, InterruptedWriteLeavesTheOldFileAndTheTemporaryGoesAtLoad) {
  load();
  PtpObjectInfoStruct r = record("IMG_1.JPG");
  ASSERT_EQ(cacheStoreRecord(r), 1);
  ASSERT_TRUE(cacheStoreObject(r, bytes("old photo")));
  cacheSetBeforeRenameHook([](const std::string&) { return false; });
  r.rating = 5;
  EXPECT_EQ(cacheStoreRecord(r), 0);
  EXPECT_FALSE(cacheStoreObject(r, bytes("new photo")));
  cacheSetBeforeRenameHook(nullptr);

  PtpObjectInfoStruct onDisk{};
  ASSERT_EQ(cacheReadRecordFile(cache + "/IMG_1.JPG.obj", &onDisk), 1);
  EXPECT_EQ(onDisk.rating, 0u);
  EXPECT_EQ(readText(download + "/IMG_1.JPG"), "old photo");
  EXPECT_EQ(list(cache).size(), 3u);  // the record, its identity and a temporary
  EXPECT_EQ(list(download).size(), 2u);
  for (const auto& n : list(cache)) EXPECT_FALSE(n.ends_with(".obj") && n != "IMG_1.JPG.obj") << n;

  load();
  EXPECT_EQ(list(cache), (std::set<std::string>{"IMG_1.JPG.obj", "IMG_1.JPG.saved"}));
  EXPECT_EQ(list(download), std::set<std::string>{"IMG_1.JPG"});
  EXPECT_EQ(cacheCount(), 1u);
}

TEST_F(CacheLoadTest, TemporariesNeverStartWithTheDownloadPrefix) {
  load();
  ASSERT_EQ(cacheSetDownloadNaming(".kv", false), 1);
  std::string seen;
  cacheSetBeforeRenameHook([&](const std::string& t) {
    seen = t.substr(t.rfind('/') + 1);
    return true;
  });
  ASSERT_TRUE(cacheStoreObject(record("A.JPG"), bytes("x")));
  EXPECT_FALSE(seen.starts_with(".kv"));
  EXPECT_FALSE(seen.ends_with(".obj"));
}

TEST_F(CacheLoadTest, FolderNamesThatDoNotFitAreRefusedNotCut) {
  std::string longFolder = cache + "/" + std::string(600, 'f');
  EXPECT_EQ(cacheLoad(cache.c_str(), longFolder.c_str()), 0);
  EXPECT_FALSE(cacheIsLoaded());
  EXPECT_FALSE(cacheStoreObject(record("A.JPG"), bytes("x")));
  EXPECT_EQ(cacheLoad("", nullptr), 0);
  EXPECT_EQ(cacheStoreRecord(record("A.JPG")), 0);  // never "//A.JPG.obj" at the root
}

TEST_F(CacheLoadTest, StoresAreRefusedBeforeLoad) {
  EXPECT_FALSE(cacheStoreObject(record("A.JPG"), bytes("x")));
  EXPECT_EQ(cacheStoreThumb(record("A.JPG"), bytes("x")), 0);
  EXPECT_TRUE(list(cache).empty());
}

TEST_F(CacheLoadTest, IterationSurvivesDeletingTheCurrentEntry) {
  load();
  for (const char* n : {"A.JPG", "B.JPG", "C.JPG"}) cacheStoreRecord(record(n, kObjectIdNone));
  auto first = cacheFirst();
  ASSERT_TRUE(first);
  auto second = cacheNext();
  ASSERT_STREQ(second->fileName, "B.JPG");
  EXPECT_EQ(cacheDelete(*second), 1);
  auto third = cacheNext();
  ASSERT_TRUE(third);
  EXPECT_STREQ(third->fileName, "C.JPG");
  EXPECT_FALSE(cacheNext());
}

// Someone left FIFOs under the names the cache reads (a record, a thumbnail, an identity
// file, a saved photo). Opening one for reading blocks until a writer comes, so each is
// refused without waiting. Should a read block, the watchdog opens the FIFOs for writing,
// which lets the test end and report it.
TEST_F(CacheLoadTest, FifosUnderCacheNamesAreRefusedWithoutBlocking) {
  load();
  for (const char* n : {"A.JPG", "B.JPG"}) {
    const PtpObjectInfoStruct r = record(n, n[0] == 'A' ? 1 : 2);
    ASSERT_EQ(cacheStoreRecord(r), 1);
    ASSERT_TRUE(cacheStoreObject(r, bytes("photo")));
    ASSERT_EQ(cacheStoreThumb(r, bytes("thumb")), 1);
  }
  cacheLoad(nullptr, nullptr);
  const std::vector<std::string> fifos = {cache + "/C.JPG.obj", cache + "/A.JPG.saved", cache + "/B.JPG.thumb",
                                          download + "/B.JPG"};
  for (const auto& f : fifos) {
    std::filesystem::remove(f);
    ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0) << f;
  }

  std::mutex m;
  std::condition_variable cv;
  bool done = false, fired = false;
  std::thread watchdog([&] {
    std::unique_lock lock(m);
    if (cv.wait_for(lock, std::chrono::seconds(30), [&] { return done; })) return;
    fired = true;
    // Writers that come and go wake each blocked reader to an empty pipe, until the test ends.
    while (!cv.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; }))
      for (const auto& f : fifos)
        if (int fd = ::open(f.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
  });

  load();
  std::vector<uint8_t> out;
  PtpObjectInfoStruct b = record("B.JPG", 2);
  EXPECT_EQ(cacheReadThumb(b, out), 0);
  EXPECT_EQ(cacheReadObject(b, out), 0);
  PtpObjectInfoStruct a = record("A.JPG", 1);
  EXPECT_EQ(cacheReadThumb(a, out), 1);
  EXPECT_EQ(std::string(out.begin(), out.end()), "thumb");
  EXPECT_EQ(cacheCount(), 2u);
  {
    std::lock_guard lock(m);
    done = true;
  }
  cv.notify_all();
  watchdog.join();
  EXPECT_FALSE(fired) << "a read blocked on a FIFO";
}

}  // namespace
