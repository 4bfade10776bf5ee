// korvalume-linkcheck: connects to a device with the link, names itself and exchanges
// heartbeats, printing what it got. A smoke test for a device or the simulator.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"

namespace {
int usage() {
  std::fprintf(stderr,
               "usage: korvalume-linkcheck [--host H] [--port N] [--generation 1|2] [--count N] "
               "[--interval-ms N]\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1";
  long port = 8383, generation = 2, count = 5, intervalMs = 1000;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return usage();
    if (a == "--host") {
      host = argv[++i];
      continue;
    }
    long v = std::strtol(argv[++i], nullptr, 10);
    if (a == "--port") port = v;
    else if (a == "--generation") generation = v;
    else if (a == "--count") count = v;
    else if (a == "--interval-ms") intervalMs = v;
    else return usage();
  }
  if (generation != 1 && generation != 2) return usage();

  int fd = linkConnect(host, static_cast<int>(port));
  if (fd < 0) {
    std::printf("linkcheck: cannot connect to %s:%ld\n", host.c_str(), port);
    return 1;
  }
  shareSetMode(static_cast<uint8_t>(generation));
  std::printf("linkcheck: connected to %s:%ld (generation %ld)\n", linkGetHostName().c_str(), port, generation);

  const char name[] = "korvalume-linkcheck";
  PtpResponseCode rc = linkCommand(160, reinterpret_cast<const uint8_t*>(name), sizeof name);
  std::printf("linkcheck: client name -> 0x%04X\n", rc);
  int failures = rc == PTP_RC_OK ? 0 : 1;
  for (long i = 0; i < count; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    rc = linkCommand(176, nullptr, 0);
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    std::printf("linkcheck: heartbeat %ld -> 0x%04X in %lld us\n", i + 1, rc, static_cast<long long>(us));
    std::fflush(stdout);
    if (rc != PTP_RC_OK) ++failures;
    if (i + 1 < count) std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
  }
  linkDisconnect();
  return failures == 0 ? 0 : 1;
}
