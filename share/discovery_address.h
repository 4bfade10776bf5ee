#pragma once
// The pure half of finding the device: which local address speaks for the computer, which
// device address and port follow from it, and which DNS-SD answers are worth a try. No
// sockets here, so every rule can be tested with made-up addresses.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Ports and the address the first-generation device answers pings from.
constexpr int kV1DevicePort = 8327;
constexpr int kV2DevicePort = 8383;
constexpr int kV1PingedDevicePort = 8382;
constexpr const char* kV1PingGroupAddress = "239.8.26.83";
constexpr const char* kKorvalumeServiceType = "_korvalume._tcp";
constexpr const char* kKorvalumeServiceDomain = "local";

// Where to open the link, and which hardware generation answers there.
struct DeviceTarget {
  std::string host;
  int port = 0;
  uint8_t generation = 0;
  bool operator==(const DeviceTarget&) const = default;
};

// One DNS-SD answer: a dotted IPv4 address and its advertised port (host order).
struct KorvalumeAddress {
  std::string ipAddress;
  uint16_t port = 0;
  bool operator==(const KorvalumeAddress&) const = default;
};

// One address of a resolved service; family is AF_INET or AF_INET6.
struct ServiceAddress {
  int family = 0;
  std::string address;
  uint16_t port = 0;
};

// A found service after resolving: its host name (empty when it did not resolve) and
// its addresses.
struct ResolvedService {
  std::string name;
  std::string hostName;
  std::vector<ServiceAddress> addresses;
};

// True when the dotted address begins with prefix. The device's subnets are matched from
// the start, so that 183.82.5.7 is not taken for the device network 83.82.5.
bool addressHasPrefix(const std::string& address, const std::string& prefix);

// The local address among the computer's IPv4 addresses (in interface order): the first
// on one of the device's own networks, else the first of all; none when the list is empty.
std::optional<std::string> pickLocalIpAddress(const std::vector<std::string>& ipv4Addresses);

// The device on one of its own fixed networks, decided by the local address alone.
// "0.0.0.0" is refused (the connect fails); any other address gives nothing, which
// sends the caller on to DNS-SD and pinging.
enum class FixedSubnet { Refused, NotOnDeviceNetwork, Found };
FixedSubnet fixedSubnetTarget(const std::optional<std::string>& localAddress, DeviceTarget& target);

// The subnet prefix of a local address: up to and including its last '.'; empty when it
// has none.
std::string subnetPrefix(const std::string& localAddress);

// The usable answers of a lookup: IPv4 addresses with a non-zero port of services that
// resolved to a host name. Without sameSubnetOnly, answers on the local subnet go to the
// front (the last found first) and the others follow in order; with it, only those on the
// local subnet are kept, in order. Nothing is usable without a local address.
std::vector<KorvalumeAddress> selectKorvalumeAddresses(const std::vector<ResolvedService>& services,
                                                       const std::optional<std::string>& localAddress,
                                                       bool sameSubnetOnly);

// The generation-2 device behind a DNS-SD answer: its address on the advertised port + 1.
// None when that port does not exist (advertised 65535).
std::optional<DeviceTarget> dnsSdTarget(const KorvalumeAddress& address);
