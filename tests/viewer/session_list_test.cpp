// The session list through what the main window calls: checkSession at load, additions
// from the share queue, the question's answers and teardown, with the real alert, the real
// cache in a temporary folder and the real command runner.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <cstring>
#include <functional>
#include <span>
#include <thread>
#include <vector>

#include "model/command_runner.h"
#include "model/object_info_wrapper.h"
#include "platform/defaults_keys.h"
#include "platform/modal.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"
#include "ptp/cache/cache.h"
#include "support/alert_support.h"
#include "support/qt_test_support.h"
#include "viewer/session/session_list.h"

namespace {

constexpr uint32_t kNoHandle = 0xFFFFFFFF;

PtpObjectInfoStruct record(const char* name, uint32_t handle) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = 0x3801;
  std::strncpy(r.fileName, name, sizeof r.fileName - 1);
  r.fileNameLength = static_cast<uint16_t>(std::strlen(name));
  return r;
}

std::span<const uint8_t> bytesOf(const QByteArray& b) {
  return {reinterpret_cast<const uint8_t*>(b.constData()), static_cast<size_t>(b.size())};
}

QByteArray thumbOf(const PtpObjectInfoStruct& r) { return QByteArray("thumb of ") + r.fileName; }

// The thumbnail the cache holds for r, or empty.
QByteArray cachedThumb(const PtpObjectInfoStruct& r) {
  PtpObjectInfoStruct found{};
  if (cacheGetRecord(r, &found) != 1) return {};
  std::vector<uint8_t> bytes;
  if (cacheReadThumb(found, bytes) != 1) return {};
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QVariant elementOf(const PtpObjectInfoStruct& r) {
  return r.objectId == kNoHandle ? QVariant(QString(r.fileName)) : QVariant(qlonglong(r.objectId));
}

QVariantList elementsOf(std::initializer_list<std::vector<PtpObjectInfoStruct>> groups) {
  QVariantList out;
  for (const auto& group : groups)
    for (const PtpObjectInfoStruct& r : group) out.append(elementOf(r));
  return out;
}

// The file once the list's writes, which run on the pool, are done.
QVariant fileContents() {
  SessionList::waitForFileWrites();
  return propertyListFromFile(SessionList::sessionFilePath());
}
bool fileExists() {
  SessionList::waitForFileWrites();
  return QFile::exists(SessionList::sessionFilePath());
}

// ---- the alert on screen

using kvtest::clickButton;
using kvtest::visibleAlerts;

QStringList textsOf(QWidget* window) {
  QStringList texts;
  for (QLabel* label : window->findChildren<QLabel*>())
    if (!label->text().isEmpty()) texts << label->text();
  return texts;
}

// Acts on every alert that comes up, from the event loop (so also inside a modal session),
// and remembers the texts of each.
class AlertDriver {
 public:
  explicit AlertDriver(std::function<void(QWidget*)> act) : act_(std::move(act)) {
    timer_.setInterval(2);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const std::vector<QWidget*> alerts = visibleAlerts();
      if (alerts.empty() || busy_) return;
      busy_ = true;
      seen.push_back(textsOf(alerts.front()));
      act_(alerts.front());
      busy_ = false;
    });
    timer_.start();
  }
  std::vector<QStringList> seen;

 private:
  std::function<void(QWidget*)> act_;
  QTimer timer_;
  bool busy_ = false;
};

const QString kQuestion = QStringLiteral("Would you like to load the previous session?");

bool isQuestion(QWidget* alert) { return textsOf(alert).contains(kQuestion); }

class SessionListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    Paths::setDocumentsDirectory(root.path());
    cacheDir = root.path() + "/Cache";
    saveDir = root.path() + "/Photos";
    QDir().mkpath(cacheDir);
    QDir().mkpath(saveDir);
    ASSERT_EQ(cacheLoad(cacheDir.toUtf8().constData(), saveDir.toUtf8().constData()), 1);
    savedGrace = Command::graceTime();
    Command::setGraceTime(600);  // no HUD animation in these tests
    list = newList();
  }
  void TearDown() override {
    if (list) list->teardown();
    EXPECT_TRUE(kvtest::waitUntil([] { return Command::currentCommand() == nullptr && visibleAlerts().empty(); }));
    Command::setGraceTime(savedGrace);
    cacheLoad(nullptr, nullptr);
    UserDefaults::standardUserDefaults().removeObject(kDefaultsLastSessionTime);
    Paths::setDocumentsDirectory(QString());
  }

  std::shared_ptr<SessionList> newList() {
    auto l = SessionList::create();
    l->setThumbnailSink([this](const QByteArray& bytes, std::shared_ptr<PtpObjectInfoClass> info) {
      loaded.push_back({info->fileName(), bytes});
    });
    return l;
  }

  void cacheObject(const PtpObjectInfoStruct& r) {
    ASSERT_EQ(cacheStoreRecord(r), 1);
    ASSERT_EQ(cacheStoreThumb(r, bytesOf(thumbOf(r))), 1);
  }

  // A previous session of these objects, cached, listed in the file, opened ageSeconds ago.
  void previousSession(const std::vector<PtpObjectInfoStruct>& objects, qint64 ageSeconds = 60) {
    for (const PtpObjectInfoStruct& r : objects) cacheObject(r);
    writeFile(propertyListToXml(elementsOf({objects})));
    UserDefaults::standardUserDefaults().setObject(QDateTime::currentDateTimeUtc().addSecs(-ageSeconds),
                                                   kDefaultsLastSessionTime);
  }

  // What the share queue and the window do for each thumbnail: the cache stores it, the
  // list records it; on a thread of its own, as the share queue is.
  void push(const std::vector<PtpObjectInfoStruct>& objects) {
    std::thread queue([&] {
      for (const PtpObjectInfoStruct& r : objects) {
        cacheStoreRecord(r);
        cacheStoreThumb(r, bytesOf(thumbOf(r)));
        list->addObjectToSession(&r);
      }
    });
    queue.join();
  }

  void writeFile(const QByteArray& bytes) {
    SessionList::waitForFileWrites();
    QFile f(SessionList::sessionFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  bool cacheFileExists(const QString& name) const { return QFile::exists(cacheDir + "/" + name); }

  QTemporaryDir root;
  QString cacheDir, saveDir;
  double savedGrace = 1.0;
  std::shared_ptr<SessionList> list;
  std::vector<std::pair<QString, QByteArray>> loaded;
};

const std::vector<PtpObjectInfoStruct> kPrevious = {record("OLD_1.JPG", 7), record("OLD_2.JPG", 8),
                                                    record("OLD_3.NEF", kNoHandle)};
const std::vector<PtpObjectInfoStruct> kPushed = {record("NEW_1.JPG", 101), record("NEW_2.JPG", 102),
                                                  record("NEW_3.JPG", 103), record("NEW_4.NEF", kNoHandle),
                                                  record("NEW_5.JPG", 105)};

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

// Objects shown while the question is open are neither written over the previous list
// nor discarded with it, whatever the answer.
TEST_F(SessionListTest, FiveObjectsPushedWhileTheQuestionIsOpenSurviveCancelAndLoad) {
  for (const char* answer : {"Cancel", "Load Session"}) {
    SCOPED_TRACE(answer);
    const bool load = std::strcmp(answer, "Load Session") == 0;
    previousSession(kPrevious);
    // A saved image of a previous object, in the download folder: the user's, not the cache's.
    const std::optional<std::string> saved = cacheStoreObject(kPrevious[0], bytesOf("saved image"));
    ASSERT_TRUE(saved.has_value());
    loaded.clear();
    list = newList();

    QVariant fileWhileAsking;
    bool checkReturned = false;
    AlertDriver driver([&](QWidget* alert) {
      ASSERT_TRUE(isQuestion(alert));
      EXPECT_TRUE(checkReturned) << "asked before the window could show";
      push(kPushed);
      fileWhileAsking = fileContents();
      clickButton(alert, answer);
    });
    list->checkSession();
    checkReturned = true;
    ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle(); }));
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_EQ(fileWhileAsking.toList(), elementsOf({kPrevious}));

    for (const PtpObjectInfoStruct& r : kPushed) EXPECT_EQ(cachedThumb(r), thumbOf(r)) << r.fileName;
    for (const char* name : {"NEW_1.JPG.obj", "NEW_4.NEF.obj", "NEW_5.JPG.thumb"}) EXPECT_TRUE(cacheFileExists(name));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(*saved)));
    const QVariantList expectedList = load ? elementsOf({kPrevious, kPushed}) : elementsOf({kPushed});
    EXPECT_EQ(list->objects(), expectedList);
    EXPECT_EQ(fileContents().toList(), expectedList);
    if (load) {
      ASSERT_TRUE(kvtest::waitUntil([&] { return loaded.size() == kPrevious.size(); }));
      for (size_t i = 0; i < kPrevious.size(); ++i)
        EXPECT_EQ(loaded[i], std::make_pair(QString(kPrevious[i].fileName), thumbOf(kPrevious[i])));
      for (const PtpObjectInfoStruct& r : kPrevious) EXPECT_EQ(cachedThumb(r), thumbOf(r)) << r.fileName;
    } else {
      EXPECT_TRUE(loaded.empty());
      for (const PtpObjectInfoStruct& r : kPrevious) EXPECT_TRUE(cachedThumb(r).isEmpty()) << r.fileName;
      for (const char* name : {"OLD_1.JPG.obj", "OLD_2.JPG.thumb", "OLD_3.NEF.obj"}) EXPECT_FALSE(cacheFileExists(name));
    }
    list->teardown();
    for (const PtpObjectInfoStruct& r : kPushed) cacheDelete(r);
  }
}

// A previous object shown again during the question belongs to this session too: Cancel
// leaves every file of it, also the ones it did not store again.
TEST_F(SessionListTest, APreviousObjectShownAgainKeepsAllItsCacheFilesOnCancel) {
  previousSession(kPrevious);
  ASSERT_EQ(cacheStoreEdit(kPrevious[1], bytesOf("edits")), 1);
  ASSERT_EQ(cacheStoreEdit(kPrevious[0], bytesOf("edits")), 1);
  list->checkSession();
  AlertDriver driver([&](QWidget* alert) {
    push({kPrevious[1]});
    clickButton(alert, "Cancel");
  });
  ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle(); }));
  EXPECT_EQ(cachedThumb(kPrevious[1]), thumbOf(kPrevious[1]));
  EXPECT_TRUE(cacheFileExists("OLD_2.JPG.edit"));
  EXPECT_FALSE(cacheFileExists("OLD_1.JPG.edit"));
  EXPECT_FALSE(cacheFileExists("OLD_1.JPG.obj"));
  EXPECT_EQ(fileContents().toList(), elementsOf({{kPrevious[1]}}));
}

// The window goes while the question is open (the connection dropped): neither answer
// runs, the alert closes, and the file keeps both lists for the next window to offer.
TEST_F(SessionListTest, TeardownWithTheQuestionOpenRunsNoAnswerAndKeepsBothLists) {
  previousSession(kPrevious);
  list->checkSession();
  {
    AlertDriver driver([&](QWidget*) {
      push(kPushed);
      list->teardown();
    });
    ASSERT_TRUE(kvtest::waitUntil([&] { return !driver.seen.empty() && visibleAlerts().empty() && Modal::depth() == 0; }));
  }
  EXPECT_TRUE(list->isIdle());
  EXPECT_EQ(Command::currentCommand(), nullptr);
  for (const PtpObjectInfoStruct& r : kPrevious) EXPECT_EQ(cachedThumb(r), thumbOf(r)) << r.fileName;
  EXPECT_EQ(fileContents().toList(), elementsOf({kPrevious, kPushed}));
  EXPECT_TRUE(loaded.empty());

  // The next window offers both.
  auto next = newList();
  AlertDriver answerLoad([&](QWidget* alert) { clickButton(alert, "Load Session"); });
  next->checkSession();
  ASSERT_TRUE(kvtest::waitUntil([&] { return next->isIdle() && loaded.size() == kPrevious.size() + kPushed.size(); }));
  next->teardown();
}

// The window let the list go without its teardown while the question was open: the
// answer finds nothing to act on.
TEST_F(SessionListTest, AnAnswerAfterTheListIsGoneDoesNothing) {
  previousSession(kPrevious);
  list->checkSession();
  std::weak_ptr<SessionList> gone = list;
  AlertDriver driver([&](QWidget* alert) {
    list.reset();
    clickButton(alert, "Load Session");
  });
  ASSERT_TRUE(kvtest::waitUntil([&] { return !driver.seen.empty() && visibleAlerts().empty() && Modal::depth() == 0; }));
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(Command::currentCommand(), nullptr);
  EXPECT_TRUE(loaded.empty());
  EXPECT_EQ(fileContents().toList(), elementsOf({kPrevious}));
}

// Teardown right after "Load Session": the loader's thumbnails no longer reach the strip.
TEST_F(SessionListTest, AfterTeardownNoLoadedThumbnailReachesTheStrip) {
  previousSession(kPrevious);
  list->checkSession();
  AlertDriver driver([&](QWidget* alert) {
    clickButton(alert, "Load Session");
    list->teardown();
  });
  ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle() && Command::currentCommand() == nullptr; }));
  QCoreApplication::processEvents();
  EXPECT_TRUE(loaded.empty());
  EXPECT_EQ(fileContents().toList(), elementsOf({kPrevious}));
}

TEST_F(SessionListTest, CheckOffersARecentSessionAndDiscardsAnOldOrMissingOne) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  struct Case {
    bool fileExists;
    qint64 ageSeconds;  // < 0: no date stored
    const char* answer;
    bool asked;
    bool previousKept;
  } cases[] = {
      {true, 60, "Load Session", true, true}, {true, 60, "Cancel", true, false},
      {true, -1, "Load Session", true, true}, {true, 21600, "Load Session", false, false},
      {false, 60, "Load Session", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "file " << c.fileExists << " age " << c.ageSeconds << " " << c.answer);
    previousSession(kPrevious, std::max<qint64>(c.ageSeconds, 0));
    SessionList::waitForFileWrites();
    if (!c.fileExists) QFile::remove(SessionList::sessionFilePath());
    if (c.ageSeconds < 0) defaults.removeObject(kDefaultsLastSessionTime);
    list = newList();
    AlertDriver driver([&](QWidget* alert) { clickButton(alert, c.answer); });
    list->checkSession();
    EXPECT_LE(std::llabs(defaults.dateForKey(kDefaultsLastSessionTime).secsTo(QDateTime::currentDateTimeUtc())), 5);
    ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle(); }));
    EXPECT_EQ(driver.seen.size(), c.asked ? 1u : 0u);
    for (const PtpObjectInfoStruct& r : kPrevious)
      EXPECT_EQ(cachedThumb(r).isEmpty(), !c.previousKept) << r.fileName;
    EXPECT_EQ(fileExists(), c.previousKept);
    list->teardown();
  }
}

TEST_F(SessionListTest, AdditionsAfterTheAnswerMirrorTheListInTheFileNamesOnlyWithoutHandle) {
  list->checkSession();  // no previous session: nothing to ask
  ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle(); }));
  PtpObjectInfoStruct a = record("IMG_1.JPG", 7), b = record("DSC_2.NEF", kNoHandle), empty = record("", kNoHandle);
  list->addObjectToSession(&a);
  list->addObjectToSession(&b);
  list->addObjectToSession(&a);  // seen twice, listed twice
  list->addObjectToSession(&empty);
  list->addObjectToSession(nullptr);
  const QVariantList expected{qlonglong(7), QString("DSC_2.NEF"), qlonglong(7)};
  EXPECT_EQ(list->objects(), expected);
  EXPECT_EQ(fileContents().toList(), expected);
}

TEST_F(SessionListTest, LoadingRebuildsTheStripFromTheCacheSkippingWhatCannotBeUsed) {
  cacheObject(record("IMG_1.JPG", 7));
  cacheObject(record("DSC_2.NEF", kNoHandle));
  const QString tooLong(300, QChar('x'));
  const QVariantList file{qlonglong(7),  QString("DSC_2.NEF"), qlonglong(99) /* not cached */,
                          qlonglong(-1), qlonglong(0x1'0000'0007) /* beyond 32 bits */,
                          tooLong,       QString(),            QVariantMap{{"k", 1}}, 2.5};
  writeFile(propertyListToXml(file));
  UserDefaults::standardUserDefaults().setObject(QDateTime::currentDateTimeUtc(), kDefaultsLastSessionTime);
  AlertDriver driver([&](QWidget* alert) { clickButton(alert, isQuestion(alert) ? "Load Session" : "OK"); });
  list->checkSession();
  ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle() && loaded.size() == 2; }));
  EXPECT_EQ(driver.seen.size(), 1u);  // the question, and no failure
  EXPECT_EQ(loaded[0], std::make_pair(QString("IMG_1.JPG"), QByteArray("thumb of IMG_1.JPG")));
  EXPECT_EQ(loaded[1], std::make_pair(QString("DSC_2.NEF"), QByteArray("thumb of DSC_2.NEF")));
  // The list is the file's, and grows from there.
  PtpObjectInfoStruct c = record("C.JPG", 8);
  list->addObjectToSession(&c);
  EXPECT_EQ(list->objects().size(), file.size() + 1);
  EXPECT_EQ(fileContents().toList().size(), file.size() + 1);
}

TEST_F(SessionListTest, ADamagedFileIsKeptAsideReportedOnLoadingAndTheSessionStillRecords) {
  const QByteArray damaged = "<?xml version=\"1.0\"?><plist><dict><key>a</key>";  // cut short
  for (const QByteArray& bytes : {damaged, propertyListToXml(QVariantMap{{"not", "an array"}})}) {
    QFile::remove(SessionList::sessionFilePath() + kSessionDamagedSuffix);
    writeFile(bytes);
    UserDefaults::standardUserDefaults().setObject(QDateTime::currentDateTimeUtc(), kDefaultsLastSessionTime);
    list = newList();
    AlertDriver driver([&](QWidget* alert) { clickButton(alert, isQuestion(alert) ? "Load Session" : "OK"); });
    list->checkSession();
    ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle() && driver.seen.size() == 2; }));
    EXPECT_TRUE(driver.seen[1].contains("Failed to load the previous session.")) << driver.seen[1].join("|").toStdString();
    EXPECT_TRUE(loaded.empty());
    QFile aside(SessionList::sessionFilePath() + kSessionDamagedSuffix);
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bytes);
    PtpObjectInfoStruct a = record("IMG_1.JPG", 7);
    list->addObjectToSession(&a);
    EXPECT_EQ(fileContents().toList(), QVariantList{qlonglong(7)});
    list->teardown();
  }
}

TEST_F(SessionListTest, ASessionFileBeyondItsCapsIsNotLoadedWhole) {
  QVariantList many;
  for (int i = 0; i < kSessionMaxEntries + 10; ++i) many.append(qlonglong(i));
  writeFile(propertyListToXml(many));
  UserDefaults::standardUserDefaults().setObject(QDateTime::currentDateTimeUtc(), kDefaultsLastSessionTime);
  AlertDriver driver([&](QWidget* alert) { clickButton(alert, "Load Session"); });
  list->checkSession();
  ASSERT_TRUE(kvtest::waitUntil([&] { return list->isIdle(); }));
  EXPECT_EQ(list->objects().size(), kSessionMaxEntries);
}
