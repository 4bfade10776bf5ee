#pragma once
// Finding the device and opening the link to it. The computer's own IPv4 address decides:
// on one of the device's Wi-Fi networks its fixed address is used; elsewhere the device is
// looked up by DNS-SD, and a first-generation device by an ICMP echo. Everything that
// touches the network goes through DiscoveryHooks, so tests can stay on the loopback.
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "share/discovery_address.h"

struct DiscoveryHooks {
  // The computer's local IPv4 address (default: its interfaces, see getIpAddress).
  std::function<std::optional<std::string>()> localAddress;
  // The DNS-SD answers (default: a NetworkServiceManager lookup).
  std::function<std::vector<KorvalumeAddress>(bool sameSubnetOnly)> lookup;
  // The host that answered an echo within `seconds`, empty when none (default: a
  // PingManager pinging pingHost).
  std::function<QString(const QString& pingHost, double seconds)> probe;
  // Opens the link (default: linkConnect); the descriptor, or -1.
  std::function<int(const std::string& host, int port)> connect;
  // The address the first-generation echo goes to.
  QString pingHost = QString::fromLatin1(kV1PingGroupAddress);
};

// A development aid: KORVALUME_DEVICE=host:port[:generation] names the device outright
// (the bundled simulator, a device on another network). It acts as a row of the discovery
// table; the generation is 1 or 2, 2 when left out; an IPv6 host goes in brackets.
constexpr const char* kDeviceOverrideVariable = "KORVALUME_DEVICE";
// The target a KORVALUME_DEVICE value names; none when it is malformed.
std::optional<DeviceTarget> parseDeviceOverride(std::string_view value);

class CommsManager {
 public:
  CommsManager() = delete;

  // Replaces the hooks; a null member keeps its default. resetHooks() restores them all.
  static void setHooks(DiscoveryHooks hooks);
  static void resetHooks();

  // The local IPv4 address: the first on one of the device's networks, else the first of
  // all (interfaces in the order the system lists them); none when there is none.
  static std::optional<std::string> getIpAddress();
  // The decision alone: where the device is, or none. Writes the generation as soon as an
  // address is chosen (generation may be null). A KORVALUME_DEVICE value comes first and
  // alone: a malformed one finds nothing and never falls through to the table.
  static std::optional<DeviceTarget> findDevice(uint8_t* generation);
  // The link to a device found; true when a socket was opened.
  static bool connectToDevice(const DeviceTarget& target);
  // findDevice, then the link to it. True when a socket was opened.
  static bool connectToServerShare(uint8_t* generation);
  // The host that answered the first-generation echo within v1PingWait; empty when none.
  static QString blockForV1IpAddress();
  // The link to host on the pinged first-generation port; false for a null host.
  static bool connectToServer(const QString& host);
  // The link to the user default "ipAddress", else to the first DNS-SD answer on its
  // advertised port, else to 192.168.82.1 on the pinged port.
  static bool connectToServer();
  // Where a system asks the user before a program may reach the local network, this would
  // trigger the question; Linux has none, so it does nothing.
  static void checkLocalNetworkAccess();
};

// --- the computer's interfaces (discovery_local.cpp) ---
struct LocalInterface {
  std::string name;
  int family = 0;  // AF_INET or AF_INET6
  std::string address;
  bool broadcast = false;
  uint32_t scopeId = 0;  // IPv6 only
};
// Every IPv4 and IPv6 address of every interface, in the system's order; none when the
// list cannot be read.
std::optional<std::vector<LocalInterface>> localInterfaces();
// The destinations of checkLocalNetworkAccess: the addresses of broadcast-capable
// interfaces, in order.
std::vector<LocalInterface> localNetworkProbeTargets(const std::vector<LocalInterface>& interfaces);
