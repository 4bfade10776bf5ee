// Object predicates, device information, re-encoding, movie downloads and view geometry.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QWidget>

#include "model/connection_status.h"
#include "model/utilities.h"
#include "ptp/base/timing.h"
#include "ptp/link/commands.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "support/qt_test_support.h"
#include "tests/model/model_test_support.h"
#include "tools/devsim/simulator.h"

namespace {

PtpObjectInfoStruct object(const std::string& name, uint16_t format, uint32_t handle = 5, uint32_t size = 0) {
  PtpObjectInfoStruct r{};
  r.objectId = handle;
  r.objectFormat = format;
  r.objectCompressedSize = size;
  objectInfoSetFileName(r, name);
  return r;
}

class DeviceFixture : public ::testing::Test {
 protected:
  void connect() {
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{});
    ASSERT_TRUE(sim->start());
    timing().receiveTimeout = std::chrono::milliseconds(30000);
    ASSERT_GE(linkConnect("127.0.0.1", sim->port()), 0);
    ASSERT_TRUE(sim->waitForClient(std::chrono::milliseconds(30000)));
    shareSetMode(ShareModeGeneration2);
  }
  void TearDown() override {
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
    Utilities::setCurrentConnectionStatus(ConnectionStatusUnknown);
  }
  ScopedTiming restore;
  std::unique_ptr<devsim::Simulator> sim;
};

}  // namespace

TEST(UtilitiesObjects, Predicates) {
  const auto cr2 = object("IMG_0001.CR2", 0xB103), jpg = object("IMG_0001.JPG", 0x3801);
  EXPECT_TRUE(Utilities::isObjectRaw(&cr2));
  EXPECT_FALSE(Utilities::isObjectRaw(&jpg));
  EXPECT_TRUE(Utilities::isObjectJpg(&jpg));
  EXPECT_FALSE(Utilities::isObjectJpg(nullptr));
  // Known by name only (no handle): the name decides.
  const auto byName = object("DSC_0002.NEF", 0, 0);
  EXPECT_TRUE(Utilities::isObjectRaw(&byName));
  EXPECT_TRUE(Utilities::isRawMatch(cr2, jpg));
  EXPECT_FALSE(Utilities::isRawMatch(cr2, object("IMG_00011.JPG", 0x3801)));
  EXPECT_FALSE(Utilities::isRawMatch(cr2, object("IMG_0002.JPG", 0x3801)));
  EXPECT_FALSE(Utilities::isRawMatch(jpg, cr2));
  const struct {
    uint8_t in;
    int out;
  } orientations[] = {{3, 1}, {4, 0}, {5, 0}, {6, 3}, {7, 0}, {8, 2}, {1, 0}, {9, 0}};
  for (const auto& o : orientations) EXPECT_EQ(Utilities::orientationToUIImageOrientation(o.in), o.out) << int(o.in);
}

TEST(UtilitiesObjects, BatteryTextAndGeometry) {
  uint8_t record[44] = {};
  auto put = [&](int at, uint16_t v) {
    record[at] = v & 0xFF;
    record[at + 1] = v >> 8;
  };
  put(8, 7400);
  put(14, 2000);
  put(16, 1500);
  put(18, 1900);
  put(20, static_cast<uint16_t>(-350));
  put(22, 95);
  put(32, 78);
  put(36, 3031);
  EXPECT_EQ(Utilities::batteryInfoText(record),
            "Voltage: 7400 mV\nNominal Total Capacity: 2000 mAh\nTotal Capacity: 1900 mAh\nRemaining Capacity: 1500 "
            "mAh\nCurrent: -350 mA\nRemaining Time: 95 mins\nRemaining Percentage: 78 %\nTemperature: 303 K");

  EXPECT_EQ(Utilities::rectThatFitsImageSize(QSizeF(400, 200), QSizeF(200, 200)), QRectF(0, 50, 200, 100));
  EXPECT_EQ(Utilities::rectThatFitsImageSize(QSizeF(0, 200), QSizeF(200, 200)), QRectF());
  QWidget view;
  view.setGeometry(10, 20, 200, 200);
  EXPECT_EQ(Utilities::calculateClientRectOfImage(QSizeF(400, 200), &view), QRectF(10, 70, 200, 100));
  EXPECT_EQ(Utilities::convertPointToImageCoordinates(QPointF(110, 120), QSizeF(400, 200), &view), QPointF(0.5, 0.5));
  EXPECT_EQ(Utilities::convertPointToImageCoordinates(QPointF(110, 60), QSizeF(400, 200), &view), QPointF(-1, -1));
  EXPECT_EQ(Utilities::convertPointToImageCoordinates(QPointF(110, 120), QSizeF(0, 0), &view), QPointF(-1, -1));
  EXPECT_EQ(Utilities::convertPoint(QPointF(10, 10), QRectF(5, 5, 100, 50), QRectF(0, 0, 200, 200)), QPointF(20, 40));
}

TEST(UtilitiesObjects, OrientationIsWrittenAndTheTailTravelsAlong) {
  QImage img(40, 20, QImage::Format_RGB32);
  img.fill(Qt::red);
  QByteArray jpeg;
  QBuffer b(&jpeg);
  b.open(QIODevice::WriteOnly);
  img.save(&b, "jpeg");
  const QByteArray out = Utilities::setOrientation(6, jpeg);
  ASSERT_FALSE(out.isEmpty());
  EXPECT_TRUE(out.endsWith(jpeg));  // shorter than the tail length: the whole original
  QBuffer in;
  in.setData(out);
  QImageReader reader(&in);
  EXPECT_EQ(reader.transformation(), QImageIOHandler::TransformationRotate90);
  EXPECT_TRUE(Utilities::setOrientation(6, QByteArray("not an image")).isEmpty());
  // A saved JPEG carries its orientation too.
  QTemporaryDir dir;
  ASSERT_TRUE(Utilities::saveImage(img, dir.filePath("a.jpg"), 8));
  QImageReader saved(dir.filePath("a.jpg"));
  EXPECT_EQ(saved.transformation(), QImageIOHandler::TransformationRotate270);
  EXPECT_EQ(saved.size(), QSize(40, 20));
}

TEST_F(DeviceFixture, FirmwareVersionAndFormatNeedAConnection) {
  connect();
  sim->setControlReply(DeviceOpcodeFirmwareVersion, devsim::ControlReply{0x2001, {23}});
  ASSERT_EQ(Utilities::refreshFirmwareVersion(), PTP_RC_OK);
  EXPECT_EQ(Utilities::firmwareVersion(), 23);
  EXPECT_TRUE(Utilities::isFirmwareUpdateAvailable());
  sim->setControlReply(DeviceOpcodeFirmwareVersion, devsim::ControlReply{0x2001, {24}});
  ASSERT_EQ(Utilities::refreshFirmwareVersion(), PTP_RC_OK);
  EXPECT_FALSE(Utilities::isFirmwareUpdateAvailable());

  // Not connected: an error, and no question about formatting.
  modeltest::AlertAnswerer answerer;
  const size_t before = sim->receivedCount();
  Utilities::formatKorvalumeSdCard();
  ASSERT_TRUE(kvtest::waitUntil([&] { return !answerer.seen().empty(); }));
  EXPECT_EQ(answerer.seen().front().information, "Please ensure you are connected before formatting.");
  EXPECT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(sim->receivedCount(), before);
}

TEST_F(DeviceFixture, MovieDownloadsInRangesUnderItsOwnSafeName) {
  connect();
  devsim::Bytes movie(5 * 1024 * 1024);
  for (size_t i = 0; i < movie.size(); ++i) movie[i] = static_cast<uint8_t>(i * 7);
  sim->addObject(9, movie);
  QTemporaryDir folder;
  // A file of that name is already there (another card's clip): it must survive.
  QFile existing(folder.filePath("clip.MOV"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("mine");
  existing.close();

  std::vector<double> progress;
  PtpResponseCode rc = 0;
  const auto record = object("clip.MOV", 0x300D, 9, static_cast<uint32_t>(movie.size()));
  const QString path = Utilities::downloadVideo(record, folder.path(), [&](double f) { progress.push_back(f); },
                                                nullptr, rc);
  ASSERT_EQ(rc, PTP_RC_OK);
  EXPECT_EQ(path, folder.filePath("clip_2.MOV"));
  EXPECT_EQ(progress, (std::vector<double>{0.0, 0.4, 0.8}));
  QFile got(path);
  ASSERT_TRUE(got.open(QIODevice::ReadOnly));
  EXPECT_EQ(got.readAll(), QByteArray(reinterpret_cast<const char*>(movie.data()), qsizetype(movie.size())));
  QFile mine(folder.filePath("clip.MOV"));
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
  EXPECT_EQ(mine.readAll(), "mine");

  // A name from the device cannot leave the folder.
  const auto evil = object("../../escape.MOV", 0x300D, 9, 1000);
  const QString inside = Utilities::downloadVideo(evil, folder.path(), nullptr, nullptr, rc);
  ASSERT_EQ(rc, PTP_RC_OK);
  EXPECT_EQ(QFileInfo(inside).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());

  // Cancelled after the first range: nothing is left behind.
  const QStringList before = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
  int calls = 0;
  EXPECT_TRUE(Utilities::downloadVideo(record, folder.path(), nullptr, [&] { return ++calls > 1; }, rc).isEmpty());
  EXPECT_EQ(rc, ERROR_CANCELLED);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);

  // The device fails a range: an error, and no partial movie that looks whole.
  modeltest::AlertAnswerer answerer;
  const auto missing = object("gone.MOV", 0x300D, 77, 3000000);
  EXPECT_TRUE(Utilities::downloadVideo(missing, folder.path(), nullptr, nullptr, rc).isEmpty());
  EXPECT_NE(rc, PTP_RC_OK);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);
}
