#include "tools/devsim/simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace devsim {

Simulator::Simulator(Options options) : options_(options) {
  // Every device answers these two.
  controlHandlers_[kOpcodeHeartbeat] = [](const ControlRequest&) { return ControlReply{}; };
  controlHandlers_[kOpcodeClientName] = [this](const ControlRequest& r) {
    size_t len = ::strnlen(reinterpret_cast<const char*>(r.payload.data()), r.payload.size());
    std::lock_guard lock(mutex_);
    clientNames_.emplace_back(reinterpret_cast<const char*>(r.payload.data()), len);
    return ControlReply{};
  };
  installDeviceCommands();
}

Simulator::~Simulator() { stop(); }

bool Simulator::start() {
  if (thread_.joinable()) return true;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(options_.port);
  if (::inet_pton(AF_INET, options_.address.c_str(), &addr.sin_addr) != 1) return false;
  if (::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return false;
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 4) != 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    return false;
  }
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { run(); });
  return true;
}

void Simulator::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  uint8_t b = 1;
  [[maybe_unused]] auto w = ::write(stopPipe_[1], &b, 1);
  changed_.notify_all();
  thread_.join();
  ::close(listenFd_);
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
  listenFd_ = stopPipe_[0] = stopPipe_[1] = -1;
}

void Simulator::setControlHandler(uint8_t opcode, ControlHandler handler) {
  std::lock_guard lock(mutex_);
  controlHandlers_[opcode] = std::move(handler);
}

void Simulator::setControlReply(uint8_t opcode, ControlReply reply) {
  setControlHandler(opcode, [reply](const ControlRequest&) { return reply; });
}

void Simulator::setFrameHandler(uint8_t kind, FrameHandler handler) {
  std::lock_guard lock(mutex_);
  frameHandlers_[kind] = std::move(handler);
}

void Simulator::setStalled(bool stalled) { stalled_ = stalled; }
void Simulator::setReading(bool reading) { reading_ = reading; }

bool Simulator::sendLocked(const uint8_t* p, size_t n) {
  int fd;
  {
    std::lock_guard lock(mutex_);
    fd = clientFd_;
  }
  if (fd < 0) return false;
  size_t sent = 0;
  while (sent < n) {
    // Not blocking in send: a client that reads nothing must not keep a stop waiting.
    ssize_t r = ::send(fd, p + sent, n - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (r > 0) {
      sent += static_cast<size_t>(r);
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!waitWritable(fd)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool Simulator::waitWritable(int fd) {
  for (;;) {
    pollfd fds[2] = {{fd, POLLOUT, 0}, {stopPipe_[0], POLLIN, 0}};
    int r = ::poll(fds, 2, -1);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (fds[1].revents & POLLIN)) return false;
    // Writable, or broken: the next send tells which.
    if (fds[0].revents) return true;
  }
}

namespace {

// Whether the socket's send buffer has room for n more bytes now. The kernel counts its
// own overhead against the buffer too, hence the margin.
bool hasRoom(int fd, size_t n) {
  int queued = 0, capacity = 0;
  socklen_t len = sizeof capacity;
  if (::ioctl(fd, SIOCOUTQ, &queued) != 0 || ::getsockopt(fd, SOL_SOCKET, SO_SNDBUF, &capacity, &len) != 0)
    return false;
  return capacity > queued && size_t(capacity - queued) >= 2 * n;
}

}  // namespace

Simulator::Offer Simulator::offer(const Bytes& message, const std::atomic<bool>& cancel) {
  std::unique_lock w(writeMutex_, std::try_to_lock);
  int fd;
  {
    std::lock_guard lock(mutex_);
    fd = clientFd_;
  }
  if (fd < 0) return Offer::NoClient;
  if (!w.owns_lock() || !hasRoom(fd, message.size())) return Offer::Skipped;
  size_t sent = 0;
  while (sent < message.size()) {
    ssize_t r = ::send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (sent == 0) return Offer::Skipped;
      // Inside the message: the rest goes as the client reads, or the client goes.
      pollfd fds[2] = {{fd, POLLOUT, 0}, {stopPipe_[0], POLLIN, 0}};
      int k = ::poll(fds, 2, 50);
      if (k < 0 && errno == EINTR) continue;
      if (k < 0 || (fds[1].revents & POLLIN)) return Offer::NoClient;
      if (cancel) {
        ::shutdown(fd, SHUT_RDWR);
        return Offer::NoClient;
      }
      continue;
    }
    return Offer::NoClient;
  }
  return Offer::Sent;
}

void Simulator::setSessionHooks(std::function<void()> began, std::function<void()> ended) {
  std::lock_guard lock(mutex_);
  sessionBegan_ = std::move(began);
  sessionEnded_ = std::move(ended);
}

void Simulator::sessionFrame(const Frame& frame, bool& began, int& heartbeats) {
  if (began) return;
  const int opcode = frame.opcode();
  if (opcode != kOpcodeClientName && !(opcode == kOpcodeHeartbeat && ++heartbeats >= 2)) return;
  began = true;
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook = sessionBegan_;
  }
  if (hook) hook();
}

bool Simulator::send(const Bytes& bytes) {
  std::lock_guard w(writeMutex_);
  return sendLocked(bytes.data(), bytes.size());
}

bool Simulator::sendFrame(uint8_t kind, const Bytes& body) { return send(makeFrame(kind, body)); }

bool Simulator::sendControlReply(uint8_t opcode, uint16_t result, const Bytes& payload) {
  return send(makeControlReply(options_.generation, opcode, result, payload));
}

bool Simulator::sendWithZeros(const Bytes& prefix, uint64_t zeros) {
  std::lock_guard w(writeMutex_);
  if (!prefix.empty() && !sendLocked(prefix.data(), prefix.size())) return false;
  Bytes block(1 << 20, 0);
  while (zeros > 0) {
    size_t n = zeros < block.size() ? static_cast<size_t>(zeros) : block.size();
    if (!sendLocked(block.data(), n)) return false;
    zeros -= n;
  }
  return true;
}

void Simulator::closeClient() {
  std::lock_guard lock(mutex_);
  // The serving thread sees the end of the stream and closes the descriptor itself.
  if (clientFd_ >= 0) ::shutdown(clientFd_, SHUT_RDWR);
}

bool Simulator::waitForClient(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return clientFd_ >= 0; });
}

std::vector<Frame> Simulator::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

size_t Simulator::receivedCount() const {
  std::lock_guard lock(mutex_);
  return received_.size();
}

bool Simulator::waitForReceived(size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

std::vector<std::string> Simulator::clientNames() const {
  std::lock_guard lock(mutex_);
  return clientNames_;
}

bool Simulator::napUnlessStopped(std::chrono::milliseconds d) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, d, [this] { return stopping_.load(); });
}

void Simulator::run() {
  while (!stopping_) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    int r = ::poll(fds, 2, -1);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (fds[1].revents & POLLIN)) break;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    {
      std::lock_guard lock(mutex_);
      clientFd_ = fd;
    }
    connections_++;
    changed_.notify_all();
    bool began = false;
    serve(fd, began);
    if (began) {
      std::function<void()> hook;
      {
        std::lock_guard lock(mutex_);
        hook = sessionEnded_;
      }
      if (hook) hook();
    }
    {
      std::lock_guard w(writeMutex_);
      std::lock_guard lock(mutex_);
      clientFd_ = -1;
      ::close(fd);
    }
    changed_.notify_all();
  }
}

bool Simulator::readExact(int fd, uint8_t* out, size_t n) {
  size_t got = 0;
  while (got < n) {
    if (stopping_) return false;
    pollfd fds[2] = {{fd, static_cast<short>(reading_ ? POLLIN : 0), 0}, {stopPipe_[0], POLLIN, 0}};
    int r = ::poll(fds, 2, 50);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (fds[1].revents & POLLIN)) return false;
    if (!reading_ || r == 0) continue;
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    ssize_t k = ::recv(fd, out + got, n - got, 0);
    if (k > 0) {
      got += static_cast<size_t>(k);
    } else if (k < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

void Simulator::serve(int fd, bool& began) {
  int heartbeats = 0;
  for (;;) {
    uint8_t header[5];
    if (!readExact(fd, header, 5)) return;
    uint32_t total = getU32(header);
    if (total < 5 || total > kMaxClientFrameBytes) {
      if (options_.log) std::fprintf(stderr, "devsim: refusing a frame of %u bytes\n", total);
      return;
    }
    Frame frame;
    frame.bytes.resize(total);
    std::memcpy(frame.bytes.data(), header, 5);
    if (!readExact(fd, frame.bytes.data() + 5, total - 5)) return;
    if (options_.log) {
      std::fprintf(stderr, "devsim: got kind %u, %u bytes", frame.kind(), total);
      if (frame.opcode() >= 0) std::fprintf(stderr, ", opcode %d", frame.opcode());
      std::fprintf(stderr, "\n");
    }
    {
      std::lock_guard lock(mutex_);
      received_.push_back(frame);
    }
    changed_.notify_all();
    if (!stalled_) handle(frame);
    sessionFrame(frame, began, heartbeats);
  }
}

void Simulator::handle(const Frame& frame) {
  const Bytes& b = frame.bytes;
  uint8_t kind = frame.kind() & 0x0F;
  if (kind == 12 && b.size() >= 10) {
    ControlRequest req;
    req.opcode = b[9];
    req.payload = frame.controlPayload();
    handleControl(req, false);
    return;
  }
  FrameHandler handler;
  {
    std::lock_guard lock(mutex_);
    auto it = frameHandlers_.find(kind);
    if (it != frameHandlers_.end()) handler = it->second;
  }
  if (handler && handler(frame)) return;
  if (kind == 10 && b.size() >= 17) {
    handlePtp(b.data() + 5, b.size() - 5);
    return;
  }
  if (kind == 15 && b.size() >= 15) {
    // Relay: {total,15}{m+10, mode, code, m} m bytes, then one embedded message.
    uint32_t m = getU32(b.data() + 11);
    if (uint64_t(m) + 15 + 17 <= b.size() && b[15 + m + 4] == 10) {
      handlePtp(b.data() + 15 + m + 5, b.size() - 15 - m - 5);
      return;
    }
    if (uint64_t(m) + 15 + 10 <= b.size() && b[15 + m + 4] == 12) {
      ControlRequest req;
      req.relayed = true;
      req.relayMode = b[9];
      req.relayCode = b[10];
      req.relayBytes.assign(b.begin() + 15, b.begin() + 15 + m);
      req.opcode = b[15 + m + 9];
      req.payload.assign(b.begin() + 15 + m + 10, b.end());
      handleControl(req, true);
    }
  }
}

void Simulator::handleControl(const ControlRequest& request, bool relayed) {
  ControlHandler handler;
  {
    std::lock_guard lock(mutex_);
    auto it = controlHandlers_.find(request.opcode);
    if (it != controlHandlers_.end()) handler = it->second;
  }
  ControlReply reply;
  if (handler) {
    reply = handler(request);
  } else {
    reply.result = PTP_RC_OperationNotSupported;
  }
  if (reply.delay.count() > 0 && !napUnlessStopped(reply.delay)) return;
  if (reply.noReply) return;
  if (reply.raw) {
    send(*reply.raw);
    return;
  }
  // A relayed request is answered with a kind-13 reply in both generations.
  int generation = relayed ? 2 : options_.generation;
  send(makeControlReply(generation, request.opcode, reply.result, reply.payload));
}

}  // namespace devsim
