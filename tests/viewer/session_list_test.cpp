#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cstring>

#include "model/object_info_wrapper.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"
#include "ptp/cache.h"
#include "support/qt_test_support.h"
#include "viewer/session/session_list.h"

namespace {

PtpObjectInfoStruct record(const char* name, uint32_t handle) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = 0x3801;
  std::strncpy(r.fileName, name, sizeof r.fileName - 1);
  r.fileNameLength = static_cast<uint16_t>(std::strlen(name));
  return r;
}

class SessionListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    Paths::setDocumentsDirectory(root.path());
    const QString cache = root.path() + "/Cache", save = root.path() + "/Photos";
    QDir().mkpath(cache);
    QDir().mkpath(save);
    ASSERT_EQ(cacheLoad(cache.toUtf8().constData(), save.toUtf8().constData()), 1);
    list = std::make_shared<SessionList>();
    list->setCacheClearer([this] { ++cleared; });
    list->setThumbnailSink([this](const QByteArray& bytes, std::shared_ptr<PtpObjectInfoClass> info) {
      loaded.push_back({info->fileName(), bytes});
    });
    list->setRunner([this](std::function<int32_t()> step, std::function<void(int32_t)> done) {
      lastResult = step();
      (void)done;
    });
  }
  void TearDown() override {
    cacheLoad(nullptr, nullptr);
    UserDefaults::standardUserDefaults().removeObject(kLastSessionTimeKey);
    Paths::setDocumentsDirectory(QString());
  }
  void writeFile(const QByteArray& bytes) {
    QFile f(SessionList::sessionFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  void cacheObject(const PtpObjectInfoStruct& r, const QByteArray& thumb) {
    ASSERT_EQ(cacheStoreRecord(r), 1);
    ASSERT_EQ(cacheStoreThumb(r, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(thumb.constData()),
                                                          static_cast<size_t>(thumb.size()))),
              1);
  }

  QTemporaryDir root;
  std::shared_ptr<SessionList> list;
  int cleared = 0;
  int32_t lastResult = -1;
  std::vector<std::pair<QString, QByteArray>> loaded;
};

}  // namespace

TEST(SessionRecency, SixHoursIsTooOldAndTheDistanceCountsBothWays) {
  const QDateTime now = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
  struct Case {
    qint64 offset;
    bool valid;
    bool recent;
  } cases[] = {
      {-21600, true, false}, {-21599, true, true}, {21599, true, true},
      {21600, true, false},  {-86400, true, false}, {0, false, true},  // no date counts as now
  };
  for (const Case& c : cases) {
    const QDateTime last = c.valid ? now.addSecs(c.offset) : QDateTime();
    EXPECT_EQ(SessionList::isRecent(last, now), c.recent) << c.offset << " valid " << c.valid;
  }
}

TEST_F(SessionListTest, AdditionsMirrorTheListInTheFileNamesOnlyWithoutHandle) {
  PtpObjectInfoStruct a = record("IMG_1.JPG", 7), b = record("DSC_2.NEF", 0xFFFFFFFF),
                      empty = record("", 0xFFFFFFFF);
  list->addObjectToSession(&a);
  list->addObjectToSession(&b);
  list->addObjectToSession(&a);  // seen twice, listed twice
  list->addObjectToSession(&empty);
  list->addObjectToSession(nullptr);
  const QVariantList expected{qlonglong(7), QString("DSC_2.NEF"), qlonglong(7)};
  EXPECT_EQ(list->objects(), expected);
  const QVariant onDisk = propertyListFromFile(SessionList::sessionFilePath());
  ASSERT_EQ(onDisk.typeId(), QMetaType::QVariantList);
  EXPECT_EQ(onDisk.toList(), expected);
}

TEST_F(SessionListTest, LoadingRebuildsTheStripFromTheCacheSkippingWhatCannotBeUsed) {
  cacheObject(record("IMG_1.JPG", 7), "thumb-7");
  cacheObject(record("DSC_2.NEF", 0xFFFFFFFF), "thumb-named");
  const QString tooLong(300, QChar('x'));
  QVariantList file{qlonglong(7),          QString("DSC_2.NEF"), qlonglong(99) /* not cached */,
                    qlonglong(-1),         qlonglong(0x1'0000'0007) /* beyond 32 bits */,
                    tooLong,               QString(),            QVariantMap{{"k", 1}}, 2.5};
  writeFile(propertyListToXml(file));
  list->loadPreviousSession();
  EXPECT_EQ(lastResult, PTP_RC_OK);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0], std::make_pair(QString("IMG_1.JPG"), QByteArray("thumb-7")));
  EXPECT_EQ(loaded[1], std::make_pair(QString("DSC_2.NEF"), QByteArray("thumb-named")));
  // The list is the file's, and grows from there.
  PtpObjectInfoStruct c = record("C.JPG", 8);
  list->addObjectToSession(&c);
  EXPECT_EQ(list->objects().size(), file.size() + 1);
}

TEST_F(SessionListTest, ADamagedFileIsKeptAsideReportedAndTheSessionStillRecords) {
  const QByteArray damaged = "<?xml version=\"1.0\"?><plist><dict><key>a</key>";  // cut short
  for (const QByteArray& bytes : {damaged, propertyListToXml(QVariantMap{{"not", "an array"}})}) {
    QFile::remove(SessionList::sessionFilePath() + kSessionDamagedSuffix);
    writeFile(bytes);
    list->loadPreviousSession();
    EXPECT_EQ(lastResult, ERROR_DATASET);
    EXPECT_TRUE(loaded.empty());
    QFile aside(SessionList::sessionFilePath() + kSessionDamagedSuffix);
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bytes);
    PtpObjectInfoStruct a = record("IMG_1.JPG", 7);
    list->addObjectToSession(&a);
    EXPECT_EQ(propertyListFromFile(SessionList::sessionFilePath()).toList(), QVariantList{qlonglong(7)});
    aside.close();
  }
}

TEST_F(SessionListTest, ASessionFileBeyondItsCapsIsNotLoadedWhole) {
  QVariantList many;
  for (int i = 0; i < kSessionMaxEntries + 10; ++i) many.append(qlonglong(i));
  writeFile(propertyListToXml(many));
  EXPECT_EQ(list->loadStep(), PTP_RC_OK);
  EXPECT_EQ(list->objects().size(), kSessionMaxEntries);
}

TEST_F(SessionListTest, CheckOffersARecentSessionAndDiscardsAnOldOrMissingOne) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  struct Case {
    bool fileExists;
    qint64 ageSeconds;  // < 0: no date stored
    bool answerLoad;
    bool prompted;
    int clears;
  } cases[] = {
      {true, 60, true, true, 0},      {true, 60, false, true, 1},  {true, -1, true, true, 0},
      {true, 21600, true, false, 1},  {false, 60, true, false, 1},
  };
  for (const Case& c : cases) {
    cleared = 0;
    QFile::remove(SessionList::sessionFilePath());
    if (c.fileExists) writeFile(propertyListToXml(QVariantList{qlonglong(1)}));
    if (c.ageSeconds < 0) defaults.removeObject(kLastSessionTimeKey);
    else defaults.setObject(QDateTime::currentDateTimeUtc().addSecs(-c.ageSeconds), kLastSessionTimeKey);
    bool prompted = false;
    list->setPrompt([&](std::function<void()> load, std::function<void()> discard) {
      prompted = true;
      c.answerLoad ? load() : discard();
    });
    lastResult = -1;
    list->checkSession();
    EXPECT_EQ(prompted, c.prompted) << c.ageSeconds;
    EXPECT_EQ(cleared, c.clears) << c.ageSeconds;
    EXPECT_EQ(lastResult, c.prompted && c.answerLoad ? PTP_RC_OK : -1);
    EXPECT_EQ(QFile::exists(SessionList::sessionFilePath()), c.prompted && c.answerLoad);
    EXPECT_LE(std::llabs(defaults.dateForKey(kLastSessionTimeKey).secsTo(QDateTime::currentDateTimeUtc())), 5);
  }
}
