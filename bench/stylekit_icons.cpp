// layers: stylekit
// Renders each registered icon at 20 x 20 and 96 x 96 points at device pixel ratio 2, and
// measures what a blurred shadow costs: the electronic level (its strokes under a blur-2
// shadow) against the same drawing without shadows, and the gear stroked under a blur-5
// glow against the plain gear, each pair in the same run.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <map>
#include <string>

#include "bench/ratio_reporter.h"
#include "platform/graphics/named_colors.h"
#include "platform/graphics/snapping.h"
#include "stylekit/icon_registry.h"
#include "stylekit/korvalume_style_kit.h"

namespace {

constexpr qreal kRatio = 2;

void renderInto(qreal side, const std::function<void(GraphicsContext&, QRectF)>& draw) {
  QImage img(QSize(qCeil(side * kRatio), qCeil(side * kRatio)), QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(kRatio);
  img.fill(Qt::transparent);
  QPainter p(&img);
  GraphicsContext ctx(p, side);
  draw(ctx, QRectF(0, 0, side, side));
  benchmark::DoNotOptimize(img.constBits());
}

// The level as drawn, but with no shadow on its strokes.
void levelWithoutShadow(GraphicsContext& ctx, QRectF frame) {
  BezierPath ring = KorvalumeStyleKit::electronicLevelRingPath(frame);
  ctx.setFillColor(colorWithRGBA(0.502, 0.502, 0.502, 0.502));
  ctx.fill(ring);
  ctx.setStrokeColor(NamedColor::whiteColor());
  ring.setLineWidth(0.5);
  ctx.stroke(ring);
  const qreal ticks[][5] = {
      {0.5, 0.99333, 0.50167, 0.88167, 1.5},     {0.5, 0.12, 0.50167, 0.00833, 1.5},
      {0.00667, 0.49999, 0.11333, 0.49999, 2},   {0.88667, 0.49999, 0.99333, 0.49999, 2},
      {0.22667, 0.77333, 0.14667, 0.85333, 1.5}, {0.85333, 0.14667, 0.77333, 0.22667, 1.5},
      {0.77333, 0.77333, 0.85333, 0.85333, 1.5}, {0.14667, 0.14667, 0.22667, 0.22667, 1.5},
  };
  for (const auto& t : ticks) {
    BezierPath tick;
    tick.moveToPoint(framePoint(frame, t[0], t[1]));
    tick.lineToPoint(framePoint(frame, t[2], t[3]));
    tick.setLineWidth(t[4]);
    ctx.stroke(tick);
  }
}

void gearUnderGlow(GraphicsContext& ctx, QRectF frame) {
  ctx.saveGraphicsState();
  ctx.setShadow(Shadow(NamedColor::whiteColor(), QSizeF(0, 0), 5));
  KorvalumeStyleKit::drawGearWithFrame(ctx, frame);
  ctx.restoreGraphicsState();
}

void registerAll() {
  for (const IconSample& icon : iconRegistry()) {
    for (qreal side : {20.0, 96.0}) {
      const std::string name = "Icon/" + icon.name.section(' ', 0, 0).toStdString() + "/" +
                               std::to_string(static_cast<int>(side));
      benchmark::RegisterBenchmark(name.c_str(), [&icon, side](benchmark::State& state) {
        const StyleKitImage img = icon.image(QSizeF(side, side));
        for (auto _ : state) benchmark::DoNotOptimize(img.render(kRatio).constBits());
      });
    }
  }
  for (qreal side : {20.0, 96.0}) {
    const std::string s = std::to_string(static_cast<int>(side));
    benchmark::RegisterBenchmark(("Level/shadow/" + s).c_str(), [side](benchmark::State& state) {
      for (auto _ : state) renderInto(side, &KorvalumeStyleKit::drawElectronicLevelWithFrame);
    });
    benchmark::RegisterBenchmark(("Level/plain/" + s).c_str(), [side](benchmark::State& state) {
      for (auto _ : state) renderInto(side, &levelWithoutShadow);
    });
    benchmark::RegisterBenchmark(("Gear/glow/" + s).c_str(), [side](benchmark::State& state) {
      for (auto _ : state) renderInto(side, &gearUnderGlow);
    });
    benchmark::RegisterBenchmark(("Gear/plain/" + s).c_str(), [side](benchmark::State& state) {
      for (auto _ : state) renderInto(side, &KorvalumeStyleKit::drawGearWithFrame);
    });
  }
}


}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QGuiApplication app(qargc, argv);
  registerAll();
  return runBenchmarksWithRatios(argc, argv,
                                 {{"Level/shadow/20", "Level/plain/20"},
                                  {"Gear/glow/20", "Gear/plain/20"},
                                  {"Level/shadow/96", "Level/plain/96"},
                                  {"Gear/glow/96", "Gear/plain/96"}});
}
