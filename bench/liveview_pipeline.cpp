// layers: viewer turbojpeg
// One live frame of 1024 x 680, on one core: read, decoded, run through the three warning
// filters (and without them), given its 512 x 512 histogram rendering and counted, with the
// Fujifilm focus frame worked out, against a bare TurboJPEG decode of the same JPEG; the
// sustained rate
// through the view with everything on; and what painting the view costs at 1x and 2x.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <vector>

#include "bench/pin_core.h"
#include "bench/ratio_reporter.h"
#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/props/prop_table.h"
#include "viewer/liveview/af_overlay.h"
#include "viewer/liveview/live_view_frames.h"
#include "viewer/liveview/live_view_image_view.h"
#include "viewer/still/histogram_view.h"

namespace {

constexpr int kWidth = 1024, kHeight = 680;

// A picture with edges, highlights and shadows for the filters to find.
QByteArray frameJpeg() {
  static const QByteArray jpeg = [] {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < kWidth; ++x) {
        const int v = int(127 + 127 * std::sin(x * 0.05) * std::cos(y * 0.03));
        line[x] = qRgb(v, (x * 255) / kWidth, (y * 255) / kHeight);
      }
    }
    tjhandle tj = tjInitCompress();
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, img.constBits(), kWidth, int(img.bytesPerLine()), kHeight, TJPF_BGRX, &buf, &size, TJSAMP_422,
                85, 0);
    QByteArray out(reinterpret_cast<const char*>(buf), qsizetype(size));
    tjFree(buf);
    tjDestroy(tj);
    return out;
  }();
  return jpeg;
}

void bareDecode(benchmark::State& state) {
  const QByteArray jpeg = frameJpeg();
  tjhandle tj = tjInitDecompress();
  std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
  for (auto _ : state) {
    tjDecompress2(tj, reinterpret_cast<const uint8_t*>(jpeg.constData()), size_t(jpeg.size()), pixels.data(), kWidth,
                  kWidth * 4, kHeight, TJPF_BGRX, 0);
    benchmark::DoNotOptimize(pixels.data());
  }
  tjDestroy(tj);
}

std::vector<LiveViewFilterSpec> allFilters() {
  std::vector<LiveViewFilterSpec> out;
  for (const LiveViewFilterDefault& f : liveViewFilterDefaults()) out.push_back(f.spec);
  return out;
}

void fullFrame(benchmark::State& state, bool filters) {
  const QByteArray frame = frameJpeg();
  LiveViewFilterChain chain;
  std::atomic<bool> cancel{false};
  LiveViewRenderSettings settings;
  if (filters) settings.filters = allFilters();
  settings.histogram = true;
  FujiAfReport report;
  report.frame = QRectF(0.5, 0.5, 0.1, 0.1);
  for (auto _ : state) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame.constData());
    const LiveViewFrameInfo info = readLiveViewFrame(kLiveViewCameraFujifilm, bytes, size_t(frame.size()), {});
    const LiveViewRendered r =
        renderLiveViewPicture(std::span(bytes + info.pictureOffset, info.pictureLength), settings, chain, cancel);
    const ChannelCounts counts = HistogramView::countChannels(r.histogram);
    const AfOverlayUpdate af = fujiAfOverlay(report, QSizeF(r.image.size()), 1, QSizeF(1280, 800));
    benchmark::DoNotOptimize(counts.pixels);
    benchmark::DoNotOptimize(af.overlay.boxes.size());
  }
}

void setAllOn() {
  UserDefaults& d = UserDefaults::standardUserDefaults();
  for (const char* key : {kDefaultsHighlights, kDefaultsShadows, kDefaultsFocusPeaking, kDefaultsElectronicLevel})
    d.setBool(true, QString::fromLatin1(key));
}

// Frames fed back to back through the view as the pane feeds it, each waited for.
void sustained(benchmark::State& state) {
  setAllOn();
  LiveViewImageView view;
  view.resize(1280, 800);
  view.setGrid(0, 1);
  bool done = false;
  QObject::connect(&view, &LiveViewImageView::frameFinished, &view, [&] { done = true; });
  const QByteArray frame = frameJpeg();
  for (auto _ : state) {
    done = false;
    view.setLiveViewImage(frame, kLiveViewCameraFujifilm, true);
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// One paint of the view with its picture, grid, focus frame and level.
void paintAt(benchmark::State& state, qreal ratio) {
  setAllOn();
  for (uint32_t code : {0xEEE0u, 0xEEE1u, 0xEEE2u, 0xEEE3u}) {
    PropertyStruct* p = propFind(code, false);
    if (!p) p = propAdd(code, false, false);
    p->value = code == 0xEEE2 || code == 0xEEE3 ? 100 : 500;
  }
  LiveViewImageView view;
  view.resize(1280, 800);
  view.setGrid(0, 1);
  bool done = false;
  QObject::connect(&view, &LiveViewImageView::frameFinished, &view, [&] { done = true; });
  view.setLiveViewImage(frameJpeg(), kLiveViewCameraFujifilm, false);
  while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QImage canvas(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  canvas.setDevicePixelRatio(ratio);
  for (auto _ : state) {
    view.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    benchmark::DoNotOptimize(canvas.constBits());
  }
  propClearTable();
}

}  // namespace

int main(int argc, char** argv) {
  // One core: the worker and the GUI thread share it, as on a busy machine. Not always
  // core 0, which every run of this bench would otherwise share.
  pinToOneCore();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QApplication app(qargc, argv);
  QTemporaryDir settings;  // the settings turned on here are the run's own
  UserDefaults::standardUserDefaults().useFile(settings.filePath(QStringLiteral("bench.ini")));
  benchmark::RegisterBenchmark("Decode/bare", bareDecode);
  benchmark::RegisterBenchmark("Frame/full", [](benchmark::State& s) { fullFrame(s, true); });
  benchmark::RegisterBenchmark("Frame/nofilters", [](benchmark::State& s) { fullFrame(s, false); });
  benchmark::RegisterBenchmark("View/sustained", sustained)->UseRealTime();
  benchmark::RegisterBenchmark("Paint/1x", [](benchmark::State& s) { paintAt(s, 1); });
  benchmark::RegisterBenchmark("Paint/2x", [](benchmark::State& s) { paintAt(s, 2); });
  return runBenchmarksWithRatios(argc, argv,
                                 {{"Frame/full", "Decode/bare"},
                                  {"Frame/nofilters", "Decode/bare"},
                                  {"View/sustained", "Decode/bare"},
                                  {"Paint/1x", "Decode/bare"},
                                  {"Paint/2x", "Paint/1x"}});
}
