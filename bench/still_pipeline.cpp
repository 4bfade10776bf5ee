// layers: viewer turbojpeg
// A 24 MP JPEG through the still pane to the picture ready for display, against a bare
// TurboJPEG decode at the same DCT scale: from setImage (what the main window calls), and
// from the image-data notification itself through the real main window, which also hands
// the image to the strip for its thumbnail. The GUI thread waits in its event loop
// meanwhile, as the application's does. Also the GUI thread's longest stall while a burst
// of 20 such images arrives, and the cache write of the object, measured apart.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "bench/ratio_reporter.h"
#include "model/object_info_wrapper.h"
#include "platform/dispatch.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/object_info.h"
#include "ptp/cache/cache.h"
#include "share/share_events.h"
#include "viewer/camera/share_camera_window_controller.h"
#include "viewer/still/jpeg_decoder.h"
#include "viewer/still/still_decoder.h"
#include "viewer/still/still_image_view_controller.h"

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
const QSize kPane(1100, 650);

// A 24 MP photograph-like JPEG: smooth gradients with fine texture, quality 85, 4:2:0.
QByteArray makeJpeg() {
  std::vector<uint8_t> rgb(size_t{3} * kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
      p[0] = uint8_t(x * 255 / kWidth);
      p[1] = uint8_t(y * 255 / kHeight);
      p[2] = uint8_t(((x * 7) ^ (y * 13)) & 0x3F);
    }
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(tj, rgb.data(), kWidth, 0, kHeight, TJPF_RGB, &out, &size, TJSAMP_420, 85, 0);
  QByteArray jpeg(reinterpret_cast<const char*>(out), qsizetype(size));
  tjFree(out);
  tjDestroy(tj);
  return jpeg;
}

const QByteArray& photo() {
  static const QByteArray j = makeJpeg();
  return j;
}

std::shared_ptr<PtpObjectInfoClass> record(uint32_t id) {
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = uint32_t(photo().size());
  objectInfoSetFileName(r, QStringLiteral("IMG_%1.JPG").arg(id).toStdString().c_str());
  return PtpObjectInfoClass::init(&r);
}

// The baseline: TurboJPEG alone, at the scale the pane asks for.
void BM_TurboJpegAtPaneScale(benchmark::State& state) {
  const QSize scaled = jpegScaledSizeCovering(QSize(kWidth, kHeight), kPane);
  std::vector<uint8_t> pixels(size_t(scaled.width()) * scaled.height() * 4);
  tjhandle tj = tjInitDecompress();
  for (auto _ : state) {
    tjDecompress2(tj, reinterpret_cast<const unsigned char*>(photo().constData()), (unsigned long)photo().size(),
                  pixels.data(), scaled.width(), 0, scaled.height(), TJPF_BGRX, 0);
    benchmark::DoNotOptimize(pixels.data());
  }
  tjDestroy(tj);
}

// The decode step alone, as the pane asks for it.
void BM_DecodeStillImage(benchmark::State& state) {
  StillDecodeRequest request;
  request.data = photo();
  request.format = 0x3801;
  request.minimumPixels = kPane;
  std::atomic<bool> cancel{false};
  for (auto _ : state) benchmark::DoNotOptimize(decodeStillImage(request, cancel).image.constBits());
}

struct Pane {
  QWidget window;
  StillImageViewController controller;
  Pane() {
    window.resize(kPane);
    controller.view()->setParent(&window);
    controller.view()->resize(kPane);
    window.show();
    QApplication::processEvents();
  }
};

// Until the pane shows another picture than `before`, the GUI thread waiting for events
// between them as the application's event loop does (a busy loop here would take a core
// from the decode that the application leaves to it).
void waitForAnotherPicture(const StillImageViewController& pane, qint64 before) {
  while (pane.shownImage().isNull() || pane.shownImage().cacheKey() == before)
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// setImage to the picture shown.
void BM_PaneSetImageToShown(benchmark::State& state) {
  Pane pane;
  uint32_t id = 1;
  for (auto _ : state) {
    const qint64 before = pane.controller.shownImage().cacheKey();
    pane.controller.setImage(photo(), record(id++));
    waitForAnotherPicture(pane.controller, before);
  }
}

// The image-data notification, as the share session posts it (a copy of the bytes that
// arrived, with their record), to the picture shown in the real main window. The window
// also hands each image to its strip, which makes and stores a thumbnail on the pool.
// One window for every run: a second one would find the first one's session and ask about it.
QPointer<ShareCameraWindowController> gWindow;

void BM_NotificationToShown(benchmark::State& state) {
  if (!gWindow) gWindow = ShareCameraWindowController::createAndShowWindow();
  StillImageViewController& pane = *gWindow->stillImageViewController();
  QApplication::processEvents();
  static uint32_t id = 20000;
  const auto* bytes = reinterpret_cast<const uint8_t*>(photo().constData());
  for (auto _ : state) {
    const qint64 before = pane.shownImage().cacheKey();
    const auto info = record(id++);
    postImageData({PtpImageData::initWithBuffer(bytes, uint32_t(photo().size()), info)});
    waitForAnotherPicture(pane, before);
    // One shot's latency: the strip's and the cache's work for this one ends before the
    // next is posted, as between two shots (a burst is measured below).
    state.PauseTiming();
    Dispatch::waitForGlobal(std::chrono::seconds(10));
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

// The longest the GUI thread is away from its event loop while 20 images arrive at once
// and the last one is shown.
void BM_GuiLongestStallInABurstOf20(benchmark::State& state) {
  Pane pane;
  uint32_t id = 1000;
  double worstMs = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed(), longest = 0;
    const uint32_t lastId = id + 19;
    for (int i = 0; i < 20; ++i) pane.controller.setImage(photo(), record(id++));
    for (;;) {
      QApplication::processEvents(QEventLoop::AllEvents);
      const qint64 now = clock.nsecsElapsed();
      longest = std::max(longest, now - last);
      last = now;
      const auto shown = pane.controller.currentObjectInfo();
      if (shown && shown->objectId() == lastId && !pane.controller.shownImage().isNull() &&
          !pane.controller.decodeInFlight())
        break;
    }
    worstMs = std::max(worstMs, longest / 1e6);
  }
  state.counters["longest_stall_ms"] = worstMs;
}

// The object written into the cache (record, object), apart from the display path.
void BM_CacheWrite(benchmark::State& state) {
  QTemporaryDir dir;
  QDir().mkpath(dir.path() + "/c");
  QDir().mkpath(dir.path() + "/d");
  cacheLoad((dir.path() + "/c").toUtf8().constData(), (dir.path() + "/d").toUtf8().constData());
  uint32_t id = 50000;
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(photo().constData()), size_t(photo().size()));
  for (auto _ : state) {
    const auto info = record(id++);
    benchmark::DoNotOptimize(cacheStoreObject(*info->origObjectInfo(), bytes));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * photo().size());
  cacheClear();
}

BENCHMARK(BM_TurboJpegAtPaneScale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeStillImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaneSetImageToShown)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NotificationToShown)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GuiLongestStallInABurstOf20)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CacheWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// HOME, the XDG folders and so the settings, the cache and the session file in `root`.
void isolateHome(const QString& root) {
  qputenv("HOME", root.toLocal8Bit());
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
    const QString dir = root + "/" + QString::fromLatin1(var).toLower();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv(var, dir.toLocal8Bit());
  }
  QDir().mkpath(root + "/Documents");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The main window keeps its settings, cache and session file here, not in the user's.
  QTemporaryDir home(QDir::tempPath() + "/kv-still-bench-XXXXXX");
  isolateHome(home.path());
  QApplication app(argc, argv);
  QDir().mkpath(home.path() + "/Saved");
  UserDefaults::standardUserDefaults().setObject(home.path() + "/Saved", kDefaultsSaveFolderPath);
  Utilities::configureCache();
  if (!Utilities::waitForCacheLoad(std::chrono::seconds(30))) std::fprintf(stderr, "the cache did not load\n");
  benchmark::Initialize(&argc, argv);
  std::printf("photo: %d x %d, %lld bytes\n", kWidth, kHeight, static_cast<long long>(photo().size()));
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatio("BM_DecodeStillImage", "BM_TurboJpegAtPaneScale");
  reporter.printRatio("BM_PaneSetImageToShown", "BM_TurboJpegAtPaneScale");
  reporter.printRatio("BM_NotificationToShown", "BM_TurboJpegAtPaneScale");
  if (gWindow) {
    gWindow->close();
    while (gWindow) QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  }
  benchmark::Shutdown();
  return 0;
}
