// Which saved file belongs to which record survives a restart: two objects of one name,
// a cache without that knowledge, identity files that lie, and names from the device that
// would hide a file.
#include "ptp/base/local_name.h"
#include "ptp/cache/cache_state.h"
#include "tests/ptp/cache/cache_fixture.h"

namespace {

using CacheIdentityTest = CacheTest;

std::string readObject(const PtpObjectInfoStruct& r, int (*reader)(const PtpObjectInfoStruct&, std::vector<uint8_t>&)) {
  std::vector<uint8_t> out;
  if (reader(r, out) != 1) return "<none>";
  return std::string(out.begin(), out.end());
}

TEST_F(CacheIdentityTest, TwoObjectsOfOneNameKeepTheirOwnFilesAcrossARestart) {
  load();
  const PtpObjectInfoStruct older = record("IMG_1.JPG", 7, 1000);
  ASSERT_EQ(cacheStoreRecord(older), 1);
  ASSERT_EQ(*cacheStoreObject(older, bytes("old photo")), download + "//IMG_1.JPG");
  ASSERT_EQ(cacheStoreModifiedJpeg(older, bytes("old mod")), 1);

  // The card was reused: another object under the same name.
  const PtpObjectInfoStruct newer = record("IMG_1.JPG", 8, 2000);
  ASSERT_EQ(cacheStoreRecord(newer), 1);
  const std::string newPath = *cacheStoreObject(newer, bytes("new photo"));
  EXPECT_EQ(newPath, download + "//IMG_1_2.JPG");
  ASSERT_EQ(cacheStoreModifiedJpeg(newer, bytes("new mod")), 1);
  ASSERT_TRUE(cacheStoreExtractedJpeg(newer, nullptr, bytes("new ext")));

  load();  // a restart
  EXPECT_EQ(readObject(newer, cacheReadObject), "new photo");
  EXPECT_EQ(readObject(newer, cacheReadModifiedJpeg), "new mod");
  EXPECT_EQ(readObject(newer, cacheReadExtractedJpeg), "new ext");
  EXPECT_EQ(readText(*cacheBestImagePath(newer, false)), "new mod");
  // Stored again: its own file is replaced, the older object's stays.
  EXPECT_EQ(*cacheStoreObject(newer, bytes("new photo 2")), newPath);
  ASSERT_EQ(cacheStoreModifiedJpeg(newer, bytes("new mod 2")), 1);
  EXPECT_EQ(readText(download + "/IMG_1.JPG"), "old photo");
  EXPECT_EQ(readText(download + "/IMG_1.JPG.mod.jpg"), "old mod");

  load();
  ASSERT_EQ(cacheDelete(newer), 1);
  EXPECT_EQ(list(download), (std::set<std::string>{"IMG_1.JPG", "IMG_1.JPG.mod.jpg"}));
  EXPECT_EQ(readText(download + "/IMG_1.JPG"), "old photo");

  // The older object is announced again: it cannot prove the file under its name is its
  // own, so it neither shows, replaces nor removes it.
  ASSERT_EQ(cacheStoreRecord(older), 1);
  load();
  EXPECT_EQ(readObject(older, cacheReadObject), "<none>");
  EXPECT_EQ(readObject(older, cacheReadModifiedJpeg), "<none>");
  const std::string again = *cacheStoreObject(older, bytes("old photo again"));
  EXPECT_NE(again, download + "//IMG_1.JPG");
  load();
  EXPECT_EQ(readObject(older, cacheReadObject), "old photo again");
  ASSERT_EQ(cacheDelete(older), 1);
  EXPECT_EQ(list(download), (std::set<std::string>{"IMG_1.JPG", "IMG_1.JPG.mod.jpg"}));
  EXPECT_EQ(readText(download + "/IMG_1.JPG.mod.jpg"), "old mod");
}

TEST_F(CacheIdentityTest, OwnershipIsOnDiskBeforeTheSavedFile) {
  load();
  const PtpObjectInfoStruct older = record("IMG_2.JPG", 7, 1000);
  ASSERT_TRUE(cacheStoreObject(older, bytes("old photo")));
  const PtpObjectInfoStruct newer = record("IMG_2.JPG", 8, 2000);
  ASSERT_EQ(cacheStoreRecord(newer), 1);
  const auto savedFolderTemp = [this](const std::string& temp) { return temp.rfind(download + "/", 0) == 0; };

  // When the new photo is renamed into place, its owner is already on disk.
  std::string identityThen;
  cacheSetBeforeRenameHook([&](const std::string& temp) {
    if (savedFolderTemp(temp)) identityThen = readText(cache + "/IMG_2.JPG.saved");
    return true;
  });
  ASSERT_TRUE(cacheStoreObject(newer, bytes("new photo")));
  EXPECT_NE(identityThen.find("IMG_2_2.JPG"), std::string::npos) << identityThen;

  // Another object of the name arrives, and the process dies while saving it: after the
  // restart it neither shows nor removes the files of the objects before it.
  const PtpObjectInfoStruct third = record("IMG_2.JPG", 9, 3000);
  ASSERT_EQ(cacheStoreRecord(third), 1);
  cacheSetBeforeRenameHook([&](const std::string& temp) { return !savedFolderTemp(temp); });
  EXPECT_FALSE(cacheStoreObject(third, bytes("third photo")));
  cacheSetBeforeRenameHook(nullptr);
  load();
  EXPECT_EQ(readObject(third, cacheReadObject), "<none>");
  EXPECT_FALSE(cacheBestImagePath(third, true));
  ASSERT_EQ(cacheDelete(third), 1);
  EXPECT_EQ(readText(download + "/IMG_2.JPG"), "old photo");
  EXPECT_EQ(readText(download + "/IMG_2_2.JPG"), "new photo");
}

TEST_F(CacheIdentityTest, AFileWhoseOwnershipCannotBeProvenIsReadButNeverReplacedOrRemoved) {
  // A cache written before records kept their identity: the record and a saved file of
  // its name, nothing saying they belong together.
  const PtpObjectInfoStruct r = record("IMG_5.JPG", 5, 1000);
  writeBytes(cache + "/IMG_5.JPG.obj", &r, sizeof r);
  writeText(download + "/IMG_5.JPG", "saved long ago");
  writeText(download + "/IMG_5.JPG.mod.jpg", "edited long ago");
  load();
  EXPECT_EQ(readObject(r, cacheReadObject), "saved long ago");
  EXPECT_EQ(cacheDeleteModifiedJpeg(r), 0);
  const std::string stored = *cacheStoreObject(r, bytes("fetched again"));
  EXPECT_EQ(stored, download + "//IMG_5_2.JPG");
  ASSERT_EQ(cacheStoreModifiedJpeg(r, bytes("edited again")), 1);
  load();
  EXPECT_EQ(readObject(r, cacheReadObject), "fetched again");
  ASSERT_EQ(cacheDelete(r), 1);
  EXPECT_EQ(list(download), (std::set<std::string>{"IMG_5.JPG", "IMG_5.JPG.mod.jpg"}));
  EXPECT_EQ(readText(download + "/IMG_5.JPG"), "saved long ago");
  EXPECT_EQ(readText(download + "/IMG_5.JPG.mod.jpg"), "edited long ago");
}

TEST_F(CacheIdentityTest, AnIdentityFileThatLiesClaimsNothingOutsideTheSaveFolder) {
  static constexpr char kNoise[] = "owned object \0other.JPG\n";
  writeText(root + "/victim", "not yours");
  writeText(download + "/other.JPG", "another photo");
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"a parent folder", "owned object ../victim\n"},
      {"an absolute path", "owned object /" + root + "/victim\n"},
      {"an escaped slash", "owned object ..%2Fvictim\n"},
      {"dot names", "owned object ..\nowned modjpeg .\n"},
      {"an empty name", "owned object \n"},
      {"a cut last line", "owned object other.JPG"},
      {"an unknown kind", "owned thumb other.JPG\n"},
      {"too large", std::string(kIdentityFileMax + 1, 'x') + "\nowned object other.JPG\n"},
      {"binary noise", std::string(kNoise, sizeof kNoise - 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const PtpObjectInfoStruct r = record("LIE.JPG", 9, 1000);
    writeBytes(cache + "/LIE.JPG.obj", &r, sizeof r);
    writeText(cache + "/LIE.JPG.saved", c.text);
    load();
    EXPECT_EQ(readObject(r, cacheReadObject), "<none>");
    ASSERT_EQ(cacheDelete(r), 1);
    EXPECT_EQ(readText(root + "/victim"), "not yours");
    EXPECT_EQ(readText(download + "/other.JPG"), "another photo");
    EXPECT_EQ(list(download), (std::set<std::string>{"other.JPG"}));
  }
}

TEST_F(CacheIdentityTest, DeviceNamesStayVisibleAndInsideTheirFolders) {
  load();
  const struct {
    std::string device, local;
  } names[] = {
      {".hidden.JPG", "%2Ehidden.JPG"}, {"..x.JPG", "%2E.x.JPG"},        {".", "%2E"},
      {"..", "%2E%2E"},                 {"../up.JPG", "%2E.%2Fup.JPG"},  {".kvtmp.abcdef", "%2Ekvtmp.abcdef"},
      {"a/b.JPG", "a%2Fb.JPG"},         {"IMG_0001.JPG", "IMG_0001.JPG"}, {"x..y.JPG", "x..y.JPG"},
      {"#kvtmp.abcdef", "%23kvtmp.abcdef"},
  };
  uint32_t handle = 100;
  for (const auto& n : names) {
    SCOPED_TRACE(n.device);
    EXPECT_EQ(localName(n.device), n.local);
    const PtpObjectInfoStruct r = record(n.device, handle++);
    ASSERT_EQ(cacheStoreThumb(r, bytes("thumb of " + n.device)), 1);
    auto path = cacheStoreObject(r, bytes("photo of " + n.device));
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, download + "//" + n.local);
    EXPECT_EQ(readText(cache + "/" + n.local + ".thumb"), "thumb of " + n.device);
  }
  load();
  handle = 100;
  for (const auto& n : names) {
    const PtpObjectInfoStruct r = record(n.device, handle++);
    EXPECT_EQ(readObject(r, cacheReadObject), "photo of " + n.device);
  }
  EXPECT_EQ(list(root), (std::set<std::string>{"c", "d"}));
  for (const std::string& folder : {cache, download})
    for (const std::string& name : list(folder)) EXPECT_NE(name[0], '.') << name;
}

}  // namespace
