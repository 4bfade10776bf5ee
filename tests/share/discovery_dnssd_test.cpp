// The blocking DNS-SD lookup against a scripted browser: the browse and resolve waits are
// bounded, answers are selected by the local subnet, and a flood of services cannot stretch
// the wait. The real Avahi browser is run only where no daemon could browse the network.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "ptp/base/timing.h"
#include "share/discovery_dnssd.h"

using namespace std::chrono_literals;

namespace {

struct Answer {
  bool resolves = true;  // false: didNotResolve
  bool silent = false;   // no report at all
  std::string host = "korvalume.local";
  std::vector<ServiceAddress> addresses;
};

// Reports synchronously from inside the calls the lookup makes.
struct ScriptedBrowser : DnsSdBrowser {
  struct Script {
    std::vector<std::pair<std::string, Answer>> services;
    bool endsSearch = true;     // the last service comes with moreComing = false
    bool stopReports = true;    // stop() reports didStopSearch
    bool cannotSearch = false;  // didNotSearch at once
    std::atomic<int> stops{0}, resolves{0}, stopAlls{0};
  };
  explicit ScriptedBrowser(Script& script) : s(script) {}
  Script& s;
  NetworkServiceManager* d = nullptr;
  std::map<uint64_t, Answer> answers;

  void searchForServices(NetworkServiceManager& delegate, const std::string& type, const std::string& domain) override {
    EXPECT_EQ(type, "_korvalume._tcp");
    EXPECT_EQ(domain, "local");
    d = &delegate;
    if (s.cannotSearch) return delegate.didNotSearch();
    uint64_t id = 0;
    for (size_t i = 0; i < s.services.size(); ++i) {
      answers[++id] = s.services[i].second;
      bool last = i + 1 == s.services.size();
      delegate.didFindService({id, s.services[i].first, type, domain}, !(last && s.endsSearch));
    }
  }
  void stop() override {
    ++s.stops;
    if (s.stopReports) d->didStopSearch();
  }
  void resolve(const DnsSdFoundService& service, double timeout) override {
    EXPECT_DOUBLE_EQ(timeout, 0.002);
    ++s.resolves;
    const Answer& a = answers[service.id];
    if (a.silent) return;
    if (!a.resolves) return d->didNotResolve(service.id);
    d->didResolveAddress(service.id, a.host, a.addresses);
  }
  void stopAll() override { ++s.stopAlls; }
};

class DnsSdLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    timing().browseWait = 20ms;
    timing().browseStopWait = 10ms;
    timing().resolveTimeout = 2ms;
    timing().resolveWait = 10ms;
  }
  std::vector<KorvalumeAddress> lookup(bool sameSubnetOnly, std::string local = "10.0.1.5") {
    NetworkServiceManager manager([this] { return std::make_unique<ScriptedBrowser>(script); },
                                  [local] { return std::optional<std::string>(local); });
    return manager.blockForKorvalumeAddress(sameSubnetOnly);
  }
  static Answer at(const std::string& address, uint16_t port) {
    Answer a;
    a.addresses = {{AF_INET, address, port}};
    return a;
  }
  ScopedTiming restore;
  ScriptedBrowser::Script script;
};

TEST_F(DnsSdLookup, TwoDevicesTheOneOnTheLocalSubnetFirst) {
  script.services = {{"far", at("172.16.0.2", 7000)}, {"near", at("10.0.1.9", 7100)}};
  EXPECT_EQ(lookup(false), (std::vector<KorvalumeAddress>{{"10.0.1.9", 7100}, {"172.16.0.2", 7000}}));
  EXPECT_EQ(script.resolves, 2);
  EXPECT_EQ(script.stops, 1);  // told to stop when nothing more was coming
  EXPECT_EQ(script.stopAlls, 1);
  EXPECT_EQ(lookup(true), (std::vector<KorvalumeAddress>{{"10.0.1.9", 7100}}));
}

TEST_F(DnsSdLookup, WaitsAreBoundedWhateverTheBrowserDoes) {
  struct Case {
    const char* what;
    bool endsSearch, stopReports, cannotSearch;
    Answer answer;
    size_t expected;
  } cases[] = {
      {"browser never reports its end", false, true, false, at("10.0.1.9", 7100), 1},
      {"browser ignores the stop too", false, false, false, at("10.0.1.9", 7100), 1},
      {"search cannot start", true, true, true, at("10.0.1.9", 7100), 0},
      {"service never resolves", true, true, false, Answer{true, true, "", {}}, 0},
      {"service fails to resolve", true, true, false, Answer{false, false, "", {}}, 0},
  };
  for (const auto& c : cases) {
    script.services = {{"dev", c.answer}};
    script.endsSearch = c.endsSearch;
    script.stopReports = c.stopReports;
    script.cannotSearch = c.cannotSearch;
    script.stops = 0;
    EXPECT_EQ(lookup(false).size(), c.expected) << c.what;
    // A browse that did not end on its own is told to stop.
    if (!c.endsSearch) {
      EXPECT_EQ(script.stops, 1) << c.what;
    }
  }
}

TEST_F(DnsSdLookup, AFloodOfServicesIsCutToAFew) {
  for (int i = 0; i < 500; ++i) {
    Answer a = at("10.0.1." + std::to_string(i % 250 + 1), uint16_t(7000 + i));
    a.silent = true;  // each would cost a whole resolve wait
    script.services.push_back({"dev" + std::to_string(i), a});
  }
  EXPECT_TRUE(lookup(false).empty());
  EXPECT_EQ(script.resolves, 16);
}

TEST_F(DnsSdLookup, ALateReportAfterTheLookupIsHarmless) {
  script.services = {{"dev", at("10.0.1.9", 7100)}};
  NetworkServiceManager manager([this] { return std::make_unique<ScriptedBrowser>(script); },
                                [] { return std::optional<std::string>("10.0.1.5"); });
  EXPECT_EQ(manager.blockForKorvalumeAddress(false).size(), 1u);
  manager.didStopSearch();
  manager.didNotResolve(1);
  manager.didResolveAddress(99, "other.local", {{AF_INET, "10.0.1.77", 1}});
  // Once per manager.
  EXPECT_TRUE(manager.blockForKorvalumeAddress(false).empty());
}

// Avahi reaches its daemon over the system bus; where either exists it could browse the
// real network, which tests must not do.
TEST(DnsSdAvahi, WithoutADaemonTheLookupFindsNothing) {
  for (const char* path : {"/run/dbus/system_bus_socket", "/var/run/dbus/system_bus_socket",
                           "/run/avahi-daemon/socket", "/var/run/avahi-daemon/socket"})
    if (::access(path, F_OK) == 0) GTEST_SKIP() << path << " exists: a daemon could browse the real network";
  ScopedTiming restore;
  timing().browseWait = 50ms;
  timing().browseStopWait = 10ms;
  NetworkServiceManager manager({}, [] { return std::optional<std::string>("10.0.1.5"); });
  EXPECT_TRUE(manager.blockForKorvalumeAddress(false).empty());
}

}  // namespace
