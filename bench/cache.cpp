// layers: ptp
// Start-up loading of the object cache and the raw-preview finder, each against a
// baseline in the same run: cacheLoad of 2,001 records (and of 2,500, which trims to
// 2,001) against a bare scan of the folder reading every ".obj"; fileFindEmbeddedJpeg on
// a 50 MB NEF (preview pairs near the start, and a worst case with none to find) against
// one memchr pass over the same 50 MB.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "ptp/base/bytes.h"
#include "ptp/base/filetypes.h"
#include "ptp/cache/cache.h"

namespace {

struct Folder {
  std::string root, cache, download;
  Folder() {
    char t[] = "/tmp/kv-bench-cache-XXXXXX";
    root = ::mkdtemp(t);
    cache = root + "/c";
    download = root + "/d";
    std::filesystem::create_directory(cache);
    std::filesystem::create_directory(download);
  }
  ~Folder() { std::filesystem::remove_all(root); }
  // Records first..last-1, record i accessed at base + i.
  void write(int first, int last) const {
    time_t base = ::time(nullptr) - 100000;
    for (int i = first; i < last; ++i) {
      PtpObjectInfoStruct r{};
      r.objectId = uint32_t(i);
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%05d.JPG", i);
      objectInfoSetFileName(r, name);
      std::string path = cache + "/" + name + ".obj";
      int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || ::write(fd, &r, sizeof r) != ssize_t(sizeof r)) std::abort();
      ::close(fd);
      timespec times[2] = {{base + i, 0}, {base + i - 1000, 0}};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
  }
};

void BM_ScanRead2001(benchmark::State& state) {
  Folder f;
  f.write(0, 2001);
  uint8_t buf[kObjectInfoBytes];
  for (auto _ : state) {
    DIR* d = ::opendir(f.cache.c_str());
    int n = 0;
    while (dirent* e = ::readdir(d)) {
      if (e->d_name[0] == '.') continue;
      int fd = ::openat(::dirfd(d), e->d_name, O_RDONLY);
      n += ::read(fd, buf, sizeof buf) == ssize_t(sizeof buf);
      ::close(fd);
    }
    ::closedir(d);
    if (n != 2001) state.SkipWithError("scan");
  }
}

void BM_CacheLoad2001(benchmark::State& state) {
  Folder f;
  f.write(0, 2001);
  for (auto _ : state) {
    cacheLoad(f.cache.c_str(), f.download.c_str());
    if (cacheCount() != 2001) state.SkipWithError("load");
  }
  cacheLoad(nullptr, nullptr);
}

void BM_CacheLoad2500Trims(benchmark::State& state) {
  Folder f;
  for (auto _ : state) {
    state.PauseTiming();
    f.write(0, 499);  // the oldest, which the load deletes
    f.write(499, 2500);
    state.ResumeTiming();
    cacheLoad(f.cache.c_str(), f.download.c_str());
    if (cacheCount() != 2001) state.SkipWithError("load");
  }
  cacheLoad(nullptr, nullptr);
}

constexpr size_t kRawBytes = 50u << 20;

// A 50 MB little-endian NEF: IFD0 with a model and two preview pairs, the previews at the
// end, the rest pseudo-random. Without pairs, the finder walks all 50 MB.
std::vector<uint8_t> makeRaw(bool withPairs) {
  std::vector<uint8_t> d(kRawBytes);
  uint32_t x = 12345;
  for (auto& b : d) b = uint8_t((x = x * 1103515245u + 12345u) >> 24);
  std::memcpy(d.data(), "II\x2a\x00", 4);
  bytesPutU32(d.data() + 4, 8);
  const uint16_t entries = withPairs ? 5 : 1;
  bytesPutU16(d.data() + 8, entries);
  size_t e = 10;
  auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    bytesPutU16(d.data() + e, tag), bytesPutU16(d.data() + e + 2, type);
    bytesPutU32(d.data() + e + 4, count), bytesPutU32(d.data() + e + 8, value);
    e += 12;
  };
  std::memcpy(d.data() + 200, "NIKON D850", 11);
  entry(0x0110, 2, 11, 200);
  if (withPairs) {
    uint32_t big = 4u << 20, small = 64u << 10;
    uint32_t bigAt = uint32_t(kRawBytes - big), smallAt = bigAt - small;
    entry(0x0201, 4, 1, smallAt), entry(0x0202, 4, 1, small);
    entry(0x0201, 4, 1, bigAt), entry(0x0202, 4, 1, big);
    d[smallAt] = d[bigAt] = 0xFF, d[smallAt + 1] = d[bigAt + 1] = 0xD8;
  }
  // The random bytes must not hold a matching entry by chance.
  for (size_t i = e; i + 1 < kRawBytes; ++i)
    if ((d[i] == 0x01 || d[i] == 0x02) && d[i + 1] == 0x02) d[i] = 0x03;
  return d;
}

void finder(benchmark::State& state, bool withPairs) {
  std::vector<uint8_t> raw = makeRaw(withPairs);
  for (auto _ : state) {
    uint32_t offset = 0, length = 0;
    bool found = fileFindEmbeddedJpeg(raw, offset, length, kFormatNef);
    if (found != withPairs) state.SkipWithError("finder");
    benchmark::DoNotOptimize(offset);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kRawBytes));
}

void BM_FindJpeg50MB(benchmark::State& s) { finder(s, true); }
void BM_FindJpeg50MBNothing(benchmark::State& s) { finder(s, false); }

void BM_Memchr50MB(benchmark::State& state) {
  std::vector<uint8_t> raw(kRawBytes, 0x11);
  for (auto _ : state) {
    const void* hit = std::memchr(raw.data(), 0xFF, raw.size());
    benchmark::DoNotOptimize(hit);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kRawBytes));
}

BENCHMARK(BM_ScanRead2001)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CacheLoad2001)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CacheLoad2500Trims)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Memchr50MB)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FindJpeg50MB)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FindJpeg50MBNothing)->Unit(benchmark::kMicrosecond)->UseRealTime();


}  // namespace

int main(int argc, char** argv) {
  return runBenchmarksWithRatios(argc, argv,
                                 {{"BM_CacheLoad2001", "BM_ScanRead2001"},
                                  {"BM_CacheLoad2500Trims", "BM_ScanRead2001"},
                                  {"BM_FindJpeg50MB", "BM_Memchr50MB"},
                                  {"BM_FindJpeg50MBNothing", "BM_Memchr50MB"}});
}
