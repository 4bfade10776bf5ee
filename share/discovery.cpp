#include "share/discovery.h"

#include <sys/socket.h>

#include <charconv>
#include <cstdlib>
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

// A decimal number filling `text` within [low, high].
std::optional<int> whole(std::string_view text, int low, int high) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
  return value;
}

// The override in force, logged once per connect: none when unset, nullopt inside when
// malformed.
std::optional<std::optional<DeviceTarget>> deviceOverride() {
  const char* value = std::getenv(kDeviceOverrideVariable);
  if (!value) return std::nullopt;
  auto target = parseDeviceOverride(value);
  if (!target)
    qWarning("%s=\"%s\" is not host:port[:1|2]; not connecting", kDeviceOverrideVariable, value);
  else
    qInfo("%s: connecting to %s port %d, generation %d", kDeviceOverrideVariable, target->host.c_str(), target->port,
          int(target->generation));
  return target;
}

}  // namespace

std::optional<DeviceTarget> parseDeviceOverride(std::string_view value) {
  DeviceTarget t;
  std::string_view rest;
  if (!value.empty() && value.front() == '[') {
    const size_t close = value.find(']');
    if (close == std::string_view::npos || close + 1 >= value.size() || value[close + 1] != ':') return std::nullopt;
    t.host = std::string(value.substr(1, close - 1));
    rest = value.substr(close + 2);
  } else {
    const size_t colon = value.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    t.host = std::string(value.substr(0, colon));
    rest = value.substr(colon + 1);
  }
  if (t.host.empty() || t.host.find_first_of(" \t[]") != std::string::npos) return std::nullopt;
  const size_t colon = rest.find(':');
  auto port = whole(rest.substr(0, colon), 1, 65535);
  auto generation = colon == std::string_view::npos ? std::optional<int>(2) : whole(rest.substr(colon + 1), 1, 2);
  if (!port || !generation) return std::nullopt;
  t.port = *port;
  t.generation = static_cast<uint8_t>(*generation);
  return t;
}

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
  if (auto named = deviceOverride()) {
    if (*named && generation) *generation = (*named)->generation;
    return *named;
  }
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
