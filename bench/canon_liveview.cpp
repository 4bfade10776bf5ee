// layers: ptp
// Canon live-view frames as the share session builds one per pushed frame: a 1024 x 680
// JPEG reply (about 120 KB of JPEG and its information blocks) parsed into a frame, and
// a 1024 x 680 YCbCr reply converted to a BMP frame, each against a plain copy of the
// same reply bytes into a new buffer. The JPEG decode itself (TurboJPEG) is not measured
// here: the bench links only the ptp layer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "ptp/vendors/canon_liveview.h"

namespace {

constexpr uint32_t kWidth = 1024, kHeight = 680;
constexpr size_t kJpegBytes = 120 * 1024;

void putU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putBlock(std::vector<uint8_t>& b, uint32_t type, std::initializer_list<uint32_t> words) {
  putU32(b, static_cast<uint32_t>(8 + 4 * words.size()));
  putU32(b, type);
  for (uint32_t w : words) putU32(b, w);
}

std::vector<uint8_t> jpegReply() {
  std::vector<uint8_t> r(8, 0);
  const uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xDB};
  r.insert(r.end(), start, start + 4);
  for (size_t i = 0; i < kJpegBytes - 6; ++i) r.push_back(static_cast<uint8_t>(i * 131 % 251));
  r.push_back(0xFF);
  r.push_back(0xD9);
  putBlock(r, 4, {1});
  putBlock(r, 5, {2000, 1500});
  putBlock(r, 14, {6000, 4000});
  putBlock(r, 16, {0, 1, 4500});
  putBlock(r, 18, {0, 0, 6000, 4000});
  putU32(r, 12 + 24 * 9);
  putU32(r, 8);
  putU32(r, 9);
  for (uint32_t i = 0; i < 9; ++i)
    for (uint32_t w : {0x11u, 0u, 1000 + i * 400, 1200u, 300u, 300u}) putU32(r, w);
  r.resize(r.size() + 64, 0);
  return r;
}

std::vector<uint8_t> yuvReply() {
  std::vector<uint8_t> r(32 + size_t{2} * kWidth * kHeight, 0);
  r[0] = 32;
  std::memcpy(r.data() + 12, &kWidth, 4);
  std::memcpy(r.data() + 16, &kHeight, 4);
  for (size_t i = 32; i < r.size(); ++i) r[i] = static_cast<uint8_t>(i * 7 % 200 + 20);
  return r;
}

void copyReply(benchmark::State& state, const std::vector<uint8_t>& reply) {
  for (auto _ : state) {
    std::vector<uint8_t> copy(reply.begin(), reply.end());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(reply.size()));
}

void parseReply(benchmark::State& state, const std::vector<uint8_t>& reply) {
  for (auto _ : state) {
    std::vector<uint8_t> frame;
    if (!canonParseLiveViewFrame(reply.data(), reply.size(), frame, 0)) state.SkipWithError("parse");
    benchmark::DoNotOptimize(frame.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(reply.size()));
}

const std::vector<uint8_t>& jpeg() {
  static const std::vector<uint8_t> r = jpegReply();
  return r;
}

const std::vector<uint8_t>& yuv() {
  static const std::vector<uint8_t> r = yuvReply();
  return r;
}

void BM_CopyJpegReply(benchmark::State& s) { copyReply(s, jpeg()); }
void BM_ParseJpegReply(benchmark::State& s) { parseReply(s, jpeg()); }
void BM_CopyYuvReply(benchmark::State& s) { copyReply(s, yuv()); }
void BM_ParseYuvReply(benchmark::State& s) { parseReply(s, yuv()); }

BENCHMARK(BM_CopyJpegReply)->MinTime(1.0);
BENCHMARK(BM_ParseJpegReply)->MinTime(1.0);
BENCHMARK(BM_CopyYuvReply)->MinTime(1.0);
BENCHMARK(BM_ParseYuvReply)->MinTime(1.0);


}  // namespace

int main(int argc, char** argv) {
  return runBenchmarksWithRatios(argc, argv,
                                 {{"BM_ParseJpegReply", "BM_CopyJpegReply"}, {"BM_ParseYuvReply", "BM_CopyYuvReply"}});
}
