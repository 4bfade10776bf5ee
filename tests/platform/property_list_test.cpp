// Property lists to and from QVariant.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QPoint>
#include <QTemporaryDir>

#include "platform/property_list.h"

TEST(PropertyList, XmlRoundTripKeepsEveryType) {
  QVariantMap root{
      {"bool", true},
      {"int", qint64(-5)},
      {"big", qint64(5120000)},
      {"real", 0.25},
      {"text", QStringLiteral("Grüße")},
      {"data", QByteArray("\x00\xff", 2)},
      {"date", QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC)},
      {"list", QVariantList{qint64(1), QStringLiteral("IMG_0001.CR3")}},
      {"dict", QVariantMap{{"inner", false}}},
  };
  QString error;
  QByteArray xml = propertyListToXml(root, &error);
  ASSERT_FALSE(xml.isEmpty()) << error.toStdString();
  QVariant back = propertyListFromBytes(xml, &error);
  ASSERT_TRUE(back.isValid()) << error.toStdString();
  EXPECT_EQ(back.toMap(), root);
  EXPECT_EQ(back.toMap().value("int").metaType().id(), QMetaType::LongLong);
}

// The session file: an array of handles and names, as another program writes it.
TEST(PropertyList, ReadsAnArrayOfIntegersAndStrings) {
  QByteArray xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<plist version=\"1.0\"><array><integer>4294967294</integer>"
      "<string>DSC_0001.NEF</string><integer>17</integer></array></plist>\n";
  QVariant root = propertyListFromBytes(xml);
  ASSERT_EQ(root.metaType().id(), QMetaType::QVariantList);
  QVariantList list = root.toList();
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(static_cast<quint32>(list[0].toLongLong()), 4294967294u);
  EXPECT_EQ(list[1].toString(), QStringLiteral("DSC_0001.NEF"));
  EXPECT_EQ(list[2].toLongLong(), 17);
}

TEST(PropertyList, RefusesBadInputWithAnError) {
  auto nested = [](int levels) {
    QByteArray xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < levels; ++i) xml += "<array>";
    for (int i = 0; i < levels; ++i) xml += "</array>";
    return xml + "</plist>";
  };
  // Deep enough to overflow the stack of a recursive reader.
  const QByteArray abyss = nested(300000);
  ASSERT_LT(abyss.size(), kPropertyListMaxBytes);
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"empty", QByteArray()},
      {"text", QByteArray("hello")},
      {"truncated", QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>")},
      {"binary header only", QByteArray("bplist00")},
      {"too deep", nested(kPropertyListMaxDepth + 2)},
      {"far too deep", abyss},
      {"binary", QByteArray("bplist00\xd0\x08\x00\x00\x00\x00\x00\x00\x01\x01", 18)},
      {"too large", QByteArray(kPropertyListMaxBytes + 1, ' ')},
  };
  for (const Case& c : cases) {
    QString error;
    EXPECT_FALSE(propertyListFromBytes(c.bytes, &error).isValid()) << c.what;
    EXPECT_FALSE(error.isEmpty()) << c.what;
  }
}

TEST(PropertyList, ModestNestingIsRead) {
  QByteArray xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < 20; ++i) xml += "<array>";
  xml += "<dict/><array/>";
  for (int i = 0; i < 20; ++i) xml += "</array>";
  xml += "</plist>";
  QString error;
  EXPECT_TRUE(propertyListFromBytes(xml, &error).isValid()) << error.toStdString();
}

TEST(PropertyList, ValuesWithoutAPlistTypeAreRefused) {
  QString error;
  EXPECT_TRUE(propertyListToXml(QVariantList{QVariant::fromValue(QPoint(1, 2))}, &error).isEmpty());
  EXPECT_FALSE(error.isEmpty());
}

TEST(PropertyList, MissingFileIsAnError) {
  QTemporaryDir dir;
  QString error;
  EXPECT_FALSE(propertyListFromFile(dir.filePath("handles.dat"), &error).isValid());
  EXPECT_FALSE(error.isEmpty());
}
