// layers: ptp turbojpeg
// Canon live-view frames as the share session builds one per pushed frame: a 1024 x 680
// JPEG reply (a real JPEG and its information blocks) parsed into a frame and decoded,
// against a bare TurboJPEG decode of the same JPEG; the parse alone and a 1024 x 680
// YCbCr reply converted to a BMP frame, each against a plain copy of the reply bytes.
// The YCbCr conversion, alone and as part of the frame build, is also held to its budget
// of 1.5 ms per frame. Pinned to one core.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/pin_core.h"
#include "bench/ratio_reporter.h"
#include "ptp/base/bytes.h"
#include "ptp/vendors/canon/canon_liveview.h"
#include "ptp/vendors/canon/canon_yuv.h"

namespace {

constexpr uint32_t kWidth = 1024, kHeight = 680;

void putBlock(std::vector<uint8_t>& b, uint32_t type, std::initializer_list<uint32_t> words) {
  bytesAppendU32(b, static_cast<uint32_t>(8 + 4 * words.size()));
  bytesAppendU32(b, type);
  for (uint32_t w : words) bytesAppendU32(b, w);
}

// A real 1024 x 680 JPEG of a smooth gradient with some texture, quality 85, 4:2:0.
std::vector<uint8_t> makeJpeg() {
  std::vector<uint8_t> rgb(size_t{3} * kWidth * kHeight);
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      uint8_t* p = &rgb[(size_t{y} * kWidth + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / kWidth);
      p[1] = static_cast<uint8_t>(y * 255 / kHeight);
      p[2] = static_cast<uint8_t>((x * 7 + y * 13) % 256);
    }
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(tj, rgb.data(), kWidth, 0, kHeight, TJPF_RGB, &out, &size, TJSAMP_420, 85, 0);
  std::vector<uint8_t> jpeg(out, out + size);
  tjFree(out);
  tjDestroy(tj);
  // Camera live-view JPEGs carry no JFIF segment: the tables follow the start marker.
  if (jpeg.size() > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0) {
    size_t app0 = 2 + (size_t{jpeg[4]} << 8 | jpeg[5]);
    jpeg.erase(jpeg.begin() + 2, jpeg.begin() + 2 + static_cast<long>(app0));
  }
  return jpeg;
}

const std::vector<uint8_t>& rawJpeg() {
  static const std::vector<uint8_t> j = makeJpeg();
  return j;
}

std::vector<uint8_t> jpegReply() {
  std::vector<uint8_t> r(8, 0);
  r.insert(r.end(), rawJpeg().begin(), rawJpeg().end());
  putBlock(r, 4, {1});
  putBlock(r, 5, {2000, 1500});
  putBlock(r, 14, {6000, 4000});
  putBlock(r, 16, {0, 1, 4500});
  putBlock(r, 18, {0, 0, 6000, 4000});
  bytesAppendU32(r, 12 + 24 * 9);
  bytesAppendU32(r, 8);
  bytesAppendU32(r, 9);
  for (uint32_t i = 0; i < 9; ++i)
    for (uint32_t w : {0x11u, 0u, 1000 + i * 400, 1200u, 300u, 300u}) bytesAppendU32(r, w);
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

// Decodes one JPEG to RGB, as the live view does with every frame.
bool decode(tjhandle tj, const uint8_t* data, size_t size, std::vector<uint8_t>& rgb) {
  return tjDecompress2(tj, data, static_cast<unsigned long>(size), rgb.data(), kWidth, 0, kHeight, TJPF_RGB, 0) == 0;
}

void BM_DecodeJpeg(benchmark::State& state) {
  tjhandle tj = tjInitDecompress();
  std::vector<uint8_t> rgb(size_t{3} * kWidth * kHeight);
  for (auto _ : state) {
    if (!decode(tj, rawJpeg().data(), rawJpeg().size(), rgb)) {
      state.SkipWithError("decode");
      break;
    }
    benchmark::DoNotOptimize(rgb.data());
  }
  tjDestroy(tj);
}

void BM_ParseAndDecodeJpeg(benchmark::State& state) {
  tjhandle tj = tjInitDecompress();
  std::vector<uint8_t> rgb(size_t{3} * kWidth * kHeight);
  for (auto _ : state) {
    std::vector<uint8_t> frame;
    if (!canonParseLiveViewFrame(jpeg().data(), jpeg().size(), frame, 0)) {
      state.SkipWithError("parse");
      break;
    }
    EOS_LiveViewInfoStruct info;
    std::memcpy(&info, frame.data(), sizeof info);
    if (!decode(tj, frame.data() + kCanonLiveViewImageOffset, info.imageLength, rgb)) {
      state.SkipWithError("decode");
      break;
    }
    benchmark::DoNotOptimize(rgb.data());
  }
  tjDestroy(tj);
}

// The conversion alone, into a fresh BMP as the frame build makes one.
void BM_ConvertYuvFrame(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<uint8_t> bmp;
    if (canonDecodeYuvLiveView(yuv().data(), yuv().size(), bmp, 0) == 0) {
      state.SkipWithError("convert");
      break;
    }
    benchmark::DoNotOptimize(bmp.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(yuv().size()));
}

void BM_CopyJpegReply(benchmark::State& s) { copyReply(s, jpeg()); }
void BM_ParseJpegReply(benchmark::State& s) { parseReply(s, jpeg()); }
void BM_CopyYuvReply(benchmark::State& s) { copyReply(s, yuv()); }
void BM_ParseYuvReply(benchmark::State& s) { parseReply(s, yuv()); }

BENCHMARK(BM_DecodeJpeg)->MinTime(1.0);
BENCHMARK(BM_ParseAndDecodeJpeg)->MinTime(1.0);
BENCHMARK(BM_CopyJpegReply)->MinTime(1.0);
BENCHMARK(BM_ParseJpegReply)->MinTime(1.0);
BENCHMARK(BM_CopyYuvReply)->MinTime(1.0);
BENCHMARK(BM_ParseYuvReply)->MinTime(1.0);
BENCHMARK(BM_ConvertYuvFrame)->MinTime(1.0);


}  // namespace

int main(int argc, char** argv) {
  pinToOneCore();
  return runBenchmarksWithRatios(argc, argv,
                                 {{"BM_ParseAndDecodeJpeg", "BM_DecodeJpeg"},
                                  {"BM_ParseJpegReply", "BM_CopyJpegReply"},
                                  {"BM_ParseYuvReply", "BM_CopyYuvReply"},
                                  {"BM_ConvertYuvFrame", "BM_CopyYuvReply"}},
                                 {{"BM_ConvertYuvFrame", 1.5},
                                  {"BM_ParseYuvReply", 1.5}});
}
