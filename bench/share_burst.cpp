// layers: share devsim
// What a burst from the device costs once it is on this side: 200 thumbnails and 50
// images of 1 MiB, each after its object record, pushed by the simulator through the
// running share session into the decoder and the object cache. The baseline writes the
// same files (records, thumbnails, images) with a plain write and rename, in the same run;
// the ratio is the cost of the session, the decoding and the cache's safety on top.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "bench/ratio_reporter.h"
#include "platform/notification_center.h"
#include "ptp/base/timing.h"
#include "ptp/cache/cache.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "tools/devsim/simulator.h"

namespace {

constexpr int kThumbnails = 200;
constexpr int kImages = 50;
constexpr size_t kThumbnailBytes = 20 * 1024;
constexpr size_t kImageBytes = 1024 * 1024;

struct Folder {
  std::string root, cache, save;
  Folder() {
    char t[] = "/tmp/kv-bench-burst-XXXXXX";
    root = ::mkdtemp(t);
    cache = root + "/c";
    save = root + "/d";
    std::filesystem::create_directory(cache);
    std::filesystem::create_directory(save);
  }
  ~Folder() { std::filesystem::remove_all(root); }
};

PtpObjectInfoStruct record(uint32_t id, int round, size_t size) {
  PtpObjectInfoStruct r{};
  r.objectId = id;
  r.objectFormat = 0x3801;
  r.objectCompressedSize = uint32_t(size);
  r.captureDate = 1700000000 + uint64_t(round);
  char name[40];
  std::snprintf(name, sizeof name, "R%04d_%05u.JPG", round, id);
  objectInfoSetFileName(r, name);
  return r;
}

devsim::Bytes relay176(const PtpObjectInfoStruct& r) {
  return devsim::makeRelayBody(176, std::span(reinterpret_cast<const uint8_t*>(&r), kObjectInfoBytes));
}

// Counts decoded messages and lets the benchmark wait for a number of them.
struct Handled {
  std::mutex mutex;
  std::condition_variable changed;
  long count = 0;
  void add() {
    std::lock_guard lock(mutex);
    ++count;
    changed.notify_all();
  }
  bool waitFor(long n) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::minutes(5), [&] { return count >= n; });
  }
};

void BM_ShareBurstIntoCache(benchmark::State& state) {
  timing().receiveTimeout = std::chrono::seconds(60);
  devsim::Simulator sim;
  Handled handled;
  // Counted on the session's queue itself: the typed observer's hop to the GUI thread is
  // no part of the burst's cost, and no event loop runs here.
  auto observer = NotificationCenter::defaultCenter().addObserver(
      nullptr, MessageHandledEvent::kName, [&](const Notification&) { handled.add(); });
  if (!sim.start() || linkConnect("127.0.0.1", sim.port()) < 0 || !sim.waitForClient(std::chrono::seconds(30))) {
    state.SkipWithError("no simulator");
    return;
  }
  shareSetMode(ShareModeGeneration2);
  if (!ShareComms::instance().start()) {
    state.SkipWithError("no session");
    return;
  }
  const devsim::Bytes thumbnail(kThumbnailBytes, 0x31), image(kImageBytes, 0x32);
  long expected = 0;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto folder = std::make_unique<Folder>();
    cacheLoad(folder->cache.c_str(), folder->save.c_str());
    ++round;
    state.ResumeTiming();
    for (int i = 0; i < kThumbnails; ++i) {
      sim.sendFrame(15, relay176(record(uint32_t(i + 1), round, 0)));
      sim.pushPtp(2, 0x100A, thumbnail);
    }
    for (int i = 0; i < kImages; ++i) {
      sim.sendFrame(15, relay176(record(uint32_t(1000 + i), round, kImageBytes)));
      sim.pushPtp(2, 0x1009, image);
    }
    expected += 2 * (kThumbnails + kImages);
    if (!handled.waitFor(expected)) state.SkipWithError("the burst was not handled");
    state.PauseTiming();
    cacheLoad(nullptr, nullptr);
    folder.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kThumbnails * kThumbnailBytes + kImages * kImageBytes));
  ShareComms::instance().stop();
  NotificationCenter::defaultCenter().removeObserver(observer);
  linkDisconnect();
  sim.stop();
  shareSetMode(ShareModeNone);
}

void writeAndRename(const std::string& folder, const std::string& name, const void* data, size_t n) {
  const std::string temp = folder + "/.tmp." + name, path = folder + "/" + name;
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, data, n) != ssize_t(n)) std::abort();
  ::close(fd);
  if (::rename(temp.c_str(), path.c_str()) != 0) std::abort();
}

void BM_PlainWriteRename(benchmark::State& state) {
  const std::string thumbnail(kThumbnailBytes, 0x31), image(kImageBytes, 0x32);
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto folder = std::make_unique<Folder>();
    ++round;
    state.ResumeTiming();
    for (int i = 0; i < kThumbnails + kImages; ++i) {
      const bool isImage = i >= kThumbnails;
      const PtpObjectInfoStruct r = record(uint32_t(i + 1), round, isImage ? kImageBytes : 0);
      const std::string name = objectInfoFileName(r);
      writeAndRename(folder->cache, name + ".obj", &r, sizeof r);
      if (isImage)
        writeAndRename(folder->save, name, image.data(), image.size());
      else
        writeAndRename(folder->cache, name + ".thumb", thumbnail.data(), thumbnail.size());
    }
    state.PauseTiming();
    folder.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kThumbnails * kThumbnailBytes + kImages * kImageBytes));
}

BENCHMARK(BM_ShareBurstIntoCache)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PlainWriteRename)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return runBenchmarksWithRatios(argc, argv, {{"BM_ShareBurstIntoCache", "BM_PlainWriteRename"}});
}
