#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QTemporaryDir>

#include <cstring>

#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "platform/paths.h"
#include "ptp/cache/cache.h"
#include "share/share_events.h"
#include "support/qt_test_support.h"
#include "viewer/strip/main_thumbnail_controller.h"

namespace {

QByteArray encode(QSize size, const char* format, QColor colour = Qt::red) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray out;
  QBuffer b(&out);
  b.open(QIODevice::WriteOnly);
  image.save(&b, format);
  return out;
}

std::shared_ptr<PtpObjectInfoClass> info(const char* name, uint32_t handle, uint16_t format = 0x3801) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = format;
  std::strncpy(r.fileName, name, sizeof r.fileName - 1);
  return PtpObjectInfoClass::init(&r);
}

struct Recorder : ThumbnailControllerDelegate {
  std::vector<QString> selected;
  void thumbnailSelected(std::shared_ptr<PtpObjectInfoClass> objectInfo) override {
    selected.push_back(objectInfo->fileName());
  }
};

class StripController : public ::testing::Test {
 protected:
  void SetUp() override {
    view.resize(600, 140);
    controller = std::make_unique<MainThumbnailController>(&view);
    controller->setDelegate(&recorder);
  }
  QListView view;
  std::unique_ptr<MainThumbnailController> controller;
  Recorder recorder;
};

}  // namespace

TEST_F(StripController, OnlyBytesThatMakeAnImageBecomeItemsAndTheyDecodeWhenShown) {
  const QByteArray jpeg = encode({400, 300}, "JPG");
  controller->addThumnailImage(jpeg, info("A.JPG", 1));
  controller->addThumnailImage("not an image", info("B.JPG", 2));
  controller->addThumnailImage(QByteArray(), info("C.JPG", 3));
  controller->addThumnailImage(jpeg, nullptr);
  controller->addThumnailImage(encode({10, 10}, "PNG"), info("D.PNG", 4));
  ASSERT_EQ(controller->count(), 2);
  EXPECT_EQ(controller->objectInfoAt(1)->fileName(), "D.PNG");
  // Nothing is decoded before a cell is painted; painting asks the pool.
  EXPECT_FALSE(controller->isDecoded(0));
  ThumbnailViewCell cell;
  controller->cellForRow(0, cell);
  EXPECT_TRUE(cell.thumbnailImage.isNull());
  EXPECT_EQ(cell.imageSize, QSize(400, 300));
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->isDecoded(0); }));
  controller->cellForRow(0, cell);
  // Decoded at the cell's size, not the picture's.
  EXPECT_LE(cell.thumbnailImage.width(), 110);
  // From a worker the add is queued to the GUI thread.
  std::thread([&] { controller->addThumnailImage(jpeg, info("E.JPG", 5)); }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->count() == 3; }));
}

TEST_F(StripController, AHeaderThatDecodesBadlyShowsTheUnknownPictureInsteadOfCrashing) {
  QImage noise(256, 256, QImage::Format_RGB32);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
  QByteArray jpeg;
  QBuffer b(&jpeg);
  b.open(QIODevice::WriteOnly);
  noise.save(&b, "JPG");
  b.close();
  // Header intact, scan data overwritten with garbage and cut short.
  jpeg.truncate(jpeg.size() * 3 / 4);
  for (qsizetype i = jpeg.size() / 2; i < jpeg.size(); i += 3) jpeg[i] = char(0xFF);
  controller->addThumnailImage(jpeg, info("A.JPG", 1));
  ASSERT_EQ(controller->count(), 1);
  ThumbnailViewCell cell;
  controller->cellForRow(0, cell);
  ASSERT_TRUE(kvtest::waitUntil([&] {
    controller->cellForRow(0, cell);
    return cell.decodeFailed || !cell.thumbnailImage.isNull();
  }));
  QImage canvas(120, 120, QImage::Format_ARGB32);
  QPainter p(&canvas);
  cell.paint(p, QRect(0, 0, 120, 120));
}

TEST_F(StripController, ClicksSelectOnceAndASecondClickDeselectsWithoutDownloading) {
  for (const char* name : {"A.JPG", "B.JPG", "C.JPG"})
    controller->addThumnailImage(encode({8, 8}, "PNG"), info(name, name[0]));
  controller->itemClicked(1);
  EXPECT_EQ(controller->selectedIndex(), 1);
  controller->itemClicked(1);
  EXPECT_EQ(controller->selectedIndex(), -1);
  controller->itemClicked(7);
  EXPECT_EQ(recorder.selected, std::vector<QString>{"B.JPG"});
  // Without a delegate call, and by name for objects without handle.
  EXPECT_TRUE(controller->selectThumbnailNoAction(info("C.JPG", 'C').get()));
  EXPECT_EQ(controller->selectedIndex(), 2);
  EXPECT_FALSE(controller->selectThumbnailNoAction(info("Z.JPG", 99).get()));
  EXPECT_EQ(recorder.selected.size(), 1u);
  // selectThumbnail tells the delegate, also when asked from a worker.
  bool found = false;
  std::thread worker([&] { found = controller->selectThumbnail(info("A.JPG", 'A').get()); });
  ASSERT_TRUE(kvtest::waitUntil([&] { return recorder.selected.size() == 2; }));
  worker.join();
  EXPECT_TRUE(found);
  EXPECT_EQ(controller->selectedIndex(), 0);
}

TEST_F(StripController, NextAndPreviousStopAtTheEndsAndNeedAShownStrip) {
  for (const char* name : {"A.JPG", "B.JPG"}) controller->addThumnailImage(encode({8, 8}, "PNG"), info(name, name[0]));
  controller->itemClicked(0);
  controller->selectNextThumbnail();  // the strip is not shown yet
  EXPECT_EQ(controller->selectedIndex(), 0);
  view.show();
  controller->selectPreviousThumbnail();
  EXPECT_EQ(controller->selectedIndex(), 0);
  // The posts come from a worker; the strip moves on the GUI thread.
  std::thread([] { postShowNextImage(); }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->selectedIndex() == 1; }));
  controller->selectNextThumbnail();
  EXPECT_EQ(controller->selectedIndex(), 1);
  std::thread([] { postShowPreviousImage(); }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->selectedIndex() == 0; }));
  EXPECT_EQ(recorder.selected, (std::vector<QString>{"A.JPG", "B.JPG", "A.JPG"}));
}

TEST_F(StripController, DeletingKeepsTheSelectionOnItsItemAndRatingsReachTheCell) {
  for (const char* name : {"A.JPG", "B.JPG", "C.JPG"})
    controller->addThumnailImage(encode({8, 8}, "PNG"), info(name, name[0]));
  controller->itemClicked(2);
  controller->deleteThumbnail(info("A.JPG", 'A')->origObjectInfo());
  EXPECT_EQ(controller->count(), 2);
  EXPECT_EQ(controller->selectedIndex(), 1);
  EXPECT_EQ(controller->objectInfoAt(1)->fileName(), "C.JPG");
  controller->deleteThumbnail(info("C.JPG", 'C')->origObjectInfo());
  EXPECT_EQ(controller->selectedIndex(), -1);
  // From a worker a delete does nothing.
  std::thread([&] { controller->deleteThumbnail(info("B.JPG", 'B')->origObjectInfo()); }).join();
  EXPECT_EQ(controller->count(), 1);

  ThumbnailRating rating;
  rating.object = *info("B.JPG", 'B')->origObjectInfo();
  rating.rating = 4;
  controller->setRating(rating);
  ThumbnailViewCell cell;
  controller->cellForRow(0, cell);
  EXPECT_EQ(cell.rating, 4);
}

TEST_F(StripController, OnlySoManyPicturesStayDecoded) {
  const QByteArray png = encode({4, 4}, "PNG");
  const int n = static_cast<int>(kStripDecodedMax) + 8;
  for (int i = 0; i < n; ++i) controller->addThumnailImage(png, info("A.PNG", static_cast<uint32_t>(i)));
  ThumbnailViewCell cell;
  for (int i = 0; i < n; ++i) controller->cellForRow(i, cell);
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->decodedCount() == kStripDecodedMax; }));
  ASSERT_TRUE(Dispatch::waitForGlobal(std::chrono::milliseconds(20000)));
  kvtest::waitUntil([] { return false; }, std::chrono::milliseconds(50));
  int decoded = 0;
  for (int i = 0; i < n; ++i) decoded += controller->isDecoded(i);
  EXPECT_EQ(decoded, static_cast<int>(kStripDecodedMax));
}

TEST(StripThumbnails, ARawWhosePreviewCannotBeReadGetsAThumbnailOfTheWholeImage) {
  // A little-endian TIFF whose IFD0 points at a "JPEG" preview that is no image.
  QByteArray tiff("II*\0\x08\0\0\0", 8);
  auto u16 = [&](uint16_t v) { tiff.append(char(v & 0xFF)).append(char(v >> 8)); };
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) tiff.append(char((v >> (8 * i)) & 0xFF)); };
  u16(3);
  u16(0x0112); u16(3); u32(1); u32(1);   // Orientation
  u16(0x0201); u16(4); u32(1); u32(50);  // JPEGInterchangeFormat
  u16(0x0202); u16(4); u32(1); u32(16);  // JPEGInterchangeFormatLength
  u32(0);
  tiff.append(QByteArray("\xFF\xD8\xFF\xFE\x00\x0Agarbage!\xFF\xD9", 16));  // SOI, a comment, EOI: no frame
  PtpObjectInfoStruct raw{};
  raw.objectFormat = 0xB103;
  PtpObjectInfoStruct jpg{};
  jpg.objectFormat = 0x3801;
  const QByteArray forRaw = MainThumbnailController::thumbnailForImage(tiff, raw);
  const QByteArray forJpg = MainThumbnailController::thumbnailForImage(tiff, jpg);
  // The raw's unreadable preview is dropped (and the TIFF itself is no decodable picture
  // here); a non-raw object keeps what was found.
  EXPECT_NE(forRaw, forJpg);
  EXPECT_TRUE(forJpg.startsWith("\xFF\xD8"));
  // A plain JPEG has no embedded preview: a 240-pixel thumbnail is made of it.
  const QByteArray big = encode({960, 480}, "JPG");
  QImage thumb = QImage::fromData(MainThumbnailController::thumbnailForImage(big, jpg));
  EXPECT_EQ(thumb.width(), 240);
}

TEST(StripDownloads, AWholeImageSelectsItsThumbnailOrMakesStoresAndPostsOne) {
  QTemporaryDir root;
  const QString cache = root.path() + "/Cache", save = root.path() + "/Photos";
  QDir().mkpath(cache);
  QDir().mkpath(save);
  ASSERT_EQ(cacheLoad(cache.toUtf8().constData(), save.toUtf8().constData()), 1);
  QListView view;
  MainThumbnailController controller(&view);
  Recorder recorder;
  controller.setDelegate(&recorder);
  std::vector<std::shared_ptr<PtpImageData>> posted;
  QObject owner;
  observeShareThumbnailDownloaded(&owner, [&](const ShareThumbnailDownloadedEvent& e) { posted.push_back(e.image); });
  controller.addThumnailImage(encode({8, 8}, "PNG"), info("A.JPG", 1));
  // Already in the strip: selected quietly, nothing made.
  controller.selectThumnailForImageData(PtpImageData::initWithObjectData(encode({960, 480}, "JPG"), info("A.JPG", 1)));
  EXPECT_EQ(controller.selectedIndex(), 0);
  EXPECT_TRUE(posted.empty());
  EXPECT_TRUE(recorder.selected.empty());
  // New: a 240-pixel thumbnail goes to the cache and out as a notification; the strip
  // itself grows only through that notification's handler.
  const auto fresh = info("B.JPG", 2);
  std::thread([&] {
    controller.selectThumnailForImageData(PtpImageData::initWithObjectData(encode({960, 480}, "JPG"), fresh));
  }).join();
  ASSERT_TRUE(kvtest::waitUntil([&] { return posted.size() == 1; }));
  EXPECT_EQ(controller.selectedIndex(), -1);
  ASSERT_TRUE(posted[0]);
  EXPECT_TRUE(posted[0]->getObjectInfo()->isEqual(fresh));
  EXPECT_EQ(QImage::fromData(posted[0]->getImageData()).width(), 240);
  PtpObjectInfoStruct record = *fresh->origObjectInfo();
  std::vector<uint8_t> stored;
  ASSERT_EQ(cacheReadThumb(record, stored), 1);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(stored.data()), qsizetype(stored.size())),
            posted[0]->getImageData());
  NotificationCenter::defaultCenter().removeObserver(&owner);
  cacheLoad(nullptr, nullptr);
}

TEST_F(StripController, AStripOfThousandsDecodesOnlyWhatItShows) {
  const QByteArray png = encode({40, 30}, "PNG");
  constexpr int n = 3000;
  for (int i = 0; i < n; ++i) controller->addThumnailImage(png, info("A.PNG", static_cast<uint32_t>(i)));
  ASSERT_EQ(controller->count(), n);
  view.show();
  // The newest item is scrolled into view; painting decodes the few cells shown.
  (void)view.grab();
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->isDecoded(n - 1); }));
  Dispatch::waitForGlobal(std::chrono::milliseconds(20000));
  EXPECT_LE(controller->decodedCount(), 12u);
  EXPECT_FALSE(controller->isDecoded(0));
}

namespace {

// A picture with detail, so that its JPEG is as large as a photograph's.
QByteArray noiseJpeg(QSize size, int seed = 1) {
  QImage image(size, QImage::Format_RGB32);
  uint32_t v = static_cast<uint32_t>(seed) * 2654435761u;
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      v = v * 1664525u + 1013904223u;
      line[x] = qRgb(int(v >> 24), int((v >> 16) & 0xFF), (x + y) & 0xFF);
    }
  }
  QByteArray out;
  QBuffer b(&out);
  b.open(QIODevice::WriteOnly);
  image.save(&b, "JPG", 95);
  return out;
}

// A cache in a temporary folder for the length of a test.
struct StripCacheFolder {
  QTemporaryDir root;
  StripCacheFolder() {
    const QString cache = root.path() + "/Cache", save = root.path() + "/Photos";
    QDir().mkpath(cache);
    QDir().mkpath(save);
    EXPECT_EQ(cacheLoad(cache.toUtf8().constData(), save.toUtf8().constData()), 1);
  }
  ~StripCacheFolder() { cacheLoad(nullptr, nullptr); }
};

bool cachedThumb(const std::shared_ptr<PtpObjectInfoClass>& object) {
  std::vector<uint8_t> stored;
  PtpObjectInfoStruct record = *object->origObjectInfo();
  return cacheReadThumb(record, stored) == 1 && !stored.empty();
}

}  // namespace

TEST_F(StripController, ItemsKeepASmallJpegAtTheCellsSizeAndSmallOnesAsTheyCame) {
  const QByteArray photo = noiseJpeg({1600, 1200});
  ASSERT_GT(photo.size(), kStripThumbnailMaxBytes);
  const QByteArray deviceThumb = encode({100, 75}, "JPG");
  controller->addThumnailImage(photo, info("A.JPG", 1));
  controller->addThumnailImage(encode({300, 300}, "PNG"), info("B.PNG", 2));
  controller->addThumnailImage(deviceThumb, info("C.JPG", 3));
  ASSERT_EQ(controller->count(), 3);
  ASSERT_TRUE(kvtest::waitUntil([&] { return !controller->isPreparing(0) && !controller->isPreparing(1); }));
  const QSize fit = (ThumbnailViewCell::cellSize() - QSize(10, 10)) * controller->deviceScale();
  for (int row : {0, 1}) {
    const QByteArray kept = controller->thumbnailBytesAt(row);
    EXPECT_LE(kept.size(), kStripThumbnailMaxBytes) << row;
    const QImage image = QImage::fromData(kept, "JPG");
    ASSERT_FALSE(image.isNull()) << row;
    EXPECT_EQ(image.size(), (row == 0 ? QSize(1600, 1200) : QSize(300, 300)).scaled(fit, Qt::KeepAspectRatio)) << row;
  }
  // A device's own small JPEG is not made again.
  EXPECT_FALSE(controller->isPreparing(2));
  EXPECT_EQ(controller->thumbnailBytesAt(2), deviceThumb);
  // The layout keeps the original's shape.
  ThumbnailViewCell cell;
  controller->cellForRow(0, cell);
  EXPECT_EQ(cell.imageSize, QSize(1600, 1200));
}

TEST(StripDownloads, ABurstIsMadeOffTheGuiThreadAndArrivesOnceInRequestOrder) {
  StripCacheFolder folder;
  QListView view;
  MainThumbnailController controller(&view);
  QObject owner;
  std::vector<QString> posted;
  // As the main window does: what is posted joins the strip.
  observeShareThumbnailDownloaded(&owner, [&](const ShareThumbnailDownloadedEvent& e) {
    posted.push_back(e.image->getObjectInfo()->fileName());
    controller.addThumnailImage(e.image->getImageData(), e.image->getObjectInfo());
  });
  // Large and small pictures in turn, so later ones are often made before earlier ones.
  const QByteArray large = noiseJpeg({2400, 1600}), small = encode({64, 48}, "JPG");
  constexpr int n = 24;
  std::vector<std::shared_ptr<PtpObjectInfoClass>> objects;
  std::vector<QString> expected;
  for (int i = 0; i < n; ++i) {
    const QString name = QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QChar('0'));
    objects.push_back(info(name.toUtf8().constData(), static_cast<uint32_t>(100 + i)));
    expected.push_back(name);
    controller.ptpObjectDownloaded(PtpImageData::initWithObjectData(i % 2 ? small : large, objects.back()));
    // The GUI thread only queued the work.
    if (i == 0) {
      EXPECT_TRUE(posted.empty());
    }
    // The same object again while it is on its way is not made twice.
    if (i % 6 == 5)
      controller.ptpObjectDownloaded(PtpImageData::initWithObjectData(small, objects[static_cast<size_t>(i - 1)]));
  }
  EXPECT_EQ(controller.downloadsPending(), static_cast<size_t>(n));
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller.downloadsPending() == 0; }));
  EXPECT_EQ(posted, expected);
  ASSERT_EQ(controller.count(), n);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(controller.objectInfoAt(i)->fileName(), expected[static_cast<size_t>(i)]);
    EXPECT_TRUE(cachedThumb(objects[static_cast<size_t>(i)])) << i;
  }
  // A repeated request selects its item once that has arrived, as it would had it been there.
  EXPECT_EQ(controller.selectedIndex(), 22);
  NotificationCenter::defaultCenter().removeObserver(&owner);
}

TEST(StripDownloads, TheStripMayGoWhileItsThumbnailsAreBeingMade) {
  StripCacheFolder folder;
  QObject owner;
  int posts = 0;
  observeShareThumbnailDownloaded(&owner, [&](const ShareThumbnailDownloadedEvent&) { ++posts; });
  const QByteArray large = noiseJpeg({2400, 1600});
  std::vector<std::shared_ptr<PtpObjectInfoClass>> objects;
  {
    QListView view;
    view.resize(600, 140);
    MainThumbnailController controller(&view);
    for (uint32_t i = 0; i < 8; ++i) {
      objects.push_back(info(QStringLiteral("IMG_%1.JPG").arg(i).toUtf8().constData(), 200 + i));
      controller.ptpObjectDownloaded(PtpImageData::initWithObjectData(large, objects.back()));
      controller.addThumnailImage(large, info("ADD.JPG", 300 + i));
    }
    view.show();
    (void)view.grab();  // and decodes for the cells shown
  }
  // Work in flight finishes without its controller; what it would have told it is dropped.
  ASSERT_TRUE(Dispatch::waitForGlobal(std::chrono::milliseconds(120000)));
  QCoreApplication::processEvents();
  EXPECT_EQ(posts, 0);
  // The thumbnails made are not lost: the cache has them.
  for (const auto& object : objects) EXPECT_TRUE(cachedThumb(object));
  NotificationCenter::defaultCenter().removeObserver(&owner);
}
