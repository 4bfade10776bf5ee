// korvalume-devsim: the device simulator as a program, for trying the viewer by hand.
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "tools/devsim/demo.h"
#include "tools/devsim/liveview.h"
#include "tools/devsim/simulator.h"

namespace {
volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

int usage() {
  std::fprintf(stderr,
               "usage: korvalume-devsim [--generation 1|2] [--port N] [--address IPv4]"
               " [--demo [--interval SECONDS]] [--liveview canon|nikon|fuji [--fps N]]\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  devsim::Simulator::Options options;
  options.port = 8383;
  options.log = true;
  bool demo = false;
  devsim::Demo::Options demoOptions;
  demoOptions.log = true;
  std::optional<devsim::LiveView::Options> liveView;
  int fps = devsim::kLiveViewDefaultFps;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--address" && i + 1 < argc) {
      options.address = argv[++i];
    } else if (a == "--demo") {
      demo = true;
    } else if (a == "--interval" && i + 1 < argc) {
      char* end = nullptr;
      const double seconds = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end != '\0' || !(seconds >= 0.05 && seconds <= 3600)) return usage();
      demoOptions.interval = std::chrono::milliseconds(std::lround(seconds * 1000));
    } else if (a == "--liveview" && i + 1 < argc) {
      const auto vendor = devsim::liveViewVendorFromName(argv[++i]);
      if (!vendor) return usage();
      liveView = devsim::LiveView::Options{.vendor = *vendor, .log = true};
    } else if (a == "--fps" && i + 1 < argc) {
      char* end = nullptr;
      const long v = std::strtol(argv[++i], &end, 10);
      if (end == argv[i] || *end != '\0' || v < devsim::kLiveViewMinFps || v > devsim::kLiveViewMaxFps) return usage();
      fps = int(v);
    } else if ((a == "--generation" || a == "--port") && i + 1 < argc) {
      long v = std::strtol(argv[++i], nullptr, 10);
      if (a == "--generation") {
        if (v != 1 && v != 2) return usage();
        options.generation = static_cast<int>(v);
      } else {
        if (v < 0 || v > 65535) return usage();
        options.port = static_cast<uint16_t>(v);
      }
    } else {
      return usage();
    }
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  devsim::Simulator sim(options);
  if (!sim.start()) {
    std::fprintf(stderr, "korvalume-devsim: cannot listen on %s:%u: %s\n", options.address.c_str(), options.port,
                 std::strerror(errno));
    return 1;
  }
  std::unique_ptr<devsim::Demo> shots;
  if (demo) {
    shots = std::make_unique<devsim::Demo>(sim, demoOptions);
    shots->start();
  }
  std::unique_ptr<devsim::LiveView> live;
  std::string liveText;
  if (liveView) {
    liveView->fps = fps;
    live = std::make_unique<devsim::LiveView>(sim, *liveView);
    live->start();
    liveText = std::string(", live view: ") + devsim::liveViewVendorName(liveView->vendor) + " at " +
               std::to_string(fps) + " fps";
  }
  std::printf("korvalume-devsim: generation %d listening on %s:%u%s%s\n", options.generation, options.address.c_str(),
              sim.port(), demo ? ", demo: a new shot every interval once a client's session runs" : "",
              liveText.c_str());
  std::fflush(stdout);
  while (!gStop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  live.reset();
  shots.reset();
  sim.stop();
  return 0;
}
