// layers: viewer
// What live view and the strip paint on every frame, each with what is kept against a
// paint that draws everything afresh, in the same run: the electronic level at 1280 x 720
// points at device pixel ratio 2 (its dial kept as pixels) against the full drawing; a
// thumbnail cell with five stars and a badge, and the gear under its blurred glow at 96
// points, with the icon render cache on against the cache off.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench/ratio_reporter.h"
#include "platform/graphics/named_colors.h"
#include "platform/graphics/stylekit_image_cache.h"
#include "stylekit/image_wrapper.h"
#include "stylekit/korvalume_style_kit.h"
#include "viewer/liveview/electronic_level_view.h"
#include "viewer/strip/thumbnail_view_cell.h"

namespace {

constexpr qreal kRatio = 2;

QImage canvas(QSize points) {
  QImage img(points * kRatio, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(kRatio);
  img.fill(Qt::black);
  return img;
}

// The level view painted as a frame of live view would paint it: the angle changes each time.
void levelKept(benchmark::State& state) {
  ElectronicLevelView view;
  view.resize(1280, 720);
  QImage img = canvas(view.size());
  float angle = 0;
  auto paint = [&] {
    QPainter p(&img);
    view.paint(p);
  };
  paint();  // the first paint renders the dial
  for (auto _ : state) {
    view.setAngle(angle += 0.1f);
    paint();
    benchmark::DoNotOptimize(img.constBits());
  }
}

void levelFull(benchmark::State& state) {
  QImage img = canvas(QSize(1280, 720));
  float angle = 0;
  for (auto _ : state) {
    QPainter p(&img);
    ElectronicLevelView::paintUncached(p, QSizeF(1280, 720), angle += 0.1f);
    p.end();
    benchmark::DoNotOptimize(img.constBits());
  }
}

void paintCell(benchmark::State& state, qsizetype cacheLimit, int64_t rating) {
  stylekit_image_cache::setLimit(cacheLimit);
  stylekit_image_cache::clear();
  ThumbnailViewCell cell;
  QImage picture(240, 160, QImage::Format_RGB32);
  picture.fill(QColor(90, 120, 60));
  cell.thumbnailImage = picture;
  cell.fileName = QStringLiteral("IMG_0001.CR2");
  cell.badge = ThumbnailBadge::Raw;
  cell.rating = rating;
  QImage img = canvas(ThumbnailViewCell::cellSize());
  for (auto _ : state) {
    QPainter p(&img);
    cell.paint(p, QRect(QPoint(0, 0), ThumbnailViewCell::cellSize()));
    p.end();
    benchmark::DoNotOptimize(img.constBits());
  }
  stylekit_image_cache::setLimit(stylekit_image_cache::kDefaultLimit);
}

void gearUnderGlow(GraphicsContext& ctx, QRectF frame) {
  ctx.saveGraphicsState();
  ctx.setShadow(Shadow(NamedColor::whiteColor(), QSizeF(0, 0), 5));
  KorvalumeStyleKit::drawGearWithFrame(ctx, frame);
  ctx.restoreGraphicsState();
}

void gearGlow(benchmark::State& state, qsizetype cacheLimit) {
  stylekit_image_cache::setLimit(cacheLimit);
  stylekit_image_cache::clear();
  QImage img = canvas(QSize(100, 100));
  for (auto _ : state) {
    // A new image each time, as a view asking the kit for its icon gets.
    const StyleKitImage gear = imageOfDrawMethod(QSizeF(96, 96), &gearUnderGlow);
    QPainter p(&img);
    gear.draw(p, QRectF(2, 2, 96, 96));
    p.end();
    benchmark::DoNotOptimize(img.constBits());
  }
  stylekit_image_cache::setLimit(stylekit_image_cache::kDefaultLimit);
}

void registerAll() {
  benchmark::RegisterBenchmark("Level/kept", levelKept);
  benchmark::RegisterBenchmark("Level/full", levelFull);
  benchmark::RegisterBenchmark("Cell/stars/cached", [](benchmark::State& s) { paintCell(s, stylekit_image_cache::kDefaultLimit, 5); });
  benchmark::RegisterBenchmark("Cell/stars/uncached", [](benchmark::State& s) { paintCell(s, 0, 5); });
  benchmark::RegisterBenchmark("Cell/nostars/uncached", [](benchmark::State& s) { paintCell(s, 0, 0); });
  benchmark::RegisterBenchmark("GearGlow/96/cached", [](benchmark::State& s) { gearGlow(s, stylekit_image_cache::kDefaultLimit); });
  benchmark::RegisterBenchmark("GearGlow/96/uncached", [](benchmark::State& s) { gearGlow(s, 0); });
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QApplication app(qargc, argv);
  registerAll();
  return runBenchmarksWithRatios(argc, argv,
                                 {{"Level/kept", "Level/full"},
                                  {"Cell/stars/cached", "Cell/stars/uncached"},
                                  {"Cell/stars/uncached", "Cell/nostars/uncached"},
                                  {"GearGlow/96/cached", "GearGlow/96/uncached"}});
}
