// layers: viewer devsim
// What a strip of 2,001 pushed photographs keeps in memory. The simulator pushes each JPEG
// after its object record through the running share session; the image goes to the strip
// as the main window hands it on, the strip makes its thumbnail, stores and posts it, and
// the posted thumbnail joins the strip. Prints the resident set before and after, with the
// peak, and what the items' thumbnails take. Not a timing: run it on its own.
//   bench_strip_rss [--count N] [--width W] [--height H]   (defaults 2001, 6000 x 4000)
#include <malloc.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QListView>
#include <QPainter>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "tools/devsim/simulator.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  int count = 2001, width = 6000, height = 4000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (!std::strcmp(argv[i], "--count")) count = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--width")) width = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--height")) height = std::atoi(argv[++i]);
  }
  char folderTemplate[] = "/tmp/kv-strip-rss-XXXXXX";
  const std::string root = ::mkdtemp(folderTemplate);
  std::filesystem::create_directory(root + "/c");
  std::filesystem::create_directory(root + "/d");
  cacheLoad((root + "/c").c_str(), (root + "/d").c_str());

  const devsim::Bytes jpeg = photo(width, height);
  QListView view;
  view.resize(1400, 140);
  view.show();
  MainThumbnailController controller(&view);
  QObject window;
  std::atomic<int> images{0};
  // As the main window does: a whole image goes to the strip, a thumbnail joins it.
  observeImageData(&window, [&](const ImageDataEvent& e) {
    ++images;
    controller.selectThumnailForImageData(e.image);
  });
  observeShareThumbnailDownloaded(&window, [&](const ShareThumbnailDownloadedEvent& e) {
    controller.addThumnailImage(e.image->getImageData(), e.image->getObjectInfo());
  });

  timing().receiveTimeout = std::chrono::seconds(60);
  devsim::Simulator sim;
  if (!sim.start() || linkConnect("127.0.0.1", sim.port()) < 0 || !sim.waitForClient(std::chrono::seconds(30))) {
    std::fprintf(stderr, "no simulator\n");
    return 1;
  }
  shareSetMode(ShareModeGeneration2);
  if (!ShareComms::instance().start()) {
    std::fprintf(stderr, "no session\n");
    return 1;
  }
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
  (void)view.grab();
  pump([] { return false; }, 1);
  const long after = statusKb("VmRSS:");
  malloc_trim(0);
  const long trimmed = statusKb("VmRSS:");
  const double seconds = t.elapsed() / 1000.0;

  qint64 kept = 0;
  for (int i = 0; i < controller.count(); ++i) kept += controller.thumbnailBytesAt(i).size();
  const qreal scale = controller.deviceScale();
  const qint64 decodedEach = qint64(110 * scale) * qint64(110 * scale) * 4;
  std::printf("pushed %d JPEGs of %dx%d (%zu bytes each) in %.1f s; strip items %d%s\n", count, width, height,
              jpeg.size(), seconds, controller.count(), all ? "" : " (not all arrived)");
  std::printf("VmRSS before %ld kB, after %ld kB (%ld kB after malloc_trim); peak VmHWM %ld kB\n", before, after,
              trimmed, statusKb("VmHWM:"));
  std::printf("growth %.1f MB, %.1f kB per item; thumbnails kept %.1f MB (%.1f kB per item) at %.0fx, "
              "decoded %zu; a decoded cell-size picture per item would be %.1f MB\n",
              (trimmed - before) / 1024.0, double(trimmed - before) / std::max(1, controller.count()), kept / 1048576.0,
              kept / 1024.0 / std::max(1, controller.count()), scale, controller.decodedCount(),
              double(decodedEach) * count / 1048576.0);

  ShareComms::instance().stop();
  linkDisconnect();
  sim.stop();
  shareSetMode(ShareModeNone);
  NotificationCenter::defaultCenter().removeObserver(&window);
  cacheLoad(nullptr, nullptr);
  std::filesystem::remove_all(root);
  return all ? 0 : 1;
}
