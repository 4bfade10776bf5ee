// The test build's network guard: outside a namespace made by the test, a call that could
// reach another machine aborts before it is made. Each dying call runs in a child that
// first has the kernel refuse every connect and send (seccomp), so even a broken guard
// could not let a packet out: the child would then live, and the test fail.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <avahi-client/lookup.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#if defined(__x86_64__)
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#endif

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <functional>

#include "ptp/link/link.h"
#include "support/net_guard.h"

namespace {

// Makes the kernel answer connect and every send with EPERM in this process; false where it
// cannot.
bool refuseNetworkCalls() {
#if defined(__x86_64__)
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_connect, 4, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_sendto, 3, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_sendmsg, 2, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_sendmmsg, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) == 0;
#else
  return false;
#endif
}

sockaddr_in ipv4(const char* address, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  ::inet_pton(AF_INET, address, &a.sin_addr);
  return a;
}

sockaddr_in6 ipv6(const char* address, uint16_t port) {
  sockaddr_in6 a{};
  a.sin6_family = AF_INET6;
  a.sin6_port = htons(port);
  ::inet_pton(AF_INET6, address, &a.sin6_addr);
  return a;
}

// Each call goes out on a descriptor that does not exist, a second reason for it to send
// nothing.
int connectTo(const sockaddr* a, socklen_t n) { return ::connect(-1, a, n); }
int sendTo(const sockaddr* a, socklen_t n) { return int(::sendto(-1, "!", 1, MSG_NOSIGNAL, a, n)); }
int sendMessageTo(const sockaddr* a, socklen_t n) {
  char byte = '!';
  iovec io{&byte, 1};
  msghdr m{};
  m.msg_name = const_cast<sockaddr*>(a);
  m.msg_namelen = n;
  m.msg_iov = &io;
  m.msg_iovlen = 1;
  return int(::sendmsg(-1, &m, MSG_NOSIGNAL));
}

// In the dying child, before the call: a child whose kernel will not refuse the calls ends
// at once, alive, so it fails the test without having tried.
#define REFUSE_NETWORK_CALLS() \
  if (!refuseNetworkCalls()) ::_exit(0)

TEST(NetworkGuardDeathTest, CallsOffTheLoopbackAbortBeforeTheyAreMade) {
  if (!kvtest::netGuardEnabled()) GTEST_SKIP() << "built without the network guard";
  if (kvtest::inTestNamespace()) GTEST_SKIP() << "runs only in the namespace the test run began in";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const sockaddr_in v4 = ipv4("192.0.2.1", 9);
  const sockaddr_in6 v6 = ipv6("2001:db8::1", 9);
  const sockaddr_in6 mapped = ipv6("::ffff:192.0.2.1", 9);
  const sockaddr_in group = ipv4("239.8.26.83", 0);
  struct Case {
    const char* what;
    std::function<int()> call;
  } cases[] = {
      {"connect, IPv4", [&] { return connectTo(reinterpret_cast<const sockaddr*>(&v4), sizeof v4); }},
      {"connect, IPv6", [&] { return connectTo(reinterpret_cast<const sockaddr*>(&v6), sizeof v6); }},
      {"connect, mapped", [&] { return connectTo(reinterpret_cast<const sockaddr*>(&mapped), sizeof mapped); }},
      {"sendto, the group", [&] { return sendTo(reinterpret_cast<const sockaddr*>(&group), sizeof group); }},
      {"sendmsg, IPv4", [&] { return sendMessageTo(reinterpret_cast<const sockaddr*>(&v4), sizeof v4); }},
  };
  for (const auto& c : cases) {
    EXPECT_DEATH(
        {
          REFUSE_NETWORK_CALLS();
          c.call();
        },
        "network guard: (connect|send) to .* outside a network namespace")
        << c.what;
  }
  if (HasFailure()) return;
  // The link's own dial, as a connect to the device would make it.
  EXPECT_DEATH(
      {
        REFUSE_NETWORK_CALLS();
        linkConnect("192.0.2.1", 8383);
      },
      "network guard: connect to 192.0.2.1 outside");
  // A browse would have the daemon query the whole network.
  EXPECT_DEATH(
      {
        REFUSE_NETWORK_CALLS();
        avahi_service_browser_new(nullptr, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, "_korvalume._tcp", "local",
                                  AvahiLookupFlags(0), nullptr, nullptr);
      },
      "network guard: a DNS-SD browse");
}

// The loopback stays open: the calls reach the system, which refuses the missing descriptor.
TEST(NetworkGuard, LoopbackCallsGoThrough) {
  const sockaddr_in v4 = ipv4("127.0.0.2", 9);
  const sockaddr_in6 v6 = ipv6("::1", 9);
  const sockaddr_in6 mapped = ipv6("::ffff:127.0.0.1", 9);
  for (auto call : {connectTo, sendTo, sendMessageTo}) {
    errno = 0;
    EXPECT_EQ(call(reinterpret_cast<const sockaddr*>(&v4), sizeof v4), -1);
    EXPECT_EQ(errno, EBADF);
    errno = 0;
    EXPECT_EQ(call(reinterpret_cast<const sockaddr*>(&v6), sizeof v6), -1);
    EXPECT_EQ(errno, EBADF);
    errno = 0;
    EXPECT_EQ(call(reinterpret_cast<const sockaddr*>(&mapped), sizeof mapped), -1);
    EXPECT_EQ(errno, EBADF);
  }
}

}  // namespace
