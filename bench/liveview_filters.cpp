// layers: viewer
// The live view's warning filters on a 1024 x 680 frame, each run on a fresh copy of the
// frame: all three fused (with the widest vectors the processor has, and with 4-pixel
// ones), each alone, and the plain reference, against the copy alone (a
// memcpy of the frame). Reports milliseconds per frame. Pinned to one core.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/pin_core.h"
#include "bench/ratio_reporter.h"
#include "viewer/liveview/liveview_filters.h"
#include "viewer/liveview/liveview_filters_rows.h"

namespace {

constexpr int kWidth = 1024, kHeight = 680;

// Smooth ramps with texture, a blown-out sky band and a black band: every filter has work.
const std::vector<uint32_t>& frame() {
  static const std::vector<uint32_t> f = [] {
    std::vector<uint32_t> p(size_t{kWidth} * kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        uint32_t r = static_cast<uint32_t>(x * 255 / kWidth), g = static_cast<uint32_t>(y * 255 / kHeight);
        uint32_t b = static_cast<uint32_t>((x * 7 + y * 13) % 256);
        if (y < 60) r = g = b = 254;
        if (y > kHeight - 60) r = g = b = 0;
        if ((x / 16 + y / 16) % 2) g = g * 3 / 4;
        p[static_cast<size_t>(y) * kWidth + x] = 0xFF000000u | r << 16 | g << 8 | b;
      }
    return p;
  }();
  return f;
}

std::vector<LiveViewFilterSpec> specs(std::initializer_list<int> which) {
  std::vector<LiveViewFilterSpec> s;
  for (int i : which) s.push_back(liveViewFilterDefaults()[static_cast<size_t>(i)].spec);
  return s;
}

void copy(std::vector<uint32_t>& work) { std::memcpy(work.data(), frame().data(), frame().size() * 4); }

void BM_CopyFrame(benchmark::State& state) {
  std::vector<uint32_t> work(frame().size());
  for (auto _ : state) {
    copy(work);
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

void runChain(benchmark::State& state, const std::vector<LiveViewFilterSpec>& filters) {
  std::vector<uint32_t> work(frame().size());
  LiveViewFilterChain chain;
  for (auto _ : state) {
    copy(work);
    if (!chain.apply(filters, work.data(), kWidth, kHeight, kWidth * 4)) {
      state.SkipWithError("apply");
      break;
    }
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

void BM_AllThree(benchmark::State& s) { runChain(s, specs({0, 1, 2})); }
// The 4-pixel vectors every x86-64 has, where the processor would take wider ones.
void BM_AllThreeFourPixels(benchmark::State& s) {
  const bool had = lvrows::useAvx2ForTesting(false);
  runChain(s, specs({0, 1, 2}));
  lvrows::useAvx2ForTesting(had);
}
void BM_Highlights(benchmark::State& s) { runChain(s, specs({0})); }
void BM_Shadows(benchmark::State& s) { runChain(s, specs({1})); }
void BM_FocusPeaking(benchmark::State& s) { runChain(s, specs({2})); }

void BM_AllThreeReference(benchmark::State& state) {
  std::vector<uint32_t> work(frame().size());
  const auto filters = specs({0, 1, 2});
  for (auto _ : state) {
    copy(work);
    if (!liveViewFiltersReference(filters, work.data(), kWidth, kHeight, kWidth * 4)) {
      state.SkipWithError("apply");
      break;
    }
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_CopyFrame)->MinTime(1.0);
BENCHMARK(BM_AllThree)->MinTime(1.0);
BENCHMARK(BM_AllThreeFourPixels)->MinTime(1.0);
BENCHMARK(BM_Highlights)->MinTime(1.0);
BENCHMARK(BM_Shadows)->MinTime(1.0);
BENCHMARK(BM_FocusPeaking)->MinTime(1.0);
BENCHMARK(BM_AllThreeReference)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  pinToOneCore();
  // A frame every 33 ms at 30 frames a second; the filters should take a small part of it.
  return runBenchmarksWithRatios(argc, argv,
                                 {{"BM_AllThree", "BM_CopyFrame"},
                                  {"BM_AllThreeFourPixels", "BM_CopyFrame"},
                                  {"BM_Highlights", "BM_CopyFrame"},
                                  {"BM_Shadows", "BM_CopyFrame"},
                                  {"BM_FocusPeaking", "BM_CopyFrame"},
                                  {"BM_AllThreeReference", "BM_CopyFrame"},
                                  {"BM_AllThree", "BM_AllThreeReference"}},
                                 {{"BM_CopyFrame", 33.3}, {"BM_AllThree", 33.3}, {"BM_AllThreeReference", 33.3}});
}
