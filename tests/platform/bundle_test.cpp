// Bundled resources and the string table.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/bundle.h"

TEST(Bundle, MissingKeyGivesTheKeyOrTheGivenValue) {
  EXPECT_EQ(Bundle::localizedString("No_Such_Key_In_The_Table"), QStringLiteral("No_Such_Key_In_The_Table"));
  EXPECT_EQ(Bundle::localizedString("No_Such_Key_In_The_Table", "fallback"), QStringLiteral("fallback"));
  EXPECT_EQ(Bundle::localizedString(QString()), QString());
}

TEST(Bundle, KnownKeysGiveTheirText) {
  EXPECT_EQ(Bundle::localizedString("PTP_Response_OK"), QStringLiteral("OK."));
  EXPECT_EQ(Bundle::localizedString("PTP_Response_OK", "ignored"), QStringLiteral("OK."));
  EXPECT_EQ(Bundle::localizedString("CANON_Response_Battery_Low"), QStringLiteral("The camera battery is low."));
}

// The table carries a text for each of the 0x21 standard PTP responses, and every key
// of the table resolves through the bundle to that text (not to the key itself).
TEST(Bundle, StringTableCoversTheStandardResponses) {
  QFile file(QStringLiteral(KV_SOURCE_DIR "/resources/strings/Localizable.json"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QJsonObject table = QJsonDocument::fromJson(file.readAll()).object();
  ASSERT_FALSE(table.isEmpty());
  int responses = 0;
  for (auto it = table.begin(); it != table.end(); ++it) {
    if (it.key().startsWith(QStringLiteral("PTP_Response_"))) ++responses;
    const QString text = Bundle::localizedString(it.key());
    EXPECT_EQ(text, it.value().toString()) << it.key().toStdString();
    EXPECT_FALSE(text.isEmpty()) << it.key().toStdString();
  }
  EXPECT_EQ(responses, 0x21);
  for (const char* key : {"PTP_Response_Undefined", "PTP_Response_DeviceBusy", "PTP_Response_TransactionCanceled"})
    EXPECT_NE(Bundle::localizedString(key), QString::fromLatin1(key)) << key;
  EXPECT_EQ(Bundle::localizedStringCount(), table.size());
}

TEST(Bundle, ResourcesAreFoundByNameAndType) {
  QString path = Bundle::pathForResource("DefaultValues", "plist");
  ASSERT_FALSE(path.isEmpty());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<plist"));
  EXPECT_TRUE(Bundle::pathForResource("DefaultValues", "json").isNull());
  EXPECT_TRUE(Bundle::pathForResource("Missing", "plist").isNull());
}
