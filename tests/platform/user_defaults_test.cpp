// The user-defaults store: registered defaults behind stored values, typed reads, the
// bundled DefaultValues.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <atomic>
#include <iterator>
#include <utility>
#include <thread>
#include <vector>

#include "platform/bundle.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"

namespace {

class UserDefaultsTest : public ::testing::Test {
 protected:
  QString file() const { return dir_.filePath("defaults.conf"); }
  QTemporaryDir dir_;
};

}  // namespace

TEST_F(UserDefaultsTest, StoredValueWinsOverRegisteredAndRemovalRevealsItAgain) {
  UserDefaults defaults(file());
  defaults.registerDefaults({{kDefaultsCacheSizeGB, 5}, {kDefaultsShowWatermark, false}});
  EXPECT_EQ(defaults.integerForKey(kDefaultsCacheSizeGB), 5);
  defaults.setInteger(12, kDefaultsCacheSizeGB);
  EXPECT_EQ(defaults.integerForKey(kDefaultsCacheSizeGB), 12);
  defaults.removeObject(kDefaultsCacheSizeGB);
  EXPECT_EQ(defaults.integerForKey(kDefaultsCacheSizeGB), 5);
  // Registering again replaces the registered value, never a stored one.
  defaults.setBool(true, kDefaultsShowWatermark);
  defaults.registerDefaults({{kDefaultsShowWatermark, false}, {kDefaultsCacheSizeGB, 7}});
  EXPECT_TRUE(defaults.boolForKey(kDefaultsShowWatermark));
  EXPECT_EQ(defaults.integerForKey(kDefaultsCacheSizeGB), 7);
}

TEST_F(UserDefaultsTest, StoredValuesPersistButRegisteredOnesDoNot) {
  const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
  {
    UserDefaults defaults(file());
    defaults.registerDefaults({{kDefaultsRotateLiveView, true}});
    defaults.setBool(true, kDefaultsElectronicLevel);
    defaults.setObject(QStringLiteral("© Jo"), kDefaultsWatermarkText);
    defaults.setInteger(3, kDefaultsWatermarkLocation);
    defaults.setObject(QByteArray("\x00\x01\xff", 3), kDefaultsSandboxBookmark);
    defaults.setObject(when, kDefaultsLastSessionTime);
    EXPECT_TRUE(defaults.synchronize());
  }
  UserDefaults reopened(file());
  EXPECT_FALSE(reopened.objectForKey(kDefaultsRotateLiveView).isValid());
  EXPECT_TRUE(reopened.boolForKey(kDefaultsElectronicLevel));
  EXPECT_EQ(reopened.stringForKey(kDefaultsWatermarkText), QStringLiteral("© Jo"));
  EXPECT_EQ(reopened.integerForKey(kDefaultsWatermarkLocation), 3);
  EXPECT_EQ(reopened.dataForKey(kDefaultsSandboxBookmark), QByteArray("\x00\x01\xff", 3));
  EXPECT_EQ(reopened.dateForKey(kDefaultsLastSessionTime), when);
}

TEST_F(UserDefaultsTest, MissingKeysReadAsNilFalseAndZero) {
  UserDefaults defaults(file());
  EXPECT_FALSE(defaults.objectForKey(kDefaultsIpAddress).isValid());
  EXPECT_TRUE(defaults.stringForKey(kDefaultsIpAddress).isNull());
  EXPECT_FALSE(defaults.boolForKey(kDefaultsHighlights));
  EXPECT_EQ(defaults.integerForKey(kDefaultsCacheSizeGB), 0);
  EXPECT_EQ(defaults.doubleForKey(kDefaultsCacheSizeGB), 0.0);
  EXPECT_TRUE(defaults.dataForKey(kDefaultsSandboxBookmark).isNull());
  EXPECT_FALSE(defaults.dateForKey(kDefaultsLastSessionTime).isValid());
  // Setting an invalid value removes the key.
  defaults.setObject(QStringLiteral("192.168.82.1"), kDefaultsIpAddress);
  defaults.setObject(QVariant(), kDefaultsIpAddress);
  EXPECT_FALSE(defaults.objectForKey(kDefaultsIpAddress).isValid());
}

TEST_F(UserDefaultsTest, TypedReadsConvertLikeTheDefaultsSystem) {
  struct Case {
    QVariant value;
    bool asBool;
    qint64 asInteger;
    QString asString;
  } cases[] = {
      {true, true, 1, "true"},
      {false, false, 0, "false"},
      {QStringLiteral("YES"), true, 1, "YES"},  // stored bools come back as "true"
      {QStringLiteral("no"), false, 0, "no"},
      {QStringLiteral("7"), true, 7, "7"},
      {QStringLiteral("2.9"), true, 2, "2.9"},
      {QStringLiteral("0"), false, 0, "0"},
      {qint64(-4), true, -4, "-4"},
      {3.75, true, 3, "3.75"},
      {1e300, true, std::numeric_limits<qint64>::max(), "1e+300"},
      {QByteArray("x"), false, 0, QString()},
  };
  UserDefaults defaults(file());
  for (const Case& c : cases) {
    // Registered values keep their type; stored ones come back through the INI file.
    defaults.registerDefaults({{"k", c.value}});
    EXPECT_EQ(defaults.boolForKey("k"), c.asBool) << c.value.toString().toStdString();
    EXPECT_EQ(defaults.integerForKey("k"), c.asInteger) << c.value.toString().toStdString();
    EXPECT_EQ(defaults.stringForKey("k"), c.asString) << c.value.toString().toStdString();
    defaults.setObject(c.value, "s");
    UserDefaults reopened(file());
    EXPECT_EQ(reopened.boolForKey("s"), c.asBool) << "stored " << c.value.toString().toStdString();
    EXPECT_EQ(reopened.integerForKey("s"), c.asInteger) << "stored " << c.value.toString().toStdString();
  }
}

TEST_F(UserDefaultsTest, BundledDefaultValuesRegisterEveryKeyWithItsType) {
  UserDefaults defaults(file());
  ASSERT_TRUE(defaults.registerDefaultsFromBundle());
  const char* bools[] = {kDefaultsHostMode,        kDefaultsShowWatermark, kDefaultsCanSaveImages,
                         kDefaultsRotateLiveView,  kDefaultsElectronicLevel, kDefaultsHighlights,
                         kDefaultsShadows,         kDefaultsFocusPeaking,  kDefaultsQuickRawMode};
  for (const char* key : bools) {
    EXPECT_EQ(defaults.objectForKey(key).metaType().id(), QMetaType::Bool) << key;
  }
  const char* integers[] = {kDefaultsCacheSizeGB, kDefaultsWatermarkLocation, kDefaultsWatermarkSize};
  for (const char* key : integers) {
    EXPECT_EQ(defaults.objectForKey(key).metaType().id(), QMetaType::LongLong) << key;
  }
  EXPECT_EQ(defaults.objectForKey(kDefaultsWatermarkText).metaType().id(), QMetaType::QString);
  EXPECT_TRUE(defaults.stringForKey(kDefaultsWatermarkText).isEmpty());
  EXPECT_FALSE(defaults.boolForKey(kDefaultsShowWatermark));
  EXPECT_TRUE(defaults.boolForKey(kDefaultsCanSaveImages));
  EXPECT_GT(defaults.integerForKey(kDefaultsCacheSizeGB), 0);
  // Their absence means something: no folder chosen yet, no earlier session, discovery.
  const char* absent[] = {kDefaultsSaveFolderPath, kDefaultsSandboxBookmark, kDefaultsLastSessionTime,
                          kDefaultsIpAddress};
  for (const char* key : absent) EXPECT_FALSE(defaults.objectForKey(key).isValid()) << key;
}

// Stored files from earlier runs are read by these exact names, and the bundled defaults
// must name the same keys the program asks for.
TEST_F(UserDefaultsTest, EveryKeyIsStoredUnderItsOwnName) {
  const std::pair<const char*, const char*> keys[] = {
      {kDefaultsSaveFolderPath, "SaveFolderPath"},     {kDefaultsSandboxBookmark, "SandboxBookmark"},
      {kDefaultsCacheSizeGB, "CacheSizeGB"},           {kDefaultsHostMode, "HostMode"},
      {kDefaultsShowWatermark, "ShowWatermark"},       {kDefaultsWatermarkText, "WatermarkText"},
      {kDefaultsWatermarkLocation, "WatermarkLocation"}, {kDefaultsWatermarkSize, "WatermarkSize"},
      {kDefaultsCanSaveImages, "CanSaveImages"},       {kDefaultsLastSessionTime, "LastSessionTime"},
      {kDefaultsIpAddress, "ipAddress"},               {kDefaultsRotateLiveView, "RotateLiveView"},
      {kDefaultsElectronicLevel, "ElectronicLevel"},   {kDefaultsHighlights, "Highlights"},
      {kDefaultsShadows, "Shadows"},                   {kDefaultsFocusPeaking, "FocusPeaking"},
      {kDefaultsQuickRawMode, "QuickRawMode"},
  };
  {
    UserDefaults defaults(file());
    for (const auto& [key, name] : keys) defaults.setInteger(1, key);
    ASSERT_TRUE(defaults.synchronize());
  }
  QSettings raw(file(), QSettings::IniFormat);
  QSet<QString> constants;
  for (const auto& [key, name] : keys) {
    EXPECT_TRUE(raw.contains(QString::fromLatin1(name))) << name;
    constants.insert(QString::fromLatin1(key));
  }
  EXPECT_EQ(raw.allKeys().size(), std::size(keys));

  QFile plist(Bundle::pathForResource(QStringLiteral("DefaultValues"), QStringLiteral("plist")));
  ASSERT_TRUE(plist.open(QIODevice::ReadOnly));
  const QVariantMap registered = UserDefaults::defaultsFromPropertyList(plist.readAll());
  ASSERT_FALSE(registered.isEmpty());
  for (auto it = registered.begin(); it != registered.end(); ++it)
    EXPECT_TRUE(constants.contains(it.key())) << it.key().toStdString() << " has no key constant";
}

TEST_F(UserDefaultsTest, DefaultsFromABadPropertyListAreEmpty) {
  QString error;
  EXPECT_TRUE(UserDefaults::defaultsFromPropertyList("not a plist", &error).isEmpty());
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  QByteArray array = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><true/></array></plist>";
  EXPECT_TRUE(UserDefaults::defaultsFromPropertyList(array, &error).isEmpty());
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(UserDefaultsTest, UseFileRedirectsAndForgetsRegistrations) {
  UserDefaults defaults(file());
  defaults.registerDefaults({{kDefaultsHostMode, true}});
  defaults.setBool(true, kDefaultsShadows);
  defaults.useFile(dir_.filePath("other.conf"));
  EXPECT_EQ(defaults.fileName(), dir_.filePath("other.conf"));
  EXPECT_FALSE(defaults.objectForKey(kDefaultsHostMode).isValid());
  EXPECT_FALSE(defaults.objectForKey(kDefaultsShadows).isValid());
}

TEST_F(UserDefaultsTest, WritersOnSeveralThreads) {
  UserDefaults defaults(file());
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&defaults, t] {
      for (int i = 0; i < 20; ++i) {
        defaults.setInteger(i, QStringLiteral("key%1").arg(t));
        (void)defaults.integerForKey(QStringLiteral("key%1").arg((t + 1) % 4));
      }
    });
  }
  for (auto& w : writers) w.join();
  UserDefaults reopened(file());
  for (int t = 0; t < 4; ++t) EXPECT_EQ(reopened.integerForKey(QStringLiteral("key%1").arg(t)), 19);
}

TEST(StandardUserDefaults, LivesUnderTheTemporaryHome) {
  UserDefaults& standard = UserDefaults::standardUserDefaults();
  EXPECT_TRUE(standard.fileName().startsWith(qEnvironmentVariable("HOME"))) << standard.fileName().toStdString();
}
