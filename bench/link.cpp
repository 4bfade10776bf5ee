// layers: ptp
// Framed-message reads through the link over loopback, against the same bytes read by a
// plain recv() loop in the same run: 5 MB messages against bulk reads, and 100-byte
// messages against a loop that reads each 5-byte header and its body with two recv().
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/ratio_reporter.h"
#include "ptp/base/bytes.h"
#include "ptp/link/link.h"

namespace {

// Streams one message, over and over, to whoever connects, until stopped.
class Streamer {
 public:
  explicit Streamer(size_t messageBytes) {
    size_t perBlock = std::max<size_t>(1, (4u << 20) / messageBytes);
    block_.resize(perBlock * messageBytes);
    for (size_t i = 0; i < perBlock; ++i) {
      uint8_t* m = block_.data() + i * messageBytes;
      bytesPutU32(m, static_cast<uint32_t>(messageBytes));
      m[4] = 9;
      std::memset(m + 5, static_cast<int>(i), messageBytes - 5);
    }
    listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listen_, 1);
    socklen_t len = sizeof a;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] {
      int fd = ::accept(listen_, nullptr, nullptr);
      while (!stop_) {
        if (::send(fd, block_.data(), block_.size(), MSG_NOSIGNAL) <= 0) break;
      }
      ::close(fd);
    });
  }
  ~Streamer() {
    stop_ = true;
    thread_.join();
    ::close(listen_);
  }
  int port() const { return port_; }

 private:
  std::vector<uint8_t> block_;
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

int plainConnect(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  return fd;
}

bool recvAll(int fd, uint8_t* p, size_t n) {
  while (n > 0) {
    ssize_t r = ::recv(fd, p, n, 0);
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

constexpr size_t kLarge = 5'000'000;
constexpr size_t kSmall = 100;
constexpr int kSmallBatch = 1000;

void linkReads(benchmark::State& state, size_t messageBytes, int batch) {
  Streamer streamer(messageBytes);
  if (linkConnect("127.0.0.1", streamer.port()) < 0) {
    state.SkipWithError("connect failed");
    return;
  }
  ByteBuffer m;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) {
      if (linkReadMessage(m) != PTP_RC_OK) {
        state.SkipWithError("read failed");
        break;
      }
      benchmark::DoNotOptimize(m.data());
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * batch * int64_t(messageBytes));
  linkDisconnect();
}

void BM_LinkLarge(benchmark::State& s) { linkReads(s, kLarge, 1); }
void BM_LinkSmall(benchmark::State& s) { linkReads(s, kSmall, kSmallBatch); }

void BM_RecvLarge(benchmark::State& state) {
  Streamer streamer(kLarge);
  int fd = plainConnect(streamer.port());
  std::vector<uint8_t> buf(kLarge);
  for (auto _ : state) {
    if (!recvAll(fd, buf.data(), kLarge)) state.SkipWithError("recv failed");
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kLarge));
  ::close(fd);
}

void BM_RecvSmall(benchmark::State& state) {
  Streamer streamer(kSmall);
  int fd = plainConnect(streamer.port());
  uint8_t header[5];
  std::vector<uint8_t> body(kSmall);
  for (auto _ : state) {
    for (int i = 0; i < kSmallBatch; ++i) {
      if (!recvAll(fd, header, 5) || !recvAll(fd, body.data(), bytesGetU32(header) - 5)) {
        state.SkipWithError("recv failed");
        break;
      }
      benchmark::DoNotOptimize(body.data());
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSmallBatch * int64_t(kSmall));
  ::close(fd);
}

BENCHMARK(BM_RecvLarge)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_LinkLarge)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_RecvSmall)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_LinkSmall)->MinTime(1.0)->UseRealTime();


}  // namespace

int main(int argc, char** argv) {
  return runBenchmarksWithRatios(argc, argv, {{"BM_LinkLarge", "BM_RecvLarge"}, {"BM_LinkSmall", "BM_RecvSmall"}});
}
