#include "support/net_guard.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef KV_TEST_NET_GUARD
extern "C" {
int __real_connect(int fd, const sockaddr* address, socklen_t length);
ssize_t __real_sendto(int fd, const void* data, size_t size, int flags, const sockaddr* to, socklen_t length);
ssize_t __real_sendmsg(int fd, const msghdr* message, int flags);
}
#endif

namespace {

std::atomic<size_t> gAllowed{0};

uint64_t inodeOf(const char* path) {
  struct stat s {};
  return ::stat(path, &s) == 0 ? uint64_t(s.st_ino) : 0;
}

uint64_t startNetns() {
  if (const char* inherited = std::getenv("KV_TEST_ORIGIN_NETNS"))
    if (uint64_t v = std::strtoull(inherited, nullptr, 10)) return v;
  return inodeOf("/proc/self/ns/net");
}

// Taken before main, so before any test can have moved a thread.
const uint64_t gOrigin = startNetns();

#ifdef KV_TEST_NET_GUARD
bool isLoopback(const sockaddr* a, socklen_t length) {
  if (!a || length < socklen_t(sizeof(sa_family_t))) return true;  // nothing to go to
  if (a->sa_family == AF_INET && length >= socklen_t(sizeof(sockaddr_in))) {
    uint32_t ip = ntohl(reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr);
    return (ip >> 24) == 127;
  }
  if (a->sa_family == AF_INET6 && length >= socklen_t(sizeof(sockaddr_in6))) {
    const in6_addr& ip = reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr;
    if (IN6_IS_ADDR_LOOPBACK(&ip)) return true;
    return IN6_IS_ADDR_V4MAPPED(&ip) && ip.s6_addr[12] == 127;
  }
  // Local sockets (Unix, netlink) never leave the machine; a short IP address is refused by
  // the system before anything is sent.
  return a->sa_family != AF_INET && a->sa_family != AF_INET6;
}

void check(const char* call, const sockaddr* a, socklen_t length) {
  if (isLoopback(a, length)) return;
  if (kvtest::inTestNamespace()) {
    gAllowed++;
    return;
  }
  char text[INET6_ADDRSTRLEN] = "?";
  if (a->sa_family == AF_INET)
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text);
  else
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr, text, sizeof text);
  std::fprintf(stderr,
               "network guard: %s to %s outside a network namespace made by the test; tests reach only "
               "the loopback\n",
               call, text);
  std::fflush(stderr);
  std::abort();
}
#endif

}  // namespace

namespace kvtest {

uint64_t originNetns() { return gOrigin; }
uint64_t currentNetns() { return inodeOf("/proc/thread-self/ns/net"); }
bool inTestNamespace() {
  uint64_t now = currentNetns();
  return now != 0 && gOrigin != 0 && now != gOrigin;
}
size_t nonLoopbackCalls() { return gAllowed.load(); }
#ifdef KV_TEST_NET_GUARD
bool netGuardEnabled() { return true; }
#else
bool netGuardEnabled() { return false; }
#endif

}  // namespace kvtest

#ifdef KV_TEST_NET_GUARD
extern "C" {

int __wrap_connect(int fd, const sockaddr* address, socklen_t length) {
  check("connect", address, length);
  return __real_connect(fd, address, length);
}

ssize_t __wrap_sendto(int fd, const void* data, size_t size, int flags, const sockaddr* to, socklen_t length) {
  check("send", to, length);
  return __real_sendto(fd, data, size, flags, to, length);
}

ssize_t __wrap_sendmsg(int fd, const msghdr* message, int flags) {
  if (message) check("send", static_cast<const sockaddr*>(message->msg_name), message->msg_namelen);
  return __real_sendmsg(fd, message, flags);
}

}  // extern "C"
#endif
