// The main window against the simulator: connect through the development override, then
// what the demo device shoots reaches the strip and the pane in order; a click downloads
// through the device in both generations; an upright portrait in strip and pane alike.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QTest>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <cstring>
#include <memory>

#include "model/connection_status.h"
#include "model/exif_reader.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch_queue.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/connect_run.h"
#include "share/discovery.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "support/alert_support.h"
#include "support/qt_test_support.h"
#include "tools/devsim/demo.h"
#include "tools/devsim/demo_images.h"
#include "tools/devsim/frames.h"
#include "tools/devsim/liveview.h"
#include "tools/devsim/simulator.h"
#include "viewer/camera/share_camera_window_controller.h"
#include "viewer/session/session_list.h"
#include "viewer/liveview/af_overlay_view.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/still/exif_view.h"
#include "viewer/still/still_image_view_controller.h"
#include "viewer/strip/thumbnail_badge.h"
#include "viewer/strip/thumbnail_view_cell.h"

using namespace std::chrono_literals;

namespace {

constexpr uint64_t kSeed = 11;
constexpr int64_t kFirstCapture = 1765000000;

// Threads of this process by their name, as /proc shows it.
int threadsNamed(const std::string& wanted) {
  int n = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == wanted) ++n;
  }
  return n;
}

// Mean difference per channel of two pictures of one size (255 when the sizes differ).
double meanDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return 255;
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col)
      sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
             std::abs(qBlue(p[col]) - qBlue(q[col]));
  }
  return sum / (3.0 * x.width() * x.height());
}

// The picture a live frame carries, by its camera code.
QImage livePicture(const LiveViewImageEvent& e) {
  QByteArray jpeg = e.data;
  if (e.camera == 13) {
    const int start = e.data.indexOf(QByteArray("\xFF\xD8\xFF", 3), 1360);
    jpeg = start < 0 ? QByteArray() : e.data.mid(start);
  }
  return QImage::fromData(jpeg, "JPEG");
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 50ms;
    // Tests that share a process share a home: no test's session is offered to the next.
    SessionList::waitForFileWrites();
    QFile::remove(SessionList::sessionFilePath());
    save = kvtest::tempHome() + "/Saved";
    ASSERT_TRUE(QDir().mkpath(save));
    UserDefaults::standardUserDefaults().setObject(save, kDefaultsSaveFolderPath);
    Utilities::configureCache();
    ASSERT_TRUE(Utilities::waitForCacheLoad(30s));
  }
  void TearDown() override {
    if (demo) demo->stop();
    if (window) window->close();
    kvtest::waitUntil([this] { return window.isNull(); });
    ShareComms::instance().stop();
    linkDisconnect();
    if (sim) sim->stop();
    shareSetMode(ShareModeNone);
    unsetenv(kDeviceOverrideVariable);
  }

  // Connects as the connect screen does, then opens the window.
  void connect(int generation) {
    connectSession(generation);
    window = ShareCameraWindowController::createAndShowWindow();
    ASSERT_TRUE(window);
  }
  void connectSession(int generation) {
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{.generation = generation});
    ASSERT_TRUE(sim->start());
    const std::string device = "127.0.0.1:" + std::to_string(sim->port()) + ":" + std::to_string(generation);
    setenv(kDeviceOverrideVariable, device.c_str(), 1);
    ASSERT_EQ(connectRunStep(), ConnectionStatusConnected);
  }

  // A small JPEG shot announced by its record and pushed whole, as the device does.
  PtpObjectInfoStruct pushShot(uint32_t id, const QString& name, int hue) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv(hue, 200, 200));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    PtpObjectInfoStruct r{};
    r.objectId = id;
    r.objectFormat = 0x3801;
    r.objectCompressedSize = uint32_t(jpeg.size());
    objectInfoSetFileName(r, name.toStdString().c_str());
    devsim::Bytes record(kObjectInfoBytes);
    std::memcpy(record.data(), &r, kObjectInfoBytes);
    EXPECT_TRUE(sim->sendFrame(15, devsim::makeRelayBody(176, record)));
    EXPECT_TRUE(sim->pushPtp(2, 0x1009, devsim::Bytes(jpeg.begin(), jpeg.end())));
    return r;
  }

  // Closes the window and ends the session, as a quit would.
  void endSession() {
    if (demo) demo->stop();
    window->close();
    EXPECT_TRUE(kvtest::waitUntil([&] { return window.isNull(); }));
    ShareComms::instance().stop();
    linkDisconnect();
    sim->stop();
  }

  // A session with three shots of its own, ended: the next window offers it back.
  std::vector<PtpObjectInfoStruct> earlierSession(QStringList& cachedFiles, uint32_t firstId = 900001) {
    connect(2);
    std::vector<PtpObjectInfoStruct> earlier;
    for (uint32_t i = 0; i < 3; ++i)
      earlier.push_back(pushShot(firstId + i, QStringLiteral("OLD_%1.JPG").arg(firstId + i), int(i * 90)));
    EXPECT_TRUE(kvtest::waitUntil([&] { return strip()->count() == 3; }));
    EXPECT_TRUE(kvtest::waitUntil([&] { return window->sessionList()->objects().size() == 3; }));
    for (const PtpObjectInfoStruct& r : earlier) EXPECT_TRUE(cacheObjectPath(r).has_value());
    cachedFiles = QDir(Utilities::cacheFolderPath()).entryList(QDir::Files);
    EXPECT_FALSE(cachedFiles.isEmpty());
    endSession();
    return earlier;
  }

  // The handles the session file holds, in order (0 for an element that is not a handle).
  static std::vector<uint32_t> handlesInSessionFile() {
    std::vector<uint32_t> out;
    SessionList::waitForFileWrites();
    for (const QVariant& element : propertyListFromFile(SessionList::sessionFilePath()).toList()) {
      const std::optional<PtpObjectInfoStruct> r = sessionRecordForElement(element);
      out.push_back(r ? r->objectId : 0);
    }
    return out;
  }

  bool earlierFilesGone(const QStringList& files) {
    return kvtest::waitUntil([&] {
      for (const QString& name : files)
        if (QFileInfo::exists(Utilities::cacheFolderPath() + "/" + name)) return false;
      return true;
    });
  }

  void startDemo(std::chrono::milliseconds interval) {
    demo = std::make_unique<devsim::Demo>(
        *sim, devsim::Demo::Options{.interval = interval, .seed = kSeed, .firstCaptureTime = kFirstCapture});
    demo->start();
  }

  static devsim::DemoShot shot(uint32_t index) {
    return devsim::makeDemoShot(kSeed, index, kFirstCapture + int64_t(index) * 0);
  }

  MainThumbnailController* strip() { return window->thumbnailController(); }
  StillImageViewController* pane() { return window->stillImageViewController(); }

  ScopedTiming restore;
  QString save;
  std::unique_ptr<devsim::Simulator> sim;
  std::unique_ptr<devsim::Demo> demo;
  QPointer<ShareCameraWindowController> window;
};

TEST_F(MainWindow, TwentyShotsReachTheStripInOrderWithTheirBadgesAndTheLastShowsWithItsShootingData) {
  connect(2);
  startDemo(5ms);
  ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() >= 20; }, 60s));
  demo->stop();
  // A stop may cut a shot after its thumbnail: that one is in the strip without its image.
  const uint32_t pushed = demo->shotsPushed();
  ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() >= int(pushed); }));
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    const devsim::DemoShot s = devsim::makeDemoShot(kSeed, uint32_t(i), 0);
    const auto info = strip()->objectInfoAt(i);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->fileName().toStdString(), s.fileName);
    EXPECT_EQ(thumbnailBadgeFor(*info->origObjectInfo()), s.isRaw() ? ThumbnailBadge::Raw : ThumbnailBadge::None);
  }
  // The newest whole image is on show, with its file name and its shooting data.
  const devsim::DemoShot last = devsim::makeDemoShot(kSeed, pushed - 1, 0);
  ASSERT_TRUE(kvtest::waitUntil([&] {
    const auto shown = pane()->currentObjectInfo();
    return shown && shown->fileName().toStdString() == last.fileName && !pane()->shownImage().isNull() &&
           pane()->exif() != nullptr;
  }));
  EXPECT_EQ(strip()->selectedIndex(), int(pushed) - 1);
  auto* exifView = pane()->view()->findChild<ExifView*>("oExifView");
  ASSERT_NE(exifView, nullptr);
  ASSERT_TRUE(kvtest::waitUntil([&] { return exifView->exif() != nullptr; }));
  EXPECT_EQ(exifView->exif()->iso(), last.exposure.iso);
  EXPECT_EQ(exifView->exif()->focalLength(), last.exposure.focalLength);
  auto* name = pane()->view()->findChild<QLabel*>("oFileNameTextField");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text().toStdString(), last.fileName);
}

TEST_F(MainWindow, AClickDownloadsThroughTheDeviceAndShows) {
  for (int generation : {2, 1}) {
    SCOPED_TRACE(generation);
    connect(generation);
    // A shot the device announces with its thumbnail only: its bytes are on the device.
    const devsim::DemoShot s = shot(3);
    sim->addObject(s.handle, s.file);
    sim->addFile(s.fileName, s.file, [&] {
      devsim::Bytes t{s.orientation};
      t.insert(t.end(), s.thumbnail.begin(), s.thumbnail.end());
      return t;
    }());
    const PtpObjectInfoStruct record = s.record();
    ASSERT_TRUE(sim->sendFrame(15, devsim::makeRelayBody(176, devsim::Demo::relayedRecord(record, generation))));
    if (generation == 2) {
      ASSERT_TRUE(sim->pushPtp(2, 0x100A, s.thumbnail));
    } else {
      devsim::Bytes t{s.orientation};
      t.insert(t.end(), s.thumbnail.begin(), s.thumbnail.end());
      // The thumbnail-by-name reply carries the orientation the first-generation record lacks.
      ASSERT_TRUE(sim->send(devsim::makeControlReply(2, 242, 0x2001, t)));
    }
    ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() == 1; }));
    EXPECT_FALSE(pane()->currentObjectInfo());
    // The user clicks it.
    const size_t before = sim->receivedCount();
    strip()->itemClicked(0);
    ASSERT_TRUE(kvtest::waitUntil([&] {
      const auto shown = pane()->currentObjectInfo();
      return shown && shown->fileName().toStdString() == s.fileName && !pane()->shownImage().isNull();
    }));
    EXPECT_GT(sim->receivedCount(), before);  // asked of the device
    EXPECT_EQ(strip()->count(), 1);            // the same item, not a second one
    window->close();
    ASSERT_TRUE(kvtest::waitUntil([&] { return window.isNull(); }));
    ShareComms::instance().stop();
    linkDisconnect();
    sim->stop();
    cacheClear();
    // The next window would offer this session back: not what this test is about.
    SessionList::waitForFileWrites();
    QFile::remove(SessionList::sessionFilePath());
  }
}

TEST_F(MainWindow, APortraitShotIsUprightInStripAndPaneAlike) {
  connect(2);
  startDemo(5ms);
  // The demo's first portrait, stored sideways with its orientation.
  uint32_t portrait = 0;
  while (shot(portrait).orientation == 1 || shot(portrait).isRaw()) ++portrait;
  const devsim::DemoShot s = shot(portrait);
  ASSERT_TRUE(s.orientation == 6 || s.orientation == 8);
  ASSERT_GT(s.width, s.height);  // stored landscape
  ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() > int(portrait); }, 60s));
  demo->stop();
  // Once the newest whole shot is on show (a stop may cut one after its thumbnail), an
  // older portrait is clicked; a click on the selected item would deselect it.
  const uint32_t pushed = demo->shotsPushed();
  const std::string newest = shot(pushed - 1).fileName;
  ASSERT_TRUE(kvtest::waitUntil([&] {
    const auto shown = pane()->currentObjectInfo();
    return strip()->count() >= int(pushed) && shown && shown->fileName().toStdString() == newest;
  }));
  if (newest != s.fileName) strip()->itemClicked(int(portrait));
  ASSERT_TRUE(kvtest::waitUntil([&] {
    const auto shown = pane()->currentObjectInfo();
    return shown && shown->fileName().toStdString() == s.fileName && !pane()->shownImage().isNull();
  }));
  const QImage shown = pane()->shownImage();
  EXPECT_GT(shown.height(), shown.width());
  // The caption band is drawn along the picture's top: after the turn it is at the top.
  auto darkRow = [](const QImage& image, int y) {
    long sum = 0;
    for (int x = 0; x < image.width(); ++x) sum += qGray(image.pixel(x, y));
    return sum / image.width() < 40;
  };
  EXPECT_TRUE(darkRow(shown, shown.height() / 100));
  EXPECT_FALSE(darkRow(shown, shown.height() - 1 - shown.height() / 100));
  // The strip's cell, painted as the strip paints it, shows the same way up: the first
  // rows of the picture are its caption band.
  ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->isDecoded(int(portrait)); }));
  ThumbnailViewCell cell;
  strip()->cellForRow(int(portrait), cell);
  ASSERT_FALSE(cell.thumbnailImage.isNull());
  cell.selected = false;
  cell.showFilename = false;
  QImage canvas(ThumbnailViewCell::cellSize(), QImage::Format_RGB32);
  canvas.fill(Qt::white);
  {
    QPainter painter(&canvas);
    cell.paint(painter, canvas.rect());
  }
  QRect picture;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (qGray(canvas.pixel(x, y)) < 235) picture |= QRect(x, y, 1, 1);
  ASSERT_FALSE(picture.isEmpty());
  EXPECT_GT(picture.height(), picture.width());
  const QImage drawn = canvas.copy(picture);
  EXPECT_TRUE(darkRow(drawn, 1));
  EXPECT_FALSE(darkRow(drawn, drawn.height() - 2));
}

TEST_F(MainWindow, ShotsPushedWhileTheSessionQuestionIsOpenSurviveCancel) {
  QStringList earlierFiles;
  earlierSession(earlierFiles);

  // The next session, minutes later: the earlier one is offered back. While the question
  // is up the camera goes on shooting; the user then says Cancel.
  int atCancel = -1;
  QTimer answer;
  answer.setInterval(2);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* alert : kvtest::visibleAlerts()) {
      if (!window || !demo) continue;
      if (demo->shotsPushed() == 0 && strip()->count() == 0) continue;
      if (strip()->count() < 5) continue;
      demo->stop();
      atCancel = int(demo->shotsPushed());
      kvtest::clickButton(alert, QStringLiteral("Cancel"));
    }
  });
  answer.start();
  connect(2);
  startDemo(5ms);
  ASSERT_TRUE(kvtest::waitUntil([&] { return atCancel >= 5; }, 60s));
  answer.stop();
  ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() == atCancel && window->sessionList()->isIdle(); }));
  // This session's shots are all kept: in the strip, in the list and its file, in the cache.
  const QVariantList objects = window->sessionList()->objects();
  EXPECT_EQ(int(objects.size()), atCancel);
  for (int i = 0; i < atCancel; ++i) {
    SCOPED_TRACE(i);
    const devsim::DemoShot s = shot(uint32_t(i));
    EXPECT_EQ(strip()->objectInfoAt(i)->fileName().toStdString(), s.fileName);
    EXPECT_TRUE(cacheObjectPath(s.record()).has_value());
  }
  // The earlier session's cached shots went with the Cancel.
  EXPECT_TRUE(earlierFilesGone(earlierFiles));
}

TEST_F(MainWindow, ShotsPushedBeforeTheWindowObservesReachTheStripAndSurviveCancel) {
  QStringList earlierFiles;
  earlierSession(earlierFiles);

  // The device pushes as soon as the session runs; here every shot lands, and is cached,
  // before the window exists.
  connectSession(2);
  startDemo(5ms);
  ASSERT_TRUE(kvtest::waitUntil([&] { return demo->shotsPushed() >= 4; }, 60s));
  demo->stop();
  const int pushed = int(demo->shotsPushed());
  for (int i = 0; i < pushed; ++i)
    ASSERT_TRUE(kvtest::waitUntil([&] { return cacheObjectPath(shot(uint32_t(i)).record()).has_value(); }));
  QStringList sessionFiles;
  for (const QString& name : QDir(Utilities::cacheFolderPath()).entryList(QDir::Files))
    if (!earlierFiles.contains(name)) sessionFiles << name;
  ASSERT_FALSE(sessionFiles.isEmpty());

  QTimer answer;
  answer.setInterval(2);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* alert : kvtest::visibleAlerts()) kvtest::clickButton(alert, QStringLiteral("Cancel"));
  });
  answer.start();
  window = ShareCameraWindowController::createAndShowWindow();
  ASSERT_TRUE(window);
  ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() >= pushed && window->sessionList()->isIdle(); }));
  answer.stop();
  // In the strip in order, in this session's list, and still in the cache after Cancel.
  const QVariantList objects = window->sessionList()->objects();
  ASSERT_GE(int(objects.size()), pushed);
  for (int i = 0; i < pushed; ++i) {
    SCOPED_TRACE(i);
    const devsim::DemoShot s = shot(uint32_t(i));
    EXPECT_EQ(strip()->objectInfoAt(i)->fileName().toStdString(), s.fileName);
    EXPECT_EQ(objects.at(i).toLongLong(), qlonglong(s.record().objectId));
    EXPECT_TRUE(cacheObjectPath(s.record()).has_value());
  }
  for (const QString& name : sessionFiles)
    EXPECT_TRUE(QFileInfo::exists(Utilities::cacheFolderPath() + "/" + name)) << name.toStdString();
  // The last whole image is on show.
  const devsim::DemoShot last = shot(uint32_t(pushed - 1));
  EXPECT_TRUE(kvtest::waitUntil([&] {
    const auto shown = pane()->currentObjectInfo();
    return shown && shown->fileName().toStdString() == last.fileName;
  }));
  EXPECT_TRUE(earlierFilesGone(earlierFiles));
}

TEST_F(MainWindow, ThePreviousSessionComesBackFromItsFileWithinSixHoursEitherWay) {
  // Age of the last session when the next one starts; within six hours either way it is
  // offered and loaded, and the list goes on in the file; at six hours it is let go. (A
  // future time draws nearer while the test runs, so its "too far" case has a margin.)
  struct Case {
    qint64 ageSeconds;
    bool offered;
  } cases[] = {{60, true}, {21540, true}, {-21540, true}, {21600, false}, {-21700, false}};
  uint32_t firstId = 900001;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "age " << c.ageSeconds);
    firstId += 100;
    const uint32_t newId = firstId + 50;
    const QString newName = QStringLiteral("NEW_%1.JPG").arg(newId);
    QStringList earlierFiles;
    const std::vector<PtpObjectInfoStruct> earlier = earlierSession(earlierFiles, firstId);
    const std::vector<uint32_t> earlierHandles{firstId, firstId + 1, firstId + 2};
    ASSERT_EQ(handlesInSessionFile(), earlierHandles);
    UserDefaults::standardUserDefaults().setObject(QDateTime::currentDateTimeUtc().addSecs(-c.ageSeconds),
                                                   kDefaultsLastSessionTime);

    int asked = 0;
    QTimer answer;
    answer.setInterval(2);
    QObject::connect(&answer, &QTimer::timeout, [&] {
      for (QWidget* alert : kvtest::visibleAlerts()) {
        ++asked;
        kvtest::clickButton(alert, QStringLiteral("Load Session"));
      }
    });
    answer.start();
    connect(2);
    ASSERT_TRUE(kvtest::waitUntil([&] { return window->sessionList()->isIdle(); }));
    const int restored = c.offered ? 3 : 0;
    ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() == restored; }));
    EXPECT_EQ(asked, c.offered ? 1 : 0);
    for (int i = 0; i < restored; ++i)
      EXPECT_EQ(strip()->objectInfoAt(i)->fileName().toStdString(), earlier[size_t(i)].fileName);
    if (!c.offered) EXPECT_TRUE(earlierFilesGone(earlierFiles));

    // A new shot follows the restored ones, in the strip, the list and the file.
    pushShot(newId, newName, 300);
    ASSERT_TRUE(kvtest::waitUntil([&] { return strip()->count() == restored + 1; }));
    EXPECT_EQ(strip()->objectInfoAt(restored)->fileName(), newName);
    std::vector<uint32_t> expected = c.offered ? earlierHandles : std::vector<uint32_t>{};
    expected.push_back(newId);
    ASSERT_TRUE(kvtest::waitUntil([&] { return handlesInSessionFile() == expected; }));
    EXPECT_EQ(int(window->sessionList()->objects().size()), restored + 1);
    answer.stop();
    endSession();
    if (HasFatalFailure()) return;

    // Round trip: the file as written is what the following session offers back.
    UserDefaults::standardUserDefaults().setObject(QDateTime::currentDateTimeUtc().addSecs(-60),
                                                   kDefaultsLastSessionTime);
    QTimer again;
    again.setInterval(2);
    QObject::connect(&again, &QTimer::timeout, [&] {
      for (QWidget* alert : kvtest::visibleAlerts()) kvtest::clickButton(alert, QStringLiteral("Load Session"));
    });
    again.start();
    connect(2);
    ASSERT_TRUE(kvtest::waitUntil([&] { return window->sessionList()->isIdle() && strip()->count() == restored + 1; }));
    again.stop();
    EXPECT_EQ(strip()->objectInfoAt(restored)->fileName(), newName);
    endSession();
    // The next round's first session starts without a previous one.
    SessionList::waitForFileWrites();
    QFile::remove(SessionList::sessionFilePath());
  }
}

TEST_F(MainWindow, LiveViewFromEachMakerIsShownWithCanonsFocusFrames) {
  struct Case {
    devsim::LiveViewVendor vendor;
    int generation;
    size_t afBoxes;  // Nikon's and Fujifilm's frames carry none a share session can place
  } cases[] = {{devsim::LiveViewVendor::Canon, 2, 3},
               {devsim::LiveViewVendor::Nikon, 2, 0},
               {devsim::LiveViewVendor::Fujifilm, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.vendor));
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{.generation = c.generation});
    ASSERT_TRUE(sim->start());
    devsim::LiveView live(*sim, {.vendor = c.vendor, .fps = 30});
    live.start();
    const std::string device = "127.0.0.1:" + std::to_string(sim->port()) + ":" + std::to_string(c.generation);
    setenv(kDeviceOverrideVariable, device.c_str(), 1);
    ASSERT_EQ(connectRunStep(), ConnectionStatusConnected);
    window = ShareCameraWindowController::createAndShowWindow();
    ASSERT_TRUE(window);

    ASSERT_TRUE(kvtest::waitUntil([&] {
      LiveViewImageView* view = pane()->liveViewImageView();
      return view && view->isVisible() && !view->image().isNull();
    }));
    LiveViewImageView* view = pane()->liveViewImageView();
    EXPECT_EQ(view->image().size(), QSize(devsim::kLiveViewWidth, devsim::kLiveViewHeight));
    // Frames keep coming and keep being shown.
    int shown = 0;
    QObject::connect(view, &LiveViewImageView::frameFinished, view, [&](bool s) { shown += s ? 1 : 0; });
    ASSERT_TRUE(kvtest::waitUntil([&] { return shown >= 5; }));
    if (c.afBoxes) {
      ASSERT_TRUE(kvtest::waitUntil([&] {
        const auto& overlay = view->afOverlayView()->shownOverlay();
        return overlay && overlay->boxes.size() == c.afBoxes;
      }));
    } else {
      EXPECT_FALSE(view->afOverlayView()->shownOverlay().has_value());
    }
    live.stop();
    endSession();
    if (HasFatalFailure()) return;
  }
}

// The device streams faster than the view can show (each decode is held 40 ms): one frame
// waits, the rest are let go, and what is shown at the end is the newest. A shot arriving
// mid-flood ends live view in the pane; the live view's worker goes with it, and closing
// the window mid-flood leaves none either.
TEST_F(MainWindow, ALiveFloodKeepsOneFrameWaitingShowsTheNewestAndLeavesNothingBehind) {
  const std::string workerName = DispatchQueue::threadName("com.korvalume.liveview");
  sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{.generation = 2});
  ASSERT_TRUE(sim->start());
  auto live = std::make_unique<devsim::LiveView>(*sim, devsim::LiveView::Options{.vendor = devsim::LiveViewVendor::Canon, .fps = 120});
  live->start();
  const std::string device = "127.0.0.1:" + std::to_string(sim->port()) + ":2";
  setenv(kDeviceOverrideVariable, device.c_str(), 1);
  ASSERT_EQ(connectRunStep(), ConnectionStatusConnected);
  // Every frame the session posts, counted, and the newest kept.
  std::mutex m;
  uint64_t arrived = 0;
  LiveViewImageEvent newest;
  QObject counter;
  observeLiveViewImage(&counter, [&](const LiveViewImageEvent& e) {
    std::lock_guard lock(m);
    ++arrived;
    newest = e;
  });
  window = ShareCameraWindowController::createAndShowWindow();
  ASSERT_TRUE(window);
  ASSERT_TRUE(kvtest::waitUntil([&] { return pane()->liveViewImageView() != nullptr; }));
  LiveViewImageView* view = pane()->liveViewImageView();
  view->setDecodeGateForTesting([] { std::this_thread::sleep_for(40ms); });
  const uint64_t arrivedBefore = [&] {
    std::lock_guard lock(m);
    return arrived;
  }();
  const uint64_t takenBefore = window->liveViewWakes() + window->liveViewFramesReplaced();
  const uint64_t startedBefore = view->decodesStarted();
  ASSERT_TRUE(kvtest::waitUntil([&] {
    std::lock_guard lock(m);
    return arrived - arrivedBefore >= 120;
  }));
  live->stop();  // the camera stops streaming
  ASSERT_TRUE(kvtest::waitUntil([&] { return !view->decodeInFlight() && !view->decodePending(); }));
  QCoreApplication::processEvents();
  ASSERT_TRUE(kvtest::waitUntil([&] { return !view->decodeInFlight() && !view->decodePending(); }));
  {
    std::lock_guard lock(m);
    // Every frame that arrived was taken once or replaced in the slot; far fewer decoded.
    EXPECT_EQ(window->liveViewWakes() + window->liveViewFramesReplaced() - takenBefore, arrived - arrivedBefore);
    const uint64_t decoded = view->decodesStarted() - startedBefore;
    EXPECT_LT(decoded * 2, arrived - arrivedBefore);
    // The newest is on show.
    EXPECT_LT(meanDifference(view->image(), livePicture(newest)), 1.0);
  }

  // The stream again; the camera stops it to take a shot while the view still has frames
  // to show: the pane shows the shot and the live view goes. (A frame after the shot would
  // bring live view back over it.)
  live->start();
  ASSERT_TRUE(kvtest::waitUntil([&] {
    std::lock_guard lock(m);
    return arrived - arrivedBefore >= 200;
  }));
  ASSERT_EQ(threadsNamed(workerName), 1);
  QPointer<LiveViewImageView> gone(view);
  live->stop();
  pushShot(920001, QStringLiteral("MIDFLOOD.JPG"), 30);
  ASSERT_TRUE(kvtest::waitUntil([&] {
    const auto shown = pane()->currentObjectInfo();
    return shown && shown->fileName() == QStringLiteral("MIDFLOOD.JPG");
  }));
  EXPECT_EQ(pane()->liveViewImageView(), nullptr);
  ASSERT_TRUE(kvtest::waitUntil([&] { return gone.isNull(); }));
  EXPECT_TRUE(kvtest::waitUntil([&] { return threadsNamed(workerName) == 0; }));

  // Live view again, and the window closed mid-flood.
  live->start();
  ASSERT_TRUE(kvtest::waitUntil([&] { return pane()->liveViewImageView() != nullptr; }));
  ASSERT_EQ(threadsNamed(workerName), 1);
  QPointer<LiveViewImageView> last(pane()->liveViewImageView());
  last->setDecodeGateForTesting([] { std::this_thread::sleep_for(40ms); });
  window->close();
  EXPECT_TRUE(kvtest::waitUntil([&] { return window.isNull(); }));
  EXPECT_TRUE(kvtest::waitUntil([&] { return last.isNull(); }));
  live.reset();
  EXPECT_TRUE(kvtest::waitUntil([&] { return threadsNamed(workerName) == 0; }));
  // Nor a frame: the newest one is held here alone.
  EXPECT_TRUE(kvtest::waitUntil([&] {
    std::lock_guard lock(m);
    return newest.data.isDetached();
  }));
}

TEST_F(MainWindow, ACanSavePushBeforeTheWindowObservesIsNotLost) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  // Pushed in this session before the window exists: read when the window registers.
  defaults.setBool(true, kDefaultsCanSaveImages);
  forgetClientCanSave();
  postClientCanSaveUpdated({false});
  window = ShareCameraWindowController::createAndShowWindow();
  EXPECT_FALSE(defaults.boolForKey(kDefaultsCanSaveImages));
  window->close();
  ASSERT_TRUE(kvtest::waitUntil([&] { return window.isNull(); }));
  // A new session forgets the last one's value: the setting stays as it is.
  defaults.setBool(true, kDefaultsCanSaveImages);
  connect(2);
  EXPECT_TRUE(defaults.boolForKey(kDefaultsCanSaveImages));
}

}  // namespace
