// layers: viewer devsim
// What a strip of 2,001 pushed photographs keeps in memory. The simulator pushes each JPEG
// after its object record through the running share session; the image goes to the strip
// as the main window hands it on, the strip makes its thumbnail, stores and posts it, and
// the posted thumbnail joins the strip. Prints the resident set before and after, with the
// peak, and what the items' thumbnails take. Not a timing: run it on its own.
// With --window the shots go through the real main window instead, connected as the
// connect screen does (the development device override, then the connect step), so the
// still pane decodes them too and the session list records them; a session question, if
// one comes, is answered Cancel. Home and settings are then in a temporary folder.
//   bench_strip_rss [--window] [--count N] [--width W] [--height H]   (defaults 2001, 6000 x 4000)
// For two device pixels per point, run it with QT_SCALE_FACTOR=2.
#include <malloc.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QListView>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "model/connection_status.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "platform/window_registry.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "share/connect_run.h"
#include "share/discovery.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "tools/devsim/simulator.h"
#include "ui/widgets/flat_button/sy_flat_button.h"
#include "viewer/camera/share_camera_window_controller.h"
#include "viewer/strip/main_thumbnail_controller.h"

namespace {

long statusKb(const char* field) {
  QFile f("/proc/self/status");
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(field)) return line.mid(static_cast<int>(std::strlen(field))).trimmed().split(' ').value(0).toLong();
  return -1;
}

// A photograph-sized JPEG with a little detail, so that it decodes like one.
devsim::Bytes photo(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient g(0, 0, width, height);
  g.setColorAt(0, QColor(30, 80, 150));
  g.setColorAt(1, QColor(220, 150, 60));
  p.fillRect(image.rect(), g);
  p.setPen(QColor(255, 255, 255, 120));
  for (int x = 0; x < width; x += 97) p.drawLine(x, 0, width - x, height);
  p.end();
  QByteArray out;
  QBuffer b(&out);
  b.open(QIODevice::WriteOnly);
  image.save(&b, "JPG", 85);
  return devsim::Bytes(out.begin(), out.end());
}

PtpObjectInfoStruct record(uint32_t id, size_t size) {
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = uint32_t(size);
  r.captureDate = 1700000000 + id;
  char name[40];
  std::snprintf(name, sizeof name, "IMG_%05u.JPG", id);
  objectInfoSetFileName(r, name);
  return r;
}

// Runs the event loop until done() or the bound passes.
bool pump(const std::function<bool()>& done, int seconds) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > seconds * 1000LL) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

// HOME, the XDG folders and so the settings, the cache and the session file in `root`.
void isolateHome(const QString& root) {
  setenv("HOME", root.toLocal8Bit().constData(), 1);
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
    const QString dir = root + "/" + QString::fromLatin1(var).toLower();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv(var, dir.toLocal8Bit().constData(), 1);
  }
  QDir().mkpath(root + "/Documents");
}

// Answers the alerts on screen: the session question with Cancel, as the user would; any
// other alert is a finding, printed with its text and then dismissed.
void answerAlerts() {
  for (const WindowRegistry::Entry& e : WindowRegistry::orderedWindows()) {
    if (e.kind != WindowRegistry::Kind::Alert || !e.window->isVisible()) continue;
    QString text;
    for (QLabel* l : e.window->findChildren<QLabel*>())
      if (l->isVisible() && !l->text().isEmpty()) text += (text.isEmpty() ? "" : " | ") + l->text();
    SYFlatButton* cancel = nullptr;
    SYFlatButton* any = nullptr;
    for (SYFlatButton* b : e.window->findChildren<SYFlatButton*>()) {
      if (!b->isVisible()) continue;
      if (b->title() == QStringLiteral("Cancel")) cancel = b;
      if (!any) any = b;
    }
    SYFlatButton* press = cancel ? cancel : any;
    std::fprintf(stderr, "alert \"%s\" answered %s\n", qPrintable(text), press ? qPrintable(press->title()) : "(no button)");
    if (!press) continue;
    press->mouseDown();
    press->mouseUp();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  bool realWindow = false;
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--window")) realWindow = true;
  char folderTemplate[] = "/tmp/kv-strip-rss-XXXXXX";
  const std::string root = ::mkdtemp(folderTemplate);
  if (realWindow) isolateHome(QString::fromStdString(root + "/home"));
  QApplication app(argc, argv);
  int count = 2001, width = 6000, height = 4000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (!std::strcmp(argv[i], "--count")) count = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--width")) width = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--height")) height = std::atoi(argv[++i]);
  }
  const devsim::Bytes jpeg = photo(width, height);
  timing().receiveTimeout = std::chrono::seconds(60);
  devsim::Simulator sim(devsim::Simulator::Options{.generation = 2});
  if (!sim.start()) {
    std::fprintf(stderr, "no simulator\n");
    return 1;
  }

  QObject observer;
  std::atomic<int> images{0};
  observeImageData(&observer, [&](const ImageDataEvent&) { ++images; });
  std::unique_ptr<QListView> view;
  std::unique_ptr<MainThumbnailController> ownStrip;
  QPointer<ShareCameraWindowController> window;
  QTimer answer;
  MainThumbnailController* strip = nullptr;
  if (realWindow) {
    // The save folder the user picks before the first connection; the cache loads beside it.
    const QString save = QString::fromStdString(root + "/home/Saved");
    QDir().mkpath(save);
    UserDefaults::standardUserDefaults().setObject(save, kDefaultsSaveFolderPath);
    Utilities::configureCache();
    if (!Utilities::waitForCacheLoad(std::chrono::seconds(30))) {
      std::fprintf(stderr, "no cache\n");
      return 1;
    }
    const std::string device = "127.0.0.1:" + std::to_string(sim.port()) + ":2";
    setenv(kDeviceOverrideVariable, device.c_str(), 1);
    if (connectRunStep() != ConnectionStatusConnected) {
      std::fprintf(stderr, "not connected\n");
      return 1;
    }
    QObject::connect(&answer, &QTimer::timeout, &answer, &answerAlerts);
    answer.start(50);
    window = ShareCameraWindowController::createAndShowWindow();
    strip = window->thumbnailController();
  } else {
    std::filesystem::create_directory(root + "/c");
    std::filesystem::create_directory(root + "/d");
    cacheLoad((root + "/c").c_str(), (root + "/d").c_str());
    view = std::make_unique<QListView>();
    view->resize(1400, 140);
    view->show();
    ownStrip = std::make_unique<MainThumbnailController>(view.get());
    strip = ownStrip.get();
    // As the main window does: a whole image goes to the strip, a thumbnail joins it.
    observeImageData(&observer, [strip](const ImageDataEvent& e) { strip->selectThumnailForImageData(e.image); });
    observeShareThumbnailDownloaded(&observer, [strip](const ShareThumbnailDownloadedEvent& e) {
      strip->addThumnailImage(e.image->getImageData(), e.image->getObjectInfo());
    });
    if (linkConnect("127.0.0.1", sim.port()) < 0 || !sim.waitForClient(std::chrono::seconds(30))) {
      std::fprintf(stderr, "no link\n");
      return 1;
    }
    shareSetMode(ShareModeGeneration2);
    if (!ShareComms::instance().start()) {
      std::fprintf(stderr, "no session\n");
      return 1;
    }
  }
  MainThumbnailController& controller = *strip;
  pump([] { return false; }, 1);
  malloc_trim(0);
  const long before = statusKb("VmRSS:");

  QElapsedTimer t;
  t.start();
  for (int i = 0; i < count; ++i) {
    const PtpObjectInfoStruct r = record(uint32_t(i + 1), jpeg.size());
    sim.sendFrame(15, devsim::makeRelayBody(176, std::span(reinterpret_cast<const uint8_t*>(&r), kObjectInfoBytes)));
    sim.pushPtp(2, 0x1009, jpeg);
    // Let the session keep up now and then, as a camera's own pace would.
    if (i % 50 == 49) pump([&] { return images.load() >= i - 100; }, 300);
  }
  const bool all = pump([&] { return controller.count() >= count && controller.downloadsPending() == 0; }, 3600);
  pump([&] {
    for (int i = 0; i < controller.count(); ++i)
      if (controller.isPreparing(i)) return false;
    return true;
  }, 600);
  Dispatch::waitForGlobal(std::chrono::milliseconds(60000));
  (void)(realWindow ? window->window()->grab() : view->grab());
  pump([] { return false; }, 1);
  const long after = statusKb("VmRSS:");
  malloc_trim(0);
  const long trimmed = statusKb("VmRSS:");
  const double seconds = t.elapsed() / 1000.0;

  qint64 kept = 0;
  for (int i = 0; i < controller.count(); ++i) kept += controller.thumbnailBytesAt(i).size();
  const qreal scale = controller.deviceScale();
  const qint64 decodedEach = qint64(110 * scale) * qint64(110 * scale) * 4;
  std::printf("%s: pushed %d JPEGs of %dx%d (%zu bytes each) in %.1f s; strip items %d%s\n",
              realWindow ? "main window" : "strip alone", count, width, height, jpeg.size(), seconds, controller.count(),
              all ? "" : " (not all arrived)");
  std::printf("VmRSS before %ld kB, after %ld kB (%ld kB after malloc_trim); peak VmHWM %ld kB\n", before, after,
              trimmed, statusKb("VmHWM:"));
  std::printf("growth %.1f MB, %.1f kB per item; thumbnails kept %.1f MB (%.1f kB per item) at %.0fx, "
              "decoded %zu; a decoded cell-size picture per item would be %.1f MB\n",
              (trimmed - before) / 1024.0, double(trimmed - before) / std::max(1, controller.count()), kept / 1048576.0,
              kept / 1024.0 / std::max(1, controller.count()), scale, controller.decodedCount(),
              double(decodedEach) * count / 1048576.0);

  if (window) {
    window->close();
    pump([&] { return window.isNull(); }, 30);
  }
  ShareComms::instance().stop();
  linkDisconnect();
  sim.stop();
  shareSetMode(ShareModeNone);
  NotificationCenter::defaultCenter().removeObserver(&observer);
  cacheLoad(nullptr, nullptr);
  std::filesystem::remove_all(root);
  return all ? 0 : 1;
}
