#include "support/netns.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "support/net_guard.h"

namespace kvtest {

namespace {

constexpr const char* kCopyMarker = "KV_NETNS_COPY";

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

bool shell(const std::string& command) { return std::system(command.c_str()) == 0; }

bool rerunInNetworkNamespace() {
  if (std::getenv(kCopyMarker)) {
    // The copy: it must really be somewhere other than where the run began.
    EXPECT_TRUE(inTestNamespace()) << "the copy runs in the namespace it started from";
    return !inTestNamespace();
  }
  if (!shell("unshare -n true > /dev/null 2>&1")) {
    [] {
      GTEST_SKIP() << "no network namespace can be made here (unshare -n needs CAP_SYS_ADMIN), so the test "
                      "cannot use the device's addresses safely";
    }();
    return true;
  }
  char exe[4096] = {0};
  if (::readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) {
    ADD_FAILURE() << "cannot find this program to run it again";
    return true;
  }
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  char dir[] = "/tmp/kv-netns-XXXXXX";
  if (!::mkdtemp(dir)) {
    ADD_FAILURE() << "no temporary folder";
    return true;
  }
  std::string log = std::string(dir) + "/copy.log";
  std::string command = std::string(kCopyMarker) + "=1 KV_TEST_ORIGIN_NETNS=" + std::to_string(originNetns()) +
                        " unshare -n '" + exe + "' --gtest_filter='" + name + "' > '" + log + "' 2>&1";
  bool passed = shell(command);
  std::string output = readFile(log);
  shell("rm -rf '" + std::string(dir) + "'");
  if (!passed)
    ADD_FAILURE() << "in its own network namespace:\n" << output;
  else if (output.find("[  SKIPPED ]") != std::string::npos)
    [&] { GTEST_SKIP() << output; }();
  else if (output.find("[       OK ] " + name) == std::string::npos)
    ADD_FAILURE() << "the copy did not run the test:\n" << output;
  return true;
}

std::string prepareTestNamespace() {
  if (!inTestNamespace()) return "not inside a namespace made by the test";
  if (!shell("ip link set lo up")) return "the namespace's loopback cannot be brought up";
  {
    std::ofstream f("/proc/sys/net/ipv4/ping_group_range");
    f << "0 2147483647\n";
  }
  int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
  if (fd < 0) return "echo sockets cannot be allowed in the namespace";
  ::close(fd);
  return {};
}

pid_t spawnProgram(const std::vector<std::string>& argv, const std::string& log) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t parent = ::getpid();
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  // The child: it must not outlive the test, even one that crashed.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);
  int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (out >= 0) {
    ::dup2(out, 1);
    ::dup2(out, 2);
  }
  ::execvp(args[0], args.data());
  ::_exit(127);
}

void killProgram(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

struct PeerNamespace::State {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> tasks;
  uint64_t submitted = 0, finished = 0;
  bool started = false, unshared = false, stopping = false;
  std::thread thread;
  std::vector<pid_t> programs;

  void work() {
    // This thread alone moves to the new namespace; the process stays where it was.
    bool ok = ::unshare(CLONE_NEWNET) == 0;
    {
      std::lock_guard lock(mutex);
      started = true;
      unshared = ok;
    }
    changed.notify_all();
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stopping || !tasks.empty(); });
        if (tasks.empty()) return;
        task = std::move(tasks.front());
        tasks.pop_front();
      }
      task();
      {
        std::lock_guard lock(mutex);
        finished++;
      }
      changed.notify_all();
    }
  }
};

PeerNamespace::PeerNamespace(const std::string& localCidr, const std::string& peerCidr) : state_(new State) {
  if (!inTestNamespace()) {
    error_ = "a peer namespace is made only inside a namespace made by the test";
    return;
  }
  state_->thread = std::thread([s = state_] { s->work(); });
  {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->started; });
    if (!state_->unshared) {
      error_ = "the peer namespace cannot be made";
      return;
    }
  }
  const std::string pid = std::to_string(::getpid());
  if (!shell("ip link set lo up && ip link add kvpeer type veth peer name kvlocal netns " + pid +
             " && ip addr add " + peerCidr + " dev kvpeer && ip link set kvpeer up"
             " && ip route add 224.0.0.0/4 dev kvpeer")) {
    error_ = "the peer's end of the veth pair cannot be set up";
    return;
  }
  if (!kvtest::shell("ip addr add " + localCidr + " dev kvlocal && ip link set kvlocal up"
                     " && ip route add 224.0.0.0/4 dev kvlocal")) {
    error_ = "this side's end of the veth pair cannot be set up";
  }
}

PeerNamespace::~PeerNamespace() {
  std::vector<pid_t> programs;
  {
    std::lock_guard lock(state_->mutex);
    programs = state_->programs;
  }
  for (pid_t p : programs) killProgram(p);
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  if (state_->thread.joinable()) state_->thread.join();
  delete state_;
}

void PeerNamespace::run(const std::function<void()>& fn) {
  std::unique_lock lock(state_->mutex);
  if (state_->stopping || !state_->unshared) return;
  state_->tasks.push_back(fn);
  const uint64_t ticket = ++state_->submitted;
  state_->changed.notify_all();
  state_->changed.wait(lock, [&] { return state_->finished >= ticket; });
}

bool PeerNamespace::shell(const std::string& command) {
  bool ok = false;
  run([&] { ok = kvtest::shell(command); });
  return ok;
}

pid_t PeerNamespace::spawn(const std::vector<std::string>& argv, const std::string& log) {
  pid_t pid = -1;
  run([&] { pid = spawnProgram(argv, log); });
  if (pid > 0) {
    std::lock_guard lock(state_->mutex);
    state_->programs.push_back(pid);
  }
  return pid;
}

}  // namespace kvtest
