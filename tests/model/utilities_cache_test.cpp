// Downloads into memory, thumbnails, the cache folder's pruning and clearing, and the save
// folder kept across launches.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <filesystem>

#include "model/command_runner.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/paths.h"
#include "platform/user_defaults.h"
#include "ptp/cache/cache.h"
#include "support/qt_test_support.h"
#include "tests/model/model_test_support.h"

namespace {

PtpObjectInfoStruct record(const std::string& name, uint32_t handle, uint32_t size = 100) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = size;
  r.imagePixWidth = 640;
  objectInfoSetFileName(r, name);
  return r;
}

void touch(const QString& path, int ageSeconds) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("x");
  f.close();
  const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-ageSeconds);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QByteArray encode(const QImage& img, const char* format) {
  QByteArray out;
  QBuffer b(&out);
  b.open(QIODevice::WriteOnly);
  img.save(&b, format);
  return out;
}

class UtilitiesCache : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    Paths::setDocumentsDirectory(root.path());
    QDir().mkpath(Utilities::cacheFolderPath());
    save = root.path() + "/Photos";
    QDir().mkpath(save);
    ASSERT_EQ(cacheLoad(Utilities::cacheFolderPath().toUtf8().constData(), save.toUtf8().constData()), 1);
    Command::setGraceTime(60);
  }
  void TearDown() override {
    Utilities::setFolderChooser(nullptr);
    cacheLoad(nullptr, nullptr);
    UserDefaults::standardUserDefaults().removeObject(kDefaultsSandboxBookmark);
    UserDefaults::standardUserDefaults().removeObject(kDefaultsSaveFolderPath);
    Paths::setDocumentsDirectory(QString());
    Command::setGraceTime(1.0);
  }
  QTemporaryDir root;
  QString save;
};

}  // namespace

TEST_F(UtilitiesCache, AnyCachedImagePrefersTheModifiedJpegAndNeedsNoDevice) {
  const PtpObjectInfoStruct r = record("IMG_0001.JPG", 11);
  QByteArray out("untouched");
  EXPECT_EQ(Utilities::getAnyCachedImage(r, out), ERROR_GENERAL);
  EXPECT_EQ(out, "untouched");
  const std::vector<uint8_t> object{1, 2, 3}, modified{9, 9};
  ASSERT_TRUE(cacheStoreObject(r, object));
  ASSERT_EQ(Utilities::getAnyCachedImage(r, out), PTP_RC_OK);
  EXPECT_EQ(out, QByteArray("\x01\x02\x03", 3));
  ASSERT_EQ(cacheStoreModifiedJpeg(r, modified), 1);
  ASSERT_EQ(Utilities::getAnyCachedImage(r, out), PTP_RC_OK);
  EXPECT_EQ(out, QByteArray("\x09\x09", 2));
}

TEST_F(UtilitiesCache, DownloadOfAnObjectTooLargeLeavesTheOutputAlone) {
  const PtpObjectInfoStruct big = record("BIG.JPG", 12, 5120001);
  QByteArray out("untouched");
  EXPECT_EQ(Utilities::downloadImage(big, out, 1), ERROR_TOO_LARGE);
  EXPECT_EQ(out, "untouched");
  // A cached object comes back by either version without the device.
  const PtpObjectInfoStruct r = record("IMG_0002.JPG", 13, 3);
  ASSERT_TRUE(cacheStoreObject(r, std::vector<uint8_t>{4, 5, 6}));
  ASSERT_EQ(Utilities::downloadImage(r, out, 1), PTP_RC_OK);
  EXPECT_EQ(out.size(), 3);
}

TEST_F(UtilitiesCache, ThumbnailsKeepTheFormatAndFitTheSize) {
  QImage img(400, 200, QImage::Format_RGB32);
  img.fill(Qt::darkCyan);
  for (const char* format : {"jpeg", "png"}) {
    const QByteArray thumb = Utilities::thumbnailWithData(encode(img, format), 100);
    ASSERT_FALSE(thumb.isEmpty()) << format;
    QBuffer b;
    b.setData(thumb);
    QImageReader reader(&b);
    EXPECT_EQ(reader.format(), QByteArray(format));
    EXPECT_EQ(reader.size(), QSize(100, 50)) << format;
  }
  // Smaller than the limit: the size stays.
  QBuffer b;
  b.setData(Utilities::thumbnailWithData(encode(img, "png"), 1000));
  EXPECT_EQ(QImageReader(&b).size(), QSize(400, 200));
  EXPECT_TRUE(Utilities::thumbnailWithData(QByteArray("not an image"), 100).isEmpty());
  EXPECT_TRUE(Utilities::thumbnailWithData(encode(img, "jpeg").left(40), 100).isEmpty());
}

TEST_F(UtilitiesCache, PruningRemovesOnlyOldFilesOfTheCache) {
  const QString dir = root.path() + "/prune";
  QDir().mkpath(dir);
  touch(dir + "/old.obj", 259201);
  touch(dir + "/old.thumb", 400000);
  touch(dir + "/recent.obj", 2 * 86400);
  touch(dir + "/holiday.jpg", 400000);  // the user's, whatever its age
  QDir().mkpath(dir + "/sub.obj");
  EXPECT_TRUE(Utilities::checkCacheSize(1, dir));
  EXPECT_FALSE(QFile::exists(dir + "/old.obj"));
  EXPECT_FALSE(QFile::exists(dir + "/old.thumb"));
  EXPECT_TRUE(QFile::exists(dir + "/recent.obj"));
  EXPECT_TRUE(QFile::exists(dir + "/holiday.jpg"));
  EXPECT_TRUE(QDir(dir + "/sub.obj").exists());
}

TEST_F(UtilitiesCache, PruningKeepsWhichSavedFilesARecordOwnsAsLongAsTheRecord) {
  // Two objects of one name: the second one's photo was saved as IMG_0009_2.JPG a week
  // ago; its record was rewritten since (a new rating).
  const PtpObjectInfoStruct older = record("IMG_0009.JPG", 20), newer = record("IMG_0009.JPG", 21);
  PtpObjectInfoStruct newerDated = newer;
  newerDated.captureDate = 2000;
  ASSERT_TRUE(cacheStoreObject(older, std::vector<uint8_t>{1}));
  ASSERT_EQ(cacheStoreRecord(newerDated), 1);
  ASSERT_TRUE(cacheStoreObject(newerDated, std::vector<uint8_t>{2}));
  const QString cache = Utilities::cacheFolderPath();
  for (const QString& name : QDir(cache).entryList(QDir::Files)) {
    QFile f(cache + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTimeUtc().addDays(-7), QFileDevice::FileModificationTime));
  }
  newerDated.rating = 4;
  ASSERT_EQ(cacheStoreRecord(newerDated), 1);
  touch(cache + "/gone.JPG.saved", 0);  // its record is gone

  EXPECT_TRUE(Utilities::checkCacheSize(1, cache));
  EXPECT_FALSE(QFile::exists(cache + "/gone.JPG.saved"));
  ASSERT_EQ(cacheLoad(cache.toUtf8().constData(), save.toUtf8().constData()), 1);
  QByteArray out;
  ASSERT_EQ(Utilities::getAnyCachedImage(newerDated, out), PTP_RC_OK);
  EXPECT_EQ(out, QByteArray(1, 2));
}

TEST_F(UtilitiesCache, ClearingEmptiesTheCacheButKeepsFilesItDidNotWrite) {
  const PtpObjectInfoStruct r = record("IMG_0003.JPG", 14);
  ASSERT_EQ(cacheStoreRecord(r), 1);
  ASSERT_EQ(cacheStoreThumb(r, std::vector<uint8_t>{1, 2}), 1);
  const QString mine = Utilities::cacheFolderPath() + "/keep-me.jpg";
  touch(mine, 0);
  ASSERT_GT(cacheCount(), 0u);
  Utilities::clearCache();
  ASSERT_TRUE(kvtest::waitUntil([] { return cacheCount() == 0 && Command::currentCommand() == nullptr; }));
  const QStringList left = QDir(Utilities::cacheFolderPath()).entryList(QDir::Files);
  EXPECT_EQ(left, QStringList{"keep-me.jpg"});
  // A removed folder comes back.
  QDir(Utilities::cacheFolderPath()).removeRecursively();
  Utilities::clearCache();
  ASSERT_TRUE(kvtest::waitUntil([] { return QDir(Utilities::cacheFolderPath()).exists(); }));
}

TEST_F(UtilitiesCache, SaveFolderIsKeptAcrossLaunchesAndAskedForWhenGone) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  int asked = 0;
  QString answer = save;
  Utilities::setFolderChooser([&] {
    ++asked;
    return answer;
  });
  // First launch: nothing kept, the user is asked.
  Utilities::checkFolderAccess();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(defaults.stringForKey(kDefaultsSaveFolderPath), QFileInfo(save).absoluteFilePath());
  // Next launch: the kept folder is used without asking.
  Utilities::checkFolderAccess();
  EXPECT_EQ(asked, 1);
  // The folder is gone: asked again; a cancel changes nothing.
  QDir(save).removeRecursively();
  answer.clear();
  Utilities::checkFolderAccess();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(defaults.stringForKey(kDefaultsSaveFolderPath), QFileInfo(save).absoluteFilePath());
  // A folder that cannot be used is refused with a message, and nothing is kept.
  modeltest::AlertAnswerer answerer;
  answer = root.path() + "/does-not-exist";
  Utilities::selectSaveDataDirectory();
  EXPECT_EQ(defaults.stringForKey(kDefaultsSaveFolderPath), QFileInfo(save).absoluteFilePath());
  ASSERT_TRUE(kvtest::waitUntil([&] { return !answerer.seen().empty(); }));
  EXPECT_TRUE(answerer.seen().front().information.startsWith("Failed to save sandbox data: "));
}
