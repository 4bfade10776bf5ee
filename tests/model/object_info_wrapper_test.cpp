#include <gtest/gtest.h>

#include <QThread>

#include <cstring>
#include <thread>

#include "model/object_info_wrapper.h"
#include "platform/notification_center.h"
#include "ptp/base/filetypes.h"
#include "support/qt_test_support.h"

namespace {

PtpObjectInfoStruct zeroRecord() {
  PtpObjectInfoStruct r;
  std::memset(&r, 0, sizeof r);
  return r;
}

// Every field a different value, so a field read from the wrong place shows.
PtpObjectInfoStruct fullRecord() {
  PtpObjectInfoStruct r = zeroRecord();
  r.objectId = 0x11111111;
  r.objectFormat = kFormatCr3;
  r.protectionStatus = 0x2222;
  r.objectCompressedSize = 0x33333333;
  r.thumbFormat = kFormatJpeg;
  r.thumbCompressedSize = 0x44444444;
  r.thumbPixWidth = 160;
  r.thumbPixHeight = 120;
  r.imagePixWidth = 6000;
  r.imagePixHeight = 4000;
  r.imageBitDepth = 24;
  r.parentObject = 0x55555555;
  r.associationType = 0x6666;
  r.associationDesc = 0x77777777;
  r.sequenceNumber = 0x88888888;
  r.fieldPad1 = 0x99999999;
  objectInfoSetFileName(r, "IMG_0042.CR3");
  r.captureDate = 4102444800ull;        // 2100-01-01, beyond 32 bits of signed seconds
  r.modificationDate = 1700000000ull;   // 2023-11-14 22:13:20
  r.fieldPad2 = 0xAAAAAAAA;
  std::strcpy(r.keywords, "studio,portrait");
  r.orientation = 6;
  r.rating = 0xBBBBBBBBBBBBBBBBull;
  return r;
}

std::shared_ptr<PtpObjectInfoClass> wrap(uint32_t handle, const char* name) {
  PtpObjectInfoStruct r = zeroRecord();
  r.objectId = handle;
  objectInfoSetFileName(r, name);
  return PtpObjectInfoClass::init(&r);
}

}  // namespace

TEST(ObjectInfoWrapper, CopiesEveryFieldAndKeepsThePrivateRecord) {
  PtpObjectInfoStruct record = fullRecord();
  auto info = PtpObjectInfoClass::init(&record);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->objectId(), 0x11111111u);
  EXPECT_EQ(info->objectFormat(), kFormatCr3);
  EXPECT_EQ(info->protectionStatus(), 0x2222);
  EXPECT_EQ(info->objectCompressedSize(), 0x33333333u);
  EXPECT_EQ(info->thumbFormat(), kFormatJpeg);
  EXPECT_EQ(info->thumbCompressedSize(), 0x44444444u);
  EXPECT_EQ(info->thumbPixWidth(), 160u);
  EXPECT_EQ(info->thumbPixHeight(), 120u);
  EXPECT_EQ(info->imagePixWidth(), 6000u);
  EXPECT_EQ(info->imagePixHeight(), 4000u);
  EXPECT_EQ(info->imageBitDepth(), 24u);
  EXPECT_EQ(info->parentObject(), 0x55555555u);
  EXPECT_EQ(info->associationType(), 0x6666);
  EXPECT_EQ(info->associationDesc(), 0x77777777u);
  EXPECT_EQ(info->sequenceNumber(), 0x88888888u);
  EXPECT_EQ(info->fileName(), "IMG_0042.CR3");
  EXPECT_EQ(info->keywords(), "studio,portrait");
  EXPECT_EQ(info->orientation(), 6);
  EXPECT_EQ(info->captureDate(), QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC));
  EXPECT_EQ(info->modificationDate(), QDateTime(QDate(2023, 11, 14), QTime(22, 13, 20), Qt::UTC));

  // The private copy holds the whole record, rating and pads included, and is its own.
  EXPECT_EQ(std::memcmp(info->origObjectInfo(), &record, sizeof record), 0);
  EXPECT_NE(info->origObjectInfo(), &record);
  record.objectId = 1;
  record.fileName[0] = 'X';
  EXPECT_EQ(info->origObjectInfo()->objectId, 0x11111111u);
  EXPECT_EQ(info->origObjectInfo()->fileName[0], 'I');
  auto twin = PtpObjectInfoClass::init(info->origObjectInfo());
  EXPECT_NE(twin->origObjectInfo(), info->origObjectInfo());
  EXPECT_EQ(std::memcmp(twin->origObjectInfo(), info->origObjectInfo(), sizeof record), 0);

  EXPECT_EQ(PtpObjectInfoClass::init(nullptr), nullptr);
}

TEST(ObjectInfoWrapper, DatesAreUnsignedSecondsSince1970) {
  struct Case {
    uint64_t seconds;
    QDateTime expected;
  };
  const Case cases[] = {
      {0, QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC)},
      {0x80000000ull, QDateTime(QDate(2038, 1, 19), QTime(3, 14, 8), Qt::UTC)},  // not negative
      {0xFFFFFFFFFFFFFFFFull, QDateTime()},  // beyond any date: invalid, no overflow
      {0x8000000000000000ull, QDateTime()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    PtpObjectInfoStruct r = zeroRecord();
    r.captureDate = c.seconds;
    r.modificationDate = c.seconds;
    auto info = PtpObjectInfoClass::init(&r);
    EXPECT_EQ(info->captureDate().isValid(), c.expected.isValid());
    if (c.expected.isValid()) {
      EXPECT_EQ(info->captureDate(), c.expected);
      EXPECT_EQ(info->captureDate().timeSpec(), Qt::UTC);
    }
    EXPECT_EQ(info->modificationDate(), info->captureDate());
  }
}

TEST(ObjectInfoWrapper, NamesThatDoNotEndOrAreNotUtf8StayInsideTheirFields) {
  PtpObjectInfoStruct r = zeroRecord();
  std::memset(r.fileName, 'A', sizeof r.fileName);  // no NUL at all
  std::memset(r.keywords, 'k', sizeof r.keywords);
  auto info = PtpObjectInfoClass::init(&r);
  EXPECT_EQ(info->fileName(), QString(255, 'A'));
  EXPECT_EQ(info->keywords(), QString(255, 'k'));
  EXPECT_EQ(info->origObjectInfo()->fileName[255], '\0');
  EXPECT_EQ(info->origObjectInfo()->keywords[255], '\0');

  // Different invalid UTF-8 names become the same replacement text but stay different objects.
  PtpObjectInfoStruct a = zeroRecord(), b = zeroRecord();
  a.objectId = b.objectId = kObjectIdNone;
  std::memcpy(a.fileName, "\xFF\xFE.JPG", 6);
  std::memcpy(b.fileName, "\xFE\xFF.JPG", 6);
  auto ia = PtpObjectInfoClass::init(&a), ib = PtpObjectInfoClass::init(&b);
  EXPECT_FALSE(ia->fileName().isEmpty());
  EXPECT_FALSE(ia->isEqual(ib));
  EXPECT_TRUE(ia->isEqual(PtpObjectInfoClass::init(&a)));
}

TEST(ObjectInfoWrapper, EqualityByHandleOrElseByName) {
  struct Case {
    uint32_t handleA;
    const char* nameA;
    uint32_t handleB;
    const char* nameB;
    bool equal;
  };
  const Case cases[] = {
      {7, "A.JPG", 7, "B.JPG", true},   // same handle, other name
      {7, "A.JPG", 8, "A.JPG", false},  // other handle, same name
      {kObjectIdNone, "A.JPG", kObjectIdNone, "A.JPG", true},
      {kObjectIdNone, "A.JPG", kObjectIdNone, "a.jpg", false},
      {kObjectIdNone, "A.JPG", kObjectIdNone, "A.JPG.ext.jpg", false},
      // The receiver decides: with a handle it compares handles only.
      {7, "A.JPG", kObjectIdNone, "A.JPG", false},
      {kObjectIdNone, "A.JPG", 7, "A.JPG", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.handleA << c.nameA << " vs " << c.handleB << c.nameB);
    EXPECT_EQ(wrap(c.handleA, c.nameA)->isEqual(wrap(c.handleB, c.nameB)), c.equal);
  }
  EXPECT_FALSE(wrap(7, "A.JPG")->isEqual(nullptr));
}

TEST(ObjectInfoWrapper, FromAPathNamesItsLastComponent) {
  struct Case {
    QString path;
    QString name;  // null: no wrapper
    uint16_t format;
  };
  const QString longest = QString(251, 'n') + ".JPG";  // 255 bytes: fits
  const QString tooLong = QString(252, 'n') + ".JPG";  // 256 bytes: would have to be cut
  const Case cases[] = {
      {"/home/me/Korvalume/IMG_0001.CR3", "IMG_0001.CR3", kFormatCr3},
      {"DSC_0002.jpg", "DSC_0002.jpg", kFormatJpeg},
      {"/tmp/clip.MOV", "clip.MOV", kFormatMov},
      {"/tmp/notes", "notes", 0},
      {"/tmp/folder/", "folder", 0},
      {"/tmp/" + longest, longest, kFormatJpeg},
      {"/tmp/" + tooLong, QString(), 0},
      {"", QString(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    auto info = PtpObjectInfoClass::initWithPath(c.path);
    if (c.name.isNull()) {
      EXPECT_EQ(info, nullptr);
      continue;
    }
    ASSERT_TRUE(info);
    EXPECT_EQ(info->fileName(), c.name);
    PtpObjectInfoStruct expected = zeroRecord();
    objectInfoSetFileName(expected, c.name.toStdString());
    expected.objectFormat = c.format;
    EXPECT_EQ(std::memcmp(info->origObjectInfo(), &expected, sizeof expected), 0) << "every other field zero";
  }
}

TEST(ImageData, CopiesOrTakesOverTheBytes) {
  auto info = wrap(9, "IMG_0009.JPG");
  // Copied: the caller's buffer stays the caller's and may change afterwards.
  std::vector<uint8_t> callers = {0xFF, 0xD8, 0xFF, 0xD9};
  auto copied = PtpImageData::initWithBuffer(callers.data(), static_cast<uint32_t>(callers.size()), info);
  callers[0] = 0;
  EXPECT_EQ(copied->getImageData(), QByteArray("\xFF\xD8\xFF\xD9", 4));
  EXPECT_EQ(callers[1], 0xD8);
  EXPECT_EQ(copied->getObjectInfo(), info);

  // Taken over: the very same bytes, no copy.
  QByteArray owned(1 << 20, 'x');
  const char* where = owned.constData();
  auto taken = PtpImageData::initWithBuffer(std::move(owned), info);
  EXPECT_EQ(taken->getImageData().constData(), where);
  EXPECT_EQ(taken->getImageData().size(), 1 << 20);

  // Copied from data that does not own its bytes: ours outlive and ignore the source.
  char raw[] = "abcd";
  auto fromData = PtpImageData::initWithObjectData(QByteArray::fromRawData(raw, 4), info);
  raw[0] = 'z';
  EXPECT_EQ(fromData->getImageData(), QByteArray("abcd"));

  EXPECT_TRUE(PtpImageData::initWithBuffer(nullptr, 100, info)->getImageData().isEmpty());
  EXPECT_EQ(PtpImageData::initWithObjectData(QByteArray(), nullptr)->getObjectInfo(), nullptr);
}

TEST(ImageData, TravelsFromAWorkerToTheGuiThreadInANotification) {
  std::shared_ptr<PtpImageData> received;
  bool onGuiThread = false;
  QObject owner;
  const QString name = QStringLiteral("Image");
  NotificationCenter::defaultCenter().addObserver(
      &owner, name,
      [&](const Notification& n) {
        received = n.objectAs<std::shared_ptr<PtpImageData>>();
        onGuiThread = QThread::currentThread() == owner.thread();
      },
      NotificationDelivery::mainThread);
  std::thread worker([&name] {
    // Everything the worker made goes out of scope here; the notification keeps the data.
    PtpObjectInfoStruct r = fullRecord();
    std::vector<uint8_t> bytes(5000, 0xAB);
    auto data = PtpImageData::initWithBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()),
                                             PtpObjectInfoClass::init(&r));
    NotificationCenter::defaultCenter().post(name, QVariant::fromValue(data));
  });
  worker.join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return received != nullptr; }));
  EXPECT_TRUE(onGuiThread);
  EXPECT_EQ(received->getImageData(), QByteArray(5000, char(0xAB)));
  EXPECT_EQ(received->getObjectInfo()->fileName(), "IMG_0042.CR3");
  EXPECT_EQ(received->getObjectInfo()->origObjectInfo()->rating, 0xBBBBBBBBBBBBBBBBull);
}
