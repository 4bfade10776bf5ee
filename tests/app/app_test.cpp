// The application as a user meets it: launch, the connect screen's answers to each
// connection status, Connect against the simulator through the development override, the
// camera window and its close, the settings window, and the end of the application.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QListView>
#include <QPointer>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "app/app_delegate.h"
#include "app/share_connection_view_controller.h"
#include "app_support.h"
#include "model/command_runner.h"
#include "model/connection_status.h"
#include "model/settings_window_controller.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/modal.h"
#include "platform/user_defaults.h"
#include "platform/window_registry.h"
#include "ptp/base/object_info.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/connect_run.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "stylekit/korvalume_style_kit.h"
#include "support/qt_test_support.h"
#include "tools/devsim/frames.h"
#include "tools/devsim/simulator.h"
#include "ui/widgets/hud/mb_progress_hud.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "viewer/camera/share_camera_window_controller.h"

using namespace std::chrono_literals;
using apptest::AlertReader;
using apptest::ShownAlert;
using apptest::visibleWindow;

namespace {

const QString kConnectWindow = QStringLiteral("ConnectWindow");
const QString kCameraWindow = QStringLiteral("ShareCameraWindow");
const QString kUnableToConnect = QStringLiteral(
    "Unable to connect to Korvalume. Please join the Korvalume WiFi network within the System Preferences");

devsim::Bytes jpegBytes(QColor colour) {
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG");
  return devsim::Bytes(out.begin(), out.end());
}

// A new shot as the device announces it: its record, then the whole object.
bool pushPhoto(devsim::Simulator& sim, uint32_t id, const char* name) {
  const devsim::Bytes jpeg = jpegBytes(QColor::fromHsv(int(id * 40 % 360), 200, 220));
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = static_cast<uint32_t>(jpeg.size());
  objectInfoSetFileName(r, name);
  devsim::Bytes record(kObjectInfoBytes);
  std::memcpy(record.data(), &r, kObjectInfoBytes);
  return sim.sendFrame(15, devsim::makeRelayBody(176, record, kObjectInfoBytes)) && sim.pushPtp(2, 0x1009, jpeg);
}

// A loopback port nothing listens on.
int closedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  ::close(fd);
  return ntohs(a.sin_port);
}

class App : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 50ms;
    save = kvtest::tempHome() + "/Pictures/Korvalume";
    ASSERT_TRUE(QDir().mkpath(save));
    Utilities::setFolderChooser([this] {
      ++asked;
      return answer;
    });
    answer = save;
  }
  void TearDown() override {
    ShareComms::instance().stop();
    linkDisconnect();
    if (sim) sim->stop();
    shareSetMode(ShareModeNone);
    Utilities::setFolderChooser(nullptr);
  }

  std::unique_ptr<AppDelegate> launch() {
    auto delegate = std::make_unique<AppDelegate>();
    delegate->applicationDidFinishLaunching();
    // The save folder is looked at once the window is up.
    EXPECT_TRUE(kvtest::waitUntil([&] {
      return visibleWindow(kConnectWindow) != nullptr &&
             (asked > 0 || !UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath).isEmpty());
    }));
    return delegate;
  }

  void startDevice(int generation) {
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{.generation = generation});
    ASSERT_TRUE(sim->start());
  }

  static void pressConnect(AppDelegate& d) {
    SYFlatButton* b = d.connectWindowController()->viewController()->oConnectButton;
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
  }

  // Everything posted so far handled, no alert left open.
  static bool settled(AppDelegate& d, int status) {
    return d.connectWindowController()->viewController()->currentConnectionStatus() == status && Modal::depth() == 0 &&
           kvtest::visibleAlerts().empty() && !d.connectWindowController()->viewController()->isConnecting();
  }

  ScopedTiming restore;
  QString save, answer;
  int asked = 0;
  std::unique_ptr<devsim::Simulator> sim;
};

TEST_F(App, TheConnectScreenAnswersEachStatusAsWritten) {
  // Statuses come in bursts: those of one burst are posted together, so that the later ones
  // arrive while the alert of an earlier one is still up.
  struct Case {
    const char* what;
    std::vector<std::vector<int>> bursts;
    std::vector<ShownAlert> alerts;
    bool cameraWindowShown;
  } cases[] = {
      {"a second not-connected is silent", {{2}}, {}, false},
      {"sharing disabled", {{8}}, {{"Error", "Sharing is disabled.", ShareConnectionViewController::sharingHelpText()}}, false},
      {"start failed then sharing disabled", {{3, 8}}, {{"Error", "Sharing is disabled.", ShareConnectionViewController::sharingHelpText()}}, false},
      {"unknown", {{0}}, {{"Error", "Unknown Connection Status", ""}}, false},
      {"out of range", {{9}}, {{"Error", "Unknown Connection Status", ""}}, false},
      {"statuses without a message", {{1, 4, 6, 7}}, {}, false},
      // The watchdog and the session's end both report a lost link.
      {"connected, then lost twice", {{5}, {2, 2}}, {{"Error", "Connection to Korvalume lost.", ""}}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto delegate = launch();
    AlertReader alerts;
    bool cameraShown = false;
    for (const std::vector<int>& burst : c.bursts) {
      for (int s : burst) postConnectionStatus({static_cast<ConnectionStatus>(s)});
      const int expected = Utilities::connectionStatusForInteger(burst.back());
      ASSERT_TRUE(kvtest::waitUntil([&] {
        cameraShown = cameraShown || visibleWindow(kCameraWindow) != nullptr;
        return settled(*delegate, expected) && (expected != ConnectionStatusConnected || cameraShown);
      }));
    }
    ASSERT_EQ(alerts.messages().size(), c.alerts.size());
    for (size_t i = 0; i < c.alerts.size(); ++i) {
      EXPECT_EQ(alerts.messages()[i].title, c.alerts[i].title);
      EXPECT_EQ(alerts.messages()[i].information, c.alerts[i].information);
      EXPECT_EQ(alerts.messages()[i].help, c.alerts[i].help);
    }
    EXPECT_EQ(cameraShown, c.cameraWindowShown);
    // The connect screen is back whatever happened.
    EXPECT_TRUE(kvtest::waitUntil([] { return visibleWindow(kConnectWindow) && !visibleWindow(kCameraWindow); }));
  }
}

TEST_F(App, AFailedConnectTellsHowToJoinTheDevice) {
  // Refused, and malformed: both fail the connect without looking further.
  for (const std::string value : {"127.0.0.1:" + std::to_string(closedPort()), std::string("127.0.0.1:notaport")}) {
    SCOPED_TRACE(value);
    apptest::DeviceOverride device(value);
    auto delegate = launch();
    AlertReader alerts;
    pressConnect(*delegate);
    ASSERT_TRUE(kvtest::waitUntil([&] { return alerts.messages().size() == 1 && settled(*delegate, ConnectionStatusDisconnected); }));
    EXPECT_EQ(alerts.messages()[0].information, kUnableToConnect);
    const QString help = alerts.messages()[0].help;
    EXPECT_TRUE(help.startsWith("- Try again\n\n- Check WiFi is connected to Korvalume network\n\n"
                                "- Check Korvalume battery\n\n- Restart Korvalume app and device\n\n- "))
        << help.toStdString();
    EXPECT_EQ(connectGeneration(), 0);
    EXPECT_TRUE(visibleWindow(kConnectWindow));
  }
}

TEST_F(App, ConnectOpensTheCameraWindowAndItsCloseBringsBackTheConnectScreen) {
  for (int generation : {2, 1}) {
    SCOPED_TRACE(generation);
    UserDefaults::standardUserDefaults().setBool(true, kDefaultsCanSaveImages);
    startDevice(generation);
    apptest::DeviceOverride device("127.0.0.1:" + std::to_string(sim->port()) + ":" + std::to_string(generation));
    auto delegate = launch();
    AlertReader alerts;
    int lastWindowClosed = 0;
    auto counter = QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { ++lastWindowClosed; });
    // A second press while the first run is on its way changes nothing.
    pressConnect(*delegate);
    pressConnect(*delegate);
    ASSERT_TRUE(kvtest::waitUntil([] { return visibleWindow(kCameraWindow) && !visibleWindow(kConnectWindow); }));
    EXPECT_EQ(sim->connectionCount(), 1);
    EXPECT_EQ(connectGeneration(), generation);
    EXPECT_EQ(UserDefaults::standardUserDefaults().boolForKey(kDefaultsCanSaveImages), generation == 2);
    // What the device shares reaches the window.
    ASSERT_TRUE(pushPhoto(*sim, 7, "IMG_0007.JPG"));
    ASSERT_TRUE(pushPhoto(*sim, 8, "IMG_0008.JPG"));
    QListView* strip = visibleWindow(kCameraWindow)->findChild<QListView*>("oCollectionView");
    ASSERT_NE(strip, nullptr);
    ASSERT_TRUE(kvtest::waitUntil([&] { return strip->model() && strip->model()->rowCount() == 2; }));
    // The user closes the camera window: the link is cut, the connect screen comes back and
    // the application keeps running.
    visibleWindow(kCameraWindow)->close();
    EXPECT_TRUE(visibleWindow(kConnectWindow));
    ASSERT_TRUE(kvtest::waitUntil([&] { return settled(*delegate, ConnectionStatusDisconnected); }));
    EXPECT_EQ(lastWindowClosed, 0);
    EXPECT_FALSE(ShareComms::instance().hasPtpQueue());
    ASSERT_EQ(alerts.messages().size(), 1u);
    EXPECT_EQ(alerts.messages()[0].information, "Connection to Korvalume lost.");
    QObject::disconnect(counter);
    ShareComms::instance().stop();
    sim->stop();
    sim.reset();
  }
}

TEST_F(App, ALostLinkClosesTheCameraWindowWithOneMessage) {
  startDevice(2);
  apptest::DeviceOverride device("127.0.0.1:" + std::to_string(sim->port()));
  auto delegate = launch();
  AlertReader alerts;
  pressConnect(*delegate);
  ASSERT_TRUE(kvtest::waitUntil([] { return visibleWindow(kCameraWindow) != nullptr; }));
  sim->closeClient();
  ASSERT_TRUE(kvtest::waitUntil([&] { return !visibleWindow(kCameraWindow) && visibleWindow(kConnectWindow) &&
                                             settled(*delegate, ConnectionStatusDisconnected) && alerts.messages().size() >= 1; }));
  // The watchdog's heartbeat may report the loss too: still one message.
  const int heartbeats = 3;
  QTest::qWait(int(timing().heartbeatPeriod.load().count()) * heartbeats);
  ASSERT_EQ(alerts.messages().size(), 1u);
  EXPECT_EQ(alerts.messages()[0].information, "Connection to Korvalume lost.");
}

TEST_F(App, WithoutASaveFolderNothingIsLoadedOrConnected) {
  startDevice(2);
  apptest::DeviceOverride device("127.0.0.1:" + std::to_string(sim->port()));
  answer.clear();  // the user cancels the folder dialog
  auto delegate = launch();
  EXPECT_EQ(asked, 1);
  pressConnect(*delegate);
  EXPECT_EQ(asked, 2);  // asked again, cancelled again: no connect
  QTest::qWait(50);
  EXPECT_EQ(sim->connectionCount(), 0);
  EXPECT_FALSE(delegate->connectWindowController()->viewController()->isConnecting());
  EXPECT_FALSE(QDir(Utilities::cacheFolderPath()).exists());
  // Chosen at the next press: the cache is prepared and the connect goes ahead.
  answer = save;
  pressConnect(*delegate);
  ASSERT_TRUE(kvtest::waitUntil([] { return visibleWindow(kCameraWindow) != nullptr; }));
  EXPECT_TRUE(QDir(Utilities::cacheFolderPath()).exists());
  EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath), QFileInfo(save).absoluteFilePath());
}

TEST_F(App, TheSessionStartsOnceTheCacheIsLoaded) {
  // A cache folder from earlier sessions, big enough that loading it takes a while.
  constexpr size_t kRecords = cacheRecordLimit;
  const QByteArray cache = Utilities::cacheFolderPath().toUtf8(), saved = save.toUtf8();
  ASSERT_TRUE(QDir().mkpath(Utilities::cacheFolderPath()));
  ASSERT_EQ(cacheLoad(cache.constData(), saved.constData()), 1);
  for (uint32_t id = 1; id <= kRecords; ++id) {
    PtpObjectInfoStruct r{};
    r.objectId = id;
    r.objectFormat = 0x3801;
    objectInfoSetFileName(r, QStringLiteral("OLD_%1.JPG").arg(id).toStdString().c_str());
    ASSERT_EQ(cacheStoreRecord(r), 1);
  }
  cacheClear();
  ASSERT_EQ(cacheCount(), 0u);
  UserDefaults::standardUserDefaults().setObject(save, kDefaultsSaveFolderPath);
  UserDefaults::standardUserDefaults().setObject(Utilities::bookmarkForFolder(save), kDefaultsSandboxBookmark);
  startDevice(2);
  // The simulator answers heartbeats until the fixture stops it, after this body's end.
  auto loadedAtFirstHeartbeat = std::make_shared<std::atomic<long>>(-1);
  sim->setControlHandler(devsim::kOpcodeHeartbeat, [loadedAtFirstHeartbeat](const devsim::ControlRequest&) {
    long expected = -1;
    loadedAtFirstHeartbeat->compare_exchange_strong(expected, long(cacheCount()));
    return devsim::ControlReply{};
  });
  apptest::DeviceOverride device("127.0.0.1:" + std::to_string(sim->port()));
  auto delegate = launch();  // the connect screen starts the load
  pressConnect(*delegate);   // at once
  ASSERT_TRUE(kvtest::waitUntil([] { return visibleWindow(kCameraWindow) != nullptr; }));
  EXPECT_EQ(loadedAtFirstHeartbeat->load(), long(kRecords));
}

TEST_F(App, TheSettingsItemOpensOneWindow) {
  auto delegate = launch();
  QAction* item = delegate->window()->findChild<QAction*>("settingsAction");
  ASSERT_NE(item, nullptr);
  auto settingsWindows = [] {
    int n = 0;
    for (const WindowRegistry::Entry& e : WindowRegistry::orderedWindows())
      if (e.window->windowTitle() == QLatin1String("Settings")) ++n;
    return n;
  };
  item->trigger();
  item->trigger();
  ASSERT_TRUE(kvtest::waitUntil([&] { return settingsWindows() == 1; }));
  QPointer<SettingsWindowController> first = delegate->settingsWindowController();
  ASSERT_TRUE(first);
  first->window()->close();
  ASSERT_TRUE(kvtest::waitUntil([&] { return !first && settingsWindows() == 0; }));
  item->trigger();
  ASSERT_TRUE(kvtest::waitUntil([&] { return settingsWindows() == 1; }));
  EXPECT_NE(delegate->settingsWindowController(), nullptr);
}

TEST_F(App, TheConnectScreenShowsItsLogoConnectButtonAndGearAndAlertsCarryTheAppIcon) {
  auto delegate = launch();
  QWidget* window = visibleWindow(kConnectWindow);
  ASSERT_NE(window, nullptr);
  ShareConnectionViewController* screen = delegate->connectWindowController()->viewController();
  // Light pixels of a widget as drawn on its window's dark background.
  auto lightPixels = [](QWidget* w, qreal scale) {
    QPixmap shot(w->size() * scale);
    shot.setDevicePixelRatio(scale);
    w->window()->render(&shot, QPoint(), QRegion(QRect(w->mapTo(w->window(), QPoint()), w->size())));
    const QImage image = shot.toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) > 140;
    return n;
  };
  for (const qreal scale : {1.0, 2.0}) {
    SCOPED_TRACE(scale);
    // The gear: as many pixels as the icon kit's gear has, whatever the screen's scale.
    const QImage gear = KorvalumeStyleKit::imageOfGearWithSize(QSizeF(30, 30)).render(scale);
    int gearPixels = 0;
    for (int y = 0; y < gear.height(); ++y)
      for (int x = 0; x < gear.width(); ++x) gearPixels += qAlpha(gear.pixel(x, y)) > 128;
    EXPECT_NEAR(lightPixels(screen->oSettingsButton, scale), gearPixels, gearPixels * 0.25);
    EXPECT_GT(lightPixels(screen->oConnectButton, scale), 20 * scale * scale);   // its title
    EXPECT_GT(lightPixels(window->findChild<QWidget*>("oLogoImageView"), scale), 1000 * scale * scale);
  }
  QPixmap look(window->size() * 2);
  look.setDevicePixelRatio(2);
  window->render(&look);
  if (const QByteArray dir = qgetenv("KV_SNAPSHOT_DIR"); !dir.isEmpty())
    look.save(QString::fromLocal8Bit(dir) + "/connect-screen@2x.png");
  // The application's icon is every window's, and the alerts show it.
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  AlertReader alerts;
  QImage alertIcon;
  QTimer peek;
  QObject::connect(&peek, &QTimer::timeout, [&] {
    for (QWidget* a : kvtest::visibleAlerts())
      for (QLabel* l : a->findChildren<QLabel*>())
        if (l->maximumSize() == QSize(24, 24) && !l->pixmap().isNull()) alertIcon = l->pixmap().toImage();
  });
  peek.start(1);
  postConnectionStatus({ConnectionStatusSharingDisabled});
  ASSERT_TRUE(kvtest::waitUntil([&] { return alerts.messages().size() == 1; }));
  EXPECT_FALSE(alertIcon.isNull());
}

}  // namespace

// The end of the application in a child process: a session with photos, the camera window
// closed, then the last window: the application quits through its own path and every
// thread it started is gone when the main loop returns.
KV_EXIT_SCENARIO(QuitJoinsEveryThread) {
  timing().heartbeatPeriod = 50ms;
  const QString save = kvtest::tempHome() + "/Saved";
  QDir().mkpath(save);
  Utilities::setFolderChooser([save] { return save; });
  devsim::Simulator sim;
  if (!sim.start()) return 2;
  apptest::DeviceOverride device("127.0.0.1:" + std::to_string(sim.port()));
  const int before = apptest::threadCount();
  int during = 0;
  // A HUD's task still running when the application ends: it ends 300 ms into the quit.
  std::atomic<bool> quitting{false};
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { quitting = true; });
  {
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    if (!kvtest::waitUntil([] { return visibleWindow(kConnectWindow) != nullptr; })) return 3;
    kvtest::waitUntil([] { return !UserDefaults::standardUserDefaults().stringForKey(kDefaultsSaveFolderPath).isEmpty(); });
    QTest::mouseClick(delegate.connectWindowController()->viewController()->oConnectButton.data(), Qt::LeftButton, {},
                      QPoint(5, 5));
    if (!kvtest::waitUntil([] { return visibleWindow(kCameraWindow) != nullptr; })) return 4;
    for (uint32_t id = 1; id <= 5; ++id) pushPhoto(sim, id, qPrintable(QStringLiteral("IMG_%1.JPG").arg(id)));
    QListView* strip = visibleWindow(kCameraWindow)->findChild<QListView*>("oCollectionView");
    if (!kvtest::waitUntil([&] { return strip->model()->rowCount() == 5; })) return 5;
    during = apptest::threadCount();
    visibleWindow(kCameraWindow)->close();
    // The lost-connection alert, then the last window.
    AlertReader alerts;
    if (!kvtest::waitUntil([&] { return alerts.messages().size() == 1 && kvtest::visibleAlerts().empty(); })) return 6;
    MBProgressHUD::showHUDAddedTo(visibleWindow(kConnectWindow), false)->showWhileExecuting([&quitting] {
      while (!quitting) std::this_thread::sleep_for(1ms);
      std::this_thread::sleep_for(300ms);
    }, false);
    QTimer::singleShot(0, [] { visibleWindow(kConnectWindow)->close(); });
    QApplication::exec();  // returns once the last window has closed
    if (!delegate.joinedEveryWorker()) return 9;
  }
  // A joined thread leaves the kernel's list a moment after its join has returned.
  int after = apptest::threadCount();
  for (int i = 0; i < 100 && after != before; ++i) {
    std::this_thread::sleep_for(1ms);
    after = apptest::threadCount();
  }
  std::fprintf(stderr, "threads: before %d, during %d, after %d (%s)\n", before, during, after,
               apptest::threadNames().c_str());
  if (during <= before) return 7;  // the session's threads were not there to count
  return after == before ? 0 : 8;
}

TEST(AppEnd, QuitJoinsEveryThread) { EXPECT_EQ(kvtest::runExitScenario("QuitJoinsEveryThread", 60s), 0); }
