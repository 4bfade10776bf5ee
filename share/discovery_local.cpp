// The computer's own addresses, and the local-network access check.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "share/discovery.h"

std::optional<std::vector<LocalInterface>> localInterfaces() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::vector<LocalInterface> result;
  for (ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr) continue;
    char text[INET6_ADDRSTRLEN] = {0};
    LocalInterface entry;
    entry.name = i->ifa_name ? i->ifa_name : "";
    entry.family = i->ifa_addr->sa_family;
    entry.broadcast = (i->ifa_flags & IFF_BROADCAST) != 0;
    if (entry.family == AF_INET) {
      auto* a = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
      if (!inet_ntop(AF_INET, &a->sin_addr, text, sizeof text)) continue;
    } else if (entry.family == AF_INET6) {
      auto* a = reinterpret_cast<const sockaddr_in6*>(i->ifa_addr);
      if (!inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text)) continue;
      entry.scopeId = a->sin6_scope_id;
    } else {
      continue;
    }
    entry.address = text;
    result.push_back(std::move(entry));
  }
  freeifaddrs(list);
  return result;
}

std::vector<LocalInterface> localNetworkProbeTargets(const std::vector<LocalInterface>& interfaces) {
  std::vector<LocalInterface> targets;
  for (const auto& i : interfaces)
    if (i.broadcast && (i.family == AF_INET || i.family == AF_INET6)) targets.push_back(i);
  return targets;
}

// The datagram exists only to make a system with a local-network permission ask the user for
// it. Linux has no such permission, so there is nothing to ask and nothing is sent.
void CommsManager::checkLocalNetworkAccess() {}
