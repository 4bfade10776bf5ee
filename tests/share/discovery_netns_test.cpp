// Discovery on real addresses, each case in network namespaces of its own. The test runs
// itself again inside a fresh namespace (the computer) and joins a second one to it by a veth
// pair (the device), where the simulator listens on the device's address. The connect goes
// the way the connect screen starts it (runConnect, with the real local address, DNS-SD
// lookup, pinger and link), and ends with a connected share session. Nothing here can reach
// the machine's own network; where no namespace can be made the tests skip.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QVariant>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>

#include "model/connection_status.h"
#include "platform/defaults_keys.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "ptp/link/mailbox.h"
#include "share/connect_run.h"
#include "share/discovery.h"
#include "share/discovery_dnssd.h"
#include "share/gb_ping_packet.h"
#include "share/ping_manager.h"
#include "share/share_comms.h"
#include "share/share_events.h"
#include "support/net_guard.h"
#include "support/netns.h"
#include "support/qt_test_support.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;

namespace {

std::string netnsFileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void netnsWriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// The computer's side: the namespace of the re-run test, its device joined by a veth pair.
class DiscoveryNetns : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().heartbeatPeriod = 20ms;
    setConnectGeneration(0);
    CommsManager::resetHooks();
    UserDefaults::standardUserDefaults().setBool(true, kDefaultsCanSaveImages);
    dir = kvtest::tempHome().toStdString() + "/netns";
    ::mkdir(dir.c_str(), 0700);
    // The machine's system bus is never used: the bus is the one a test may start here, and
    // without it there is no DNS-SD answer. The D-Bus library reads the address once per
    // process, so every test names the same one.
    bus = dir + "/bus";
    ::unlink(bus.c_str());
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + bus).c_str(), 1);
  }
  void TearDown() override {
    ShareComms::instance().stop();
    linkDisconnect();
    if (sim) peer->run([&] { sim.reset(); });
    peer.reset();
    for (pid_t p : programs) kvtest::killProgram(p);
    shareSetMode(ShareModeNone);
    setConnectGeneration(0);
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }

  // The namespaces; false (with a skip or a failure recorded) when the test should end.
  bool makeNetwork(const std::string& computer, const std::string& device) {
    if (std::string e = kvtest::prepareTestNamespace(); !e.empty()) {
      ADD_FAILURE() << e;
      return false;
    }
    peer = std::make_unique<kvtest::PeerNamespace>(computer, device);
    if (!peer->error().empty()) {
      ADD_FAILURE() << peer->error();
      return false;
    }
    return true;
  }

  // The simulated device, listening inside the device's namespace.
  bool startDevice(int generation, const std::string& address, uint16_t port) {
    bool started = false;
    peer->run([&] {
      sim = std::make_unique<devsim::Simulator>(
          devsim::Simulator::Options{.generation = generation, .port = port, .address = address});
      started = sim->start();
    });
    return started;
  }

  // The connect as the connect screen starts it; the status it posts.
  int connectAsTheApp() {
    std::mutex m;
    std::optional<int> status;
    auto id = observeConnectionStatus(nullptr, [&](const ConnectionStatusEvent& e) {
      std::lock_guard lock(m);
      status = e.status;
    });
    runConnect();
    // The pinger's answers and the status arrive on this (GUI) thread.
    bool done = kvtest::waitUntil([&] {
      std::lock_guard lock(m);
      return status.has_value();
    });
    NotificationCenter::defaultCenter().removeObserver(id);
    EXPECT_TRUE(done) << "the connect run posted no status";
    std::lock_guard lock(m);
    return status.value_or(-1);
  }

  void expectConnected(int status, const std::string& host, int generation) {
    EXPECT_EQ(status, ConnectionStatusConnected);
    EXPECT_EQ(connectGeneration(), generation);
    EXPECT_EQ(shareGetMode(), generation);
    EXPECT_EQ(linkGetHostName(), host);
    EXPECT_TRUE(sim->waitForClient(5s));
    EXPECT_EQ(UserDefaults::standardUserDefaults().objectForKey(kDefaultsCanSaveImages).toBool(), generation != 1);
  }

  ScopedTiming restore;
  std::string dir, bus;
  std::unique_ptr<kvtest::PeerNamespace> peer;
  std::unique_ptr<devsim::Simulator> sim;
  std::vector<pid_t> programs;
};

TEST_F(DiscoveryNetns, SecondGenerationDeviceOnItsOwnNetwork) {
  if (kvtest::rerunInNetworkNamespace()) return;
  ASSERT_TRUE(makeNetwork("192.168.82.7/24", "192.168.82.1/24"));
  ASSERT_TRUE(startDevice(2, "192.168.82.1", 8383));
  expectConnected(connectAsTheApp(), "192.168.82.1", 2);
}

TEST_F(DiscoveryNetns, FirstGenerationDeviceOnItsOwnNetwork) {
  if (kvtest::rerunInNetworkNamespace()) return;
  ASSERT_TRUE(makeNetwork("192.168.83.20/24", "192.168.83.1/24"));
  ASSERT_TRUE(startDevice(1, "192.168.83.1", 8327));
  expectConnected(connectAsTheApp(), "192.168.83.1", 1);
}

// On any other network a first-generation device is found by an echo to its group. It
// answers from its own address: a kernel responder in the device's namespace that has
// joined the group and answers echoes to it (icmp_echo_ignore_broadcasts=0 there).
TEST_F(DiscoveryNetns, FirstGenerationDeviceAnswersTheGroupEcho) {
  if (kvtest::rerunInNetworkNamespace()) return;
  ASSERT_TRUE(makeNetwork("10.0.2.5/24", "10.0.2.9/24"));
  ASSERT_TRUE(peer->shell("sysctl -qw net.ipv4.icmp_echo_ignore_broadcasts=0"));
  int member = -1;
  peer->run([&] {
    member = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ip_mreqn join{};
    ::inet_pton(AF_INET, kV1PingGroupAddress, &join.imr_multiaddr);
    join.imr_ifindex = int(::if_nametoindex("kvpeer"));
    if (member >= 0 && ::setsockopt(member, IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join) != 0) {
      ::close(member);
      member = -1;
    }
  });
  ASSERT_GE(member, 0) << "the device cannot join the group";
  ASSERT_TRUE(startDevice(1, "10.0.2.9", kV1PingedDevicePort));
  expectConnected(connectAsTheApp(), "10.0.2.9", 1);
  ::close(member);
}

// The same over IPv6: every node has joined the all-nodes group and answers an echo to it
// from its own link-local address, which is the host the pinger gives back.
TEST_F(DiscoveryNetns, GroupEchoOverIpv6GivesTheMemberThatAnswered) {
  if (kvtest::rerunInNetworkNamespace()) return;
  ASSERT_TRUE(makeNetwork("10.0.5.5/24", "10.0.5.9/24"));
  auto manager = PingManager::initWithHost(QStringLiteral("ff02::1%kvlocal"));
  auto answer = std::async(std::launch::async, [&] { return manager->blockForFirstResponse(30.0); });
  EXPECT_TRUE(kvtest::waitUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }));
  EXPECT_TRUE(answer.get().startsWith(QStringLiteral("fe80:"))) << "not a member's own address";
}

// An echo to one host still takes replies from that host only. The device's namespace holds
// the pinged address, its kernel answers no echo, and a raw-socket responder answers each
// echo twice: first from another of its addresses, then from the one pinged. Only the second
// may be taken, and it arrives after the first.
TEST_F(DiscoveryNetns, EchoToOneHostTakesRepliesOnlyFromIt) {
  if (kvtest::rerunInNetworkNamespace()) return;
  ASSERT_TRUE(makeNetwork("10.0.4.5/24", "10.0.4.9/24"));
  ASSERT_TRUE(peer->shell("ip addr add 10.0.4.50/24 dev kvpeer && sysctl -qw net.ipv4.icmp_echo_ignore_all=1"));
  int raw = -1;
  peer->run([&] { raw = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP); });
  ASSERT_GE(raw, 0);
  int on = 1;
  ASSERT_EQ(::setsockopt(raw, IPPROTO_IP, IP_HDRINCL, &on, sizeof on), 0);
  int stop[2];
  ASSERT_EQ(::pipe(stop), 0);
  std::thread responder([&] {
    for (;;) {
      pollfd fds[2] = {{raw, POLLIN, 0}, {stop[0], POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN)) return;
      uint8_t in[2048];
      ssize_t n = ::recv(raw, in, sizeof in, 0);
      if (n < 28) continue;
      size_t header = size_t(in[0] & 0x0F) * 4;
      if (size_t(n) < header + 8 || in[header] != gbping::kEchoRequest4) continue;
      std::span<const uint8_t> echo(in + header, size_t(n) - header);
      ByteBuffer icmp = gbping::echoPacket(gbping::kEchoReply4, uint16_t(echo[4] << 8 | echo[5]),
                                           uint16_t(echo[6] << 8 | echo[7]), echo.subspan(8), true);
      for (const char* from : {"10.0.4.9", "10.0.4.50"}) {
        uint8_t out[2048] = {0x45, 0, 0, 0, 0, 0, 0, 0, 64, 1};
        ::inet_pton(AF_INET, from, out + 12);
        std::memcpy(out + 16, in + 12, 4);  // back to the sender
        std::memcpy(out + 20, icmp.data(), icmp.size());
        sockaddr_in to{};
        to.sin_family = AF_INET;
        std::memcpy(&to.sin_addr, in + 12, 4);
        ::sendto(raw, out, 20 + icmp.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
      }
    }
  });

  auto manager = PingManager::initWithHost(QStringLiteral("10.0.4.50"));
  auto answer = std::async(std::launch::async, [&] { return manager->blockForFirstResponse(30.0); });
  EXPECT_TRUE(kvtest::waitUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }));
  EXPECT_EQ(answer.get(), QStringLiteral("10.0.4.50"));
  (void)!::write(stop[1], "x", 1);
  responder.join();
  for (int fd : {raw, stop[0], stop[1]}) ::close(fd);
}

// A device advertised by DNS-SD: an Avahi daemon in the device's namespace publishes
// "_korvalume._tcp" on port 8400, and the computer's own daemon, on a private bus, finds it
// across the veth pair. The device listens on the advertised port + 1.
TEST_F(DiscoveryNetns, AdvertisedDeviceIsFoundByAvahi) {
  if (kvtest::rerunInNetworkNamespace()) return;
  if (::access("/usr/sbin/avahi-daemon", X_OK) != 0 || !kvtest::shell("command -v dbus-daemon > /dev/null"))
    GTEST_SKIP() << "avahi-daemon or dbus-daemon is not installed (scripts/setup installs them)";
  ASSERT_TRUE(makeNetwork("10.0.1.5/24", "10.0.1.9/24"));
  ASSERT_TRUE(startDevice(2, "10.0.1.9", 8401));

  netnsWriteFile(dir + "/bus.conf",
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>system</type><listen>unix:path=" + bus + "</listen><auth>EXTERNAL</auth>\n"
            "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/><allow send_destination=\"*\"/>"
            "<allow receive_sender=\"*\"/></policy></busconfig>\n");
  auto avahiConf = [](const std::string& host, const std::string& interface, bool dbus) {
    return "[server]\nhost-name=" + host + "\ndomain-name=local\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=" +
           interface + "\nenable-dbus=" + (dbus ? "yes" : "no") +
           "\n[wide-area]\nenable-wide-area=no\n[publish]\npublish-hinfo=no\npublish-workstation=no\n";
  };
  netnsWriteFile(dir + "/computer.conf", avahiConf("kv-computer", "kvlocal", true));
  netnsWriteFile(dir + "/device.conf", avahiConf("kv-device", "kvpeer", false));
  ::mkdir((dir + "/computer-services").c_str(), 0700);
  ::mkdir((dir + "/device-services").c_str(), 0700);
  netnsWriteFile(dir + "/device-services/korvalume.service",
            "<?xml version=\"1.0\" standalone='no'?>\n<!DOCTYPE service-group SYSTEM \"avahi-service.dtd\">\n"
            "<service-group><name>Korvalume</name><service><type>_korvalume._tcp</type><port>8400</port>"
            "</service></service-group>\n");
  // Each daemon in a mount namespace of its own: its run folder and services folder are
  // private, so neither meets the other's files nor the machine's.
  auto daemon = [&](const std::string& who) {
    return std::vector<std::string>{
        "unshare", "-m", "--propagation", "private", "sh", "-c",
        "mount -t tmpfs tmpfs /run && mkdir -p /run/avahi-daemon && mount --bind '" + dir + "/" + who +
            "-services' /etc/avahi/services && exec avahi-daemon -f '" + dir + "/" + who +
            ".conf' --no-drop-root --no-chroot --no-rlimits"};
  };

  programs.push_back(kvtest::spawnProgram(
      {"dbus-daemon", "--config-file=" + dir + "/bus.conf", "--nofork", "--nopidfile"}, dir + "/bus.log"));
  ASSERT_TRUE(kvtest::waitUntil([&] { return ::access(bus.c_str(), F_OK) == 0; })) << netnsFileText(dir + "/bus.log");
  ASSERT_GT(peer->spawn(daemon("device"), dir + "/device.log"), 0);
  programs.push_back(kvtest::spawnProgram(daemon("computer"), dir + "/computer.log"));
  ASSERT_TRUE(kvtest::waitUntil([&] { return netnsFileText(dir + "/device.log").find("successfully established") !=
                                             std::string::npos; }))
      << netnsFileText(dir + "/device.log");
  ASSERT_TRUE(kvtest::waitUntil([&] { return netnsFileText(dir + "/computer.log").find("Server startup complete") !=
                                             std::string::npos; }))
      << netnsFileText(dir + "/computer.log");

  // The first answer needs the device's daemon to have answered the computer's query before
  // the browse reports that nothing more is coming; once the computer's daemon has the
  // service in its cache, a browse reports it at once. So the test waits for it to be
  // known before it connects, as a user would see the device appear first.
  ASSERT_TRUE(kvtest::waitUntil([] { return !NetworkServiceManager().blockForKorvalumeAddress(false).empty(); }))
      << netnsFileText(dir + "/computer.log");
  expectConnected(connectAsTheApp(), "10.0.1.9", 2);
}

// Linux has no local-network permission to ask for, so the check sends nothing, even where
// an interface can broadcast.
TEST_F(DiscoveryNetns, LocalNetworkAccessCheckSendsNothing) {
  if (kvtest::rerunInNetworkNamespace()) return;
  if (!kvtest::netGuardEnabled()) GTEST_SKIP() << "the network guard, which counts the sends, is not built in";
  ASSERT_TRUE(makeNetwork("10.0.3.5/24", "10.0.3.9/24"));
  size_t before = kvtest::nonLoopbackCalls();
  CommsManager::checkLocalNetworkAccess();
  EXPECT_EQ(kvtest::nonLoopbackCalls(), before);
}

}  // namespace
