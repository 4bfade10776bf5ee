#include "share/discovery_address.h"

#include <sys/socket.h>

namespace {
constexpr const char* kV1SubnetA = "83.82.5.";
constexpr const char* kV1SubnetB = "192.168.83.";
constexpr const char* kV2Subnet = "192.168.82.";
}  // namespace

bool addressHasPrefix(const std::string& address, const std::string& prefix) {
  return !prefix.empty() && address.compare(0, prefix.size(), prefix) == 0;
}

std::optional<std::string> pickLocalIpAddress(const std::vector<std::string>& ipv4Addresses) {
  for (const auto& a : ipv4Addresses)
    for (const char* subnet : {kV1SubnetA, kV1SubnetB, kV2Subnet})
      if (addressHasPrefix(a, subnet)) return a;
  if (ipv4Addresses.empty()) return std::nullopt;
  return ipv4Addresses.front();
}

FixedSubnet fixedSubnetTarget(const std::optional<std::string>& localAddress, DeviceTarget& target) {
  if (!localAddress) return FixedSubnet::NotOnDeviceNetwork;
  const std::string& local = *localAddress;
  if (local == "0.0.0.0") return FixedSubnet::Refused;
  if (addressHasPrefix(local, kV1SubnetA)) {
    target = {"83.82.5.1", kV1DevicePort, 1};
  } else if (addressHasPrefix(local, kV1SubnetB)) {
    target = {"192.168.83.1", kV1DevicePort, 1};
  } else if (addressHasPrefix(local, kV2Subnet)) {
    target = {"192.168.82.1", kV2DevicePort, 2};
  } else {
    return FixedSubnet::NotOnDeviceNetwork;
  }
  return FixedSubnet::Found;
}

std::string subnetPrefix(const std::string& localAddress) {
  auto dot = localAddress.rfind('.');
  if (dot == std::string::npos) return {};
  return localAddress.substr(0, dot + 1);
}

std::vector<KorvalumeAddress> selectKorvalumeAddresses(const std::vector<ResolvedService>& services,
                                                       const std::optional<std::string>& localAddress,
                                                       bool sameSubnetOnly) {
  std::vector<KorvalumeAddress> result;
  const std::string prefix = localAddress ? subnetPrefix(*localAddress) : std::string();
  if (prefix.empty()) return result;
  for (const auto& service : services) {
    if (service.hostName.empty()) continue;
    for (const auto& a : service.addresses) {
      if (a.family != AF_INET || a.port == 0) continue;
      KorvalumeAddress entry{a.address, a.port};
      bool sameSubnet = addressHasPrefix(a.address, prefix);
      if (sameSubnet && !sameSubnetOnly)
        result.insert(result.begin(), entry);
      else if (sameSubnet || !sameSubnetOnly)
        result.push_back(entry);
    }
  }
  return result;
}

std::optional<DeviceTarget> dnsSdTarget(const KorvalumeAddress& address) {
  if (address.ipAddress.empty() || address.port == 0 || address.port == 65535) return std::nullopt;
  return DeviceTarget{address.ipAddress, address.port + 1, 2};
}
