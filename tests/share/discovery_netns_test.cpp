// The first-generation path with a real ICMP echo. Unprivileged echo sockets are refused on
// the build machines, so the test runs itself again inside a network namespace of its own
// (unshare -n), where only a loopback exists, echo sockets can be allowed and the device's
// pinged port 8382 is free. Where no namespace can be made it skips.
#include <gtest/gtest.h>

#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "model/connection_status.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/connect_run.h"
#include "share/discovery.h"
#include "share/share_comms.h"
#include "support/qt_test_support.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;

namespace {

constexpr const char* kInsideMarker = "KV_DISCOVERY_IN_NETNS";

bool loopbackUp() {
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return false;
  ifreq r{};
  std::strncpy(r.ifr_name, "lo", IFNAMSIZ - 1);
  bool ok = ::ioctl(fd, SIOCGIFFLAGS, &r) == 0;
  r.ifr_flags |= IFF_UP;
  ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &r) == 0;
  ::close(fd);
  return ok;
}

bool allowEchoSockets() {
  std::ofstream f("/proc/sys/net/ipv4/ping_group_range");
  f << "0 2147483647\n";
  f.close();
  if (!f) return false;
  int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// Runs `test` in a fresh network namespace; its output, and whether it passed.
bool runInNamespace(const std::string& test, std::string& output) {
  char exe[4096] = {0};
  if (::readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) return false;
  std::string log = kvtest::tempHome().toStdString() + "/netns-" + std::to_string(::getpid()) + ".log";
  std::string command = std::string(kInsideMarker) + "=1 unshare -n '" + exe + "' --gtest_filter=" + test + " > '" +
                        log + "' 2>&1";
  int rc = std::system(command.c_str());
  std::ifstream in(log);
  std::stringstream s;
  s << in.rdbuf();
  output = s.str();
  return rc == 0;
}

TEST(DiscoveryPrivateNetwork, TheFirstGenerationDeviceIsFoundByARealEcho) {
  if (!std::getenv(kInsideMarker)) {
    if (std::system("unshare -n true > /dev/null 2>&1") != 0)
      GTEST_SKIP() << "no network namespace can be made here (unshare -n), so no echo can be sent safely";
    std::string output;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    bool passed = runInNamespace(std::string(info->test_suite_name()) + "." + info->name(), output);
    EXPECT_TRUE(passed) << output;
    if (passed && output.find("[  SKIPPED ]") != std::string::npos) GTEST_SKIP() << output;
    return;
  }

  // Inside the namespace: nothing here can reach another machine.
  if (!loopbackUp()) GTEST_SKIP() << "the namespace's loopback cannot be brought up";
  if (!allowEchoSockets()) GTEST_SKIP() << "echo sockets cannot be allowed in the namespace";

  ScopedTiming restore;
  timing().heartbeatPeriod = 20ms;
  devsim::Simulator sim(devsim::Simulator::Options{.generation = 1, .port = kV1PingedDevicePort});
  ASSERT_TRUE(sim.start());

  DiscoveryHooks h;
  h.localAddress = [] { return std::optional<std::string>("10.0.1.5"); };
  h.lookup = [](bool) { return std::vector<KorvalumeAddress>{}; };
  h.pingHost = QStringLiteral("127.0.0.1");  // the real pinger and the real link dial
  CommsManager::setHooks(h);

  // The pinger answers on the GUI thread: the run goes on a worker while this one serves.
  auto run = std::async(std::launch::async, connectRunStep);
  ASSERT_TRUE(kvtest::waitUntil([&] { return run.wait_for(0s) == std::future_status::ready; }));
  EXPECT_EQ(run.get(), ConnectionStatusConnected);
  EXPECT_EQ(connectGeneration(), 1);
  EXPECT_EQ(linkGetHostName(), "127.0.0.1");
  EXPECT_TRUE(sim.waitForClient(5s));

  ShareComms::instance().stop();
  CommsManager::resetHooks();
  linkDisconnect();
  sim.stop();
  shareSetMode(ShareModeNone);
  setConnectGeneration(0);
}

}  // namespace
