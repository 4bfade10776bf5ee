// The connect run end to end against the simulator on 127.0.0.1. The device networks are
// made up: the local address, the DNS-SD browser, the pinger and the link's dial are
// injected, and the dial of the device's real address is redirected to the simulator, so
// the addresses and ports that would have been dialled are checked without a packet
// leaving the machine.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/socket.h>

#include <QVariant>

#include <atomic>
#include <mutex>
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
#include "share/share_comms.h"
#include "share/share_events.h"
#include "support/qt_test_support.h"
#include "tools/devsim/simulator.h"

using namespace std::chrono_literals;

namespace {

// Announces services synchronously; each resolves to the address given.
struct FixedBrowser : DnsSdBrowser {
  std::vector<KorvalumeAddress> devices;
  NetworkServiceManager* d = nullptr;
  void searchForServices(NetworkServiceManager& delegate, const std::string& type, const std::string& domain) override {
    d = &delegate;
    for (size_t i = 0; i < devices.size(); ++i)
      delegate.didFindService({i + 1, "Korvalume " + std::to_string(i), type, domain}, i + 1 < devices.size());
    if (devices.empty()) stop();
  }
  void stop() override { d->didStopSearch(); }
  void resolve(const DnsSdFoundService& s, double) override {
    const auto& dev = devices[s.id - 1];
    d->didResolveAddress(s.id, "korvalume.local", {{AF_INET, dev.ipAddress, dev.port}});
  }
  void stopAll() override {}
};

struct Dial {
  std::string host;
  int port;
  bool operator==(const Dial&) const = default;
};

class ConnectRun : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv(kDeviceOverrideVariable);  // the table's cases never go through the override
    timing().heartbeatPeriod = 20ms;
    timing().browseWait = 50ms;
    timing().resolveWait = 50ms;
    setConnectGeneration(0);
    UserDefaults::standardUserDefaults().setBool(true, kDefaultsCanSaveImages);
  }
  void TearDown() override {
    unsetenv(kDeviceOverrideVariable);
    ShareComms::instance().stop();
    CommsManager::resetHooks();
    linkDisconnect();
    if (sim) sim->stop();
    linkResetReceiveTimeout();
    shareSetMode(ShareModeNone);
    setConnectGeneration(0);
  }

  void startDevice(int generation) {
    sim = std::make_unique<devsim::Simulator>(devsim::Simulator::Options{.generation = generation});
    ASSERT_TRUE(sim->start());
  }

  // Hooks for a computer at `local` whose DNS-SD browse finds `advertised` and whose
  // echo is answered by `pingReply`. Any dial is recorded; a dial of `device` reaches the
  // simulator, any other fails.
  void install(std::optional<std::string> local, std::vector<KorvalumeAddress> advertised, QString pingReply,
               Dial device) {
    DiscoveryHooks h;
    h.localAddress = [local] { return local; };
    h.lookup = [this, local, advertised](bool sameSubnetOnly) {
      ++lookups;
      NetworkServiceManager manager(
          [advertised] {
            auto b = std::make_unique<FixedBrowser>();
            b->devices = advertised;
            return b;
          },
          [local] { return local; });
      return manager.blockForKorvalumeAddress(sameSubnetOnly);
    };
    h.probe = [this, pingReply](const QString& host, double seconds) {
      std::lock_guard lock(mutex);
      probes.push_back({host.toStdString(), int(seconds * 1000)});
      return pingReply;
    };
    h.connect = [this, device](const std::string& host, int port) {
      {
        std::lock_guard lock(mutex);
        dials.push_back({host, port});
      }
      generationAtDial = connectGeneration();
      if (!sim || !(Dial{host, port} == device)) return -1;
      return linkConnect("127.0.0.1", sim->port());
    };
    CommsManager::setHooks(h);
  }

  std::vector<Dial> dialList() {
    std::lock_guard lock(mutex);
    return dials;
  }
  std::vector<Dial> probeList() {
    std::lock_guard lock(mutex);
    return probes;
  }
  bool canSave() { return UserDefaults::standardUserDefaults().objectForKey(kDefaultsCanSaveImages).toBool(); }

  ScopedTiming restore;
  std::unique_ptr<devsim::Simulator> sim;
  std::mutex mutex;
  std::vector<Dial> dials, probes;
  std::atomic<int> lookups{0};
  std::atomic<int> generationAtDial{-1};
};

TEST_F(ConnectRun, FirstGenerationNetwork) {
  startDevice(1);
  install("192.168.83.20", {}, QString(), {"192.168.83.1", 8327});
  EXPECT_EQ(connectRunStep(), ConnectionStatusConnected);
  EXPECT_EQ(dialList(), (std::vector<Dial>{{"192.168.83.1", 8327}}));
  EXPECT_EQ(generationAtDial, 1);  // known before the link was opened
  EXPECT_EQ(connectGeneration(), 1);
  EXPECT_EQ(shareGetMode(), ShareModeGeneration1);
  EXPECT_FALSE(canSave());
  EXPECT_EQ(lookups, 0);
  EXPECT_TRUE(kvtest::waitUntil([&] { return sim->clientNames().size() == 1; }));
}

TEST_F(ConnectRun, SecondGenerationNetworkNeedsNoLookup) {
  startDevice(2);
  install("192.168.82.7", {{"192.168.82.1", 1}}, QString(), {"192.168.82.1", 8383});
  EXPECT_EQ(connectRunStep(), ConnectionStatusConnected);
  EXPECT_EQ(dialList(), (std::vector<Dial>{{"192.168.82.1", 8383}}));
  EXPECT_EQ(connectGeneration(), 2);
  EXPECT_EQ(shareGetMode(), ShareModeGeneration2);
  EXPECT_TRUE(canSave());
  EXPECT_EQ(lookups, 0);
  EXPECT_TRUE(probeList().empty());
}

TEST_F(ConnectRun, EachFixedSubnetDialsItsDeviceWithItsGeneration) {
  struct Case {
    const char* local;
    Dial device;
    int generation;
  } cases[] = {
      {"83.82.5.20", {"83.82.5.1", 8327}, 1},
      {"192.168.83.20", {"192.168.83.1", 8327}, 1},
      {"192.168.82.7", {"192.168.82.1", 8383}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.local);
    startDevice(c.generation);
    dials.clear();
    lookups = 0;
    install(c.local, {{"10.0.1.9", 8400}}, QStringLiteral("10.0.1.77"), c.device);
    EXPECT_EQ(connectRunStep(), ConnectionStatusConnected);
    EXPECT_EQ(dialList(), std::vector<Dial>{c.device});
    EXPECT_EQ(generationAtDial, c.generation);
    EXPECT_EQ(shareGetMode(), c.generation == 1 ? ShareModeGeneration1 : ShareModeGeneration2);
    EXPECT_EQ(lookups, 0);
    EXPECT_TRUE(probeList().empty());
    ShareComms::instance().stop();
    linkDisconnect();
    sim->stop();
  }
}

TEST_F(ConnectRun, OtherNetworkTriesTheAdvertisedDeviceOnTheLocalSubnet) {
  startDevice(2);
  install("10.0.1.5", {{"10.0.1.9", 8400}, {"172.16.0.2", 8500}}, QString(), {"10.0.1.9", 8401});
  EXPECT_EQ(connectRunStep(), ConnectionStatusConnected);
  EXPECT_EQ(dialList(), (std::vector<Dial>{{"10.0.1.9", 8401}}));
  EXPECT_EQ(connectGeneration(), 2);
  EXPECT_TRUE(probeList().empty());
}

TEST_F(ConnectRun, WithoutAnAnswerTheFirstGenerationDeviceIsPinged) {
  startDevice(1);
  install("10.0.1.5", {}, QStringLiteral("10.0.1.77"), {"10.0.1.77", 8382});
  EXPECT_EQ(connectRunStep(), ConnectionStatusConnected);
  EXPECT_EQ(lookups, 1);
  EXPECT_EQ(probeList(), (std::vector<Dial>{{"239.8.26.83", 5000}}));
  EXPECT_EQ(dialList(), (std::vector<Dial>{{"10.0.1.77", 8382}}));
  EXPECT_EQ(connectGeneration(), 1);
  EXPECT_FALSE(canSave());
}

TEST_F(ConnectRun, FailuresReportNotConnectedAndClearTheGeneration) {
  struct Case {
    const char* what;
    std::optional<std::string> local;
    std::vector<KorvalumeAddress> advertised;
    QString pingReply;
    size_t dials, lookups;
  } cases[] = {
      {"no usable local address", "0.0.0.0", {{"10.0.1.9", 8400}}, QStringLiteral("10.0.1.77"), 0, 0},
      {"nothing answers", "10.0.1.5", {}, QString(), 0, 1},
      {"the device refuses the link", "192.168.82.7", {}, QString(), 1, 0},
      {"only an advertised port without a successor", "10.0.1.5", {{"10.0.1.9", 65535}}, QString(), 0, 1},
  };
  for (const auto& c : cases) {
    setConnectGeneration(2);
    lookups = 0;
    dials.clear();
    install(c.local, c.advertised, c.pingReply, {"none", 0});
    EXPECT_EQ(connectRunStep(), ConnectionStatusDisconnected) << c.what;
    EXPECT_EQ(connectGeneration(), 0) << c.what;
    EXPECT_EQ(dialList().size(), c.dials) << c.what;
    EXPECT_EQ(size_t(lookups), c.lookups) << c.what;
  }
}

TEST_F(ConnectRun, ADeviceThatAnswersNoHeartbeatHasSharingDisabled) {
  startDevice(2);
  sim->setControlReply(devsim::kOpcodeHeartbeat, {.result = 0x2019});
  install("192.168.82.7", {}, QString(), {"192.168.82.1", 8383});
  EXPECT_EQ(connectRunStep(), ConnectionStatusSharingDisabled);
  // The link did open: the generation stays that of the device found.
  EXPECT_EQ(connectGeneration(), 2);
}

TEST_F(ConnectRun, TheRunPostsItsResultAsTheConnectionStatus) {
  std::mutex m;
  std::vector<int> statuses;
  auto id = observeConnectionStatus(nullptr, [&](const ConnectionStatusEvent& e) {
    std::lock_guard lock(m);
    statuses.push_back(e.status);
  });
  install("10.0.1.5", {}, QString(), {"none", 0});
  runConnect();
  EXPECT_TRUE(kvtest::waitUntil([&] {
    std::lock_guard lock(m);
    return !statuses.empty();
  }));
  NotificationCenter::defaultCenter().removeObserver(id);
  EXPECT_EQ(statuses, std::vector<int>{ConnectionStatusDisconnected});
}

TEST(ConnectServer, TheSavedAddressOrTheAdvertisedPortOrTheDefaultDevice) {
  std::vector<Dial> dials;
  DiscoveryHooks h;
  std::vector<KorvalumeAddress> answers;
  h.localAddress = [] { return std::optional<std::string>("10.0.1.5"); };
  h.lookup = [&](bool) { return answers; };
  h.connect = [&](const std::string& host, int port) {
    dials.push_back({host, port});
    return -1;
  };
  CommsManager::setHooks(h);
  auto& defaults = UserDefaults::standardUserDefaults();
  defaults.setObject(QStringLiteral("10.0.1.42"), kDefaultsIpAddress);
  EXPECT_FALSE(CommsManager::connectToServer());
  defaults.setObject(QVariant(), kDefaultsIpAddress);
  answers = {{"10.0.1.9", 8400}};
  EXPECT_FALSE(CommsManager::connectToServer());
  answers = {};
  EXPECT_FALSE(CommsManager::connectToServer());
  EXPECT_FALSE(CommsManager::connectToServer(QString()));
  EXPECT_FALSE(CommsManager::connectToServer(QStringLiteral("10.0.1.77")));
  CommsManager::resetHooks();
  EXPECT_EQ(dials, (std::vector<Dial>{{"10.0.1.42", 8382}, {"10.0.1.9", 8400}, {"192.168.82.1", 8382}, {"10.0.1.77", 8382}}));
}

}  // namespace

TEST(DeviceOverride, ValuesAreHostPortAndAnOptionalGeneration) {
  struct Case {
    const char* value;
    std::optional<DeviceTarget> target;
  } cases[] = {
      {"127.0.0.1:8383", DeviceTarget{"127.0.0.1", 8383, 2}},
      {"kv-device.local:8327:1", DeviceTarget{"kv-device.local", 8327, 1}},
      {"[::1]:9000:2", DeviceTarget{"::1", 9000, 2}},
      {"", std::nullopt},
      {"127.0.0.1", std::nullopt},
      {"127.0.0.1:", std::nullopt},
      {":8383", std::nullopt},
      {"127.0.0.1:0", std::nullopt},
      {"127.0.0.1:65536", std::nullopt},
      {"127.0.0.1:83x", std::nullopt},
      {"127.0.0.1:8383:3", std::nullopt},
      {"127.0.0.1:8383:", std::nullopt},
      {"127.0.0.1:8383:2:1", std::nullopt},
      {"[::1:8383", std::nullopt},
      {"[::1]8383", std::nullopt},
      {"a b:8383", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseDeviceOverride(c.value), c.target) << '"' << c.value << '"';
}

// The override is a row of the table: the generation is known before the link opens, the
// share mode follows it, a first-generation device cannot save, and nothing is looked up.
TEST_F(ConnectRun, DeviceOverrideActsAsATableRow) {
  for (int generation : {2, 1}) {
    SCOPED_TRACE(generation);
    startDevice(generation);
    install("10.1.2.3", {{"10.1.2.9", 1}}, QStringLiteral("10.1.2.8"), {"127.0.0.1", sim->port()});
    UserDefaults::standardUserDefaults().setBool(true, kDefaultsCanSaveImages);
    const std::string value = "127.0.0.1:" + std::to_string(sim->port()) + (generation == 1 ? ":1" : "");
    setenv(kDeviceOverrideVariable, value.c_str(), 1);
    EXPECT_EQ(connectRunStep(), ConnectionStatusConnected);
    EXPECT_EQ(dialList(), (std::vector<Dial>{{"127.0.0.1", sim->port()}}));
    EXPECT_EQ(generationAtDial, generation);
    EXPECT_EQ(shareGetMode(), generation == 1 ? ShareModeGeneration1 : ShareModeGeneration2);
    EXPECT_EQ(canSave(), generation == 2);
    EXPECT_EQ(lookups, 0);
    EXPECT_TRUE(probeList().empty());
    EXPECT_TRUE(kvtest::waitUntil([&] { return sim->clientNames().size() == 1; }));
    TearDown();
    dials.clear();
  }
}

// A malformed value fails the connect and never falls through to discovery, even where the
// table would have found a device.
TEST_F(ConnectRun, MalformedDeviceOverrideFailsWithoutDiscovery) {
  startDevice(2);
  install("192.168.82.7", {{"192.168.82.1", 1}}, QStringLiteral("192.168.83.1"), {"192.168.82.1", 8383});
  for (const char* value : {"192.168.82.1", "192.168.82.1:8383:5", "localhost:http"}) {
    setenv(kDeviceOverrideVariable, value, 1);
    EXPECT_EQ(connectRunStep(), ConnectionStatusDisconnected) << value;
    EXPECT_EQ(connectGeneration(), 0);
  }
  EXPECT_TRUE(dialList().empty());
  EXPECT_EQ(lookups, 0);
  EXPECT_TRUE(probeList().empty());
}

// A host that resolves to nothing fails the connect. Its lookup asks the machine's DNS
// server, so it runs on a thread in a network namespace of its own.
TEST_F(ConnectRun, UnresolvableDeviceOverrideFails) {
  setenv(kDeviceOverrideVariable, "no-such-host.invalid:8383", 1);
  int unshared = -1;
  int32_t status = 0;
  std::thread([&] {
    unshared = ::unshare(CLONE_NEWNET);
    if (unshared == 0) status = connectRunStep();
  }).join();
  if (unshared != 0) GTEST_SKIP() << "no network namespace for the unresolvable-host case";
  EXPECT_EQ(status, ConnectionStatusDisconnected);
  EXPECT_EQ(connectGeneration(), 0);
  EXPECT_FALSE(linkIsConnected());
}
