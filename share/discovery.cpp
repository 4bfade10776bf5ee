#include "share/discovery.h"

#include <sys/socket.h>

#include <mutex>

#include "platform/defaults_keys.h"
#include "platform/user_defaults.h"
#include "ptp/base/timing.h"
#include "ptp/link/link.h"
#include "share/discovery_dnssd.h"
#include "share/ping_manager.h"

namespace {

std::mutex gHooksMutex;
DiscoveryHooks gHooks;

std::optional<std::string> defaultLocalAddress() { return CommsManager::getIpAddress(); }

QString defaultProbe(const QString& host, double seconds) {
  auto manager = PingManager::initWithHost(host);
  return manager->blockForFirstResponse(seconds);
}

int defaultConnect(const std::string& host, int port) { return linkConnect(host, port); }

// The hooks in force, with every null member replaced by its default.
DiscoveryHooks hooks() {
  DiscoveryHooks h;
  {
    std::lock_guard lock(gHooksMutex);
    h = gHooks;
  }
  if (!h.localAddress) h.localAddress = defaultLocalAddress;
  if (!h.lookup) {
    h.lookup = [local = h.localAddress](bool sameSubnetOnly) {
      return NetworkServiceManager({}, local).blockForKorvalumeAddress(sameSubnetOnly);
    };
  }
  if (!h.probe) h.probe = defaultProbe;
  if (!h.connect) h.connect = defaultConnect;
  if (h.pingHost.isEmpty()) h.pingHost = QString::fromLatin1(kV1PingGroupAddress);
  return h;
}

double seconds(std::chrono::milliseconds ms) { return std::chrono::duration<double>(ms).count(); }

// Descriptor 0 is a socket like any other once standard input is closed.
bool opened(int descriptor) { return descriptor >= 0; }

}  // namespace

void CommsManager::setHooks(DiscoveryHooks h) {
  std::lock_guard lock(gHooksMutex);
  gHooks = std::move(h);
}

void CommsManager::resetHooks() { setHooks(DiscoveryHooks{}); }

std::optional<std::string> CommsManager::getIpAddress() {
  auto interfaces = localInterfaces();
  if (!interfaces) return std::nullopt;
  std::vector<std::string> ipv4;
  for (const auto& i : *interfaces)
    if (i.family == AF_INET) ipv4.push_back(i.address);
  return pickLocalIpAddress(ipv4);
}

std::optional<DeviceTarget> CommsManager::findDevice(uint8_t* generation) {
  DiscoveryHooks h = hooks();
  std::optional<DeviceTarget> found;
  DeviceTarget fixed;
  switch (fixedSubnetTarget(h.localAddress(), fixed)) {
    case FixedSubnet::Refused:
      return std::nullopt;
    case FixedSubnet::Found:
      found = fixed;
      break;
    case FixedSubnet::NotOnDeviceNetwork:
      for (const auto& answer : h.lookup(false)) {
        if ((found = dnsSdTarget(answer))) break;
      }
      if (!found) {
        QString host = h.probe(h.pingHost, seconds(timing().v1PingWait.load()));
        if (!host.isEmpty()) found = DeviceTarget{host.toStdString(), kV1PingedDevicePort, 1};
      }
      break;
  }
  if (found && generation) *generation = found->generation;
  return found;
}

bool CommsManager::connectToDevice(const DeviceTarget& target) { return opened(hooks().connect(target.host, target.port)); }

bool CommsManager::connectToServerShare(uint8_t* generation) {
  auto target = findDevice(generation);
  return target && connectToDevice(*target);
}

QString CommsManager::blockForV1IpAddress() {
  DiscoveryHooks h = hooks();
  return h.probe(h.pingHost, seconds(timing().v1PingWait.load()));
}

bool CommsManager::connectToServer(const QString& host) {
  if (host.isNull()) return false;
  return opened(hooks().connect(host.toStdString(), kV1PingedDevicePort));
}

bool CommsManager::connectToServer() {
  DiscoveryHooks h = hooks();
  QString saved = UserDefaults::standardUserDefaults().objectForKey(kDefaultsIpAddress).toString();
  if (!saved.isEmpty()) return opened(h.connect(saved.toStdString(), kV1PingedDevicePort));
  for (const auto& answer : h.lookup(false)) {
    if (!answer.ipAddress.empty() && answer.port != 0) return opened(h.connect(answer.ipAddress, answer.port));
  }
  return opened(h.connect("192.168.82.1", kV1PingedDevicePort));
}
