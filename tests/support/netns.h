#pragma once
// Network namespaces made by a test, so that discovery can use the device's real addresses
// without a packet reaching the machine's own network. A test re-runs itself in a fresh
// namespace (it then owns every interface there); inside, PeerNamespace adds a second one
// joined to it by a veth pair, where the device side lives. Everything is unnamed: it goes
// away with the processes and threads that hold it, and `ip netns list` never shows it.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace kvtest {

// Runs the current test again in a copy of this program inside a fresh network namespace
// (unshare -n) and reports its verdict here: failed, skipped (with the copy's reason) or
// passed. True in the parent, which then has nothing more to do; false in the copy, which
// goes on with the test. Skips where no namespace can be made.
bool rerunInNetworkNamespace();

// Brings up the loopback and allows unprivileged echo sockets in the calling thread's
// namespace; an empty string, or what failed.
std::string prepareTestNamespace();

// Runs a command through the shell, in the calling thread's namespace; true on exit 0.
bool shell(const std::string& command);

// A second network namespace joined to the caller's by a veth pair: `localCidr` on this
// side's end (kvlocal), `peerCidr` on the peer's (kvpeer), both up, with a route for the
// multicast range on each. Only inside a test namespace.
class PeerNamespace {
 public:
  PeerNamespace(const std::string& localCidr, const std::string& peerCidr);
  ~PeerNamespace();
  PeerNamespace(const PeerNamespace&) = delete;
  PeerNamespace& operator=(const PeerNamespace&) = delete;

  // Empty when the namespace is ready, else what failed.
  const std::string& error() const { return error_; }
  // Runs fn on a thread inside the peer namespace and waits for it; sockets made there
  // belong to the peer.
  void run(const std::function<void()>& fn);
  // A shell command inside the peer namespace; true on exit 0.
  bool shell(const std::string& command);
  // Starts a program inside the peer namespace, its output appended to `log`; it is killed
  // when this object goes. The pid, or -1.
  pid_t spawn(const std::vector<std::string>& argv, const std::string& log);

 private:
  struct State;
  State* state_;
  std::string error_;
};

// Starts a program in the calling thread's namespace, its output appended to `log`; the
// pid, or -1. It dies with the thread that started it.
pid_t spawnProgram(const std::vector<std::string>& argv, const std::string& log);
// Kills and reaps a program this test started.
void killProgram(pid_t pid);

}  // namespace kvtest
