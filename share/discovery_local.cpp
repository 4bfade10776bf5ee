// The computer's own addresses, and the datagram that asks for local-network access.
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

void CommsManager::checkLocalNetworkAccess() {
  auto interfaces = localInterfaces();
  if (!interfaces) return;
  int fd4 = ::socket(AF_INET, SOCK_DGRAM, 0);
  int fd6 = ::socket(AF_INET6, SOCK_DGRAM, 0);
  if (fd4 >= 0 && fd6 >= 0) {
    const char bang = '!';
    for (const auto& t : localNetworkProbeTargets(*interfaces)) {
      if (t.family == AF_INET) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(9);
        if (inet_pton(AF_INET, t.address.c_str(), &to.sin_addr) == 1)
          ::sendto(fd4, &bang, 1, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to), sizeof to);
      } else {
        sockaddr_in6 to{};
        to.sin6_family = AF_INET6;
        to.sin6_port = htons(9);
        to.sin6_scope_id = t.scopeId;
        if (inet_pton(AF_INET6, t.address.c_str(), &to.sin6_addr) == 1)
          ::sendto(fd6, &bang, 1, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to), sizeof to);
      }
    }
  }
  if (fd4 >= 0) ::close(fd4);
  if (fd6 >= 0) ::close(fd6);
}
