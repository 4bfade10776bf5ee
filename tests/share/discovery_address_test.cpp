// The address rules of finding the device: the local address, the fixed device networks,
// the choice among DNS-SD answers and the probe destinations. Made-up addresses only;
// nothing here touches a socket.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include "share/discovery.h"
#include "share/discovery_address.h"

namespace {

TEST(DiscoveryAddress, LocalAddressPrefersTheDeviceNetworks) {
  struct Case {
    std::vector<std::string> addresses;
    std::optional<std::string> expected;
  } cases[] = {
      {{}, std::nullopt},
      {{"127.0.0.1", "10.0.1.5"}, "127.0.0.1"},
      {{"127.0.0.1", "10.0.1.5", "192.168.82.7"}, "192.168.82.7"},
      // The first address on any device network wins, whichever network it is.
      {{"192.168.82.7", "83.82.5.20"}, "192.168.82.7"},
      {{"10.0.0.2", "192.168.83.20", "83.82.5.20"}, "192.168.83.20"},
      // Lookalikes are not device networks.
      {{"10.0.0.2", "183.82.5.7", "10.192.168.82"}, "10.0.0.2"},
  };
  for (const auto& c : cases) EXPECT_EQ(pickLocalIpAddress(c.addresses), c.expected) << c.addresses.size();
}

TEST(DiscoveryAddress, FixedNetworksGiveTheDeviceAndItsGeneration) {
  struct Case {
    std::optional<std::string> local;
    FixedSubnet outcome;
    DeviceTarget target;
  } cases[] = {
      {"0.0.0.0", FixedSubnet::Refused, {}},
      {"83.82.5.20", FixedSubnet::Found, {"83.82.5.1", 8327, 1}},
      {"192.168.83.20", FixedSubnet::Found, {"192.168.83.1", 8327, 1}},
      {"192.168.82.7", FixedSubnet::Found, {"192.168.82.1", 8383, 2}},
      {"10.0.1.5", FixedSubnet::NotOnDeviceNetwork, {}},
      {std::nullopt, FixedSubnet::NotOnDeviceNetwork, {}},
      // Matched from the start: a public 183.82.5.x network is not the device's 83.82.5.
      {"183.82.5.7", FixedSubnet::NotOnDeviceNetwork, {}},
      {"83.82.50.1", FixedSubnet::NotOnDeviceNetwork, {}},
  };
  for (const auto& c : cases) {
    DeviceTarget t;
    EXPECT_EQ(fixedSubnetTarget(c.local, t), c.outcome) << c.local.value_or("none");
    if (c.outcome == FixedSubnet::Found) {
      EXPECT_EQ(t, c.target) << *c.local;
    }
  }
}

ResolvedService service(const std::string& host, std::vector<ServiceAddress> addresses) {
  return ResolvedService{"Korvalume", host, std::move(addresses)};
}

TEST(DiscoveryAddress, AnswersOnTheLocalSubnetComeFirst) {
  std::vector<ResolvedService> services = {
      service("a.local", {{AF_INET, "172.16.0.2", 9000}}),
      service("b.local", {{AF_INET, "10.0.1.9", 9100}}),
      service("c.local", {{AF_INET, "10.0.1.10", 9200}, {AF_INET6, "fe80::1", 9200}}),
      service("d.local", {{AF_INET, "192.168.5.5", 9300}}),
  };
  // The last same-subnet answer found comes first; the others keep their order.
  std::vector<KorvalumeAddress> all = {
      {"10.0.1.10", 9200}, {"10.0.1.9", 9100}, {"172.16.0.2", 9000}, {"192.168.5.5", 9300}};
  EXPECT_EQ(selectKorvalumeAddresses(services, "10.0.1.5", false), all);
  std::vector<KorvalumeAddress> same = {{"10.0.1.9", 9100}, {"10.0.1.10", 9200}};
  EXPECT_EQ(selectKorvalumeAddresses(services, "10.0.1.5", true), same);
}

TEST(DiscoveryAddress, UnusableAnswersAreSkipped) {
  std::vector<ResolvedService> services = {
      service("", {{AF_INET, "10.0.1.7", 9000}}),         // did not resolve
      service("z.local", {{AF_INET, "10.0.1.8", 0}}),      // no port
      service("y.local", {{AF_INET6, "fd00::8", 9000}}),   // not IPv4
      service("x.local", {{AF_INET, "110.0.1.9", 9400}}),  // another subnet that merely contains 10.0.1.
  };
  EXPECT_EQ(selectKorvalumeAddresses(services, "10.0.1.5", true), std::vector<KorvalumeAddress>{});
  EXPECT_EQ(selectKorvalumeAddresses(services, "10.0.1.5", false),
            (std::vector<KorvalumeAddress>{{"110.0.1.9", 9400}}));
  // Without a usable local address nothing is kept.
  for (std::optional<std::string> local : {std::optional<std::string>(), std::optional<std::string>(""),
                                           std::optional<std::string>("nodots")})
    EXPECT_TRUE(selectKorvalumeAddresses(services, local, false).empty());
}

TEST(DiscoveryAddress, TheDeviceListensOneAboveItsAdvertisedPort) {
  EXPECT_EQ(dnsSdTarget({"10.0.1.9", 8382}), (DeviceTarget{"10.0.1.9", 8383, 2}));
  // 65535 + 1 is no port: that answer is passed over instead of dialling port 0.
  EXPECT_EQ(dnsSdTarget({"10.0.1.9", 65535}), std::nullopt);
  EXPECT_EQ(dnsSdTarget({"10.0.1.9", 0}), std::nullopt);
  EXPECT_EQ(dnsSdTarget({"", 8382}), std::nullopt);
}

TEST(DiscoveryAddress, LocalNetworkProbeGoesToBroadcastInterfacesOnly) {
  std::vector<LocalInterface> interfaces = {
      {"lo", AF_INET, "127.0.0.1", false, 0},
      {"eth0", AF_INET, "10.0.1.5", true, 0},
      {"eth0", AF_INET6, "fe80::5", true, 2},
      {"tun0", AF_INET, "10.8.0.2", false, 0},
  };
  auto targets = localNetworkProbeTargets(interfaces);
  ASSERT_EQ(targets.size(), 2u);
  EXPECT_EQ(targets[0].address, "10.0.1.5");
  EXPECT_EQ(targets[1].address, "fe80::5");
  EXPECT_EQ(targets[1].scopeId, 2u);
}

TEST(DiscoveryAddress, TheComputerHasALoopbackAddress) {
  auto interfaces = localInterfaces();
  ASSERT_TRUE(interfaces.has_value());
  bool loopback = false;
  for (const auto& i : *interfaces) loopback |= i.family == AF_INET && i.address == "127.0.0.1";
  EXPECT_TRUE(loopback);
  EXPECT_TRUE(CommsManager::getIpAddress().has_value());
}

}  // namespace
