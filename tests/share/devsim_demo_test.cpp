// The simulator's demo mode against a real share session on 127.0.0.1, in both device
// generations: the shots it pushes become strip thumbnails and images, in order, with the
// records, EXIF and previews the generator chose, and a click on one downloads it again
// from the device. Every test ends with the simulator stopped while it still pushes.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

#include "model/exif_reader.h"
#include "model/object_info_wrapper.h"
#include "model/utilities.h"
#include "ptp/base/filetypes.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "support/qt_test_support.h"
#include "tests/share/share_event_log.h"
#include "tools/devsim/demo.h"

using namespace std::chrono_literals;

namespace devsimdemotest {

constexpr uint64_t kSeed = 1;
constexpr int64_t kTime = 1797000000;
// Shot 4 (the fifth) is the first raw, a CR2.
constexpr uint32_t kShotsWanted = 5;
constexpr uint32_t kFirstRaw = 4;

std::span<const uint8_t> span(const QByteArray& b) {
  return {reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())};
}
QByteArray qbytes(const devsim::Bytes& b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

devsim::DemoShot expectedShot(uint32_t index) { return devsim::makeDemoShot(kSeed, index, kTime); }

class DevsimDemo : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 10ms;
    timing().receiveTimeout = 30s;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(loadCacheIn("first"), 1);
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{GetParam()});
    ASSERT_TRUE(sim->start());
    devsim::Demo::Options options;
    options.interval = 20ms;
    options.seed = kSeed;
    options.firstCaptureTime = kTime;  // every shot in the first second: kTime
    demo = std::make_unique<devsim::Demo>(*sim, options);
    demo->start();
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(30s));
    shareSetMode(GetParam() == 1 ? ShareModeGeneration1 : ShareModeGeneration2);
    ASSERT_TRUE(ShareComms::instance().start());
  }
  void TearDown() override {
    // Mid-stream: the demo is still pushing when its simulator goes.
    if (sim) sim->stop();
    demo.reset();
    ShareComms::instance().stop();
    linkDisconnect();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
    cacheClear();
  }

  int loadCacheIn(const QString& name) {
    const QString cache = dir.path() + "/" + name + "/cache", save = dir.path() + "/" + name + "/save";
    QDir().mkpath(cache);
    QDir().mkpath(save);
    return cacheLoad(cache.toUtf8().constData(), save.toUtf8().constData());
  }
  bool waitForImages(size_t n) { return kvtest::waitUntil([&] { return log.images().size() >= n; }); }

  ScopedTiming restore;
  QTemporaryDir dir;
  std::unique_ptr<devsim::Simulator> sim;
  std::unique_ptr<devsim::Demo> demo;
  ShareEventLog log;
};

// The record the session filed an image under against the one the generator made.
void expectRecord(const PtpObjectInfoStruct& got, const devsim::DemoShot& s) {
  const PtpObjectInfoStruct want = s.record();
  EXPECT_EQ(got.objectId, want.objectId);
  EXPECT_STREQ(got.fileName, want.fileName);
  EXPECT_EQ(got.objectFormat, want.objectFormat);
  EXPECT_EQ(got.objectCompressedSize, want.objectCompressedSize);
  EXPECT_EQ(got.thumbCompressedSize, want.thumbCompressedSize);
  EXPECT_EQ(got.imagePixWidth, want.imagePixWidth);
  EXPECT_EQ(got.imagePixHeight, want.imagePixHeight);
  EXPECT_EQ(got.captureDate, want.captureDate);
  EXPECT_EQ(got.modificationDate, want.modificationDate);
  EXPECT_EQ(got.orientation, s.orientation);
}

// What the EXIF strip would read from the photo, or from the raw that holds it.
void expectExif(const QByteArray& bytes, uint16_t format, const devsim::DemoShot& s) {
  auto exif = Exif::initWithData(span(bytes), format, kExifHeaderLength);
  ASSERT_TRUE(exif);
  ASSERT_TRUE(exif->originalProperties().tiff);
  EXPECT_EQ(exif->originalProperties().tiff->text(kCGImagePropertyTIFFMake), s.make);
  EXPECT_EQ(exif->originalProperties().tiff->text(kCGImagePropertyTIFFModel), s.model);
  const uint8_t make = s.make == "Canon" ? 13 : s.make == "SONY" ? 14 : s.make == "NIKON CORPORATION" ? 15 : 0;
  EXPECT_EQ(exif->cameraMake(), make);
  EXPECT_NEAR(exif->shutterSpeed(), double(s.exposure.timeNumerator) / s.exposure.timeDenominator, 1e-6);
  EXPECT_NEAR(exif->aperture(), s.exposure.fNumberTenths / 10.0, 1e-5);
  EXPECT_EQ(exif->iso(), s.exposure.iso);
  EXPECT_NEAR(exif->exposureCompensation(), s.exposure.biasThirds / 3.0, 1e-5);
  EXPECT_EQ(exif->focalLength(), s.exposure.focalLength);
  EXPECT_EQ(exif->orientation(), s.orientation);
  EXPECT_EQ(exif->xDimension(), s.width);
  EXPECT_EQ(exif->yDimension(), s.height);
}

// Turned upright by its EXIF orientation, the photo stands as the shot was framed, with
// its dark caption band at the top.
void expectUpright(const QByteArray& jpeg, const devsim::DemoShot& s) {
  QBuffer buffer;
  buffer.setData(jpeg);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  const QImage image = reader.read();
  ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
  const bool portrait = s.orientation == 6 || s.orientation == 8;
  EXPECT_EQ(image.width(), int(portrait ? s.height : s.width));
  EXPECT_EQ(image.height(), int(portrait ? s.width : s.height));
  EXPECT_LT(QColor(image.pixel(4, 4)).value(), 40);
  EXPECT_LT(QColor(image.pixel(image.width() - 5, 4)).value(), 40);
  EXPECT_GT(QColor(image.pixel(4, image.height() / 2)).value(), 40);
}

TEST_P(DevsimDemo, ShotsArriveAsThumbnailThenImageWithTheRecordsExifAndPreviewsTheGeneratorChose) {
  ASSERT_TRUE(waitForImages(kShotsWanted));
  const auto entries = log.entries();
  ASSERT_GE(entries.size(), 2 * kShotsWanted);
  for (uint32_t k = 0; k < kShotsWanted; ++k) {
    const devsim::DemoShot s = expectedShot(k);
    SCOPED_TRACE(s.fileName);
    const auto* thumb = std::get_if<ShareThumbnailDownloadedEvent>(&entries[2 * k]);
    const auto* image = std::get_if<ImageDataEvent>(&entries[2 * k + 1]);
    ASSERT_TRUE(thumb && image) << "thumbnail, then image";
    EXPECT_EQ(thumb->image->getImageData(), qbytes(s.thumbnail));
    expectRecord(*thumb->image->getObjectInfo()->origObjectInfo(), s);
    EXPECT_EQ(image->image->getImageData(), qbytes(s.file));
    const PtpObjectInfoStruct& record = *image->image->getObjectInfo()->origObjectInfo();
    expectRecord(record, s);

    QByteArray photo = image->image->getImageData();
    expectExif(photo, record.objectFormat, s);
    if (k == kFirstRaw) {
      ASSERT_EQ(record.objectFormat, kFormatCr2);
      // The viewer's own raw-preview code finds the photo inside, and so does the cache's
      // extraction from the raw it saved.
      uint32_t offset = 0, length = 0;
      ASSERT_TRUE(fileFindEmbeddedJpeg(span(photo), offset, length, record.objectFormat));
      photo = photo.mid(offset, length);
      EXPECT_EQ(photo, qbytes(s.jpeg));
      const auto saved = cacheObjectPath(record);
      ASSERT_TRUE(saved);
      const auto extracted = fileExtractRawJpegToCache(record, *saved);
      ASSERT_TRUE(extracted);
      QFile file(QString::fromStdString(*extracted));
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(file.readAll(), qbytes(s.jpeg));
    }
    expectExif(photo, kFormatJpeg, s);
    expectUpright(photo, s);
  }
  // The shots differ: makers take turns.
  EXPECT_NE(expectedShot(0).make, expectedShot(1).make);
}

TEST_P(DevsimDemo, AClickOnAPushedShotDownloadsItFromTheDevice) {
  ASSERT_TRUE(waitForImages(kShotsWanted));
  const auto images = log.images();
  // Nothing cached: what the click gets comes from the device.
  ASSERT_EQ(loadCacheIn("second"), 1);
  for (uint32_t k : {0u, kFirstRaw}) {
    const devsim::DemoShot s = expectedShot(k);
    SCOPED_TRACE(s.fileName);
    // The second click comes after the demo has stopped: what it put on the card stays.
    if (k == kFirstRaw) demo.reset();
    const PtpObjectInfoStruct record = *images[k]->getObjectInfo()->origObjectInfo();
    ASSERT_EQ(record.objectId, s.handle);
    const size_t asked = sim->receivedCount();
    QByteArray out;
    ASSERT_EQ(Utilities::downloadImage(record, out, static_cast<uint8_t>(shareGetMode())), PTP_RC_OK);
    EXPECT_GT(sim->receivedCount(), asked);
    // Generation 1 fetches the object itself; generation 2 shows a raw by its preview.
    const bool preview = GetParam() == 2 && s.isRaw();
    EXPECT_EQ(out, qbytes(preview ? s.jpeg : s.file));
  }
}

// The raws of the other makers, which a session shows later in the stream: the EXIF strip
// reads their shooting data from the raw itself and from its preview.
TEST(DevsimDemoRaws, EachMakersRawAndItsPreviewCarryTheExifTheViewerReads) {
  for (uint32_t index : {9u, 14u, 19u}) {
    const devsim::DemoShot s = expectedShot(index);
    SCOPED_TRACE(s.fileName);
    ASSERT_TRUE(s.isRaw());
    expectExif(qbytes(s.file), s.format, s);
    uint32_t offset = 0, length = 0;
    ASSERT_TRUE(fileFindEmbeddedJpeg(s.file, offset, length, s.format));
    const QByteArray preview = qbytes(s.file).mid(offset, length);
    expectExif(preview, kFormatJpeg, s);
    expectUpright(preview, s);
  }
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, DevsimDemo, ::testing::Values(1, 2));

}  // namespace devsimdemotest
