#include "ptp/base/local_name.h"
#include "tests/ptp/cache/cache_fixture.h"

namespace {

using CacheStoreTest = CacheTest;

TEST_F(CacheStoreTest, SameCaptureDateRewritesTheRecordAndKeepsCompanions) {
  load();
  PtpObjectInfoStruct r = record("IMG_1.JPG");
  ASSERT_EQ(cacheStoreRecord(r), 1);
  ASSERT_EQ(cacheStoreThumb(r, bytes("thumb")), 1);
  r.rating = 3;
  ASSERT_EQ(cacheStoreRecord(r), 1);
  r.captureDate = 0;  // unknown date: the same object
  ASSERT_EQ(cacheStoreRecord(r), 1);
  EXPECT_EQ(cacheCount(), 1u);
  PtpObjectInfoStruct onDisk{};
  ASSERT_EQ(cacheReadRecordFile(cache + "/IMG_1.JPG.obj", &onDisk), 1);
  EXPECT_EQ(onDisk.rating, 3u);
  EXPECT_TRUE(exists(cache + "/IMG_1.JPG.thumb"));
}

TEST_F(CacheStoreTest, NewCaptureDateReplacesCacheFilesButNeverTheSavedPhoto) {
  load();
  PtpObjectInfoStruct old = record("IMG_1.JPG", 7, 1000);
  cacheStoreRecord(old);
  cacheStoreThumb(old, bytes("old thumb"));
  cacheStoreEdit(old, bytes("old edit"));
  ASSERT_EQ(*cacheStoreObject(old, bytes("old photo")), download + "//IMG_1.JPG");
  ASSERT_EQ(cacheStoreModifiedJpeg(old, bytes("old mod")), 1);

  PtpObjectInfoStruct fresh = record("IMG_1.JPG", 7, 2000);  // the card was reused
  ASSERT_EQ(cacheStoreRecord(fresh), 1);
  EXPECT_EQ(cacheCount(), 1u);
  EXPECT_FALSE(exists(cache + "/IMG_1.JPG.thumb"));
  EXPECT_FALSE(exists(cache + "/IMG_1.JPG.edit"));
  EXPECT_EQ(readText(download + "/IMG_1.JPG"), "old photo");
  EXPECT_EQ(readText(download + "/IMG_1.JPG.mod.jpg"), "old mod");

  // The new object is not the old one: nothing of the old one is adopted or overwritten.
  EXPECT_FALSE(cacheObjectPath(fresh));
  EXPECT_FALSE(cacheModifiedJpegPath(fresh));
  EXPECT_FALSE(cacheBestImagePath(fresh, true));
  auto path = cacheStoreObject(fresh, bytes("new photo"));
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, download + "//IMG_1_2.JPG");
  EXPECT_EQ(readText(download + "/IMG_1.JPG"), "old photo");
  EXPECT_EQ(*cacheObjectPath(fresh), *path);
  std::vector<uint8_t> out;
  ASSERT_EQ(cacheReadObject(fresh, out), 1);
  EXPECT_EQ(std::string(out.begin(), out.end()), "new photo");
  ASSERT_EQ(cacheStoreModifiedJpeg(fresh, bytes("new mod")), 1);
  EXPECT_EQ(readText(download + "/IMG_1.JPG.mod.jpg"), "old mod");
  EXPECT_EQ(readText(*cacheBestImagePath(fresh, false)), "new mod");

  // Storing the same object again replaces its own file, not another.
  ASSERT_EQ(*cacheStoreObject(fresh, bytes("new photo 2")), *path);
  EXPECT_EQ(list(download).size(), 4u);

  // Only an explicit delete removes saved files, and only the object's own.
  EXPECT_EQ(cacheDelete(fresh), 1);
  EXPECT_FALSE(exists(*path));
  EXPECT_EQ(list(download), (std::set<std::string>{"IMG_1.JPG", "IMG_1.JPG.mod.jpg"}));
  EXPECT_TRUE(list(cache).empty());
}

TEST_F(CacheStoreTest, ExplicitDeleteRemovesEverythingOfTheObject) {
  load();
  PtpObjectInfoStruct r = record("IMG_1.JPG");
  cacheStoreRecord(r);
  cacheStoreObject(r, bytes("p"));
  cacheStoreModifiedJpeg(r, bytes("m"));
  cacheStoreExtractedJpeg(r, nullptr, bytes("e"));
  cacheStoreThumb(r, bytes("t"));
  cacheStoreSmall(r, bytes("s"));
  EXPECT_EQ(cacheHasSmall(r), 1);
  EXPECT_EQ(cacheDelete(r), 1);
  EXPECT_TRUE(list(cache).empty());
  EXPECT_TRUE(list(download).empty());
  EXPECT_EQ(cacheDelete(r), 0);
}

TEST_F(CacheStoreTest, DeletingByAnEmptyNameIsRefused) {
  load();
  cacheStoreRecord(record("A.JPG", kObjectIdNone));
  EXPECT_EQ(cacheDelete(record("", kObjectIdNone)), 0);
  EXPECT_EQ(cacheCount(), 1u);
  EXPECT_EQ(cacheStoreRecord(record("", kObjectIdNone)), 0);
}

TEST_F(CacheStoreTest, DownloadCounterRescanTakesTheLargestNumberPlusOne) {
  for (const char* n : {"trip_7.JPG", "trip_12.NEF", "trip_x.JPG", "trip_3", "trip_99999999999.JPG",
                        "trip_4294967295.JPG", "tri_50.JPG", "trip_12a.JPG"})
    writeText(download + "/" + n, "");
  std::filesystem::create_directory(download + "/trip_40");  // not a regular file
  load();
  ASSERT_EQ(cacheSetDownloadNaming("trip", false), 1);
  EXPECT_EQ(cacheDownloadCounter(), 13u);
  PtpObjectInfoStruct r = record("DSC_0001.NEF");
  EXPECT_EQ(*cacheStoreObject(r, bytes("a")), download + "//trip_13.NEF");
  EXPECT_EQ(*cacheStoreObject(record("NOEXT", 8), bytes("b")), download + "//trip_14");
  // A rescan never lowers the counter.
  ASSERT_EQ(cacheSetDownloadDir(download.c_str()), 1);
  EXPECT_EQ(cacheDownloadCounter(), 15u);
  // An existing file under the next number is not overwritten.
  writeText(download + "/trip_15.JPG", "user's");
  EXPECT_EQ(*cacheStoreObject(record("C.JPG", 9), bytes("c")), download + "//trip_15_2.JPG");
  EXPECT_EQ(readText(download + "/trip_15.JPG"), "user's");

  ASSERT_EQ(cacheSetDownloadNaming("trip", true), 1);
  EXPECT_EQ(*cacheStoreObject(record("D.JPG", 10), bytes("d")), download + "//trip_D.JPG");
  ASSERT_EQ(cacheSetDownloadNaming(nullptr, false), 1);
  EXPECT_EQ(cacheDownloadCounter(), 0u);
}

TEST_F(CacheStoreTest, ThumbWithANewOrientationRewritesTheRecordFirst) {
  load();
  PtpObjectInfoStruct r = record("IMG_1.JPG");
  r.orientation = 1;
  cacheStoreRecord(r);
  r.orientation = 6;
  ASSERT_EQ(cacheStoreThumb(r, bytes("thumb")), 1);
  PtpObjectInfoStruct onDisk{};
  ASSERT_EQ(cacheReadRecordFile(cache + "/IMG_1.JPG.obj", &onDisk), 1);
  EXPECT_EQ(onDisk.orientation, 6);
  // Orientation 1 does not count as set: the cached 6 stays, and reading gives it back.
  r.orientation = 1;
  ASSERT_EQ(cacheStoreThumb(r, bytes("thumb")), 1);
  PtpObjectInfoStruct asked = record("IMG_1.JPG");
  std::vector<uint8_t> out;
  ASSERT_EQ(cacheReadThumb(asked, out), 1);
  EXPECT_EQ(asked.orientation, 6);
}

TEST_F(CacheStoreTest, LookupByNameIsCaselessAndPrefersTheExactName) {
  load();
  cacheStoreRecord(record("IMG_1", kObjectIdNone));
  cacheStoreThumb(record("IMG_1", kObjectIdNone), bytes("short"));
  PtpObjectInfoStruct asked = record("img_1.jpg", kObjectIdNone);
  auto hit = cacheFind(asked, false);
  ASSERT_TRUE(hit);
  EXPECT_STREQ(hit->fileName, "IMG_1");
  cacheStoreRecord(record("IMG_1.JPG", kObjectIdNone));
  cacheStoreThumb(record("IMG_1.JPG", kObjectIdNone), bytes("own"));
  std::vector<uint8_t> out;
  PtpObjectInfoStruct exact = record("IMG_1.JPG", kObjectIdNone);
  ASSERT_EQ(cacheReadThumb(exact, out), 1);
  EXPECT_EQ(std::string(out.begin(), out.end()), "own");
  EXPECT_EQ(cacheCount(), 2u);
}

TEST_F(CacheStoreTest, AReusedHandleForAnotherFileDoesNotHideIt) {
  load();
  cacheStoreRecord(record("OLD.JPG", 5, 1));
  cacheStoreThumb(record("OLD.JPG", 5, 1), bytes("old"));
  ASSERT_EQ(cacheStoreRecord(record("NEW.JPG", 5, 1)), 1);
  PtpObjectInfoStruct asked = record("", 5);
  EXPECT_STREQ(cacheFind(asked, false)->fileName, "NEW.JPG");
  EXPECT_TRUE(exists(cache + "/OLD.JPG.obj"));  // its files stay for a later session
  EXPECT_TRUE(exists(cache + "/OLD.JPG.thumb"));
}

TEST_F(CacheStoreTest, HostileNamesStayInsideTheFoldersAndNeverCollide) {
  load();
  const std::vector<std::string> names = {"../x",  "a/b", "a_b", "a%2Fb", "..", ".", "/",
                                          std::string(300, 'n'), ".kvtmp.abcdef", "../../etc/passwd"};
  uint32_t handle = 100;
  for (const auto& n : names) {
    PtpObjectInfoStruct r = record(n, handle++);
    ASSERT_EQ(cacheStoreRecord(r), 1) << n;
    ASSERT_TRUE(cacheStoreObject(r, bytes("object " + n))) << n;
    ASSERT_EQ(cacheStoreThumb(r, bytes("thumb " + n)), 1) << n;
    ASSERT_EQ(cacheStoreModifiedJpeg(r, bytes("mod " + n)), 1) << n;
    ASSERT_TRUE(cacheStoreExtractedJpeg(r, r.fileName, bytes("ext " + n))) << n;
    ASSERT_TRUE(cacheStoreExtractedJpeg(r, "../given", bytes("given " + n))) << n;
  }
  EXPECT_EQ(list(root), (std::set<std::string>{"c", "d"}));
  for (const auto& f : list(cache)) EXPECT_LE(f.size(), 255u);
  EXPECT_EQ(list(cache).size(), 3 * names.size());  // record, thumbnail, identity
  EXPECT_EQ(list(download).size(), 4 * names.size());

  // Each object reads back its own bytes, also after a reload (the record keeps the
  // device's own name).
  load();
  EXPECT_EQ(cacheCount(), names.size());
  handle = 100;
  for (const auto& n : names) {
    PtpObjectInfoStruct r = record(n, handle++);
    auto cached = cacheFind(r, false);
    ASSERT_TRUE(cached) << n;
    EXPECT_EQ(objectInfoFileName(*cached), n.substr(0, 255));
    std::vector<uint8_t> out;
    ASSERT_EQ(cacheReadObject(r, out), 1) << n;
    EXPECT_EQ(std::string(out.begin(), out.end()), "object " + n);
    ASSERT_EQ(cacheReadThumb(r, out), 1) << n;
    EXPECT_EQ(std::string(out.begin(), out.end()), "thumb " + n);
  }
  for (const auto& n : names) {
    PtpObjectInfoStruct r = record(n, 0);
    r.objectId = kObjectIdNone;
    cacheDelete(r);
  }
  EXPECT_EQ(list(root), (std::set<std::string>{"c", "d"}));
}

TEST_F(CacheStoreTest, TrimRemovesOnlyCacheFilesEvenWhenTheFoldersAreOne) {
  ASSERT_EQ(cacheLoad(cache.c_str(), nullptr), 1);  // downloads go to the cache folder
  PtpObjectInfoStruct r = record("IMG_1.JPG");
  cacheStoreRecord(r);
  std::string big(3 << 20, 'x');
  ASSERT_TRUE(cacheStoreObject(r, bytes(big)));
  cacheStoreThumb(r, bytes(big));
  EXPECT_GE(cacheTrim(1, 2), 1);
  EXPECT_FALSE(exists(cache + "/IMG_1.JPG.thumb"));
  EXPECT_TRUE(exists(cache + "/IMG_1.JPG"));
}

}  // namespace
